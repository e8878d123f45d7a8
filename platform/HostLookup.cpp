#include "HostLookup.h"

#include <condition_variable>
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
    : resolver_(resolver ? std::move(resolver) : TResolver(ResolveIPv4)) {}

HostLookup::~HostLookup() {
    Cut();
}

std::optional<std::uint32_t> HostLookup::Run(const std::string& host) {
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
