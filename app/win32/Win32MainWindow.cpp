#include "Win32MainWindow.h"

#include "Gbk.h"
#include "Layout.h"
#include "Publisher.h"
#include "Win32About.h"
#include "Win32Dialogs.h"
#include "Win32Text.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

namespace {

using win32text::U;
using win32text::W;

constexpr wchar_t kClassName[] = L"VantreelMainForm";
constexpr int kFirstControlId = 1000;
constexpr int kFirstToolCommand = 2000;
constexpr int kMinimumFilterHeight = layout::kFilterGroupHeight;
// The filter group stands at a fixed place below the tool bar; its controls
// keep their table positions inside it.
constexpr int kGroupX = 4;
constexpr int kGroupY = layout::kToolbarHeight + 2;

HINSTANCE Instance() {
    return ::GetModuleHandleW(nullptr);
}

void RegisterClassOnce(WNDPROC proc) {
    static const bool registered = [proc] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES |
                                                           ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS |
                                                           ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = proc;
        cls.hInstance = Instance();
        cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        cls.hIcon = ::LoadIconW(Instance(), MAKEINTRESOURCEW(1));
        cls.lpszClassName = kClassName;
        return ::RegisterClassExW(&cls) != 0;
    }();
    if (!registered) {
        throw std::runtime_error("cannot register the main window's class");
    }
}

