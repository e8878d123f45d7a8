#include "TestSockets.h"

#include <winsock2.h>

#include <ws2tcpip.h>

namespace testing_support::net {
namespace {

struct Startup {
    Startup() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
};

void EnsureStarted() {
    static Startup startup;
}

bool ReadableWithin(SOCKET s, int ms) {
    fd_set read;
    FD_ZERO(&read);
    FD_SET(s, &read);
    timeval limit{ms / 1000, (ms % 1000) * 1000};
    return ::select(0, &read, nullptr, nullptr, &limit) > 0;
}

} // namespace

Socket ListenLoopback(std::uint16_t& port) {
    EnsureStarted();
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(s, 64);
    int length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return static_cast<Socket>(s);
}

Socket AcceptWithin(Socket listener, int ms) {
    if (!ReadableWithin(static_cast<SOCKET>(listener), ms)) {
        return kInvalid;
    }
    const SOCKET s = ::accept(static_cast<SOCKET>(listener), nullptr, nullptr);
    if (s == INVALID_SOCKET) {
        return kInvalid;
    }
    // A client that stops reading must not hold the server's sends for ever.
    const DWORD sendLimitMs = 3000;
    ::setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendLimitMs),
                 sizeof sendLimitMs);
    return static_cast<Socket>(s);
}

int ReceiveWithin(Socket socket, char* buffer, int size, int ms) {
    if (!ReadableWithin(static_cast<SOCKET>(socket), ms)) {
        return -1;
    }
    const int n = ::recv(static_cast<SOCKET>(socket), buffer, size, 0);
    return n < 0 ? -2 : n;
}

void SendAll(Socket socket, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const int n = ::send(static_cast<SOCKET>(socket), data.data() + done,
                             static_cast<int>(data.size() - done), 0);
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

void Close(Socket socket) {
    ::closesocket(static_cast<SOCKET>(socket));
}

void CloseWithReset(Socket socket) {
    linger hard{1, 0};
    ::setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_LINGER,
                 reinterpret_cast<const char*>(&hard), sizeof hard);
    ::closesocket(static_cast<SOCKET>(socket));
}

// Tries once: an abortive close of one end must fail a receive at the other.
bool CanResetConnections() {
    static const bool can = [] {
        std::uint16_t port = 0;
        const SOCKET listener = static_cast<SOCKET>(ListenLoopback(port));
        const SOCKET client = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
        const Socket server = AcceptWithin(static_cast<Socket>(listener), 2000);
        CloseWithReset(server);
        char buffer[4];
        const int n = ReceiveWithin(static_cast<Socket>(client), buffer, sizeof buffer, 2000);
        ::closesocket(client);
        ::closesocket(listener);
        return n == -2;
    }();
    return can;
}

std::uint16_t UnusedPort() {
    std::uint16_t port = 0;
    Close(ListenLoopback(port));
    return port;
}

} // namespace testing_support::net
