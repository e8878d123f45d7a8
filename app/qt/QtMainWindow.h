#pragma once

#include "Layout.h"
#include "Main.h"
#include "MainView.h"

#include <QMainWindow>

#include <map>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QSplitter;
class QTableView;
class QToolBar;
class TResultListModel;
class TSpinEdit;

// The main window on Qt Widgets: draws the controls of the shared layout,
// passes their events to the form's handlers and implements IMainView. It holds
// no run, list or profile logic of its own.
class TQtMainWindow final : public QMainWindow, private IMainView {
public:
    explicit TQtMainWindow(TMainFormOptions options = {}, QWidget* parent = nullptr);
    ~TQtMainWindow() override;

    TMainForm& Form() { return *form_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

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

    void BuildLayout();
    // The selected rows of the list, top to bottom.
    std::vector<int> SelectedRows() const;
    void RunListCommand(layout::ListCommand command);
    void ShowListMenu(const QPoint& position);
    QWidget* BuildFilterGroup(QWidget* parent);

    std::unique_ptr<TMainForm> form_;
    TResultListModel* listModel_ = nullptr;

    QToolBar* RzToolbar1 = nullptr;
    QComboBox* SettingCbb = nullptr;
    QLabel* LabelCount = nullptr;
    TSpinEdit* YmLenSp1 = nullptr;
    TSpinEdit* YmLenSp2 = nullptr;
    QLineEdit* YmHanEd = nullptr;
    QLineEdit* YmPaiEd = nullptr;
    QLineEdit* YmPiPeiEd = nullptr;
    QCheckBox* DuplicationChk = nullptr;
    QCheckBox* YmCiYuChk = nullptr;
    QLineEdit* PrevKeyEd = nullptr;
    QLineEdit* LastKeyEd = nullptr;
    QPlainTextEdit* YinjieMemo = nullptr;
    QPlainTextEdit* RzMemo1 = nullptr;
    QTableView* RzListView = nullptr;
    QLabel* RzStatusPane = nullptr;
    QProgressBar* RzProgressBar = nullptr;
};
