#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// Looks a host name up for its first IPv4 address (network byte order); no
// value when there is none. May block for as long as the name server takes.
using TResolver = std::function<std::optional<std::uint32_t>(const std::string& host)>;

// The system's own lookup (getaddrinfo), blocking.
std::optional<std::uint32_t> ResolveIPv4(const std::string& host);

class HostLookup;

// What a WHOIS exchange needs of a connection: the calls of TcpSocket below.
// The program uses TcpSocket; tests hand a worker a socket of their own to
// drive what a real one on their system cannot show (a send that times out,
// a reset where the system reads it as the end of the stream).
class IStreamSocket {
public:
    enum class Wait { Ready, Timeout, Error, Cut };

    // Results of Receive() besides a positive byte count.
    static constexpr int kClosed = 0;     // the peer closed the connection
    static constexpr int kReadError = -1; // the read failed; a later one may work
    static constexpr int kBroken = -2;    // the connection is gone (reset, cut)

    virtual ~IStreamSocket() = default;
    virtual bool Open(const std::string& host, std::uint16_t port) = 0;
    virtual bool Connected() const = 0;
    virtual long Send(const char* data, std::size_t size, int timeoutMs) = 0;
    virtual Wait WaitReadable(int timeoutMs) = 0;
    virtual int Receive(char* buffer, int size) = 0;
    virtual void Close() = 0;
    virtual void Cut() = 0;
};

// A blocking TCP client socket, one connection at a time. The calls of the
// operating system stay behind this class; one implementation per platform.
//
// Every call but Cut() belongs to the owning thread. Cut() may come from any
// thread: it wakes a connect, wait or receive under way and makes every later
// one fail at once, so that a thread blocked on a silent server can be ended.
class TcpSocket final : public IStreamSocket {
public:
    // resolver: empty for the system's lookup; tests inject their own.
    explicit TcpSocket(TResolver resolver = {});
    ~TcpSocket() override;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Look the host up (first IPv4 address; 0.0.0.0 when none is found) and
    // connect, blocking, with the system's own time limits. False on failure.
    // The lookup runs on a helper thread so that Cut() can end the wait for it
    // (see HostLookup); an error of the lookup itself is thrown here.
    bool Open(const std::string& host, std::uint16_t port) override;
    bool Connected() const override;

    // Write all of data within timeoutMs. Returns the bytes written (fewer when
    // the time ran out), or -1 when the write failed.
    long Send(const char* data, std::size_t size, int timeoutMs) override;

    // Wait until data (or the end of the stream) can be read.
    Wait WaitReadable(int timeoutMs) override;

    // Read at most size bytes of what is there: a count, kClosed, kReadError or kBroken.
    int Receive(char* buffer, int size) override;

    void Close() override;
    void Cut() override;

private:
    bool Connect(std::uint32_t address, std::uint16_t port); // one per system
    void CutConnection();                                    // one per system

    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::unique_ptr<HostLookup> lookup_;
};

} // namespace platform
