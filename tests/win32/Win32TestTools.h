#pragma once

// What the Win32 window tests ask of the real window: texts, hints, sizes, and
// the modal boxes they inspect and close.
#include "WhoisTestServer.h"
#include "Win32Harness.h"
#include "Win32Text.h"
#include "WorkerHarness.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace win32_test_tools {

using testing_support::WhoisTestServer;
using testing_support::Win32Harness;

inline std::string ToolText(const Win32Harness& w, const char* name) {
    wchar_t buffer[64] = {};
    ::SendMessageW(w.Find("RzToolbar1"), TB_GETBUTTONTEXTW,
                   static_cast<WPARAM>(w.window->ToolCommand(name)),
                   reinterpret_cast<LPARAM>(buffer));
    return win32text::Gbk(buffer);
}

inline std::string ToolHint(const Win32Harness& w, const char* name) {
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(1); // the tool bar's own tooltip
    info.hdr.idFrom = static_cast<UINT_PTR>(w.window->ToolCommand(name));
    info.hdr.code = TTN_GETDISPINFOW;
    ::SendMessageW(w.window->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    return info.lpszText ? win32text::Gbk(info.lpszText) : std::string();
}

inline std::string Hint(const Win32Harness& w, const char* name) {
    wchar_t buffer[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = w.window->Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(w.Find(name));
    tool.lpszText = buffer;
    ::SendMessageW(w.window->Tooltip(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    return win32text::Gbk(buffer);
}

inline SIZE ClientSize(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

inline SIZE WindowSize(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

inline int TextWidth(HWND control, const std::wstring& text) {
    HDC dc = ::GetDC(control);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return size.cx;
}

inline TMainFormOptions Against(const WhoisTestServer& server) {
    TMainFormOptions options;
    options.Seek = testing_support::TestConfig(server.Port());
    return options;
}

// Finds the thread's visible dialog with this caption, or nullptr.
inline HWND FindDialog(const std::string& captionGbk) {
    struct Search {
        std::wstring caption;
        HWND found = nullptr;
    } search{win32text::W(captionGbk), nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t text[64] = {};
            ::GetWindowTextW(window, text, 64);
            if (::IsWindowVisible(window) && s->caption == text) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs inspect on the dialog with this caption once it is up (from a timer, so
// inside the dialog's own modal loop), then presses its close button.
inline void WhenDialogShows(const std::string& captionGbk, std::function<void(HWND)> inspect) {
    static std::string caption;
    static std::function<void(HWND)> pending;
    caption = captionGbk;
    pending = std::move(inspect);
    ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = FindDialog(caption);
        if (dialog == nullptr) {
            return;
        }
        ::KillTimer(nullptr, id);
        auto run = std::move(pending);
        pending = nullptr;
        if (run) {
            run(dialog);
        }
        ::SendMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
}

// A look at the screen for whoever runs the test with VANTREEL_SHOTS set to a
// folder: the window (and whatever stands over it, such as a menu) as the
// screen shows it, saved there as name.bmp.
inline void Shot(HWND window, const char* name, HWND over = nullptr) {
    const char* folder = std::getenv("VANTREEL_SHOTS");
    if (folder == nullptr) {
        return;
    }
    testing_support::PumpFor(100);
    RECT r{};
    ::GetWindowRect(window, &r);
    if (over != nullptr) {
        RECT o{};
        ::GetWindowRect(over, &o);
        ::UnionRect(&r, &r, &o);
    }
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as a BMP file keeps its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    ::GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    const std::string path = std::string(folder) + "\\" + name + ".bmp";
    if (FILE* out = std::fopen(path.c_str(), "wb"); out != nullptr) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, 1, size, out);
        std::fclose(out);
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

} // namespace win32_test_tools
