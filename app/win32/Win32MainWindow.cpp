#include "Win32MainWindow.h"

#include "Dpi.h"
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

using win32text::W;

constexpr wchar_t kClassName[] = L"VantreelMainForm";
constexpr int kFirstToolCommand = 2000;

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
    if (dpi_ != win32dpi::kBaseDpi) {
        // The table's outer size at this monitor's scaling, centred again.
        const int width = S(layout::kOuterWidth), height = S(layout::kOuterHeight);
        ::SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                       work.top + (work.bottom - work.top - height) / 2, width, height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetStatusText(platform::Utf8ToGbk(layout::kWelcome));
    ShowProgress(TProgress{});
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

// ---------------------------------------------------------------- messages

LRESULT CALLBACK TWin32MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TWin32MainWindow*>(
            reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        self->dpi_ = win32dpi::WindowDpi(window);
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
        info->ptMinTrackSize = POINT{S(480), S(300)};
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
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == Control("RzListView") && form_) {
            ShowListMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        }
        break;
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
        if (reinterpret_cast<HWND>(wParam) == window_ && LOWORD(lParam) == HTCLIENT &&
            OnSplitterMouse(message, wParam, lParam)) {
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        if (OnSplitterMouse(message, wParam, lParam)) {
            return 0;
        }
        break;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_DPICHANGED:
        ChangeDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
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
            &TMainForm::xInquireBtClick, &TMainForm::xReInquireBtClick, &TMainForm::xStopBtClick,
            &TMainForm::xClearBtClick,   &TMainForm::xExportBtClick,    &TMainForm::xHelpBtClick,
            &TMainForm::xAboutBtClick,   &TMainForm::xCloseBtClick};
        static_assert(std::size(handlers) == std::size(layout::kToolButtons));
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
    } else if (name == "SettingCbb") {
        // A pick from the dropped list, even of the profile already shown,
        // loads it (CBN_SELENDOK; no CBN_SELCHANGE comes for the same one); a
        // change with the arrow keys on the closed box loads at once.
        HWND combo = Control("SettingCbb");
        const bool dropped = ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
        if (code == CBN_SELENDOK || (code == CBN_SELCHANGE && !dropped)) {
            form_->SettingCbbChange(static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0)));
        }
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
    return OnListNotify(header);
}

void TWin32MainWindow::OnActivate(bool active) {
    if (!active) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(window_, focus)) {
            focus_ = focus;
        }
    } else if (focus_ != nullptr && ::IsWindow(focus_) && ::IsWindowEnabled(focus_) &&
               ::IsWindowVisible(focus_)) {
        ::SetFocus(focus_);
    } else if (HWND first = ::GetNextDlgTabItem(window_, nullptr, FALSE); first != nullptr) {
        ::SetFocus(first); // never the bare window, where typing goes nowhere
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
    values.YmCiYuChk = ::SendMessageW(Control("YmCiYuChk"), BM_GETCHECK, 0, 0) == BST_CHECKED;
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
    ::SendMessageW(Control("YmCiYuChk"), BM_SETCHECK,
                   values.YmCiYuChk ? BST_CHECKED : BST_UNCHECKED, 0);
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
    return win32dialogs::InputQuery(window_, caption, prompt, value, maxLength, dpi_);
}

bool TWin32MainWindow::SetClipboardText(const std::string& text) {
    // Another program may hold the clipboard for a moment: a few tries.
    bool open = false;
    for (int attempt = 0; attempt < 10 && !open; ++attempt) {
        open = ::OpenClipboard(window_) != FALSE;
        if (!open) {
            ::Sleep(20);
        }
    }
    if (!open) {
        return false;
    }
    const std::wstring wide = W(text);
    bool placed = false;
    if (::EmptyClipboard()) {
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
        if (memory != nullptr) {
            if (auto* into = static_cast<wchar_t*>(::GlobalLock(memory)); into != nullptr) {
                std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, into);
                ::GlobalUnlock(memory);
                // The clipboard owns the memory once it takes it.
                placed = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
            }
            if (!placed) {
                ::GlobalFree(memory);
            }
        }
    }
    ::CloseClipboard();
    return placed;
}

void TWin32MainWindow::ShowAboutBox() {
    ShowWin32AboutBox(window_, dpi_);
}

void TWin32MainWindow::CloseWindow() {
    ::SendMessageW(window_, WM_CLOSE, 0, 0);
}

void TWin32MainWindow::RequestPump() {
    // Any thread. A message posted to a window that is gone is simply dropped.
    ::PostMessageW(window_, kPumpMessage, 0, 0);
}
