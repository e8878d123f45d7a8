#include "WhoisTestServer.h"

#include "TestUtil.h"

#include "TestSockets.h"

#include <chrono>

namespace testing_support {
namespace {

// Each wait is cut into slices this long, so a stop is seen promptly.
constexpr int kSliceMs = 20;

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

} // namespace

WhoisTestServer::WhoisTestServer() {
    responder_ = [](const std::string& request) {
        return Reply{Reply::Mode::AnswerAndClose, NoMatchAnswer(NameOf(request)), {}, 0};
    };
    listener_ = net::ListenLoopback(port_);
    acceptThread_ = platform::SystemThread([this] { AcceptLoop(); });
}

WhoisTestServer::~WhoisTestServer() {
    Stop();
}

void WhoisTestServer::SetConcurrentResponder(std::function<Reply(const std::string&)> responder) {
    std::lock_guard lock(mutex_);
    concurrent_ = std::move(responder);
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
    while (!stopping_) {
        const net::Socket client = net::AcceptWithin(listener_, kSliceMs);
        if (client == net::kInvalid) {
            continue;
        }
        std::lock_guard lock(mutex_);
        const std::size_t index = connections_.size();
        connections_.push_back({{}, NowMs()});
        threads_.Start([this, client, index] { Serve(client, index); });
        changed_.notify_all();
    }
}

bool WhoisTestServer::WaitStopOrGone(std::intptr_t socket, int ms) {
    const auto deadline = NowMs() + ms;
    while (!stopping_) {
        if (ms >= 0 && NowMs() >= deadline) {
            return false;
        }
        char sink[256];
        const int n = net::ReceiveWithin(socket, sink, sizeof sink, kSliceMs);
        if (n == 0 || n == -2) {
            return true; // the client has gone
        }
    }
    return true;
}

void WhoisTestServer::Serve(std::intptr_t socket, std::size_t index) {
    std::string request;
    const auto deadline = NowMs() + 3000;
    while (request.find("\r\n") == std::string::npos && NowMs() < deadline && !stopping_) {
        char buffer[256];
        const int n = net::ReceiveWithin(socket, buffer, sizeof buffer, kSliceMs);
        if (n == 0 || n == -2) {
            break;
        }
        if (n > 0) {
            request.append(buffer, static_cast<std::size_t>(n));
        }
    }
    Reply reply;
    std::function<Reply(const std::string&)> concurrent;
    {
        std::lock_guard lock(mutex_);
        connections_[index].request = request;
        if (concurrent_) {
            concurrent = concurrent_;
        } else {
            reply = responder_(request);
        }
    }
    if (concurrent) {
        reply = concurrent(request);
    }
    switch (reply.mode) {
    case Reply::Mode::AnswerAndClose:
        net::SendAll(socket, reply.text);
        break;
    case Reply::Mode::AnswerKeepOpen:
        net::SendAll(socket, reply.text);
        WaitStopOrGone(socket, -1);
        break;
    case Reply::Mode::CloseSilently:
        break;
    case Reply::Mode::Reset:
        net::SendAll(socket, reply.text);
        net::CloseWithReset(socket);
        return;
    case Reply::Mode::Pieces:
        for (std::size_t i = 0; i < reply.pieces.size(); ++i) {
            if (i > 0 && WaitStopOrGone(socket, reply.gapMs)) {
                break;
            }
            net::SendAll(socket, reply.pieces[i]);
        }
        break;
    case Reply::Mode::Silent:
        WaitStopOrGone(socket, -1);
        break;
    }
    net::Close(socket);
}

void WhoisTestServer::Stop() {
    if (stopping_.exchange(true)) {
        return;
    }
    acceptThread_.Join();
    net::Close(listener_);
    threads_.JoinAll();
}

std::uint16_t WhoisTestServer::UnusedPort() {
    return net::UnusedPort();
}

Reply WhoisTestServer::InTwoPieces(const std::string& answer, int gapMs) {
    return Reply{Reply::Mode::Pieces, {}, {answer.substr(0, 3), answer.substr(3)}, gapMs};
}

std::string WhoisTestServer::NameOf(const std::string& request) {
    return request.substr(0, request.find_first_of(".\r\n"));
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

Reply WhoisTestServer::WholeRoadReply(const std::string& request) {
    const std::string name = NameOf(request);
    if (name == "AiAi") {
        return Reply{Reply::Mode::AnswerAndClose, RegisteredAnswer(name), {}, 0};
    }
    if (name == "BaiBai") {
        return Reply{Reply::Mode::AnswerAndClose, Fixture("whois/database-down.txt"), {}, 0};
    }
    return Reply{Reply::Mode::AnswerAndClose, NoMatchAnswer(name), {}, 0};
}

} // namespace testing_support