// The spin edits' text takes no typing, cutting, pasting or input method: a
// key that would type beeps; the value moves by the buttons, the arrow keys,
// Page Up and Page Down and the mouse wheel.
LRESULT CALLBACK SpinEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR upDown) {
    const auto step = [&](int delta) {
        const int value =
            static_cast<int>(::SendMessageW(reinterpret_cast<HWND>(upDown), UDM_GETPOS32, 0, 0)) +
            delta;
        ::SendMessageW(reinterpret_cast<HWND>(upDown), UDM_SETPOS32, 0,
                       std::clamp(value, layout::kSpinMinimum, layout::kSpinMaximum));
    };
    switch (message) {
    case WM_CHAR:
        if (wParam != VK_TAB && wParam != VK_RETURN && wParam != VK_ESCAPE) {
            ::MessageBeep(MB_OK);
        }
        return 0;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_PRIOR:
            step(10);
            return 0;
        case VK_NEXT:
            step(-10);
            return 0;
        case VK_DELETE:
            ::MessageBeep(MB_OK);
            return 0;
        default:
            break;
        }
        break;
    case WM_MOUSEWHEEL:
        step(GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? 1 : -1);
        return 0;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_CONTEXTMENU:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
    case WM_IME_STARTCOMPOSITION:
        return 0;
    default:
        break;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

// The buttons of the filter group show a hand cursor.
LRESULT CALLBACK HandCursorProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
    if (message == WM_SETCURSOR) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

// The progress bar prints its rounded percentage over the bar, in the middle.
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
        HGDIOBJ old = ::SelectObject(dc, win32dialogs::ProgramFont());
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

int TextWidth(HWND window, const std::wstring& text) {
    HDC dc = ::GetDC(window);
    HGDIOBJ old = ::SelectObject(dc, win32dialogs::ProgramFont());
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    return size.cx;
}

// The seven 16 x 16 tool bar glyphs, drawn by the program in the order of
// layout::Glyph, on a magenta that becomes transparent.
HIMAGELIST DrawToolGlyphs() {
    constexpr int n = layout::kGlyphSize;
    constexpr COLORREF kMask = RGB(255, 0, 255);
    const int count = 7;
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
        return ::CreatePen(PS_SOLID, width, color);
    };
    const auto disc = [&](int x0, COLORREF fill, COLORREF edge) {
        HBRUSH brush = ::CreateSolidBrush(fill);
        HPEN outline = pen(edge, 1);
        HGDIOBJ b = ::SelectObject(dc, brush);
        HGDIOBJ p = ::SelectObject(dc, outline);
        ::Ellipse(dc, x0 + 1, 1, x0 + n - 1, n - 1);
        ::SelectObject(dc, b);
        ::SelectObject(dc, p);
        ::DeleteObject(brush);
        ::DeleteObject(outline);
    };
    const auto line = [&](int x0, int x1, int y1, int x2, int y2, COLORREF color, int width) {
        HPEN stroke = pen(color, width);
        HGDIOBJ p = ::SelectObject(dc, stroke);
        ::MoveToEx(dc, x0 + x1, y1, nullptr);
        ::LineTo(dc, x0 + x2, y2);
        ::SelectObject(dc, p);
        ::DeleteObject(stroke);
    };
    const auto letter = [&](int x0, const wchar_t* text) {
        HFONT font = ::CreateFontW(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
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
        HGDIOBJ p = ::SelectObject(dc, rim);
        ::Ellipse(dc, 1, 1, 11, 11);
        ::SelectObject(dc, b);
        ::SelectObject(dc, p);
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
        RECT lid{x0 + 2, 2, x0 + 14, 4};
        RECT body{x0 + 4, 5, x0 + 12, 15};
        ::FillRect(dc, &lid, grey);
        ::FillRect(dc, &body, grey);
        ::DeleteObject(grey);
    }
    // 导出: a blue sheet with a white arrow out of it.
    {
        const int x0 = 3 * n;
        HBRUSH sheet = ::CreateSolidBrush(blue);
        RECT page{x0 + 2, 2, x0 + 14, 14};
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

    ::SelectObject(dc, oldBitmap);
    ::DeleteDC(dc);
    HIMAGELIST list = ::ImageList_Create(n, n, ILC_COLOR24 | ILC_MASK, count, 0);
    ::ImageList_AddMasked(list, strip, kMask);
    ::DeleteObject(strip);
    return list;
}

} // namespace

TWin32MainWindow::TWin32MainWindow(TMainFormOptions options, bool quitOnClose)
    : options_(std::move(options)), quitOnClose_(quitOnClose), leftWidth_(layout::kLeftPanelWidth),
      filterHeight_(layout::kFilterGroupHeight) {
    RegisterClassOnce(&TWin32MainWindow::WindowProc);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const DWORD style = WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX;
    window_ = ::CreateWindowExW(0, kClassName, L"", style | WS_CLIPCHILDREN,
                                work.left + (work.right - work.left - layout::kOuterWidth) / 2,
                                work.top + (work.bottom - work.top - layout::kOuterHeight) / 2,
                                layout::kOuterWidth, layout::kOuterHeight, nullptr, nullptr,
                                Instance(), this);
    if (window_ == nullptr) {
        throw std::runtime_error("cannot create the main window");
    }
    form_ = std::make_unique<TMainForm>(static_cast<IMainView&>(*this), options_);
    form_->ResultList().SetObserver(this);
    ListReset();
}

TWin32MainWindow::~TWin32MainWindow() {
    form_->Shutdown();
    form_->ResultList().SetObserver(nullptr);
    if (::IsWindow(window_)) {
        quitOnClose_ = false;
        ::DestroyWindow(window_);
    }
    form_.reset();
    if (glyphs_ != nullptr) {
        ::ImageList_Destroy(glyphs_);
    }
}

HWND TWin32MainWindow::Control(const std::string& name) const {
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

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

// ---------------------------------------------------------------- building

HWND TWin32MainWindow::Make(const std::string& name, const wchar_t* cls, const std::wstring& text,
                            DWORD style, int x, int y, int w, int h, const std::string& hint,
                            DWORD exStyle) {
    const int id = kFirstControlId + static_cast<int>(commandNames_.size());
    HWND control =
        ::CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | style, x, y, w, h, window_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    if (control == nullptr) {
        throw std::runtime_error("cannot create a control of the main window");
    }
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(win32dialogs::ProgramFont()),
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
                                 window_, nullptr, Instance(), nullptr);
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
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
                     WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                         LVS_SHOWSELALWAYS,
                     0, 0, 10, 10, {}, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    int index = 0;
    for (const layout::Column& column : layout::kColumns) {
        std::wstring title = U(column.title);
        LVCOLUMNW lvc{};
        lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        lvc.pszText = title.data();
        lvc.cx = column.width;
        lvc.iSubItem = index;
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&lvc));
        ++index;
    }

    HWND status =
        Make("RzStatusBar", STATUSCLASSNAMEW, L"", WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0);
    ::SendMessageW(status, SB_SETMINHEIGHT, layout::kStatusBarHeight, 0);
    controls_["RzStatusPane"] = status; // the pane is part 0 of the bar
    HWND progress = ::CreateWindowExW(0, PROGRESS_CLASSW, L"0%", WS_CHILD | WS_VISIBLE | PBS_SMOOTH,
                                      0, 0, 10, 10, status, nullptr, Instance(), nullptr);
    ::SetWindowSubclass(progress, ProgressTextProc, 1, 0);
    controls_["RzProgressBar"] = progress;

    HWND log = Make("RzMemo1", L"EDIT", L"", ES_MULTILINE | ES_READONLY | WS_VSCROLL, 0, 0, 10, 10);
    ::SendMessageW(log, EM_SETLIMITTEXT, 0, 0); // a long run writes more than the default 32 K

    SetStatusText(platform::Utf8ToGbk(layout::kWelcome));
    ShowProgress(TProgress{});
}

