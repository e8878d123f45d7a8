#include "Win32Dialogs.h"

#include "Dpi.h"
#include "Layout.h"
#include "Texts.h"
#include "WidePath.h"
#include "Win32Text.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace win32dialogs {

using win32text::W;

HFONT ProgramFont(int dpi) {
    // One font per scaling in use, kept for the program's life (a window moved
    // between monitors asks again).
    static std::map<int, HFONT> fonts;
    HFONT& font = fonts[dpi];
    if (font == nullptr) {
        font = ::CreateFontW(-win32dpi::Scale(layout::kFontPixels, dpi), 0, 0, 0, FW_NORMAL, FALSE,
                             FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             win32text::U(layout::kFontFace).c_str());
    }
    return font;
}

EmptyDialogTemplate::EmptyDialogTemplate(DWORD style) {
    DLGTEMPLATE head{};
    head.style = style;
    head.cdit = 0;
    head.cx = 100; // dialog units; the box sizes itself in pixels later
    head.cy = 50;
    std::memcpy(words_, &head, sizeof head);
    // Then: no menu, the standard dialog class, an empty title (three zero words).
}

void SizeAndCentre(HWND dialog, HWND owner, int width, int height) {
    RECT frame{0, 0, width, height};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTOPRIMARY),
                      &monitor);
    const RECT& area = monitor.rcWork;
    const int outerWidth = frame.right - frame.left;
    const int outerHeight = frame.bottom - frame.top;
    ::SetWindowPos(dialog, nullptr, area.left + (area.right - area.left - outerWidth) / 2,
                   area.top + (area.bottom - area.top - outerHeight) / 2, outerWidth, outerHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowBox(HWND owner, const std::string& text, dialogs::Icon icon) {
    const dialogs::Script* script = dialogs::ActiveScript();
    if (script && script->message) {
        script->message(text, icon);
        return;
    }
    ::MessageBoxW(owner, W(text).c_str(), W(texts::AppTitle()).c_str(),
                  MB_OK | (icon == dialogs::Icon::Error ? MB_ICONERROR : 0));
}

namespace {

struct InputState {
    std::wstring caption;
    std::wstring prompt;
    std::wstring value;
    int maxLength = 0;
    HWND owner = nullptr;
    int dpi = win32dpi::kBaseDpi;
};

constexpr int kInputEdit = 100;

// A control at a 96-DPI rectangle, scaled to dpi.
HWND Child(HWND parent, int dpi, const wchar_t* cls, const std::wstring& text, DWORD style, int x,
           int y, int w, int h, int id) {
    const auto s = [dpi](int pixels) {
        return win32dpi::Scale(pixels, dpi);
    };
    HWND child = ::CreateWindowExW(
        0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, s(x), s(y), s(w), s(h), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(ProgramFont(dpi)), TRUE);
    return child;
}

INT_PTR CALLBACK InputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<InputState*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        ::SetWindowTextW(dialog, state->caption.c_str());
        const int dpi = state->dpi;
        ::SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(ProgramFont(dpi)), FALSE);
        Child(dialog, dpi, L"STATIC", state->prompt, SS_LEFT, 12, 12, 300, 18, -1);
        HWND edit = Child(dialog, dpi, L"EDIT", state->value,
                          WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 12, 36, 300, 22, kInputEdit);
        ::SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(state->maxLength), 0);
        Child(dialog, dpi, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 156, 72, 75, 25, IDOK);
        Child(dialog, dpi, L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 237, 72, 75, 25,
              IDCANCEL);
        SizeAndCentre(dialog, state->owner, win32dpi::Scale(324, dpi), win32dpi::Scale(108, dpi));
        ::SetFocus(edit);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        return FALSE; // the focus is set
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            if (LOWORD(wParam) == IDOK) {
                auto* state = reinterpret_cast<InputState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
                HWND edit = ::GetDlgItem(dialog, kInputEdit);
                std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1,
                                  L'\0');
                text.resize(static_cast<std::size_t>(
                    ::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
                state->value = text;
            }
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

bool InputQuery(HWND owner, const std::string& caption, const std::string& prompt,
                std::string& value, int maxLength, int dpi) {
    const dialogs::Script* script = dialogs::ActiveScript();
    if (script && script->input) {
        return script->input(caption, prompt, value);
    }
    InputState state{W(caption), W(prompt), W(value), maxLength, owner, dpi};
    const EmptyDialogTemplate tmpl(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    const INT_PTR result = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), tmpl.Get(), owner,
                                                     InputProc, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) {
        return false;
    }
    value = win32text::Gbk(state.value);
    return true;
}

std::wstring DialogFolder(const std::wstring& folder) {
    // Wine's dialog fails inside on a longer folder; Windows' may refuse it.
    return platform::ShellPath(folder);
}

bool SaveFile(HWND owner, const dialogs::SaveOptions& options, platform::FilePath& chosen) {
    const dialogs::Script* script = dialogs::ActiveScript();
    if (script && script->save) {
        return script->save(options, chosen);
    }
    // "文本文件 (*.txt)\0*.txt\0全部结果 (*.csv)\0*.csv\0\0"
    std::wstring filter;
    std::vector<std::wstring> extensions;
    const auto addFilter = [&](const std::string& name, const std::string& pattern,
                               const std::string& extension) {
        filter += W(name) + L" (" + W(pattern) + L")";
        filter.push_back(L'\0');
        filter += W(pattern);
        filter.push_back(L'\0');
        extensions.push_back(W(extension));
    };
    addFilter(options.filterName, options.filterPattern, options.defaultExtension);
    for (const dialogs::SaveFilter& more : options.moreFilters) {
        addFilter(more.name, more.pattern, more.extension);
    }
    filter.push_back(L'\0');
    std::vector<wchar_t> file(32768, L'\0');
    // The name offered: a whole path while the dialog can take it, else the
    // file's own name alone (the dialog then opens in the folder below).
    std::wstring offered = platform::WidePath(options.fileName);
    if (offered.size() >= MAX_PATH) {
        offered = offered.substr(offered.find_last_of(L"\\/:") + 1);
    }
    offered.copy(file.data(), std::min(offered.size(), file.size() - 1));
    const std::wstring folder = DialogFolder(platform::WidePath(options.initialFolder));

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    // No lpstrDefExt: which extension a system's dialog adds for the chosen
    // type differs, so the chosen type's is added below, the same everywhere.
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetSaveFileNameW(&dialog)) {
        // Cancelled (0), or the dialog itself failed: then the user is told.
        if (const DWORD error = ::CommDlgExtendedError(); error != 0) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%04lX", static_cast<unsigned long>(error));
            std::string text = texts::SaveDialogFailed();
            text.replace(text.find("%s"), 2, code);
            ShowBox(owner, text, dialogs::Icon::Error);
        }
        return false;
    }
    std::wstring name = file.data();
    const std::size_t index = dialog.nFilterIndex >= 1 ? dialog.nFilterIndex - 1 : 0;
    const std::wstring& extension = extensions[std::min(index, extensions.size() - 1)];
    const std::size_t base = name.find_last_of(L"\\/");
    const std::size_t dot = name.find_last_of(L'.');
    if (!extension.empty() &&
        (dot == std::wstring::npos || (base != std::wstring::npos && dot < base))) {
        name += L"." + extension;
    }
    chosen = platform::PathFromWide(name.c_str());
    return true;
}

} // namespace win32dialogs
