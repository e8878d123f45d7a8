#pragma once

#include <functional>

namespace platform {

// Runs a function on the user-interface thread and makes the calling thread wait
// until it has returned. A worker reaches the window only through this.
class IDispatcher {
public:
    virtual ~IDispatcher() = default;

    // Returns true when fn ran to its end on the user-interface thread; false when
    // the dispatcher is shut down (before or while waiting): fn then never runs.
    virtual bool RunAndWait(const std::function<void()>& fn) = 0;
};

} // namespace platform