void TWin32MainWindow::BuildToolbar() {
    HWND bar = Make("RzToolbar1", TOOLBARCLASSNAMEW, L"",
                    WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                        CCS_NODIVIDER | CCS_NOPARENTALIGN,
                    0, 0, layout::kClientWidth, layout::kToolbarHeight);
    ::SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(layout::kGlyphSize, layout::kGlyphSize));
    glyphs_ = DrawToolGlyphs();
    ::SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(glyphs_));

    std::vector<std::wstring> captions;
    captions.reserve(std::size(layout::kToolButtons));
    for (const layout::ToolButton& tool : layout::kToolButtons) {
        captions.push_back(U(tool.caption));
        toolHints_.push_back(U(tool.hint));
    }
    std::vector<TBBUTTON> buttons;
    auto separator = [&](int width) {
        TBBUTTON gap{};
        gap.iBitmap = width;
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
            reinterpret_cast<INT_PTR>(captions[static_cast<std::size_t>(index)].c_str());
        buttons.push_back(button);
        ++index;
    }
    ::SendMessageW(bar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    // The width limits first: setting them measures the buttons anew.
    ::SendMessageW(bar, TB_SETBUTTONWIDTH, 0,
                   MAKELPARAM(layout::kToolButtonWidth, layout::kToolButtonWidth));
    ::SendMessageW(bar, TB_SETBUTTONSIZE, 0,
                   MAKELPARAM(layout::kToolButtonWidth, layout::kToolButtonHeight));

    // The support contact at the right end, over the tool bar's band.
    const std::wstring support = W(publisher::SupportText());
    Make("SupportLbl", L"STATIC", support, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0,
         TextWidth(window_, support) + 2, 18);
}

