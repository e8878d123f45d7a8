// The program entry on Windows: the common controls, the main window, the
// message loop until the window closes.
#include "Texts.h"
#include "Win32MainWindow.h"
#include "Win32Text.h"

#include <windows.h>

#include <exception>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    try {
        TWin32MainWindow mainForm({}, true);
        if (!mainForm.Form().Started()) {
            return 1; // the start was refused, and the box has said why
        }
        ::ShowWindow(mainForm.Handle(), show);
        ::UpdateWindow(mainForm.Handle());
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            // Tab moves between the inputs, as in a dialog.
            if (!::IsDialogMessageW(mainForm.Handle(), &message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
        return 0;
    } catch (const std::exception& error) {
        ::MessageBoxW(nullptr, win32text::W(error.what()).c_str(),
                      win32text::W(texts::AppTitle()).c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
}
