#include "Win32About.h"

#include "About.h"
#include "Dpi.h"
#include "Layout.h"
#include "Publisher.h"
#include "WebLink.h"
#include "Win32Dialogs.h"
#include "Win32Text.h"

#include <algorithm>

namespace {

using win32text::W;

enum : int { kLogo = 200, kName, kVersion, kDate, kWebSite, kNotice, kBevel };

struct AboutState {
    HWND owner = nullptr;
    int dpi = win32dpi::kBaseDpi;
    HFONT nameFont = nullptr;
    HBITMAP logo = nullptr;
};

// A control at a box already scaled to the box's DPI.
HWND Child(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style,
           const layout::Box& box, int id, HFONT font) {
    HWND child = ::CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, box.x,
                                   box.y, box.width, box.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return child;
}

// A label as wide and high as its text needs.
HWND Label(HWND parent, const std::string& gbk, const layout::Box& at, int id, HFONT font,
           DWORD extra = 0) {
    const std::wstring text = W(gbk);
    HDC dc = ::GetDC(parent);
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(parent, dc);
    return Child(parent, L"STATIC", text, SS_LEFT | SS_NOPREFIX | extra,
                 layout::Box{at.x, at.y, size.cx + 2, size.cy + 2}, id, font);
}

void OpenPublisherPage() {
    platform::OpenWebAddress(publisher::WebAddress());
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<AboutState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        state = reinterpret_cast<AboutState*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const int dpi = state->dpi;
        const auto s = [dpi](const layout::Box& box) {
            return win32dpi::Scale(box, dpi);
        };
        HFONT font = win32dialogs::ProgramFont(dpi);
        ::SetWindowTextW(dialog, W(about::Caption()).c_str());
        ::SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        state->nameFont = ::CreateFontW(
            -win32dpi::Scale(layout::kAboutNameFontPixels, dpi), 0, 0, 0, FW_BOLD, FALSE, FALSE,
            FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
            DEFAULT_PITCH | FF_DONTCARE, win32text::U(layout::kFontFace).c_str());
        Child(dialog, L"STATIC", L"", SS_SUNKEN, s(layout::kAboutBevel), kBevel, font);
        const layout::Box logoBox = s(layout::kAboutLogo);
        HWND logo = Child(dialog, L"STATIC", L"", SS_BITMAP | SS_NOTIFY, logoBox, kLogo, font);
        state->logo = DrawCompanyLogo(logoBox.width, logoBox.height, dpi);
        ::SendMessageW(logo, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(state->logo));
        ::SetWindowPos(logo, nullptr, logoBox.x, logoBox.y, logoBox.width, logoBox.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        Label(dialog, about::ProductName(), s(layout::kAboutName), kName, state->nameFont);
        Label(dialog, about::VersionLabel(), s(layout::kAboutVersion), kVersion, font);
        Label(dialog, about::ReleaseLabel(about::ReleaseDate()), s(layout::kAboutDate), kDate,
              font);
        Label(dialog, publisher::WebAddress(), s(layout::kAboutWebSite), kWebSite, font, SS_NOTIFY);
        // The notice field grows to the right where its text needs it: the row
        // is free up to the close button.
        const layout::Box noticeBox = s(layout::kAboutNotice);
        const layout::Box closeBox = s(layout::kAboutClose);
        HWND notice =
            Label(dialog, about::Notice(), noticeBox, kNotice, font, SS_CENTER | SS_CENTERIMAGE);
        RECT measured{};
        ::GetWindowRect(notice, &measured);
        const int width =
            std::clamp(static_cast<int>(measured.right - measured.left) + win32dpi::Scale(8, dpi),
                       noticeBox.width, closeBox.x - noticeBox.x - win32dpi::Scale(8, dpi));
        ::SetWindowPos(notice, nullptr, 0, 0, width, noticeBox.height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        HWND close = Child(dialog, L"BUTTON", W(about::CloseCaption()),
                           WS_TABSTOP | BS_DEFPUSHBUTTON, closeBox, IDOK, font);
        ::SetWindowLongPtrW(close, GWLP_ID, IDOK);
        win32dialogs::SizeAndCentre(dialog, state->owner, win32dpi::Scale(layout::kAboutWidth, dpi),
                                    win32dpi::Scale(layout::kAboutHeight, dpi));
        ::SetFocus(close);
        return FALSE; // the focus is set
    }
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        ::SetTextColor(dc, id == kName      ? RGB(255, 0, 0)
                           : id == kWebSite ? RGB(0, 0, 255)
                                            : RGB(0, 0, 0));
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR: {
        const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(wParam));
        if (id == kLogo || id == kWebSite || id == IDOK) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case kLogo:
        case kWebSite:
            if (HIWORD(wParam) == STN_CLICKED) {
                OpenPublisherPage();
                return TRUE;
            }
            break;
        default:
            break;
        }
        break;
    case WM_DESTROY:
        if (state != nullptr) {
            ::DeleteObject(state->nameFont);
            ::DeleteObject(state->logo);
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

HBITMAP DrawCompanyLogo(int width, int height, int dpi) {
    const auto s = [dpi](int pixels) {
        return win32dpi::Scale(pixels, dpi);
    };
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    // A blue band from light to dark, a ".com" tag, the publisher's name.
    for (int x = 0; x < width; ++x) {
        const int t = x * 255 / std::max(1, width - 1);
        HBRUSH band =
            ::CreateSolidBrush(RGB(0x1f - (0x1f - 0x0b) * t / 255, 0x5f - (0x5f - 0x2f) * t / 255,
                                   0xbf - (0xbf - 0x6f) * t / 255));
        RECT column{x, 0, x + 1, height};
        ::FillRect(dc, &column, band);
        ::DeleteObject(band);
    }
    HBRUSH tag = ::CreateSolidBrush(RGB(0xf2, 0xb1, 0x34));
    HGDIOBJ oldBrush = ::SelectObject(dc, tag);
    HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
    const RECT tagRect{s(6), height / 2 - s(13), s(33), height / 2 + s(14)};
    ::Ellipse(dc, tagRect.left, tagRect.top, tagRect.right, tagRect.bottom);
    ::SetBkMode(dc, TRANSPARENT);
    HFONT small = ::CreateFontW(-s(9), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
    HGDIOBJ oldFont = ::SelectObject(dc, small);
    ::SetTextColor(dc, RGB(0x0b, 0x2f, 0x6f));
    RECT tagText = tagRect;
    ::DrawTextW(dc, L".com", -1, &tagText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    HFONT big = ::CreateFontW(-s(18), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
    ::SelectObject(dc, big);
    ::SetTextColor(dc, RGB(255, 255, 255));
    RECT nameRect{s(38), 0, width - s(4), height};
    ::DrawTextW(dc, L"Kestrova", -1, &nameRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(small);
    ::DeleteObject(big);
    ::DeleteObject(tag);
    ::DeleteDC(dc);
    return bitmap;
}

void ShowWin32AboutBox(HWND owner, int dpi) {
    AboutState state;
    state.owner = owner;
    state.dpi = dpi;
    const win32dialogs::EmptyDialogTemplate tmpl(WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                                 DS_MODALFRAME);
    ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), tmpl.Get(), owner, AboutProc,
                              reinterpret_cast<LPARAM>(&state));
}