void TWin32MainWindow::BuildFilterGroup() {
    for (const layout::Control& c : layout::kFilterControls) {
        const DWORD visible = c.visible ? WS_VISIBLE : 0;
        const std::wstring text = U(c.text);
        switch (c.kind) {
        case layout::Kind::Label: {
            const int width = std::max(c.width, TextWidth(window_, text) + 2);
            Make(c.name, L"STATIC", text, visible | SS_LEFT | SS_NOPREFIX, kGroupX + c.x,
                 kGroupY + c.y, width, c.height);
            break;
        }
        case layout::Kind::Combo:
            Make(c.name, WC_COMBOBOXW, L"", visible | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                 kGroupX + c.x, kGroupY + c.y, c.width, 200, c.hint);
            break;
        case layout::Kind::Spin: {
            // The edit and its up-down buttons share the table's width, and the
            // up-down takes its part from the edit's right: the edit's text part
            // never gets narrower than "100" needs.
            const int buttons = ::GetSystemMetrics(SM_CXVSCROLL);
            const int editWidth = std::max(c.width, TextWidth(window_, L"100") + 10 + buttons);
            HWND edit = Make(
                c.name, L"EDIT", text, visible | WS_TABSTOP | ES_RIGHT | ES_NUMBER | ES_AUTOHSCROLL,
                kGroupX + c.x, kGroupY + c.y, editWidth, c.height, c.hint, WS_EX_CLIENTEDGE);
            HWND upDown =
                Make(std::string(c.name) + ".UpDown", UPDOWN_CLASSW, L"",
                     visible | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                     0, 0, 0, 0);
            ::SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
            ::SendMessageW(upDown, UDM_SETRANGE32, layout::kSpinMinimum, layout::kSpinMaximum);
            ::SendMessageW(upDown, UDM_SETPOS32, 0, std::stoi(c.text));
            ::SetWindowSubclass(edit, SpinEditProc, 1, reinterpret_cast<DWORD_PTR>(upDown));
            break;
        }
        case layout::Kind::Edit:
            Make(c.name, L"EDIT", text, visible | WS_TABSTOP | ES_AUTOHSCROLL, kGroupX + c.x,
                 kGroupY + c.y, c.width, c.height, c.hint, WS_EX_CLIENTEDGE);
            break;
        case layout::Kind::Button: {
            HWND button = Make(c.name, L"BUTTON", text, visible | WS_TABSTOP | BS_PUSHBUTTON,
                               kGroupX + c.x, kGroupY + c.y, c.width, c.height, c.hint);
            ::SetWindowSubclass(button, HandCursorProc, 1, 0);
            break;
        }
        case layout::Kind::Check:
            Make(c.name, L"BUTTON", text, visible | WS_TABSTOP | BS_AUTOCHECKBOX, kGroupX + c.x,
                 kGroupY + c.y, c.width, c.height, c.hint);
            break;
        }
    }
}

