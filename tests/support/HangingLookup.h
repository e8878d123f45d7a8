#pragma once

// Host-name lookups for tests: loopback's address, and a lookup that hangs as
// one on a name server that never answers does.

#include "TcpSocket.h"

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace testing_support {

// 127.0.0.1 as a resolver gives it: network byte order.
inline std::uint32_t LoopbackAddress() {
    const unsigned char bytes[4] = {127, 0, 0, 1};
    std::uint32_t address = 0;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

// A host-name lookup that hangs, as one on a bad name server does, until the
// test lets it go (at the latest when the gate goes away).
class HangingLookup {
public:
    ~HangingLookup() { Release(); }

    // The resolver to give a worker or socket; it holds the gate's state, not the
    // gate, so a lookup still running after the test is harmless.
    platform::TResolver Resolver() {
        return [state = state_](const std::string&) -> std::optional<std::uint32_t> {
            std::unique_lock lock(state->mutex);
            ++state->entered;
            state->changed.notify_all();
            state->changed.wait(lock, [&] { return state->released; });
            return LoopbackAddress();
        };
    }
    // How many lookups have begun.
    int Entered() const {
        std::lock_guard lock(state_->mutex);
        return state_->entered;
    }
    void Release() {
        std::lock_guard lock(state_->mutex);
        state_->released = true;
        state_->changed.notify_all();
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        int entered = 0;
        bool released = false;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace testing_support
