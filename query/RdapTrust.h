#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

// Whether an RDAP service's 404s may be believed. A service that moved, a
// stale address or a proxy in front of it can answer 404 to every path, which
// would call every name free. So before the first 404 is believed, the service
// must show that it knows a registered name: it is asked once about a name
// that is registered for good (example.com, held by IANA) and must answer with
// that name's domain object. One trust is shared by the program's workers, so
// the question is asked once per program, by the first worker that meets a
// 404; the others wait for its outcome. A probe that gives no such answer
// leaves the service untrusted, and is tried again no sooner than a minute
// later.
class TRdapTrust {
public:
    // What the probe found: empty when the service answered with the name's
    // domain object, else why not (for the hidden log).
    using TProbe = std::function<std::string()>;

    // The label asked about by the probe, without ".com".
    static constexpr const char* kProbeLabel = "example";

    explicit TRdapTrust(int retryAfterMs = 60000);

    // True when the service's 404s are believed, running the probe first when
    // nobody has yet. stopped: polled while another worker's probe is under
    // way; true gives up the wait. why: with false, the reason.
    bool Believes404(const TProbe& probe, const std::function<bool()>& stopped, std::string& why);

    bool Trusted() const;

private:
    const int retryAfterMs_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool trusted_ = false;
    bool probing_ = false;
    bool tried_ = false;
    std::int64_t retryAtMs_ = 0;
    std::string lastWhy_;
};