// Places every control for the client area's size: the filter group keeps its
// table positions inside the group; the memo, the list, the tool bar's width
// and the status bar follow the window and the splitters.
void TWin32MainWindow::Arrange() {
    RECT client{};
    ::GetClientRect(window_, &client);
    const int width = client.right;
    const int height = client.bottom;
    HWND status = Control("RzStatusBar");
    ::SendMessageW(status, WM_SIZE, 0, 0);
    RECT statusRect{};
    ::GetWindowRect(status, &statusRect);
    const int statusHeight = statusRect.bottom - statusRect.top;
    const int parts[2] = {layout::kStatusPaneWidth, -1};
    ::SendMessageW(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    RECT part{};
    ::SendMessageW(status, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    const int grip = ::GetSystemMetrics(SM_CXVSCROLL);
    ::MoveWindow(Control("RzProgressBar"), part.left + 2, part.top + 2,
                 std::max(0, static_cast<int>(part.right - part.left) - 4 - grip),
                 part.bottom - part.top - 4, TRUE);

    ::MoveWindow(Control("RzToolbar1"), 0, 0, width, layout::kToolbarHeight, TRUE);
    HWND support = Control("SupportLbl");
    RECT supportRect{};
    ::GetWindowRect(support, &supportRect);
    const int supportWidth = supportRect.right - supportRect.left;
    ::MoveWindow(support, std::max(0, width - supportWidth - 8), (layout::kToolbarHeight - 18) / 2,
                 supportWidth, 18, TRUE);

    const int top = layout::kToolbarHeight;
    const int bodyHeight = std::max(0, height - statusHeight - top);
    leftWidth_ = std::clamp(leftWidth_, 200, std::max(200, width - 60));
    filterHeight_ = std::clamp(filterHeight_, kMinimumFilterHeight,
                               std::max(kMinimumFilterHeight, bodyHeight - 60));
    ::MoveWindow(Control("RzPanel2"), 0, top, leftWidth_, bodyHeight, TRUE);
    const int groupWidth = leftWidth_ - 8;
    ::MoveWindow(Control("SettinGbx"), kGroupX, kGroupY, groupWidth, filterHeight_, TRUE);
    const int memoGroupY = kGroupY + filterHeight_ + layout::kSplitterWidth;
    const int memoGroupHeight = std::max(40, top + bodyHeight - 2 - memoGroupY);
    ::MoveWindow(Control("YinJieGbx"), kGroupX, memoGroupY, groupWidth, memoGroupHeight, TRUE);
    ::MoveWindow(Control("YinjieMemo"), kGroupX + 8, memoGroupY + 20, groupWidth - 16,
                 std::max(10, memoGroupHeight - 28), TRUE);
    ::MoveWindow(Control("RzListView"), leftWidth_ + layout::kSplitterWidth, top,
                 std::max(0, width - leftWidth_ - layout::kSplitterWidth), bodyHeight, TRUE);
    FitLastColumn();
}

// The last column takes what the first three leave, so no horizontal scroll
// bar appears while they fit.
void TWin32MainWindow::FitLastColumn() {
    HWND list = Control("RzListView");
    RECT client{};
    ::GetClientRect(list, &client);
    int used = 0;
    for (int column = 0; column + 1 < TResultList::kColumnCount; ++column) {
        used += static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    }
    const int last = TResultList::kColumnCount - 1;
    const int width = std::max(16, static_cast<int>(client.right) - used);
    // Setting a width repaints the whole list: only when it changes.
    if (::SendMessageW(list, LVM_GETCOLUMNWIDTH, last, 0) != width) {
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, last, width);
    }
}

int TWin32MainWindow::SplitterAt(POINT point) const {
    const int top = layout::kToolbarHeight;
    if (point.y < top) {
        return 0;
    }
    if (point.x >= leftWidth_ && point.x < leftWidth_ + layout::kSplitterWidth) {
        return 1;
    }
    const int splitterY = kGroupY + filterHeight_;
    if (point.x < leftWidth_ && point.y >= splitterY &&
        point.y < splitterY + layout::kSplitterWidth) {
        return 2;
    }
    return 0;
}

// ---------------------------------------------------------------- messages

LRESULT CALLBACK TWin32MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TWin32MainWindow*>(
            reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TWin32MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT TWin32MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        try {
            BuildControls();
        } catch (const std::exception&) {
            return -1; // CreateWindowEx fails, and the constructor says so
        }
        return 0;
    case WM_SIZE:
        Arrange();
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = POINT{480, 300};
        return 0;
    }
    case kPumpMessage:
        if (form_) {
            form_->PumpNotifications();
        }
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        HWND control = reinterpret_cast<HWND>(lParam);
        if (control == Control("LabelCount")) {
            ::SetTextColor(dc, RGB(0x80, 0, 0)); // maroon
        } else if (control == Control("SupportLbl")) {
            ::SetTextColor(dc, RGB(0, 0, 255));
        } else {
            ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        }
        if (control == Control("RzMemo1")) {
            break;
        }
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == window_ && LOWORD(lParam) == HTCLIENT) {
            POINT point{};
            ::GetCursorPos(&point);
            ::ScreenToClient(window_, &point);
            if (const int splitter = SplitterAt(point)) {
                ::SetCursor(::LoadCursorW(nullptr, splitter == 1 ? IDC_SIZEWE : IDC_SIZENS));
                return TRUE;
            }
        }
        break;
    case WM_LBUTTONDOWN: {
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        dragging_ = SplitterAt(point);
        if (dragging_ != 0) {
            ::SetCapture(window_);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (dragging_ != 0) {
            if (dragging_ == 1) {
                leftWidth_ = GET_X_LPARAM(lParam);
            } else {
                filterHeight_ = GET_Y_LPARAM(lParam) - kGroupY;
            }
            Arrange();
        }
        return 0;
    case WM_LBUTTONUP:
        if (dragging_ != 0) {
            dragging_ = 0;
            ::ReleaseCapture();
        }
        return 0;
    case WM_CLOSE:
        // Closing by any means ends the workers first; the close button has
        // already run the stop.
        form_->Shutdown();
        ::DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        if (form_) {
            form_->Shutdown();
        }
        if (quitOnClose_) {
            ::PostQuitMessage(0);
        }
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

void TWin32MainWindow::OnCommand(int id, int code, HWND) {
    if (!form_) {
        return;
    }
    if (id >= kFirstToolCommand &&
        id < kFirstToolCommand + static_cast<int>(std::size(layout::kToolButtons))) {
        using Handler = void (TMainForm::*)();
        static constexpr Handler handlers[] = {
            &TMainForm::xInquireBtClick, &TMainForm::xStopBtClick, &TMainForm::xClearBtClick,
            &TMainForm::xExportBtClick,  &TMainForm::xHelpBtClick, &TMainForm::xAboutBtClick,
            &TMainForm::xCloseBtClick};
        (form_.get()->*handlers[id - kFirstToolCommand])();
        return;
    }
    const auto found = commandNames_.find(id);
    if (found == commandNames_.end()) {
        return;
    }
    const std::string& name = found->second;
    if (code == BN_CLICKED) {
        if (name == "stBt1") {
            form_->stBt1Click();
        } else if (name == "stBt2") {
            form_->stBt2Click();
        } else if (name == "stBt3") {
            form_->stBt3Click();
        } else if (name == "stBt4") {
            form_->stBt4Click();
        }
    } else if (code == CBN_SELCHANGE && name == "SettingCbb") {
        form_->SettingCbbChange(
            static_cast<int>(::SendMessageW(Control("SettingCbb"), CB_GETCURSEL, 0, 0)));
    }
}

LRESULT TWin32MainWindow::OnNotify(NMHDR* header) {
    if (header->code == TTN_GETDISPINFOW && header->hwndFrom != tooltip_) {
        // The tool bar's own tooltips ask for their text by command.
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        const auto index = static_cast<std::size_t>(info->hdr.idFrom) - kFirstToolCommand;
        if (index < toolHints_.size()) {
            info->lpszText = toolHints_[index].data();
        }
        return 0;
    }
    if (header->hwndFrom != Control("RzListView") || !form_) {
        return 0;
    }
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
        const TResultList& list = form_->ResultList();
        if ((info->item.mask & LVIF_TEXT) != 0 && info->item.iItem >= 0 &&
            info->item.iItem < list.Count() && info->item.cchTextMax > 0) {
            cellText_ = W(list.Row(info->item.iItem).Column(info->item.iSubItem));
            const auto n = std::min<std::size_t>(
                cellText_.size(), static_cast<std::size_t>(info->item.cchTextMax) - 1);
            cellText_.copy(info->item.pszText, n);
            info->item.pszText[n] = L'\0';
        }
        return 0;
    }
    case LVN_COLUMNCLICK:
        form_->RzListViewColumnClick(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        return 0;
    default:
        return 0;
    }
}

// ---------------------------------------------------------------- IMainView

void TWin32MainWindow::SetCaption(const std::string& caption) {
    ::SetWindowTextW(window_, W(caption).c_str());
}

void TWin32MainWindow::SetStatusText(const std::string& text) {
    ::SendMessageW(Control("RzStatusBar"), SB_SETTEXTW, 0,
                   reinterpret_cast<LPARAM>(W(text).c_str()));
}

void TWin32MainWindow::ShowProgress(const TProgress& progress) {
    HWND bar = Control("RzProgressBar");
    ::SendMessageW(bar, PBM_SETRANGE32, 0, std::max(1, progress.Total()));
    ::SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(progress.Completed()), 0);
    ::SetWindowTextW(bar, (std::to_wstring(progress.Percent()) + L"%").c_str());
}

