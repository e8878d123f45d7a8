#include "QueuedDispatcher.h"

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
    changed_.notify_all();
    if (poster_) {
        poster_();
    }
    std::unique_lock lock(mutex_);
    // A job that the pumping thread has taken runs to its end even when a shutdown
    // comes meanwhile: fn refers to the caller's stack, so the caller must not leave.
    changed_.wait(lock, [&] { return job->done || (shutDown_ && !job->taken); });
    return job->done;
}

int QueuedDispatcher::PumpAll() {
    std::deque<std::shared_ptr<Job>> batch;
    {
        std::lock_guard lock(mutex_);
        if (shutDown_) {
            return 0;
        }
        batch.swap(queue_);
        for (auto& job : batch) {
            job->taken = true;
        }
    }
    int ran = 0;
    for (auto& job : batch) {
        {
            std::lock_guard lock(mutex_);
            if (shutDown_) {
                // Shut down by an earlier call of this batch (the window closed):
                // release the rest without running them.
                for (auto& rest : batch) {
                    if (!rest->done) {
                        rest->taken = false;
                    }
                }
                break;
            }
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
        changed_.notify_all();
        ++ran;
    }
    changed_.notify_all();
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
        changed_.wait_until(
            lock,
            std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(20)),
            [&] { return !queue_.empty() || shutDown_; });
    }
}

void QueuedDispatcher::Shutdown() {
    {
        std::lock_guard lock(mutex_);
        shutDown_ = true;
        queue_.clear();
    }
    changed_.notify_all();
}

bool QueuedDispatcher::IsShutDown() const {
    std::lock_guard lock(mutex_);
    return shutDown_;
}

} // namespace platform
