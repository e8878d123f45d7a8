#pragma once

#include "TcpSocket.h"

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

// What one GET gave.
struct HttpResult {
    enum class Outcome {
        Answered, // a whole response came: status and body are set
        Failed,   // no usable response: lookup, connect, TLS, reset, silence, a body too long
        Cut,      // Cut() ended it
    };
    Outcome outcome = Outcome::Failed;
    long status = 0;
    std::string contentType; // the Content-Type header, empty when there is none
    std::string body;
    std::string error; // with Failed: what went wrong, for the hidden log
};

// A blocking HTTPS (or, for tests on loopback, plain HTTP) client for one
// thread, keeping its connection alive from one request to the next when the
// server allows it. One implementation per system: libcurl on Linux, WinHTTP
// (asynchronous, so that a request can be cancelled) on Windows.
//
// Every call but Cut() belongs to the owning thread. Cut() may come from any
// thread: it ends a request under way at once and makes every later one fail.
class HttpsClient {
public:
    struct Options {
        int idleMs = 20000;            // this long without a byte fails the request
        std::size_t bodyCap = 1 << 20; // a longer body fails the request
        std::string trustFile;         // tests only: a PEM file of the authorities to trust
                                       // instead of the system's (ignored on Windows)
        // Linux: the host-name lookup, run on a thread of its own that Cut()
        // leaves behind (see HostLookup), so that a name server that never
        // answers cannot hold up the program's end; libcurl is handed the
        // address. Empty: the system's lookup. Windows: WinHTTP looks up.
        TResolver resolve;
    };

    explicit HttpsClient(Options options);
    ~HttpsClient();
    HttpsClient(const HttpsClient&) = delete;
    HttpsClient& operator=(const HttpsClient&) = delete;

    // GET url with the given Accept header. Certificates and host names are
    // verified; no redirect is followed (a 3xx comes back as it is).
    HttpResult Get(const std::string& url, const std::string& accept);

    void Cut();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
