#include "WhoisTestServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testing_support {
namespace {

std::int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

void SendAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

WhoisTestServer::WhoisTestServer() {
    responder_ = [](const std::string& request) {
        return Reply{Reply::Mode::AnswerAndClose, NoMatchAnswer(NameOf(request)), {}, 0};
    };
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listenFd_, 64);
    socklen_t length = sizeof address;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

WhoisTestServer::~WhoisTestServer() {
    Stop();
}

void WhoisTestServer::SetResponder(std::function<Reply(const std::string&)> responder) {
    std::lock_guard lock(mutex_);
    responder_ = std::move(responder);
}

std::vector<WhoisTestServer::Connection> WhoisTestServer::Connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

bool WhoisTestServer::WaitForConnections(std::size_t n, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return connections_.size() >= n; });
}

void WhoisTestServer::AcceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            continue;
        }
        if (stopping_ || fds[1].revents != 0) {
            return;
        }
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        std::lock_guard lock(mutex_);
        const std::size_t index = connections_.size();
        connections_.push_back({{}, NowMs()});
        openFds_.push_back(fd);
        threads_.emplace_back([this, fd, index] { Serve(fd, index); });
        changed_.notify_all();
    }
}

// Waits up to ms for the stop signal; true when stopping.
static bool WaitStop(int wakeFd, int clientFd, int ms) {
    pollfd fds[2] = {{wakeFd, POLLIN, 0}, {clientFd, POLLIN, 0}};
    const auto deadline = NowMs() + ms;
    for (;;) {
        const auto left =
            ms < 0 ? -1 : static_cast<int>(std::max<std::int64_t>(0, deadline - NowMs()));
        const int rc = ::poll(fds, 2, left);
        if (rc == 0) {
            return false;
        }
        if (fds[0].revents != 0) {
            return true;
        }
        if (fds[1].revents != 0) {
            char sink[256];
            if (::recv(clientFd, sink, sizeof sink, MSG_DONTWAIT) <= 0) {
                return true; // the client has gone
            }
        }
    }
}

void WhoisTestServer::Serve(int fd, std::size_t index) {
    std::string request;
    const auto deadline = NowMs() + 3000;
    while (request.find("\r\n") == std::string::npos && NowMs() < deadline) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        if (::poll(fds, 2, 100) <= 0) {
            continue;
        }
        if (fds[1].revents != 0) {
            break;
        }
        char buffer[256];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        request.append(buffer, static_cast<std::size_t>(n));
    }
    Reply reply;
    {
        std::lock_guard lock(mutex_);
        connections_[index].request = request;
        reply = responder_(request);
    }
    switch (reply.mode) {
    case Reply::Mode::AnswerAndClose:
        SendAll(fd, reply.text);
        break;
    case Reply::Mode::AnswerKeepOpen:
        SendAll(fd, reply.text);
        WaitStop(wakeFd_, fd, -1);
        break;
    case Reply::Mode::CloseSilently:
        break;
    case Reply::Mode::Reset: {
        SendAll(fd, reply.text);
        linger hard{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        break;
    }
    case Reply::Mode::Pieces:
        for (std::size_t i = 0; i < reply.pieces.size(); ++i) {
            if (i > 0 && WaitStop(wakeFd_, fd, reply.gapMs)) {
                break;
            }
            SendAll(fd, reply.pieces[i]);
        }
        break;
    case Reply::Mode::Silent:
        WaitStop(wakeFd_, fd, -1);
        break;
    }
    std::lock_guard lock(mutex_);
    ::close(fd);
    openFds_[index] = -1;
}

void WhoisTestServer::Stop() {
    if (stopping_.exchange(true)) {
        return;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(wakeFd_, &one, sizeof one);
    acceptThread_.join();
    ::close(listenFd_);
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        threads.swap(threads_);
    }
    for (auto& thread : threads) {
        thread.join();
    }
    ::close(wakeFd_);
}

std::uint16_t WhoisTestServer::UnusedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd); // nothing listens there now: a connect is refused
    return ntohs(address.sin_port);
}

std::string WhoisTestServer::NameOf(const std::string& request) {
    std::string name = request.substr(0, request.find_first_of(".\r\n"));
    return name;
}

std::string WhoisTestServer::NoMatchAnswer(const std::string& bareName) {
    return "No match for \"" + Upper(bareName) +
           ".COM\".\r\n"
           ">>> Last update of whois database: 2026-12-09T01:50:56Z <<<\r\n\r\n"
           "NOTICE: The expiration date displayed in this record is the date the\r\n"
           "registrar's sponsorship of the domain name registration in the registry is\r\n"
           "currently set to expire.\r\n";
}

std::string WhoisTestServer::RegisteredAnswer(const std::string& bareName) {
    return "   Domain Name: " + Upper(bareName) +
           ".COM\r\n"
           "   Registry Domain ID: 2138514_DOMAIN_COM-VRSN\r\n"
           "   Registrar WHOIS Server: whois.example.net\r\n"
           "   Updated Date: 2019-09-09T15:39:04Z\r\n"
           "   Creation Date: 1997-09-15T04:00:00Z\r\n"
           "   Registry Expiry Date: 2028-09-14T04:00:00Z\r\n"
           "   Registrar: Example Registrar, Inc.\r\n"
           "   Registrar IANA ID: 292\r\n"
           "   DNSSEC: unsigned\r\n"
           ">>> Last update of whois database: 2026-12-09T01:50:56Z <<<\r\n";
}

} // namespace testing_support
