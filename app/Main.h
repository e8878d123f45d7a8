#pragma once

#include "FilePath.h"
#include "Layout.h"
#include "MainView.h"
#include "ProgramFolders.h"
#include "QueuedDispatcher.h"
#include "ResultList.h"
#include "RunController.h"
#include "Ymcx.h"

#include <memory>
#include <string>
#include <vector>

// What the window is pointed at. The program takes the defaults; tests point
// the workers at a loopback server, shorten the timings and use a temporary
// settings file.
struct TMainFormOptions {
    TYmSeekConfig Seek;
    platform::FilePath IniPath;        // empty: kestrova.ini where this copy keeps it
    platform::FilePath ExecutablePath; // empty: the running executable
    platform::FilePath UserSettings;   // empty: the system's (used by an installed copy)
    int StopPauseMs = TRunController::kStopPauseMs;
    // Tests: makes worker i instead of the usual construction (or fails to,
    // as a system out of resources would). Empty: the usual.
    std::function<std::unique_ptr<TYmSeek>(int index, platform::IDispatcher& dispatcher,
                                           const TYmSeekConfig& config)>
        MakeWorker;
};

// The main window's logic, the same for every window toolkit: its state (the
// eight workers, the result list, the run controller, the sort column, the
// profile names and the last export name), the start sequence and every event
// handler. It reaches the screen only through IMainView.
//
// Each handler is an entry point for the toolkit: an error it raises goes to
// the default error display, and the program goes on.
class TMainForm {
public:
    static constexpr int kWorkerCount = 8;

    // Runs the start sequence (FormCreate); the view's controls must exist.
    explicit TMainForm(IMainView& view, TMainFormOptions options = {});
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // Tool bar.
    void xInquireBtClick();
    void xReInquireBtClick();
    void xStopBtClick();
    void xClearBtClick();
    void xExportBtClick();
    void xHelpBtClick();
    void xAboutBtClick();
    void xCloseBtClick();
    // Filter group.
    void stBt1Click();
    void stBt2Click();
    void stBt3Click();
    void stBt4Click();
    void SettingCbbChange(int index);
    // Result list. rows: the selected rows' indexes, in any order.
    void RzListViewColumnClick(int column);
    void RzListViewCopy(const std::vector<int>& rows);      // Ctrl+C, 复制
    void RzListViewReInquire(const std::vector<int>& rows); // 重查所选
    void RzListViewDelete(const std::vector<int>& rows);    // Delete, 删除所选
    // One of the three above, as a toolkit's key or menu item names it.
    void RzListViewCommand(layout::ListCommand command, const std::vector<int>& rows);

    // Worker notifications, on the user-interface thread.
    void BakOnSeekActStart(TYmSeek* worker);
    void BakOnSeekActProcess(TYmSeek* worker);
    void BakOnSeekActOnce(TYmSeek* worker);
    void BakOnSeekActFinish(TYmSeek* worker);

    // On the user-interface thread, when the view was asked to: runs the
    // workers' waiting notifications.
    void PumpNotifications();

    // The end of the window, by any means: refuses further notifications and
    // ends every worker, cutting a blocked exchange or lookup. It never waits for
    // a worker whose handler is running below it (closing from inside a box);
    // the destructor joins that one. Safe to call again.
    void Shutdown();

    // False when the start sequence could not make the workers: the start was
    // refused with a message, the buttons do nothing, and the program should end.
    bool Started() const { return runs_ != nullptr; }

    const std::vector<std::unique_ptr<TYmSeek>>& Workers() const { return workers_; }
    TResultList& ResultList() { return list_; }
    const TResultList& ResultList() const { return list_; }
    const TRunController& RunController() const { return *runs_; }
    int SortColumn() const { return sortColumn_; }
    const platform::FilePath& IniPath() const { return iniPath_; }
    const platform::FilePath& ExecutablePath() const { return executablePath_; }
    const platform::ProgramFolders& Folders() const { return folders_; }
    const std::vector<std::string>& ProfileNames() const { return profileNames_; }
    platform::QueuedDispatcher& Dispatcher() { return dispatcher_; }

private:
    void FormCreate();
    TSeekNotify Bind(void (TMainForm::*handler)(TYmSeek*));
    template <class F> void Guarded(F&& handler);

    IMainView& view_;
    TMainFormOptions options_;
    platform::FilePath executablePath_;
    platform::FilePath iniPath_;
    platform::ProgramFolders folders_;
    platform::FilePath lastExportName_;
    std::vector<std::string> profileNames_;
    int sortColumn_ = 0;

    platform::QueuedDispatcher dispatcher_;
    std::vector<std::unique_ptr<TYmSeek>> workers_;
    TResultList list_;
    std::unique_ptr<TRunController> runs_;
    std::vector<int> handlerDepth_; // per worker: its handlers now running
    bool shutDown_ = false;
};
