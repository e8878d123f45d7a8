#pragma once

#include "QueuedDispatcher.h"

#include <QObject>

namespace platform {

// The dispatcher of the window program: a worker's call waits in a queue, and a
// queued event pumps the queue on the user-interface thread, also inside the
// event loops of modal boxes and dialogs. Shutdown() releases every waiting
// worker, so that closing the window can never deadlock with a worker that is
// waiting for its call.
class QtDispatcher final : public IDispatcher {
public:
    QtDispatcher();
    ~QtDispatcher() override;

    bool RunAndWait(const std::function<void()>& fn) override;
    void Shutdown();

private:
    QObject receiver_;
    QueuedDispatcher queue_;
};

} // namespace platform
