#include "QueuedDispatcher.h"

#include <algorithm>
#include <chrono>

namespace platform {

struct QueuedDispatcher::Job {
    const std::function<void()>* fn = nullptr;
    bool taken = false;
    bool done = false;
};

QueuedDispatcher::QueuedDispatcher(std::function<void()> poster) : poster_(std::move(poster)) {}

QueuedDispatcher::~QueuedDispatcher() {
    Shutdown();
}

bool QueuedDispatcher::RunAndWait(const std::function<void()>& fn) {
    auto job = std::make_shared<Job>();
    job->fn = &fn;
    {
        std::lock_guard lock(mutex_);
        if (shutDown_) {
            return false;
        }
        queue_.push_back(job);
    }
    changed_.NotifyAll();
    if (poster_) {
        poster_();
    }
    std::unique_lock lock(mutex_);
    // A job that the pumping thread has taken runs to its end even when a shutdown
    // comes meanwhile: fn refers to the caller's stack, so the caller must not leave.
    changed_.Wait(lock, -1, [&] { return job->done || (shutDown_ && !job->taken); });
    return job->done;
}

int QueuedDispatcher::PumpAll() {
    // Calls are taken one at a time, not as a batch: a call whose handler opens a
    // nested loop (a message box) and closes the window there shuts this
    // dispatcher down, and every call not yet taken must then be released, or
    // its worker could never be joined.
    std::size_t left = 0;
    {
        std::lock_guard lock(mutex_);
        left = queue_.size();
    }
    int ran = 0;
    for (; left > 0; --left) {
        std::shared_ptr<Job> job;
        {
            std::lock_guard lock(mutex_);
            if (shutDown_ || queue_.empty()) {
                break;
            }
            job = queue_.front();
            queue_.pop_front();
            job->taken = true;
        }
        try {
            (*job->fn)();
        } catch (...) {
            // The caller waits for completion, not for success: a failing handler
            // must not leave its worker waiting for ever.
        }
        {
            std::lock_guard lock(mutex_);
            job->done = true;
        }
        changed_.NotifyAll();
        ++ran;
    }
    return ran;
}

bool QueuedDispatcher::PumpUntil(const std::function<bool()>& pred, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        PumpAll();
        if (pred()) {
            return true;
        }
        std::unique_lock lock(mutex_);
        if (std::chrono::steady_clock::now() >= deadline) {
            lock.unlock();
            PumpAll();
            return pred();
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        changed_.Wait(lock, std::min<std::int64_t>(left, 20),
                      [&] { return !queue_.empty() || shutDown_; });
    }
}

void QueuedDispatcher::Shutdown() {
    {
        std::lock_guard lock(mutex_);
        shutDown_ = true;
        queue_.clear();
    }
    changed_.NotifyAll();
}

bool QueuedDispatcher::IsShutDown() const {
    std::lock_guard lock(mutex_);
    return shutDown_;
}

} // namespace platform
