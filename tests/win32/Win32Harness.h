#pragma once

#include "DialogScript.h"
#include "Main.h"
#include "ProcessCounts.h"
#include "TestUtil.h"
#include "Win32MainWindow.h"
#include "Win32Text.h"

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// Runs the thread's messages until pred holds or timeoutMs pass.
inline bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 15000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                continue;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (pred()) {
            return true;
        }
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

inline void PumpFor(int ms) {
    PumpUntil([] { return false; }, ms);
}

// The real Win32 main window with a scripted stand-in for its boxes and
// dialogs, and a temporary folder for the executable's files.
class Win32Harness : public DialogScript {
public:
    TempDir folder;
    std::unique_ptr<TWin32MainWindow> window;

    explicit Win32Harness(TMainFormOptions options = {}, bool keepStopPause = false) {
        // Given a program's path, the settings file is the one beside it.
        if (options.ExecutablePath.empty()) {
            options.ExecutablePath = folder.File("dovrenta.exe");
            if (options.IniPath.empty()) {
                options.IniPath = folder.File("kestrova.ini");
            }
        }
        if (options.StopPauseMs == TRunController::kStopPauseMs && !keepStopPause) {
            options.StopPauseMs = 10;
        }
        window = std::make_unique<TWin32MainWindow>(options);
        ::ShowWindow(window->Handle(), SW_SHOWNORMAL);
        ::UpdateWindow(window->Handle());
        PumpFor(20);
    }
    ~Win32Harness() { window.reset(); }

    TMainForm& Form() const { return window->Form(); }
    HWND Find(const char* name) const { return window->Control(name); }

    // A push button, pressed as the user presses it.
    void Click(const char* name) const { ::SendMessageW(Find(name), BM_CLICK, 0, 0); }

    // A tool bar button, clicked with the mouse in the middle of its rectangle.
    void ClickTool(const char* name) const {
        HWND bar = Find("RzToolbar1");
        const int command = window->ToolCommand(name);
        RECT r{};
        ::SendMessageW(bar, TB_GETRECT, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::SendMessageW(bar, WM_MOUSEMOVE, 0, at);
        ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(bar, WM_LBUTTONUP, 0, at);
    }

    std::string Text(const char* name) const { return win32text::WindowTextGbk(Find(name)); }
    void SetText(const char* name, const std::string& gbk) const {
        ::SetWindowTextW(Find(name), win32text::W(gbk).c_str());
    }

    std::string Status() const {
        HWND bar = Find("RzStatusBar");
        const auto length = LOWORD(::SendMessageW(bar, SB_GETTEXTLENGTHW, 0, 0));
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        ::SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length);
        return win32text::Gbk(text);
    }

    int Rows() const {
        return static_cast<int>(::SendMessageW(Find("RzListView"), LVM_GETITEMCOUNT, 0, 0));
    }

    // A cell as the list view shows it (asked of the window, as a screen reader would).
    std::string Cell(int row, int column) const {
        wchar_t buffer[256] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 256;
        ::SendMessageW(Find("RzListView"), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&item));
        return win32text::Gbk(buffer);
    }

    int Spin(const char* name) const {
        return static_cast<int>(
            ::SendMessageW(Find((std::string(name) + ".UpDown").c_str()), UDM_GETPOS32, 0, 0));
    }
};

} // namespace testing_support
