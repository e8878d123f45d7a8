#pragma once

#include "ConnectionThreads.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// What the test server does with one connection, after reading its request line.
struct Reply {
    enum class Mode {
        AnswerAndClose, // send text, close
        AnswerKeepOpen, // send text, then keep the connection open and silent
        CloseSilently,  // close without a byte
        Reset,          // send text, then reset the connection (RST)
        Pieces,         // send each piece, gapMs apart, then close
        Silent,         // never answer, keep the connection open
    };
    Mode mode = Mode::AnswerAndClose;
    std::string text;
    std::vector<std::string> pieces;
    int gapMs = 0;
};

// A WHOIS server on 127.0.0.1 with an ephemeral port, for tests. Each connection
// gets a thread of its own, so many clients can be served at once.
class WhoisTestServer {
public:
    struct Connection {
        std::string request;  // the bytes received before the reply
        std::int64_t beganMs; // monotonic time of the accept
    };

    WhoisTestServer();
    ~WhoisTestServer();

    std::uint16_t Port() const { return port_; }

    // Decides the reply for each request; the default answers "No match" for it.
    void SetResponder(std::function<Reply(const std::string& request)> responder);
    // A responder that does its own locking and may block: called outside the
    // server's lock, on each connection's thread, side by side.
    void SetConcurrentResponder(std::function<Reply(const std::string& request)> responder);

    std::vector<Connection> Connections() const;
    // Waits until at least n connections have been seen.
    bool WaitForConnections(std::size_t n, int timeoutMs) const;

    // Closes the listener and every connection, and ends all threads.
    void Stop();

    // A port on 127.0.0.1 where nothing listens.
    static std::uint16_t UnusedPort();

    // The server's usual answers, CR LF lines, as the registry lays them out.
    static std::string NoMatchAnswer(const std::string& bareName);
    static std::string RegisteredAnswer(const std::string& bareName);

    // An answer sent in two pieces, gapMs apart: an exchange that is still under
    // way for a while.
    static Reply InTwoPieces(const std::string& answer, int gapMs);

    // The bare name of a request line ("abcd.com\r\n" gives "abcd").
    static std::string NameOf(const std::string& request);

    // The replies of the window tests' whole road over "ai bai": AiAi is
    // registered, BaiBai gets a refusal that is no answer, the rest are free.
    static Reply WholeRoadReply(const std::string& request);

private:
    void AcceptLoop();
    void Serve(std::intptr_t socket, std::size_t index);
    // Waits up to ms (< 0: without end) for the server to stop or the client to
    // go; true when either happened.
    bool WaitStopOrGone(std::intptr_t socket, int ms);

    std::intptr_t listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::function<Reply(const std::string&)> responder_;
    std::function<Reply(const std::string&)> concurrent_;
    std::vector<Connection> connections_;
    ConnectionThreads threads_;
    platform::SystemThread acceptThread_;
};

} // namespace testing_support
