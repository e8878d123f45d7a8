#pragma once

#include "Dispatcher.h"
#include "SystemThread.h"

#include <cstdint>
#include <functional>

namespace platform {

// Starts a thread that runs body; throws std::system_error when the system has
// no thread to give. Tests pass one that fails.
using TThreadStarter = std::function<SystemThread(std::function<void()> body)>;

// A thread object in the manner of a toolkit thread class: created parked, it
// parks itself and is woken by another thread, runs functions on the
// user-interface thread through a dispatcher and waits for them.
//
// A wake-up that comes while the thread is not parked wakes nothing: it is not
// kept for the next Suspend(). A thread that must not miss a request made just
// before it parks passes Suspend() a test of that request, which is evaluated
// under the same lock that Resume() takes. Derived classes must call Shutdown()
// in their destructor, before their own members go away.
class TThread {
public:
    TThread(IDispatcher& dispatcher, bool createSuspended, TThreadStarter starter = {});
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Wake a parked thread; the first call starts it (its Execute begins). Throws
    // std::system_error when the thread cannot be started; a later call tries again.
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

    // On the thread itself: park until Resume() or Terminate(), unless stayAwake
    // (tested under the lock that Resume() takes) holds at the moment of parking.
    void Suspend(const std::function<bool()>& stayAwake = {});
    // On the thread itself: run fn on the user-interface thread and wait for it.
    bool Synchronize(const std::function<void()>& fn);
    // On the thread itself: sleep, cut short by Terminate(), Wake() or, when given,
    // by wakeWhen holding (tested under the lock that Wake() takes, so a Wake()
    // that follows the change wakes the sleep even if it came before the sleep).
    void SleepMs(std::int64_t ms, const std::function<bool()>& wakeWhen = {});
    // Cut a SleepMs() short without resuming a parked thread.
    void Wake();
    // Called by Terminate() from the terminating thread: cut blocking calls.
    virtual void OnTerminate() {}

private:
    void Body();

    IDispatcher& dispatcher_;
    mutable Mutex mutex_;
    Condition wake_;
    TThreadStarter starter_;
    SystemThread thread_;
    std::uint64_t resumeCount_ = 0;
    std::uint64_t wakeCount_ = 0;
    bool started_ = false;
    bool parked_ = false;
    bool ended_ = false;
    bool terminated_ = false;
};

} // namespace platform
