#include "TcpSocket.h"

#include "HostLookup.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

struct TcpSocket::Impl {
    std::mutex mutex; // guards fd against Cut() from another thread
    int fd = -1;
    int wakeFd = -1; // an eventfd that Cut() makes readable
    bool cut = false;

    bool IsCut() {
        std::lock_guard lock(mutex);
        return cut;
    }

    // Poll fd for events and the wake descriptor; returns the revents of fd, 0 on
    // time-out, -1 on error, -2 when cut.
    int PollFd(short events, int timeoutMs) {
        pollfd fds[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
        for (;;) {
            const int rc = ::poll(fds, 2, timeoutMs);
            if (rc < 0 && errno == EINTR) {
                continue;
            }
            if (rc < 0) {
                return -1;
            }
            if (fds[1].revents != 0) {
                return -2;
            }
            return rc == 0 ? 0 : fds[0].revents;
        }
    }
};

TcpSocket::TcpSocket(TResolver resolver)
    : impl_(std::make_unique<Impl>()), lookup_(std::make_unique<HostLookup>(std::move(resolver))) {
    impl_->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

TcpSocket::~TcpSocket() {
    Close();
    if (impl_->wakeFd >= 0) {
        ::close(impl_->wakeFd);
    }
}

std::optional<std::uint32_t> ResolveIPv4(const std::string& host) {
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
    if (impl_->IsCut()) {
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = ipv4;

    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    {
        std::lock_guard lock(impl_->mutex);
        if (impl_->cut) {
            ::close(fd);
            return false;
        }
        impl_->fd = fd;
    }
    // A blocking connect that Cut() can still end: connect without blocking,
    // then wait without a time limit of our own. The system's SYN retries still
    // bound it as they bound a blocking connect.
    const int flags = ::fcntl(fd, F_GETFL, 0);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    int rc = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (rc < 0 && errno == EINPROGRESS) {
        const int events = impl_->PollFd(POLLOUT, -1);
        int error = 0;
        socklen_t length = sizeof error;
        if (events > 0 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 &&
            error == 0) {
            rc = 0;
        }
    }
    if (rc != 0) {
        Close();
        return false;
    }
    return true;
}

bool TcpSocket::Connected() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->fd >= 0;
}

long TcpSocket::Send(const char* data, std::size_t size, int timeoutMs) {
    if (impl_->fd < 0) {
        return -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(impl_->fd, data + sent, size - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            return -1;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            return 0; // not complete in time: reported as nothing written
        }
        const int events = impl_->PollFd(POLLOUT, static_cast<int>(left));
        if (events == -2) {
            return -1;
        }
        if (events == 0) {
            return 0;
        }
    }
    return static_cast<long>(sent);
}

TcpSocket::Wait TcpSocket::WaitReadable(int timeoutMs) {
    if (impl_->fd < 0) {
        return Wait::Error;
    }
    const int events = impl_->PollFd(POLLIN, timeoutMs);
    if (events == -2) {
        return Wait::Cut;
    }
    if (events < 0) {
        return Wait::Error;
    }
    return events == 0 ? Wait::Timeout : Wait::Ready;
}

int TcpSocket::Receive(char* buffer, int size) {
    if (impl_->fd < 0 || impl_->IsCut()) {
        return kBroken;
    }
    for (;;) {
        const ssize_t n = ::recv(impl_->fd, buffer, static_cast<std::size_t>(size), MSG_DONTWAIT);
        if (n >= 0) {
            return static_cast<int>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return kReadError;
        }
        return kBroken; // reset, or otherwise gone
    }
}

void TcpSocket::Close() {
    std::lock_guard lock(impl_->mutex);
    if (impl_->fd >= 0) {
        ::close(impl_->fd);
        impl_->fd = -1;
    }
}

void TcpSocket::CutConnection() {
    std::lock_guard lock(impl_->mutex);
    impl_->cut = true;
    if (impl_->wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(impl_->wakeFd, &one, sizeof one);
    }
}

} // namespace platform
