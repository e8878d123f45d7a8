// The main window's controls from the shared layout table, placed for the
// window's size and scaled to the monitor's DPI.
#include "Dpi.h"
#include "Layout.h"
#include "SpinEdit.h"
#include "Win32Dialogs.h"
#include "Win32MainWindow.h"
#include "Win32Text.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

namespace {

using win32text::U;

constexpr int kFirstControlId = 1000;
// The filter group stands at a fixed place below the tool bar; its controls
// keep their table positions inside it.
constexpr int kGroupX = 4;
constexpr int kGroupY = layout::kToolbarHeight + 2;
constexpr int kSpinButtonsWidth = 16;

// The buttons of the filter group show a hand cursor.
LRESULT CALLBACK HandCursorProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
    if (message == WM_SETCURSOR) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

// The left panel and the group boxes paint their own background: the main
// window clips its children out of what it paints, and neither control fills
// what it frames.
LRESULT CALLBACK FilledBackgroundProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR) {
    if (message == WM_ERASEBKGND) {
        RECT area{};
        ::GetClientRect(control, &area);
        ::FillRect(reinterpret_cast<HDC>(wParam), &area, ::GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

// The progress bar prints its rounded percentage over the bar, in the middle,
// in the font the bar was given.
LRESULT CALLBACK ProgressTextProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
    if (message == WM_PAINT) {
        const LRESULT result = ::DefSubclassProc(bar, message, wParam, lParam);
        const int length = ::GetWindowTextLengthW(bar);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(::GetWindowTextW(bar, text.data(), length + 1)));
        HDC dc = ::GetDC(bar);
        RECT area{};
        ::GetClientRect(bar, &area);
        HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(bar, WM_GETFONT, 0, 0)));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        ::DrawTextW(dc, text.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::SelectObject(dc, old);
        ::ReleaseDC(bar, dc);
        return result;
    }
    if (message == WM_SETTEXT) {
        const LRESULT result = ::DefSubclassProc(bar, message, wParam, lParam);
        ::InvalidateRect(bar, nullptr, TRUE);
        return result;
    }
    return ::DefSubclassProc(bar, message, wParam, lParam);
}

} // namespace

int TWin32MainWindow::S(int pixels) const {
    return win32dpi::Scale(pixels, dpi_);
}

int TWin32MainWindow::TextWidth(const std::wstring& text) const {
    HDC dc = ::GetDC(window_);
    HGDIOBJ old = ::SelectObject(dc, win32dialogs::ProgramFont(dpi_));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(window_, dc);
    return size.cx;
}

HWND TWin32MainWindow::Make(const std::string& name, const wchar_t* cls, const std::wstring& text,
                            DWORD style, int x, int y, int w, int h, const std::string& hint,
                            DWORD exStyle) {
    const int id = kFirstControlId + static_cast<int>(commandNames_.size());
    HWND control = ::CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | style, x, y, w, h,
                                     window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     ::GetModuleHandleW(nullptr), nullptr);
    if (control == nullptr) {
        throw std::runtime_error("cannot create a control of the main window");
    }
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(win32dialogs::ProgramFont(dpi_)),
                   FALSE);
    commandNames_[id] = name;
    if (!name.empty()) {
        controls_[name] = control;
    }
    if (!hint.empty()) {
        AddHint(control, hint);
    }
    return control;
}

