#include "ToolGlyphs.h"

#include "Layout.h"

#include <algorithm>

// Drawn on a 16 x 16 grid scaled to size, on a magenta that becomes
// transparent.
HIMAGELIST DrawToolGlyphs(int size) {
    const int n = size;
    // A point of the 16 x 16 grid at this size.
    const auto p = [size](int v) {
        return v * size / layout::kGlyphSize;
    };
    constexpr COLORREF kMask = RGB(255, 0, 255);
    const int count = 8;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP strip = ::CreateCompatibleBitmap(screen, n * count, n);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = ::SelectObject(dc, strip);
    HBRUSH mask = ::CreateSolidBrush(kMask);
    RECT all{0, 0, n * count, n};
    ::FillRect(dc, &all, mask);
    ::DeleteObject(mask);

    const auto pen = [&](COLORREF color, int width) {
        return ::CreatePen(PS_SOLID, std::max(1, p(width)), color);
    };
    const auto disc = [&](int x0, COLORREF fill, COLORREF edge) {
        HBRUSH brush = ::CreateSolidBrush(fill);
        HPEN outline = pen(edge, 1);
        HGDIOBJ b = ::SelectObject(dc, brush);
        HGDIOBJ oldPen = ::SelectObject(dc, outline);
        ::Ellipse(dc, x0 + p(1), p(1), x0 + n - p(1), n - p(1));
        ::SelectObject(dc, b);
        ::SelectObject(dc, oldPen);
        ::DeleteObject(brush);
        ::DeleteObject(outline);
    };
    const auto line = [&](int x0, int x1, int y1, int x2, int y2, COLORREF color, int width) {
        HPEN stroke = pen(color, width);
        HGDIOBJ oldPen = ::SelectObject(dc, stroke);
        ::MoveToEx(dc, x0 + p(x1), p(y1), nullptr);
        ::LineTo(dc, x0 + p(x2), p(y2));
        ::SelectObject(dc, oldPen);
        ::DeleteObject(stroke);
    };
    const auto letter = [&](int x0, const wchar_t* text) {
        HFONT font = ::CreateFontW(-p(12), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
        HGDIOBJ f = ::SelectObject(dc, font);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(255, 255, 255));
        RECT box{x0, 0, x0 + n, n};
        ::DrawTextW(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::SelectObject(dc, f);
        ::DeleteObject(font);
    };
    const COLORREF blue = RGB(0x1f, 0x5f, 0xbf);
    const COLORREF red = RGB(0xd0, 0x20, 0x20);
    // 查询: a magnifying glass.
    {
        HBRUSH glass = ::CreateSolidBrush(RGB(0xdd, 0xee, 0xff));
        HPEN rim = pen(blue, 2);
        HGDIOBJ b = ::SelectObject(dc, glass);
        HGDIOBJ oldPen = ::SelectObject(dc, rim);
        ::Ellipse(dc, p(1), p(1), p(11), p(11));
        ::SelectObject(dc, b);
        ::SelectObject(dc, oldPen);
        ::DeleteObject(glass);
        ::DeleteObject(rim);
        line(0, 9, 9, 14, 14, RGB(0x60, 0x40, 0x20), 3);
    }
    // 停止: a red disc with a white bar.
    disc(n, red, RGB(0x90, 0, 0));
    line(n, 4, 8, 12, 8, RGB(255, 255, 255), 3);
    // 清空: a grey bin.
    {
        const int x0 = 2 * n;
        HBRUSH grey = ::CreateSolidBrush(RGB(0xa0, 0xa0, 0xa0));
        RECT lid{x0 + p(2), p(2), x0 + p(14), p(4)};
        RECT body{x0 + p(4), p(5), x0 + p(12), p(15)};
        ::FillRect(dc, &lid, grey);
        ::FillRect(dc, &body, grey);
        ::DeleteObject(grey);
    }
    // 导出: a blue sheet with a white arrow out of it.
    {
        const int x0 = 3 * n;
        HBRUSH sheet = ::CreateSolidBrush(blue);
        RECT page{x0 + p(2), p(2), x0 + p(14), p(14)};
        ::FillRect(dc, &page, sheet);
        ::DeleteObject(sheet);
        line(x0, 8, 4, 8, 11, RGB(255, 255, 255), 2);
        line(x0, 5, 8, 8, 11, RGB(255, 255, 255), 2);
        line(x0, 11, 8, 8, 11, RGB(255, 255, 255), 2);
    }
    // 帮助 and 关于: blue discs with "?" and "i".
    disc(4 * n, blue, RGB(0x0b, 0x2f, 0x6f));
    letter(4 * n, L"?");
    disc(5 * n, blue, RGB(0x0b, 0x2f, 0x6f));
    letter(5 * n, L"i");
    // 关闭: a red cross.
    line(6 * n, 3, 3, 13, 13, red, 3);
    line(6 * n, 13, 3, 3, 13, red, 3);
    // 重查: a green arrow going round, back to its start.
    {
        const int x0 = 7 * n;
        const COLORREF green = RGB(0x20, 0x90, 0x30);
        HPEN stroke = pen(green, 2);
        HGDIOBJ oldPen = ::SelectObject(dc, stroke);
        HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
        // Counter-clockwise (as GDI draws arcs) the long way round: from the
        // top right over the top, the left and the bottom, up to the right.
        ::Arc(dc, x0 + p(2), p(2), x0 + p(14), p(14), x0 + p(12), p(3), x0 + p(14), p(8));
        ::SelectObject(dc, oldBrush);
        ::SelectObject(dc, oldPen);
        ::DeleteObject(stroke);
        // Its head, pointing up where the arc ends.
        line(x0, 14, 5, 11, 8, green, 2);
        line(x0, 14, 5, 16, 8, green, 2);
    }

    ::SelectObject(dc, oldBitmap);
    ::DeleteDC(dc);
    HIMAGELIST list = ::ImageList_Create(n, n, ILC_COLOR24 | ILC_MASK, count, 0);
    ::ImageList_AddMasked(list, strip, kMask);
    ::DeleteObject(strip);
    return list;
}
