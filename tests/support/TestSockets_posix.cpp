#include "TestSockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testing_support::net {

Socket ListenLoopback(std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd, 64);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

Socket AcceptWithin(Socket listener, int ms) {
    pollfd fds{static_cast<int>(listener), POLLIN, 0};
    if (::poll(&fds, 1, ms) <= 0) {
        return kInvalid;
    }
    const int fd = ::accept4(static_cast<int>(listener), nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
        return kInvalid;
    }
    // A client that stops reading must not hold the server's sends for ever.
    timeval sendLimit{3, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
    return fd;
}

int ReceiveWithin(Socket socket, char* buffer, int size, int ms) {
    pollfd fds{static_cast<int>(socket), POLLIN, 0};
    const int rc = ::poll(&fds, 1, ms);
    if (rc == 0) {
        return -1;
    }
    if (rc < 0) {
        return -2;
    }
    const ssize_t n = ::recv(static_cast<int>(socket), buffer, static_cast<std::size_t>(size), 0);
    return n < 0 ? -2 : static_cast<int>(n);
}

void SendAll(Socket socket, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n =
            ::send(static_cast<int>(socket), data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

void Close(Socket socket) {
    ::close(static_cast<int>(socket));
}

void CloseWithReset(Socket socket) {
    linger hard{1, 0};
    ::setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    ::close(static_cast<int>(socket));
}

bool CanResetConnections() {
    return true;
}

std::uint16_t UnusedPort() {
    std::uint16_t port = 0;
    Close(ListenLoopback(port)); // nothing listens there now: a connect is refused
    return port;
}

} // namespace testing_support::net
