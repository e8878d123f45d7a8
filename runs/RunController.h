#pragma once

#include "ResultList.h"

#include <cstdint>
#include <string>
#include <vector>

class TYmSeek;

// The progress bar's state: a total, a completed count capped at the total,
// and the share shown as a whole percentage rounded half to even.
class TProgress {
public:
    void SetTotal(std::int32_t total); // also puts the completed count back to 0
    void SetCompleted(std::int32_t completed);
    std::int32_t Total() const { return total_; }
    std::int32_t Completed() const { return completed_; }
    int Percent() const;

private:
    std::int32_t total_ = 0;
    std::int32_t completed_ = 0;
};

// What the run controller needs of the window.
class IRunView {
public:
    virtual ~IRunView() = default;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void ShowProgress(const TProgress& progress) = 0;
    virtual void AppendLog(const std::string& line) = 0;
    virtual void ShowMessage(const std::string& text) = 0; // modal, waits
    virtual void PauseUserInterface(int ms) = 0;
};

// A query run over every row of the result list: deals the names out to the
// workers, takes in their notifications on the user-interface thread, keeps the
// run's two counters and drives the status text and the progress bar.
class TRunController {
public:
    static constexpr int kStopPauseMs = 1000;

    TRunController(TResultList& list, std::vector<TYmSeek*> workers, IRunView& view,
                   int stopPauseMs = kStopPauseMs);

    // In progress while fewer answers than names handed out have come in.
    bool InProgress() const { return runAnswered_ < runTotal_; }
    std::int32_t RunTotal() const { return runTotal_; }
    std::int32_t RunAnswered() const { return runAnswered_; }
    const TProgress& Progress() const { return progress_; }

    // 查询: every row of the list.
    void StartRun();
    // 重查: only the rows without a result yet ("*" or "!"), in list order.
    // The rows that have one are not asked and keep it. With none to ask the
    // status pane says so and nothing starts.
    void StartRetryRun();
    // 重查所选: the rows given (in list order), whatever they hold.
    void StartRunOf(const std::vector<int>& rows);
    void StopRun();

    void SeekStarted(TYmSeek* worker);
    void SeekProgressed(TYmSeek* worker);
    void SeekAnswered(TYmSeek* worker);
    void SeekFinished(TYmSeek* worker);

    // The names handed out for a list's captions: trimmed, and only those whose
    // bare part (before the first ".") has 4 characters or more, since the worker
    // asks about no shorter one and a run must end by itself.
    static std::vector<std::string> RunNames(const std::vector<std::string>& captions);

private:
    void Start(const std::vector<std::string>& captions, bool retry);

    TResultList& list_;
    std::vector<TYmSeek*> workers_;
    IRunView& view_;
    int stopPauseMs_;
    std::int32_t runTotal_ = 0;
    std::int32_t runAnswered_ = 0;
    bool retry_ = false; // answers go to the rows still without a result first
    TProgress progress_;
};
