#pragma once

#include <windows.h>

#include <commctrl.h>

// The eight tool bar glyphs, drawn by the program in the order of
// layout::Glyph, each size x size pixels (16 at 96 DPI, more at a larger
// scaling): an image list the caller owns.
HIMAGELIST DrawToolGlyphs(int size);
