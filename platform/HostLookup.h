#pragma once

#include "SystemThread.h"
#include "TcpSocket.h"

#include <memory>

namespace platform {

// A host-name lookup whose wait can be cut from another thread.
//
// The system's lookup cannot be interrupted and may block for tens of seconds
// on a bad name server. So lookups run on a thread of their own, one for each
// HostLookup (started at its first lookup and kept), and the caller waits for
// the answer or for Cut(), whichever comes first. A cut caller leaves at once;
// the thread finishes on its own and drops its answer (or ends with the
// process). It shares nothing with the caller but a reference-counted state, so
// leaving early, or destroying the HostLookup meanwhile, is safe. A host given
// as a dotted IPv4 address needs no name server and no thread.
class HostLookup {
public:
    explicit HostLookup(TResolver resolver);
    ~HostLookup();
    HostLookup(const HostLookup&) = delete;
    HostLookup& operator=(const HostLookup&) = delete;

    // The address, or no value when there is none or the wait was cut. An error
    // thrown by the resolver, or the lack of a thread, is thrown here.
    std::optional<std::uint32_t> Run(const std::string& host);

    // Any thread: ends a wait under way and every later one at once.
    void Cut();

private:
    struct State;
    static void LookupLoop(const std::shared_ptr<State>& state);
    bool systemResolver_; // a numeric host then needs no lookup and no thread
    std::shared_ptr<State> state_;
    SystemThread thread_;
};

} // namespace platform
