#include "RdapTrust.h"

#include "Clock.h"

#include <chrono>

TRdapTrust::TRdapTrust(int retryAfterMs) : retryAfterMs_(retryAfterMs) {}

bool TRdapTrust::Trusted() const {
    std::lock_guard lock(mutex_);
    return trusted_;
}

bool TRdapTrust::Believes404(const TProbe& probe, const std::function<bool()>& stopped,
                             std::string& why) {
    std::unique_lock lock(mutex_);
    while (probing_) {
        // Another worker asks the service right now: its answer is this one's.
        // The wait is cut into slices so that a stop or the program's end is seen.
        if (stopped && stopped()) {
            why = "the run was stopped while the service was being checked";
            return false;
        }
        changed_.wait_for(lock, std::chrono::milliseconds(20));
    }
    if (trusted_) {
        return true;
    }
    if (tried_ && platform::TickCountMs() < retryAtMs_) {
        why = "the service has not shown that it knows registered names (" + lastWhy_ + ")";
        return false;
    }
    probing_ = true;
    lock.unlock();
    std::string failure;
    try {
        failure = probe();
    } catch (...) {
        failure = "the check could not be made";
    }
    lock.lock();
    probing_ = false;
    tried_ = true;
    if (failure.empty()) {
        trusted_ = true;
    } else {
        lastWhy_ = std::string(kProbeLabel) + ".com: " + failure;
        retryAtMs_ = platform::TickCountMs() + retryAfterMs_;
    }
    changed_.notify_all();
    if (!trusted_) {
        why = "the service has not shown that it knows registered names (" + lastWhy_ + ")";
    }
    return trusted_;
}
