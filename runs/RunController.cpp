#include "RunController.h"

#include "Base.h"
#include "Texts.h"
#include "Ymcx.h"

#include <algorithm>
#include <cmath>

void TProgress::SetTotal(std::int32_t total) {
    total_ = total;
    completed_ = 0;
}

void TProgress::SetCompleted(std::int32_t completed) {
    completed_ = std::min(completed, total_);
}

int TProgress::Percent() const {
    if (total_ <= 0) {
        return 0;
    }
    // nearbyint rounds in the default mode: to nearest, ties to even (12.5 -> 12).
    return static_cast<int>(std::nearbyint(static_cast<double>(completed_) / total_ * 100.0));
}

TRunController::TRunController(TResultList& list, std::vector<TYmSeek*> workers, IRunView& view,
                               int stopPauseMs)
    : list_(list), workers_(std::move(workers)), view_(view), stopPauseMs_(stopPauseMs) {}

std::vector<std::string> TRunController::RunNames(const std::vector<std::string>& captions) {
    std::vector<std::string> names;
    names.reserve(captions.size());
    for (const auto& caption : captions) {
        std::string name = Trim(caption);
        const auto dot = name.find('.');
        const std::size_t bare = dot == std::string::npos ? name.size() : dot;
        if (bare >= 4) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

void TRunController::StartRun() {
    if (InProgress()) {
        view_.ShowMessage(texts::StartRefused());
        return;
    }
    Start(list_.Captions(), false);
}

void TRunController::StartRetryRun() {
    if (InProgress()) {
        view_.ShowMessage(texts::StartRefused());
        return;
    }
    std::vector<std::string> captions;
    for (int i = 0; i < list_.Count(); ++i) {
        if (list_.Row(i).IsUnanswered()) {
            captions.push_back(list_.Row(i).Caption);
        }
    }
    if (RunNames(captions).empty()) {
        view_.SetStatusText(texts::NothingToRetry());
        return;
    }
    Start(captions, true);
}

void TRunController::StartRunOf(const std::vector<int>& rows) {
    if (InProgress()) {
        view_.ShowMessage(texts::StartRefused());
        return;
    }
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::vector<std::string> captions;
    for (const int row : sorted) {
        if (row >= 0 && row < list_.Count()) {
            captions.push_back(list_.Row(row).Caption);
        }
    }
    if (RunNames(captions).empty()) {
        return; // none long enough to be asked
    }
    Start(captions, false);
}

void TRunController::Start(const std::vector<std::string>& captions, bool retry) {
    const std::vector<std::string> names = RunNames(captions);
    retry_ = retry;
    runTotal_ = static_cast<std::int32_t>(names.size());
    runAnswered_ = 0;
    progress_.SetTotal(runTotal_);
    view_.ShowProgress(progress_);

    const std::size_t count = workers_.size();
    try {
        for (std::size_t w = 0; w < count; ++w) {
            std::vector<std::string> batch;
            for (std::size_t i = w; i < names.size(); i += count) {
                batch.push_back(Trim(names[i]));
            }
            workers_[w]->SetDomains(batch);
            workers_[w]->StartSeek();
        }
    } catch (const std::exception&) {
        // A worker's thread could not be started (the system is out of threads
        // or memory): call the run off, so the window is idle, and say why.
        for (TYmSeek* worker : workers_) {
            worker->StopSeek();
        }
        runTotal_ = runAnswered_ = 0;
        progress_.SetTotal(0);
        view_.ShowProgress(progress_);
        throw AppError(texts::WorkerStartFailed());
    }
    view_.SetStatusText(texts::RunStarted());
}

void TRunController::StopRun() {
    for (TYmSeek* worker : workers_) {
        worker->StopSeek();
    }
    runAnswered_ = runTotal_;
    progress_.SetTotal(0);
    view_.ShowProgress(progress_);
    view_.SetStatusText(texts::RunStopped());
    view_.PauseUserInterface(stopPauseMs_);
}

void TRunController::SeekStarted(TYmSeek*) {}

void TRunController::SeekProgressed(TYmSeek*) {}

void TRunController::SeekAnswered(TYmSeek* worker) {
    view_.AppendLog(texts::LogOnce());
    const TYmSeekRec* rec = worker->GetSeekRec(worker->SeekPos());
    if (rec == nullptr) {
        return;
    }
    if (!rec->Note.empty()) {
        view_.AppendLog(rec->Note); // why WHOIS failed and what RDAP said
    }
    const TYmSeekRec answer = *rec;
    if (!list_.RecordAnswer(answer, retry_)) {
        // The row is gone (emptied after the names were handed out). The answer
        // still counts, so the run can end.
        view_.ShowMessage(texts::RowNotFound());
    }
    if (progress_.Total() == 0 || runAnswered_ >= runTotal_) {
        return; // stopped or ended: the answer fills its row but is not counted
    }
    view_.SetStatusText(texts::AnsweredPrefix() + std::to_string(runAnswered_) + "/" +
                        std::to_string(runTotal_) + texts::AnsweredMiddle() + answer.Name +
                        ".com...");
    ++runAnswered_;
    progress_.SetCompleted(runAnswered_);
    view_.ShowProgress(progress_);
}

void TRunController::SeekFinished(TYmSeek*) {
    view_.AppendLog(texts::LogFinish());
    if (runAnswered_ != runTotal_) {
        return;
    }
    progress_.SetTotal(0);
    view_.ShowProgress(progress_);
    view_.SetStatusText(texts::EndPrefix() + std::to_string(runAnswered_) + texts::EndSuffix());
}
