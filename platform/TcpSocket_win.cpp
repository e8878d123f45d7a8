#include "TcpSocket.h"

#include "HostLookup.h"
#include "SystemThread.h"

#include <winsock2.h>

#include <ws2tcpip.h>

#include <atomic>
#include <chrono>
#include <mutex>

namespace platform {
namespace {

// Windows Sockets are started once for the process.
struct WinsockStartup {
    WinsockStartup() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
};

void EnsureWinsock() {
    static WinsockStartup startup;
}

// select() cannot wait on anything but sockets, so a cut is seen between slices
// of this length.
constexpr int kSliceMs = 50;

} // namespace

struct TcpSocket::Impl {
    Mutex mutex; // guards the socket against Cut() from another thread
    SOCKET socket = INVALID_SOCKET;
    std::atomic<bool> cut{false};

    enum class Ready { Yes, Timeout, Error, Cut };

    // Waits in slices until the socket is readable (or writable), the time runs
    // out (timeoutMs < 0: never) or the socket is cut.
    Ready WaitFor(bool write, int timeoutMs) {
        const auto deadline = std::chrono::steady_clock::now() +
                              std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
        for (;;) {
            if (cut) {
                return Ready::Cut;
            }
            int slice = kSliceMs;
            if (timeoutMs >= 0) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                      deadline - std::chrono::steady_clock::now())
                                      .count();
                if (left <= 0) {
                    return Ready::Timeout;
                }
                slice = static_cast<int>(std::min<long long>(left, kSliceMs));
            }
            fd_set ready, failed;
            FD_ZERO(&ready);
            FD_ZERO(&failed);
            FD_SET(socket, &ready);
            FD_SET(socket, &failed);
            timeval limit{slice / 1000, (slice % 1000) * 1000};
            const int rc =
                ::select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &limit);
            if (rc == SOCKET_ERROR) {
                return Ready::Error;
            }
            if (cut) {
                return Ready::Cut; // the cut's shutdown also makes the socket ready
            }
            if (rc > 0) {
                return FD_ISSET(socket, &failed) && !FD_ISSET(socket, &ready) ? Ready::Error
                                                                              : Ready::Yes;
            }
        }
    }
};

TcpSocket::TcpSocket(TResolver resolver)
    : impl_(std::make_unique<Impl>()), lookup_(std::make_unique<HostLookup>(std::move(resolver))) {
    EnsureWinsock();
}

TcpSocket::~TcpSocket() {
    Close();
}

std::optional<std::uint32_t> ResolveIPv4(const std::string& host) {
    EnsureWinsock();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::optional<std::uint32_t> address;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) == 0 && found != nullptr) {
        address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    }
    if (found != nullptr) {
        ::freeaddrinfo(found);
    }
    return address;
}

bool TcpSocket::Connect(std::uint32_t ipv4, std::uint16_t port) {
    if (impl_->cut) {
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = ipv4;
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        return false;
    }
    {
        std::lock_guard lock(impl_->mutex);
        impl_->socket = s;
    }
    // Connect without blocking so a cut can end the wait; the system still
    // ends a connect that gets no answer, as it would a blocking one.
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    int rc = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (rc == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) {
        rc = impl_->WaitFor(true, -1) == Impl::Ready::Yes ? 0 : SOCKET_ERROR;
    }
    if (rc != 0) {
        Close();
        return false;
    }
    return true;
}

bool TcpSocket::Connected() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->socket != INVALID_SOCKET;
}

long TcpSocket::Send(const char* data, std::size_t size, int timeoutMs) {
    if (impl_->socket == INVALID_SOCKET) {
        return -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t sent = 0;
    while (sent < size) {
        const int n = ::send(impl_->socket, data + sent, static_cast<int>(size - sent), 0);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (::WSAGetLastError() != WSAEWOULDBLOCK) {
            return -1;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            return 0;
        }
        const auto ready = impl_->WaitFor(true, static_cast<int>(left));
        if (ready == Impl::Ready::Cut || ready == Impl::Ready::Error) {
            return -1;
        }
        if (ready == Impl::Ready::Timeout) {
            return 0;
        }
    }
    return static_cast<long>(sent);
}

TcpSocket::Wait TcpSocket::WaitReadable(int timeoutMs) {
    if (impl_->socket == INVALID_SOCKET) {
        return Wait::Error;
    }
    switch (impl_->WaitFor(false, timeoutMs)) {
    case Impl::Ready::Yes:
        return Wait::Ready;
    case Impl::Ready::Timeout:
        return Wait::Timeout;
    case Impl::Ready::Cut:
        return Wait::Cut;
    default:
        return Wait::Ready; // the receive reports what went wrong
    }
}

int TcpSocket::Receive(char* buffer, int size) {
    if (impl_->socket == INVALID_SOCKET || impl_->cut) {
        return kBroken;
    }
    const int n = ::recv(impl_->socket, buffer, size, 0);
    if (n >= 0) {
        return n;
    }
    const int error = ::WSAGetLastError();
    if (error == WSAEWOULDBLOCK || error == WSAEINTR || error == WSAEINPROGRESS) {
        return kReadError;
    }
    return kBroken;
}

void TcpSocket::Close() {
    std::lock_guard lock(impl_->mutex);
    if (impl_->socket != INVALID_SOCKET) {
        ::closesocket(impl_->socket);
        impl_->socket = INVALID_SOCKET;
    }
}

void TcpSocket::CutConnection() {
    impl_->cut = true;
    std::lock_guard lock(impl_->mutex);
    if (impl_->socket != INVALID_SOCKET) {
        ::shutdown(impl_->socket, SD_BOTH);
    }
}

} // namespace platform
