#include "HostLookup.h"

#include <cstring>
#include <exception>
#include <utility>

namespace platform {

// What the caller and the lookup thread share. Questions are numbered; the
// thread answers the newest one.
struct HostLookup::State {
    Mutex mutex;
    Condition changed;
    TResolver resolver;
    bool cut = false;  // the owner is ending: every wait ends, no new question
    bool quit = false; // the owner is gone: the thread ends after its lookup
    std::uint64_t asked = 0;
    std::uint64_t answered = 0;
    std::string host;
    std::optional<std::uint32_t> address;
    std::exception_ptr error;
};

HostLookup::HostLookup(TResolver resolver)
    : systemResolver_(!resolver), state_(std::make_shared<State>()) {
    state_->resolver = resolver ? std::move(resolver) : TResolver(ResolveIPv4);
}

HostLookup::~HostLookup() {
    {
        std::lock_guard lock(state_->mutex);
        state_->cut = true;
        state_->quit = true;
    }
    state_->changed.NotifyAll();
    // A lookup may still be blocked in the system: the thread is let go and
    // ends after it, holding the state it needs.
    thread_.Detach();
}

namespace {

// A dotted IPv4 address ("127.0.0.1") in network byte order; no value for any
// other text. Such a host needs no name server.
std::optional<std::uint32_t> NumericAddress(const std::string& host) {
    unsigned char bytes[4] = {};
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= host.size() || host[at] != '.') {
                return std::nullopt;
            }
            ++at;
        }
        unsigned value = 0;
        std::size_t digits = 0;
        while (at < host.size() && host[at] >= '0' && host[at] <= '9' && digits < 3) {
            value = value * 10 + static_cast<unsigned>(host[at] - '0');
            ++at;
            ++digits;
        }
        if (digits == 0 || value > 255) {
            return std::nullopt;
        }
        bytes[part] = static_cast<unsigned char>(value);
    }
    if (at != host.size()) {
        return std::nullopt;
    }
    std::uint32_t address = 0;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

} // namespace

std::optional<std::uint32_t> HostLookup::Run(const std::string& host) {
    if (systemResolver_) {
        if (const auto address = NumericAddress(host)) {
            std::lock_guard lock(state_->mutex);
            return state_->cut ? std::nullopt : address;
        }
    }
    std::unique_lock lock(state_->mutex);
    if (state_->cut) {
        return std::nullopt;
    }
    if (!thread_.Joinable()) {
        // Throws std::system_error when no thread can be had: the exchange fails.
        thread_ = SystemThread([state = state_] { LookupLoop(state); });
    }
    state_->host = host;
    const std::uint64_t question = ++state_->asked;
    state_->changed.NotifyAll();
    state_->changed.Wait(lock, -1,
                         [&] { return state_->answered == question || state_->cut; });
    if (state_->answered != question) {
        return std::nullopt;
    }
    if (state_->error) {
        std::rethrow_exception(std::exchange(state_->error, nullptr));
    }
    return state_->address;
}

void HostLookup::Cut() {
    {
        std::lock_guard lock(state_->mutex);
        state_->cut = true;
    }
    state_->changed.NotifyAll();
}

void HostLookup::LookupLoop(const std::shared_ptr<State>& state) {
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->changed.Wait(lock, -1,
                            [&] { return state->quit || state->asked != state->answered; });
        if (state->quit) {
            return;
        }
        const std::uint64_t question = state->asked;
        const std::string host = state->host;
        lock.unlock();
        std::optional<std::uint32_t> address;
        std::exception_ptr error;
        try {
            address = state->resolver(host);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        state->address = address;
        state->error = error;
        state->answered = question;
        state->changed.NotifyAll();
    }
}

} // namespace platform
