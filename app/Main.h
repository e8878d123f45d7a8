#pragma once

#include "QtDispatcher.h"
#include "ResultList.h"
#include "RunController.h"
#include "Ymcx.h"

#include <QMainWindow>

#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QSplitter;
class QTableView;
class QToolBar;
class QToolButton;
class TResultListModel;
class TSpinEdit;
struct TProfileValues;

// What the window is pointed at. The program takes the defaults; tests point
// the workers at a loopback server, shorten the timings and use a temporary
// settings file.
struct TMainFormOptions {
    TYmSeekConfig Seek;
    std::string IniPath;        // empty: kestrova.ini beside the executable
    std::string ExecutablePath; // empty: the running executable
    int StopPauseMs = TRunController::kStopPauseMs;
};

// The main window: the toolbar, the filter panel, the syllable memo, the result
// list and the status bar, the eight query workers and the run controller.
class TMainForm final : public QMainWindow, private IRunView {
public:
    explicit TMainForm(TMainFormOptions options = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Toolbar commands.
    void xInquireBtClick();
    void xStopBtClick();
    void xClearBtClick();
    void xExportBtClick();
    void xHelpBtClick();
    void xAboutBtClick();
    void xCloseBtClick();
    // Filter group commands.
    void stBt1Click();
    void stBt2Click();
    void stBt3Click();
    void stBt4Click();
    void SettingCbbChange(int index);
    void RzListViewColumnClick(int column);

    // Worker notifications, on the user-interface thread.
    void BakOnSeekActStart(TYmSeek* worker);
    void BakOnSeekActProcess(TYmSeek* worker);
    void BakOnSeekActOnce(TYmSeek* worker);
    void BakOnSeekActFinish(TYmSeek* worker);

    const std::vector<std::unique_ptr<TYmSeek>>& Workers() const { return workers_; }
    const TResultList& ResultList() const { return list_; }
    TResultList& ResultList() { return list_; }
    const TRunController& RunController() const { return *runs_; }
    int SortColumn() const { return sortColumn_; }
    const std::string& IniPath() const { return iniPath_; }

    // Ends every worker and refuses further notifications; closing does it.
    void ShutdownWorkers();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // IRunView
    void SetStatusText(const std::string& text) override;
    void ShowProgress(const TProgress& progress) override;
    void AppendLog(const std::string& line) override;
    void ShowMessage(const std::string& text) override;
    void PauseUserInterface(int ms) override;

    void BuildLayout();
    QWidget* BuildFilterGroup();
    QToolButton* AddToolButton(const char* name, const char* caption, const char* hint, int icon);
    void FormCreate();
    void ApplyProfile(const TProfileValues& values);
    TProfileValues CurrentProfileValues() const;
    template <class F> void Guarded(F&& handler);

    TMainFormOptions options_;
    std::string executablePath_;
    std::string iniPath_;
    std::string lastExportName_;
    int sortColumn_ = 0;

    platform::QtDispatcher dispatcher_;
    std::vector<std::unique_ptr<TYmSeek>> workers_;
    TResultList list_;
    std::unique_ptr<TRunController> runs_;
    bool shutDown_ = false;

    QToolBar* RzToolbar1 = nullptr;
    QToolButton* xInquireBt = nullptr;
    QToolButton* xStopBt = nullptr;
    QToolButton* xClearBt = nullptr;
    QToolButton* xExportBt = nullptr;
    QToolButton* xHelpBt = nullptr;
    QToolButton* xAboutBt = nullptr;
    QToolButton* xCloseBt = nullptr;
    QLabel* SupportLbl = nullptr;
    QSplitter* Splitter1 = nullptr;
    QSplitter* Splitter2 = nullptr;
    QGroupBox* SettinGbx = nullptr;
    QGroupBox* YinJieGbx = nullptr;
    QComboBox* SettingCbb = nullptr;
    QLabel* LabelCount = nullptr;
    TSpinEdit* YmLenSp1 = nullptr;
    TSpinEdit* YmLenSp2 = nullptr;
    QLineEdit* YmHanEd = nullptr;
    QLineEdit* YmPaiEd = nullptr;
    QLineEdit* YmPiPeiEd = nullptr;
    QCheckBox* DuplicationChk = nullptr;
    QLineEdit* PrevKeyEd = nullptr;
    QLineEdit* LastKeyEd = nullptr;
    QPlainTextEdit* YinjieMemo = nullptr;
    QPlainTextEdit* RzMemo1 = nullptr;
    QTableView* RzListView = nullptr;
    TResultListModel* listModel_ = nullptr;
    QLabel* RzStatusPane = nullptr;
    QProgressBar* RzProgressBar = nullptr;
};