void TWin32MainWindow::AppendLog(const std::string& line) {
    HWND memo = Control("RzMemo1");
    const int end = ::GetWindowTextLengthW(memo);
    ::SendMessageW(memo, EM_SETSEL, static_cast<WPARAM>(end), end);
    const std::wstring text = (end > 0 ? L"\r\n" : L"") + W(line);
    ::SendMessageW(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TWin32MainWindow::ShowMessage(const std::string& text) {
    win32dialogs::ShowBox(window_, text, dialogs::Icon::Information);
}

void TWin32MainWindow::ShowError(const std::string& text) {
    win32dialogs::ShowBox(window_, text, dialogs::Icon::Error);
}

void TWin32MainWindow::PauseUserInterface(int ms) {
    ::Sleep(static_cast<DWORD>(ms));
}

std::string TWin32MainWindow::EditText(const char* name) const {
    return win32text::WindowTextGbk(Control(name));
}

void TWin32MainWindow::SetEditText(const char* name, const std::string& gbk) {
    ::SetWindowTextW(Control(name), W(gbk).c_str());
}

int TWin32MainWindow::SpinValue(const char* name) const {
    return static_cast<int>(
        ::SendMessageW(Control(std::string(name) + ".UpDown"), UDM_GETPOS32, 0, 0));
}

void TWin32MainWindow::SetSpinValue(const char* name, int value) {
    ::SendMessageW(Control(std::string(name) + ".UpDown"), UDM_SETPOS32, 0,
                   std::clamp(value, layout::kSpinMinimum, layout::kSpinMaximum));
}

std::string TWin32MainWindow::MemoText() const {
    return EditText("YinjieMemo"); // the edit keeps CR LF line ends
}

TProfileValues TWin32MainWindow::FilterValues() const {
    TProfileValues values;
    values.YmLenSp1 = SpinValue("YmLenSp1");
    values.YmLenSp2 = SpinValue("YmLenSp2");
    values.YmHanEd = EditText("YmHanEd");
    values.YmPaiEd = EditText("YmPaiEd");
    values.YmPiPeiEd = EditText("YmPiPeiEd");
    values.DuplicationChk =
        ::SendMessageW(Control("DuplicationChk"), BM_GETCHECK, 0, 0) == BST_CHECKED;
    values.PrevKeyEd = EditText("PrevKeyEd");
    values.LastKeyEd = EditText("LastKeyEd");
    return values;
}

void TWin32MainWindow::SetFilterValues(const TProfileValues& values) {
    SetSpinValue("YmLenSp1", values.YmLenSp1);
    SetSpinValue("YmLenSp2", values.YmLenSp2);
    SetEditText("YmHanEd", values.YmHanEd);
    SetEditText("YmPaiEd", values.YmPaiEd);
    SetEditText("YmPiPeiEd", values.YmPiPeiEd);
    ::SendMessageW(Control("DuplicationChk"), BM_SETCHECK,
                   values.DuplicationChk ? BST_CHECKED : BST_UNCHECKED, 0);
    SetEditText("PrevKeyEd", values.PrevKeyEd);
    SetEditText("LastKeyEd", values.LastKeyEd);
}

void TWin32MainWindow::SetCountLabel(const std::string& text) {
    SetEditText("LabelCount", text);
}

void TWin32MainWindow::SetProfileNames(const std::vector<std::string>& names) {
    HWND combo = Control("SettingCbb");
    const auto selected = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& name : names) {
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(name).c_str()));
    }
    ::SendMessageW(combo, CB_SETCURSEL,
                   selected < static_cast<LRESULT>(names.size()) ? selected : -1, 0);
}

