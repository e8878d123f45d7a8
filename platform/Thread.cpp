#include "Thread.h"


namespace platform {

TThread::TThread(IDispatcher& dispatcher, bool createSuspended, TThreadStarter starter)
    : dispatcher_(dispatcher), starter_(std::move(starter)) {
    if (!createSuspended) {
        Resume();
    }
}

TThread::~TThread() {
    // The derived class has already ended the thread; this is the last guard
    // against a thread that would outlive its object.
    if (thread_.Joinable()) {
        Terminate();
        thread_.Join();
    }
}

void TThread::Resume() {
    std::lock_guard lock(mutex_);
    if (terminated_) {
        return;
    }
    if (!started_) {
        std::function<void()> body = [this] {
            Body();
        };
        // Throws when no thread can be had; the object then stays never started.
        thread_ = starter_ ? starter_(std::move(body)) : SystemThread(std::move(body));
        started_ = true;
        return;
    }
    if (!parked_) {
        return; // nothing to wake: a busy thread is not told to skip its next park
    }
    ++resumeCount_;
    wake_.NotifyAll();
}

void TThread::Body() {
    try {
        Execute();
    } catch (...) {
        // An error that escapes the body ends this thread, never the program.
    }
    std::lock_guard lock(mutex_);
    ended_ = true;
}

void TThread::Terminate() {
    {
        std::lock_guard lock(mutex_);
        terminated_ = true;
    }
    wake_.NotifyAll();
    OnTerminate();
}

bool TThread::Terminated() const {
    std::lock_guard lock(mutex_);
    return terminated_;
}

void TThread::Shutdown() {
    Terminate();
    if (thread_.Joinable() && !thread_.IsCurrent()) {
        thread_.Join();
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

void TThread::Suspend(const std::function<bool()>& stayAwake) {
    std::unique_lock lock(mutex_);
    if (terminated_ || (stayAwake && stayAwake())) {
        return;
    }
    parked_ = true;
    const auto seen = resumeCount_;
    wake_.Wait(lock, -1, [&] { return terminated_ || resumeCount_ != seen; });
    parked_ = false;
}

bool TThread::Synchronize(const std::function<void()>& fn) {
    if (Terminated()) {
        return false;
    }
    return dispatcher_.RunAndWait(fn);
}

void TThread::SleepMs(std::int64_t ms, const std::function<bool()>& wakeWhen) {
    if (ms <= 0) {
        return;
    }
    std::unique_lock lock(mutex_);
    const auto seen = wakeCount_;
    wake_.Wait(lock, ms,
               [&] { return terminated_ || wakeCount_ != seen || (wakeWhen && wakeWhen()); });
}

void TThread::Wake() {
    {
        std::lock_guard lock(mutex_);
        ++wakeCount_;
    }
    wake_.NotifyAll();
}

} // namespace platform
