#pragma once

#include "Dispatcher.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {

// A thread object in the manner of a toolkit thread class: created parked, it
// parks itself and is woken by another thread, runs functions on the
// user-interface thread through a dispatcher and waits for them.
//
// A wake-up that comes while the thread is not parked is kept: the next Suspend()
// returns at once. Derived classes must call Shutdown() in their destructor,
// before their own members go away.
class TThread {
public:
    TThread(IDispatcher& dispatcher, bool createSuspended);
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Wake the thread; the first call starts it (its Execute begins).
    void Resume();

    // Ask the thread to end: sets Terminated() and wakes Suspend() and SleepMs().
    void Terminate();
    bool Terminated() const;

    // Terminate, then wait for the thread to end. Safe to call more than once.
    void Shutdown();

    // True while the thread is not running its body: never started, parked in
    // Suspend(), or ended.
    bool AtRest() const;

    // Runs fn under the lock that guards the rest state, only if the thread is at
    // rest; returns whether it ran. The thread cannot leave its rest meanwhile.
    bool RunIfAtRest(const std::function<void()>& fn);

protected:
    virtual void Execute() = 0;

    // On the thread itself: park until Resume() or Terminate().
    void Suspend();
    // On the thread itself: run fn on the user-interface thread and wait for it.
    bool Synchronize(const std::function<void()>& fn);
    // On the thread itself: sleep, cut short by Terminate() or Wake().
    void SleepMs(std::int64_t ms);
    // Cut a SleepMs() short without resuming a parked thread.
    void Wake();
    // Called by Terminate() from the terminating thread: cut blocking calls.
    virtual void OnTerminate() {}

private:
    void Body();

    IDispatcher& dispatcher_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::thread thread_;
    std::uint64_t resumeCount_ = 0;
    std::uint64_t resumeSeen_ = 0;
    std::uint64_t wakeCount_ = 0;
    bool started_ = false;
    bool parked_ = false;
    bool ended_ = false;
    bool terminated_ = false;
};

} // namespace platform
