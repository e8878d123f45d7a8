// The tool bar: seven buttons with a glyph above each caption, and the
// support contact at its right end.
#include "Dpi.h"
#include "Layout.h"
#include "Publisher.h"
#include "ToolGlyphs.h"
#include "Win32MainWindow.h"
#include "Win32Text.h"

#include <commctrl.h>

namespace {

constexpr int kFirstToolCommand = 2000;

} // namespace

int TWin32MainWindow::ToolCommand(const std::string& name) const {
    int index = 0;
    for (const layout::ToolButton& tool : layout::kToolButtons) {
        if (name == tool.name) {
            return kFirstToolCommand + index;
        }
        ++index;
    }
    return -1;
}

void TWin32MainWindow::BuildToolbar() {
    Make("RzToolbar1", TOOLBARCLASSNAMEW, L"",
         WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
             CCS_NODIVIDER | CCS_NOPARENTALIGN,
         0, 0, S(layout::kClientWidth), S(layout::kToolbarHeight));
    for (const layout::ToolButton& tool : layout::kToolButtons) {
        toolCaptions_.push_back(win32text::U(tool.caption));
        toolHints_.push_back(win32text::U(tool.hint));
    }
    Make("SupportLbl", L"STATIC", win32text::W(publisher::SupportText()),
         WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0);
    SizeToolbar();
}

// The buttons, glyphs and spacers at the window's DPI: put in anew, since a
// spacer's width is fixed when it is added.
void TWin32MainWindow::SizeToolbar() {
    HWND bar = Control("RzToolbar1");
    while (::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0) > 0) {
        ::SendMessageW(bar, TB_DELETEBUTTON, 0, 0);
    }
    ::SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const int glyph = S(layout::kGlyphSize);
    ::SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(glyph, glyph));
    HIMAGELIST old = glyphs_;
    glyphs_ = DrawToolGlyphs(glyph);
    ::SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(glyphs_));
    if (old != nullptr) {
        ::ImageList_Destroy(old);
    }

    std::vector<TBBUTTON> buttons;
    auto separator = [&](int width) {
        TBBUTTON gap{};
        gap.iBitmap = S(width);
        gap.fsStyle = BTNS_SEP;
        buttons.push_back(gap);
    };
    separator(layout::kLeadingSpacer);
    int index = 0;
    for (const layout::ToolButton& tool : layout::kToolButtons) {
        if (tool.spacerBefore) {
            separator(layout::kMiddleSpacer);
        }
        TBBUTTON button{};
        button.iBitmap = static_cast<int>(tool.glyph);
        button.idCommand = kFirstToolCommand + index;
        button.fsState = static_cast<BYTE>(TBSTATE_ENABLED | (tool.visible ? 0 : TBSTATE_HIDDEN));
        button.fsStyle = BTNS_BUTTON;
        button.iString =
            reinterpret_cast<INT_PTR>(toolCaptions_[static_cast<std::size_t>(index)].c_str());
        buttons.push_back(button);
        ++index;
    }
    ::SendMessageW(bar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    // The width limits first: setting them measures the buttons anew.
    const int width = S(layout::kToolButtonWidth);
    ::SendMessageW(bar, TB_SETBUTTONWIDTH, 0, MAKELPARAM(width, width));
    ::SendMessageW(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(width, S(layout::kToolButtonHeight)));

    HWND support = Control("SupportLbl");
    const int length = ::GetWindowTextLengthW(support);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(support, text.data(), length + 1)));
    ::SetWindowPos(support, nullptr, 0, 0, TextWidth(text) + 2, S(18),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
