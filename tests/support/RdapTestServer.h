#pragma once

#include "ConnectionThreads.h"

#include "TestSockets.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testing_support {

// One accepted connection as the test HTTP server sees it: plain TCP, or TLS
// where a test provides it.
class ServerStream {
public:
    virtual ~ServerStream() = default;
    // Bytes read (> 0), 0 when the peer closed, -1 when nothing came within ms,
    // -2 on an error.
    virtual int Receive(char* buffer, int size, int ms) = 0;
    virtual void Send(const std::string& data) = 0;
    virtual void Close() = 0;
    virtual void Reset() = 0; // the peer sees a reset where the system can send one
};

using StreamFactory = std::function<std::unique_ptr<ServerStream>(net::Socket accepted)>;

// What the server does with one request.
struct HttpReply {
    enum class Mode {
        Whole,         // status line, headers and body; the connection stays open
        WholeAndClose, // the same, then close (Connection: close)
        Drip,          // the headers, then the body in pieces of pieceBytes, gapMs apart
        Silent,        // never answer, keep the connection open
        ResetHalfway,  // the headers and half the body, then a reset
    };
    Mode mode = Mode::Whole;
    int status = 200;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers; // besides Content-Length
    std::size_t pieceBytes = 64;
    int gapMs = 0;
};

// An HTTP/1.1 server on 127.0.0.1 with an ephemeral port that answers RDAP
// questions as the tests tell it, keeping connections alive between requests.
// Each connection gets a thread of its own.
class RdapTestServer {
public:
    struct Request {
        std::string path;       // "/com/v1/domain/aiai.com"
        std::string accept;     // the Accept header
        std::size_t connection; // which connection (0-based, in accept order) carried it
    };

    // factory: how accepted connections are wrapped; empty for plain TCP.
    explicit RdapTestServer(StreamFactory factory = {});
    ~RdapTestServer();

    std::uint16_t Port() const { return port_; }
    // "http://127.0.0.1:<port>/com/v1/" (with "https" when told).
    std::string Base(bool https = false) const;

    // Decides the reply for each request's path; the default answers 404.
    void SetResponder(std::function<HttpReply(const std::string& path)> responder);

    // As the registry does, the server answers example.com (the name a client
    // asks to learn whether the service knows registered names) with its domain
    // object, whatever the responder says. false hands that path to the
    // responder too (a service that answers 404 to everything).
    void SetAnswersExample(bool answers);

    std::vector<Request> Requests() const;
    // The requests about the names asked, without those about example.com.
    std::vector<Request> NameRequests() const;
    std::size_t ConnectionCount() const;

    // Closes the listener and every connection, and ends all threads.
    void Stop();

    // The bare name a path asks about ("/com/v1/domain/aiai.com" gives "aiai").
    static std::string NameOf(const std::string& path);
    // The registry's answers: a compact domain object as the .com service writes
    // it (upper-case name, escaped slashes), and the empty 404.
    static std::string DomainJson(const std::string& bareName,
                                  const std::string& created = "1997-09-15T04:00:00Z",
                                  const std::string& expires = "2028-09-14T04:00:00Z",
                                  const std::string& registrar = "Example Registrar, Inc.");
    static HttpReply Registered(const std::string& bareName);
    static HttpReply NotFound();

private:
    void AcceptLoop();
    void Serve(net::Socket socket, std::size_t index);
    bool WaitStopOrGone(ServerStream& stream, int ms);

    StreamFactory factory_;
    net::Socket listener_ = net::kInvalid;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::function<HttpReply(const std::string&)> responder_;
    bool answersExample_ = true;
    std::vector<Request> requests_;
    std::size_t connections_ = 0;
    ConnectionThreads threads_;
    platform::SystemThread acceptThread_;
};

} // namespace testing_support
