#pragma once

#include <windows.h>

// The spin edits: an edit with an up-down control as its buddy. The text takes
// no typing, cutting, pasting or input method (a key that would type beeps);
// the value moves by the buttons, the arrow keys, Page Up and Page Down (by
// 10) and the mouse wheel: a notch steps by 1, with Ctrl by 10, and the small
// steps of a precision touchpad add up to one step per notch.
void MakeSpinEdit(HWND edit, HWND upDown);

// The steps a wheel message makes: carried holds the part of a notch left
// over from the messages before, in the wheel's units (120 a notch).
int WheelSteps(int& carried, int delta, bool ctrl);
