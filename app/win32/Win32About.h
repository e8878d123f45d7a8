#pragma once

#include <windows.h>

// The About box on Win32: created anew, shown modally over owner, centred on
// the screen, destroyed when it closes (its close button, Enter, Escape or the
// title bar).
void ShowWin32AboutBox(HWND owner, int dpi);

// The publisher's logo, drawn by the program (a bitmap the caller owns).
HBITMAP DrawCompanyLogo(int width, int height, int dpi);
