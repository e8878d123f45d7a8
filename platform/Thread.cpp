#include "Thread.h"

#include <chrono>

namespace platform {

TThread::TThread(IDispatcher& dispatcher, bool createSuspended) : dispatcher_(dispatcher) {
    if (!createSuspended) {
        Resume();
    }
}

TThread::~TThread() {
    // The derived class has already ended the thread; this is the last guard
    // against a thread that would outlive its object.
    if (thread_.joinable()) {
        Terminate();
        thread_.join();
    }
}

void TThread::Resume() {
    std::lock_guard lock(mutex_);
    if (terminated_) {
        return;
    }
    ++resumeCount_;
    if (!started_) {
        started_ = true;
        resumeSeen_ = resumeCount_;
        thread_ = std::thread([this] { Body(); });
        return;
    }
    wake_.notify_all();
}

void TThread::Body() {
    Execute();
    std::lock_guard lock(mutex_);
    ended_ = true;
}

void TThread::Terminate() {
    {
        std::lock_guard lock(mutex_);
        terminated_ = true;
    }
    wake_.notify_all();
    OnTerminate();
}

bool TThread::Terminated() const {
    std::lock_guard lock(mutex_);
    return terminated_;
}

void TThread::Shutdown() {
    Terminate();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
        thread_.join();
    }
}

bool TThread::AtRest() const {
    std::lock_guard lock(mutex_);
    return !started_ || parked_ || ended_;
}

bool TThread::RunIfAtRest(const std::function<void()>& fn) {
    std::lock_guard lock(mutex_);
    if (started_ && !parked_ && !ended_) {
        return false;
    }
    fn();
    return true;
}

void TThread::Suspend() {
    std::unique_lock lock(mutex_);
    parked_ = true;
    wake_.wait(lock, [&] { return terminated_ || resumeCount_ != resumeSeen_; });
    resumeSeen_ = resumeCount_;
    parked_ = false;
}

bool TThread::Synchronize(const std::function<void()>& fn) {
    if (Terminated()) {
        return false;
    }
    return dispatcher_.RunAndWait(fn);
}

void TThread::SleepMs(std::int64_t ms) {
    if (ms <= 0) {
        return;
    }
    std::unique_lock lock(mutex_);
    const auto seen = wakeCount_;
    wake_.wait_for(lock, std::chrono::milliseconds(ms),
                   [&] { return terminated_ || wakeCount_ != seen; });
}

void TThread::Wake() {
    {
        std::lock_guard lock(mutex_);
        ++wakeCount_;
    }
    wake_.notify_all();
}

} // namespace platform
