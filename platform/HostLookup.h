#pragma once

#include "TcpSocket.h"

#include <memory>
#include <mutex>

namespace platform {

// A host-name lookup whose wait can be cut from another thread.
//
// The system's lookup cannot be interrupted and may block for tens of seconds
// on a bad name server. So each lookup runs on a detached helper thread, and the
// caller waits for its answer or for Cut(), whichever comes first. A cut caller
// leaves at once; the helper finishes on its own and drops its answer (or ends
// with the process). The helper shares nothing with the caller but a small
// reference-counted slot, so leaving early is safe. A host given as a dotted
// IPv4 address needs no name server and no helper.
class HostLookup {
public:
    explicit HostLookup(TResolver resolver);
    ~HostLookup();
    HostLookup(const HostLookup&) = delete;
    HostLookup& operator=(const HostLookup&) = delete;

    // The address, or no value when there is none or the wait was cut. An error
    // thrown by the resolver, or the lack of a helper thread, is thrown here.
    std::optional<std::uint32_t> Run(const std::string& host);

    // Any thread: ends a wait under way and every later one at once.
    void Cut();

private:
    struct Slot;
    bool systemResolver_; // a numeric host then needs no lookup and no helper
    TResolver resolver_;
    std::mutex mutex_;
    std::shared_ptr<Slot> current_;
    bool cut_ = false;
};

} // namespace platform
