#pragma once

#include <windows.h>

#include <commctrl.h>

// The seven tool bar glyphs, drawn by the program in the order of
// layout::Glyph, each size x size pixels (16 at 96 DPI, more at a larger
// scaling): an image list the caller owns.
HIMAGELIST DrawToolGlyphs(int size);
