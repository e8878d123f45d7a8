#pragma once

#include "Layout.h"

#include <windows.h>

// Display scaling. The layout table's pixels are the sizes at 96 DPI (100 %);
// every window scales them by the DPI of the monitor it stands on.
namespace win32dpi {

inline constexpr int kBaseDpi = 96;

// The DPI of the monitor window is on: GetDpiForWindow where the system has it
// (Windows 10 1607 and later), else the screen's.
int WindowDpi(HWND window);

// A 96-DPI length at dpi.
inline int Scale(int pixels, int dpi) {
    return ::MulDiv(pixels, dpi, kBaseDpi);
}

inline layout::Box Scale(const layout::Box& box, int dpi) {
    return layout::Box{Scale(box.x, dpi), Scale(box.y, dpi), Scale(box.width, dpi),
                       Scale(box.height, dpi)};
}

// DPI awareness for a process started without the program's manifest (a test
// program): per monitor where the system has it, else for the system's DPI.
bool BecomePerMonitorAware();

} // namespace win32dpi
