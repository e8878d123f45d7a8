#pragma once

#include "Layout.h"
#include "Main.h"
#include "MainView.h"
#include "ResultList.h"

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// The main window on the Win32 API and the common controls: draws the controls
// of the shared layout, passes their events to the form's handlers and
// implements IMainView. It holds no run, list or profile logic of its own.
//
// The result list is a virtual list view: it asks for each cell it shows, so
// 20 000 rows cost nothing until they scroll into sight. The workers'
// notifications arrive as a posted message, so they also run while a modal box
// or dialog of this thread is open.
class TWin32MainWindow final : private IMainView, private IResultListObserver {
public:
    // quitOnClose: the program's window, whose end ends the message loop.
    explicit TWin32MainWindow(TMainFormOptions options = {}, bool quitOnClose = false);
    ~TWin32MainWindow() override;
    TWin32MainWindow(const TWin32MainWindow&) = delete;
    TWin32MainWindow& operator=(const TWin32MainWindow&) = delete;

    HWND Handle() const { return window_; }
    TMainForm& Form() { return *form_; }
    // A control by its name in the layout ("stBt1", "RzListView", "RzToolbar1",
    // "RzStatusBar", "RzProgressBar", "RzMemo1", ...); nullptr when unknown.
    HWND Control(const std::string& name) const;
    // The tool bar's command for a button name.
    int ToolCommand(const std::string& name) const;
    // The tooltip control that shows the hints of the other controls.
    HWND Tooltip() const { return tooltip_; }

    static constexpr UINT kPumpMessage = WM_APP + 1;

private:
    // IMainView
    void SetStatusText(const std::string& text) override;
    void ShowProgress(const TProgress& progress) override;
    void AppendLog(const std::string& line) override;
    void ShowMessage(const std::string& text) override;
    void PauseUserInterface(int ms) override;
    void SetCaption(const std::string& caption) override;
    std::string MemoText() const override;
    TProfileValues FilterValues() const override;
    void SetFilterValues(const TProfileValues& values) override;
    void SetCountLabel(const std::string& text) override;
    void SetProfileNames(const std::vector<std::string>& names) override;
    void SelectProfile(int index) override;
    void ShowError(const std::string& text) override;
    bool AskSaveFileName(const dialogs::SaveOptions& options, platform::FilePath& chosen) override;
    bool AskText(const std::string& caption, const std::string& prompt, std::string& value,
                 int maxLength) override;
    bool SetClipboardText(const std::string& text) override;
    void ShowAboutBox() override;
    void CloseWindow() override;
    void RequestPump() override;

    // IResultListObserver
    void RowsAboutToBeAppended(int first, int count) override;
    void RowsAppended() override;
    void ListAboutToBeReset() override;
    void ListReset() override;
    void RowChanged(int row) override;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code, HWND from);
    LRESULT OnNotify(NMHDR* header);
    // Keyboard focus leaves with the window's activation and comes back with it.
    void OnActivate(bool active);

    // Building and placing (Win32Layout.cpp): every size is the table's at
    // 96 DPI, scaled to the monitor's DPI (S).
    int S(int pixels) const;
    void BuildControls();
    void BuildFilterGroup();
    void PlaceFilterControls();
    HWND Make(const std::string& name, const wchar_t* cls, const std::wstring& text, DWORD style,
              int x, int y, int w, int h, const std::string& hint = {}, DWORD exStyle = 0);
    void AddHint(HWND control, const std::string& utf8Hint);
    int TextWidth(const std::wstring& text) const;
    void Arrange();
    void FitLastColumn();
    // A move to a monitor of another scaling: fonts, glyphs, sizes and the
    // window's own rectangle (the one the system suggests).
    void ChangeDpi(int dpi, const RECT& suggested);

    // The tool bar (Win32Toolbar.cpp).
    void BuildToolbar();
    void SizeToolbar();

    // The splitters (Win32Splitters.cpp). Which one, if any, is under a client
    // point: 1 the vertical one, 2 the one in the left panel, 0 none.
    int SplitterAt(POINT point) const;
    int ShownLeftWidth(int clientWidth) const;
    int ShownFilterHeight(int bodyHeight) const;
    bool OnSplitterMouse(UINT message, WPARAM wParam, LPARAM lParam);

    // The virtual list's questions, its keys and its context menu
    // (Win32ResultList.cpp). at: where the menu was asked for, in screen
    // coordinates, or -1, -1 from the keyboard.
    LRESULT OnListNotify(NMHDR* header);
    std::vector<int> SelectedRows() const;
    void RunListCommand(layout::ListCommand command);
    void ShowListMenu(POINT at);

    int SpinValue(const char* name) const;
    void SetSpinValue(const char* name, int value);
    void SetEditText(const char* name, const std::string& gbk);
    std::string EditText(const char* name) const;

    TMainFormOptions options_;
    bool quitOnClose_;
    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    std::unique_ptr<TMainForm> form_;
    std::map<std::string, HWND> controls_;
    std::map<int, std::string> commandNames_; // control id -> name
    std::vector<std::wstring> hints_;         // kept alive for the tooltips
    std::vector<std::wstring> toolHints_;     // by tool bar button index
    std::vector<std::wstring> toolCaptions_;  // kept alive for the tool bar
    int dpi_ = 96;
    // The splitters' places as the user left them, at the window's DPI; a
    // smaller window shows less but keeps them for when it grows again.
    int leftWidth_;
    int filterHeight_;
    int dragging_ = 0;
    HWND focus_ = nullptr; // the control that had the focus when the window was left
    std::wstring cellText_;
    HIMAGELIST glyphs_ = nullptr;
};