void TWin32MainWindow::SelectProfile(int index) {
    ::SendMessageW(Control("SettingCbb"), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool TWin32MainWindow::AskSaveFileName(const dialogs::SaveOptions& options,
                                       platform::FilePath& chosen) {
    return win32dialogs::SaveFile(window_, options, chosen);
}

bool TWin32MainWindow::AskText(const std::string& caption, const std::string& prompt,
                               std::string& value, int maxLength) {
    return win32dialogs::InputQuery(window_, caption, prompt, value, maxLength);
}

void TWin32MainWindow::ShowAboutBox() {
    ShowWin32AboutBox(window_);
}

void TWin32MainWindow::CloseWindow() {
    ::SendMessageW(window_, WM_CLOSE, 0, 0);
}

void TWin32MainWindow::RequestPump() {
    // Any thread. A message posted to a window that is gone is simply dropped.
    ::PostMessageW(window_, kPumpMessage, 0, 0);
}

// ---------------------------------------------------------------- the list

void TWin32MainWindow::RowsAboutToBeAppended(int, int) {}

void TWin32MainWindow::RowsAppended() {
    ::SendMessageW(Control("RzListView"), LVM_SETITEMCOUNT,
                   static_cast<WPARAM>(form_->ResultList().Count()),
                   LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    FitLastColumn();
}

void TWin32MainWindow::ListAboutToBeReset() {}

void TWin32MainWindow::ListReset() {
    HWND list = Control("RzListView");
    ::SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(form_->ResultList().Count()), 0);
    ::InvalidateRect(list, nullptr, TRUE);
    FitLastColumn();
}

void TWin32MainWindow::RowChanged(int row) {
    ::SendMessageW(Control("RzListView"), LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
}
