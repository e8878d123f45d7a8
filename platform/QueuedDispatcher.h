#pragma once

#include "Dispatcher.h"
#include "SystemThread.h"

#include <deque>
#include <functional>
#include <memory>

namespace platform {

// A dispatcher whose calls wait in a queue until the user-interface thread pumps
// it. The window program pumps it from its event loop (the poster hook tells the
// loop that work is waiting); tests pump it from the test thread.
class QueuedDispatcher final : public IDispatcher {
public:
    // poster is called (on the calling thread) after each call is queued.
    explicit QueuedDispatcher(std::function<void()> poster = {});
    ~QueuedDispatcher() override;

    bool RunAndWait(const std::function<void()>& fn) override;

    // On the user-interface thread: run every call queued now. Returns how many ran.
    int PumpAll();

    // On the user-interface thread: pump until pred() holds or timeoutMs pass,
    // waiting for calls in between. Returns pred().
    bool PumpUntil(const std::function<bool()>& pred, int timeoutMs);

    // Refuse every further call and release every waiting caller without running
    // its function. Safe to call more than once, from any thread.
    void Shutdown();
    bool IsShutDown() const;

private:
    struct Job;
    mutable Mutex mutex_;
    Condition changed_;
    std::deque<std::shared_ptr<Job>> queue_;
    std::function<void()> poster_;
    bool shutDown_ = false;
};

} // namespace platform
