#include "HostLookup.h"

#include <condition_variable>
#include <cstring>
#include <exception>
#include <thread>

namespace platform {

struct HostLookup::Slot {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    bool cut = false;
    std::optional<std::uint32_t> address;
    std::exception_ptr error;
};

HostLookup::HostLookup(TResolver resolver)
    : systemResolver_(!resolver),
      resolver_(resolver ? std::move(resolver) : TResolver(ResolveIPv4)) {}

HostLookup::~HostLookup() {
    Cut();
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
            std::lock_guard lock(mutex_);
            return cut_ ? std::nullopt : address;
        }
    }
    auto slot = std::make_shared<Slot>();
    {
        std::lock_guard lock(mutex_);
        if (cut_) {
            return std::nullopt;
        }
        current_ = slot;
    }
    struct Release {
        HostLookup& self;
        ~Release() {
            std::lock_guard lock(self.mutex_);
            self.current_.reset();
        }
    } release{*this};

    // Throws std::system_error when no thread can be had: the exchange fails.
    std::thread([slot, resolver = resolver_, host] {
        std::optional<std::uint32_t> address;
        std::exception_ptr error;
        try {
            address = resolver(host);
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(slot->mutex);
        slot->address = address;
        slot->error = error;
        slot->done = true;
        slot->changed.notify_all();
    }).detach();

    std::unique_lock lock(slot->mutex);
    slot->changed.wait(lock, [&] { return slot->done || slot->cut; });
    if (!slot->done) {
        return std::nullopt;
    }
    if (slot->error) {
        std::rethrow_exception(slot->error);
    }
    return slot->address;
}

void HostLookup::Cut() {
    std::shared_ptr<Slot> slot;
    {
        std::lock_guard lock(mutex_);
        cut_ = true;
        slot = current_;
    }
    if (slot) {
        std::lock_guard lock(slot->mutex);
        slot->cut = true;
        slot->changed.notify_all();
    }
}

} // namespace platform