void TWin32MainWindow::AddHint(HWND control, const std::string& utf8Hint) {
    hints_.push_back(U(utf8Hint));
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = hints_.back().data();
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TWin32MainWindow::BuildControls() {
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 window_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, S(400));
    hints_.reserve(64); // the tooltips keep pointers into these strings

    BuildToolbar();
    Make("RzPanel2", L"STATIC", L"", WS_VISIBLE | SS_ETCHEDFRAME, 0, 0, 10, 10);
    Make("SettinGbx", L"BUTTON", U(layout::kFilterGroupTitle), WS_VISIBLE | BS_GROUPBOX, 0, 0, 10,
         10);
    BuildFilterGroup();
    Make("YinJieGbx", L"BUTTON", U(layout::kMemoGroupTitle), WS_VISIBLE | BS_GROUPBOX, 0, 0, 10,
         10);
    Make("YinjieMemo", L"EDIT", U(layout::kMemoDefault),
         WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0,
         10, 10, {}, WS_EX_CLIENTEDGE);

    HWND list = Make("RzListView", WC_LISTVIEWW, L"",
                     WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0,
                     10, 10, {}, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    int index = 0;
    for (const layout::Column& column : layout::kColumns) {
        std::wstring title = U(column.title);
        LVCOLUMNW lvc{};
        lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        lvc.pszText = title.data();
        lvc.cx = S(column.width);
        lvc.iSubItem = index;
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&lvc));
        ++index;
    }

    HWND status =
        Make("RzStatusBar", STATUSCLASSNAMEW, L"", WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0);
    ::SendMessageW(status, SB_SETMINHEIGHT, S(layout::kStatusBarHeight), 0);
    controls_["RzStatusPane"] = status; // the pane is part 0 of the bar
    HWND progress =
        ::CreateWindowExW(0, PROGRESS_CLASSW, L"0%", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 0, 0, 10,
                          10, status, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(progress, WM_SETFONT, reinterpret_cast<WPARAM>(win32dialogs::ProgramFont(dpi_)),
                   FALSE);
    ::SetWindowSubclass(progress, ProgressTextProc, 1, 0);
    controls_["RzProgressBar"] = progress;

    HWND log = Make("RzMemo1", L"EDIT", L"", ES_MULTILINE | ES_READONLY | WS_VSCROLL, 0, 0, 10, 10);
    ::SendMessageW(log, EM_SETLIMITTEXT, 0, 0); // a long run writes more than the default 32 K

    // The frames go below every control they hold, and paint only around them.
    for (const char* name : {"SettinGbx", "YinJieGbx", "RzPanel2"}) {
        HWND frame = Control(name);
        ::SetWindowLongPtrW(frame, GWL_STYLE,
                            ::GetWindowLongPtrW(frame, GWL_STYLE) | WS_CLIPSIBLINGS);
        ::SetWindowSubclass(frame, FilledBackgroundProc, 1, 0);
        ::SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TWin32MainWindow::BuildFilterGroup() {
    for (const layout::Control& c : layout::kFilterControls) {
        const DWORD visible = c.visible ? WS_VISIBLE : 0;
        const std::wstring text = U(c.text);
        switch (c.kind) {
        case layout::Kind::Label:
            Make(c.name, L"STATIC", text, visible | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0);
            break;
        case layout::Kind::Combo:
            Make(c.name, WC_COMBOBOXW, L"", visible | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                 0, 0, 0, c.hint);
            break;
        case layout::Kind::Spin: {
            HWND edit = Make(c.name, L"EDIT", text,
                             visible | WS_TABSTOP | ES_RIGHT | ES_NUMBER | ES_AUTOHSCROLL, 0, 0, 0,
                             0, c.hint, WS_EX_CLIENTEDGE);
            HWND upDown =
                Make(std::string(c.name) + ".UpDown", UPDOWN_CLASSW, L"",
                     visible | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                     0, 0, 0, 0);
            ::SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
            ::SendMessageW(upDown, UDM_SETRANGE32, layout::kSpinMinimum, layout::kSpinMaximum);
            ::SendMessageW(upDown, UDM_SETPOS32, 0, std::stoi(c.text));
            // After the buddy: the edit's own keys and wheel come first.
            MakeSpinEdit(edit, upDown);
            break;
        }
        case layout::Kind::Edit:
            Make(c.name, L"EDIT", text, visible | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0, c.hint,
                 WS_EX_CLIENTEDGE);
            break;
        case layout::Kind::Button: {
            HWND button = Make(c.name, L"BUTTON", text, visible | WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
                               0, 0, c.hint);
            ::SetWindowSubclass(button, HandCursorProc, 1, 0);
            break;
        }
        case layout::Kind::Check:
            Make(c.name, L"BUTTON", text, visible | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, 0, 0,
                 c.hint);
            break;
        }
    }
    PlaceFilterControls();
}

// The filter group's controls at the table's places, scaled. A caption label
// is at least as wide as its text; a spin edit's text part never gets narrower
// than "100" needs beside its up-down buttons.
void TWin32MainWindow::PlaceFilterControls() {
    // The caption labels have no names: they are the unnamed statics in table order.
    std::size_t index = 0;
    std::vector<HWND> labels;
    for (const auto& [id, name] : commandNames_) {
        if (name.empty()) {
            HWND control = ::GetDlgItem(window_, id);
            wchar_t cls[16] = {};
            ::GetClassNameW(control, cls, 16);
            if (std::wstring(cls) == L"Static") {
                labels.push_back(control);
            }
        }
    }
    for (const layout::Control& c : layout::kFilterControls) {
        const int x = S(kGroupX + c.x);
        const int y = S(kGroupY + c.y);
        HWND control = c.name[0] != '\0'       ? Control(c.name)
                       : index < labels.size() ? labels[index++]
                                               : nullptr;
        if (control == nullptr) {
            continue;
        }
        switch (c.kind) {
        case layout::Kind::Label:
            ::MoveWindow(control, x, y, std::max(S(c.width), TextWidth(U(c.text)) + 2), S(c.height),
                         TRUE);
            break;
        case layout::Kind::Combo:
            // The height is the dropped list's.
            ::MoveWindow(control, x, y, S(c.width), S(200), TRUE);
            break;
        case layout::Kind::Spin: {
            // The up-down buttons take their part from the edit's right.
            const int buttons = S(kSpinButtonsWidth);
            const int width = std::max(S(c.width), TextWidth(L"100") + S(10) + buttons);
            ::MoveWindow(control, x, y, width - buttons, S(c.height), TRUE);
            ::MoveWindow(Control(std::string(c.name) + ".UpDown"), x + width - buttons, y, buttons,
                         S(c.height), TRUE);
            break;
        }
        default:
            ::MoveWindow(control, x, y, S(c.width), S(c.height), TRUE);
            break;
        }
    }
}

// Places every control for the client area's size: the filter group keeps its
// table positions inside the group; the memo, the list, the tool bar's width
// and the status bar follow the window and the splitters. A minimised window
// (no client area) is left as it stands.
void TWin32MainWindow::Arrange() {
    RECT client{};
    ::GetClientRect(window_, &client);
    const int width = client.right;
    const int height = client.bottom;
    if (::IsIconic(window_) || width <= 0 || height <= 0) {
        return;
    }
    HWND status = Control("RzStatusBar");
    ::SendMessageW(status, WM_SIZE, 0, 0);
    RECT statusRect{};
    ::GetWindowRect(status, &statusRect);
    const int statusHeight = statusRect.bottom - statusRect.top;
    const int parts[2] = {S(layout::kStatusPaneWidth), -1};
    ::SendMessageW(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    RECT part{};
    ::SendMessageW(status, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    const int grip = ::GetSystemMetrics(SM_CXVSCROLL);
    ::MoveWindow(Control("RzProgressBar"), part.left + 2, part.top + 2,
                 std::max(0, static_cast<int>(part.right - part.left) - 4 - grip),
                 part.bottom - part.top - 4, TRUE);

    ::MoveWindow(Control("RzToolbar1"), 0, 0, width, S(layout::kToolbarHeight), TRUE);
    HWND support = Control("SupportLbl");
    RECT supportRect{};
    ::GetWindowRect(support, &supportRect);
    const int supportWidth = supportRect.right - supportRect.left;
    const int supportHeight = supportRect.bottom - supportRect.top;
    ::MoveWindow(support, std::max(0, width - supportWidth - S(8)),
                 (S(layout::kToolbarHeight) - supportHeight) / 2, supportWidth, supportHeight,
                 TRUE);

    const int top = S(layout::kToolbarHeight);
    const int bodyHeight = std::max(0, height - statusHeight - top);
    const int left = ShownLeftWidth(width);
    const int filter = ShownFilterHeight(bodyHeight);
    const int groupX = S(kGroupX);
    const int groupY = S(kGroupY);
    ::MoveWindow(Control("RzPanel2"), 0, top, left, bodyHeight, TRUE);
    const int groupWidth = left - 2 * groupX;
    ::MoveWindow(Control("SettinGbx"), groupX, groupY, groupWidth, filter, TRUE);
    const int memoGroupY = groupY + filter + S(layout::kSplitterWidth);
    const int memoGroupHeight = std::max(S(40), top + bodyHeight - S(2) - memoGroupY);
    ::MoveWindow(Control("YinJieGbx"), groupX, memoGroupY, groupWidth, memoGroupHeight, TRUE);
    ::MoveWindow(Control("YinjieMemo"), groupX + S(8), memoGroupY + S(20), groupWidth - S(16),
                 std::max(S(10), memoGroupHeight - S(28)), TRUE);
    ::MoveWindow(Control("RzListView"), left + S(layout::kSplitterWidth), top,
                 std::max(0, width - left - S(layout::kSplitterWidth)), bodyHeight, TRUE);
    FitLastColumn();
}

// The last column takes what the others leave, but never less than its own
// width: the words column then scrolls rather than shrinking to nothing.
void TWin32MainWindow::FitLastColumn() {
    HWND list = Control("RzListView");
    RECT client{};
    ::GetClientRect(list, &client);
    int used = 0;
    for (int column = 0; column + 1 < TResultList::kColumnCount; ++column) {
        used += static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    }
    const int last = TResultList::kColumnCount - 1;
    const int width =
        std::max(S(layout::kColumns[last].width), static_cast<int>(client.right) - used);
    // Setting a width repaints the whole list: only when it changes.
    if (::SendMessageW(list, LVM_GETCOLUMNWIDTH, last, 0) != width) {
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, last, width);
    }
}

void TWin32MainWindow::ChangeDpi(int dpi, const RECT& suggested) {
    const int old = dpi_;
    if (dpi <= 0 || dpi == old) {
        return;
    }
    dpi_ = dpi;
    leftWidth_ = ::MulDiv(leftWidth_, dpi, old);
    filterHeight_ = ::MulDiv(filterHeight_, dpi, old);
    const auto font = reinterpret_cast<WPARAM>(win32dialogs::ProgramFont(dpi));
    for (const auto& [name, control] : controls_) {
        ::SendMessageW(control, WM_SETFONT, font, FALSE);
    }
    for (const auto& [id, name] : commandNames_) {
        if (name.empty()) {
            ::SendMessageW(::GetDlgItem(window_, id), WM_SETFONT, font, FALSE);
        }
    }
    HWND list = Control("RzListView");
    for (int column = 0; column + 1 < TResultList::kColumnCount; ++column) {
        const int width = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, column, ::MulDiv(width, dpi, old));
    }
    ::SendMessageW(Control("RzStatusBar"), SB_SETMINHEIGHT, S(layout::kStatusBarHeight), 0);
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, S(400));
    SizeToolbar();
    PlaceFilterControls();
    ::SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    Arrange();
    ::InvalidateRect(window_, nullptr, TRUE);
}
