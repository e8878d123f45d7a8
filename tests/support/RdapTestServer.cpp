#include "RdapTestServer.h"

#include "Base.h"
#include "Clock.h"

namespace testing_support {
namespace {

// Each wait is cut into slices this long, so a stop is seen promptly.
constexpr int kSliceMs = 20;
// A kept-alive connection with no new request for this long is closed.
constexpr int kKeepAliveMs = 15000;

std::int64_t NowMs() {
    return platform::TickCountMs();
}

std::string Upper(const std::string& s) {
    return UpperCase(s);
}

class PlainStream final : public ServerStream {
public:
    explicit PlainStream(net::Socket socket) : socket_(socket) {}
    ~PlainStream() override { Close(); }
    int Receive(char* buffer, int size, int ms) override {
        return net::ReceiveWithin(socket_, buffer, size, ms);
    }
    void Send(const std::string& data) override { net::SendAll(socket_, data); }
    void Close() override {
        if (socket_ != net::kInvalid) {
            net::Close(socket_);
            socket_ = net::kInvalid;
        }
    }
    void Reset() override {
        if (socket_ != net::kInvalid) {
            net::CloseWithReset(socket_);
            socket_ = net::kInvalid;
        }
    }

private:
    net::Socket socket_;
};

const char* Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

std::string HeaderValue(const std::string& head, const std::string& name) {
    std::size_t pos = 0;
    while ((pos = head.find("\r\n", pos)) != std::string::npos) {
        pos += 2;
        const std::size_t colon = head.find(':', pos);
        const std::size_t end = head.find("\r\n", pos);
        if (colon == std::string::npos || end == std::string::npos || colon > end) {
            continue;
        }
        if (Upper(head.substr(pos, colon - pos)) == Upper(name)) {
            std::size_t v = colon + 1;
            while (v < end && head[v] == ' ') {
                ++v;
            }
            return head.substr(v, end - v);
        }
    }
    return {};
}

} // namespace

RdapTestServer::RdapTestServer(StreamFactory factory) : factory_(std::move(factory)) {
    if (!factory_) {
        factory_ = [](net::Socket socket) {
            return std::make_unique<PlainStream>(socket);
        };
    }
    responder_ = [](const std::string&) {
        return NotFound();
    };
    listener_ = net::ListenLoopback(port_);
    acceptThread_ = platform::SystemThread([this] { AcceptLoop(); });
}

RdapTestServer::~RdapTestServer() {
    Stop();
}

std::string RdapTestServer::Base(bool https) const {
    return std::string(https ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) +
           "/com/v1/";
}

void RdapTestServer::SetAnswersExample(bool answers) {
    std::lock_guard lock(mutex_);
    answersExample_ = answers;
}

std::vector<RdapTestServer::Request> RdapTestServer::NameRequests() const {
    std::vector<Request> out;
    for (auto& request : Requests()) {
        if (request.path != "/com/v1/domain/example.com") {
            out.push_back(request);
        }
    }
    return out;
}

void RdapTestServer::SetResponder(std::function<HttpReply(const std::string&)> responder) {
    std::lock_guard lock(mutex_);
    responder_ = std::move(responder);
}

std::vector<RdapTestServer::Request> RdapTestServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::size_t RdapTestServer::ConnectionCount() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

void RdapTestServer::AcceptLoop() {
    while (!stopping_) {
        const net::Socket client = net::AcceptWithin(listener_, kSliceMs);
        if (client == net::kInvalid) {
            continue;
        }
        std::lock_guard lock(mutex_);
        const std::size_t index = connections_++;
        threads_.Start([this, client, index] { Serve(client, index); });
    }
}

bool RdapTestServer::WaitStopOrGone(ServerStream& stream, int ms) {
    const auto deadline = NowMs() + ms;
    while (!stopping_) {
        if (ms >= 0 && NowMs() >= deadline) {
            return false;
        }
        char sink[256];
        const int n = stream.Receive(sink, sizeof sink, kSliceMs);
        if (n == 0 || n == -2) {
            return true; // the client has gone
        }
    }
    return true;
}

void RdapTestServer::Serve(net::Socket socket, std::size_t index) {
    std::unique_ptr<ServerStream> stream = factory_(socket);
    if (!stream) {
        return; // the TLS handshake failed: the factory has closed the socket
    }
    std::string pending;
    while (!stopping_) {
        // One request's head; the requests carry no body.
        const auto idleUntil = NowMs() + kKeepAliveMs;
        std::size_t end = std::string::npos;
        while ((end = pending.find("\r\n\r\n")) == std::string::npos && !stopping_ &&
               NowMs() < idleUntil) {
            char buffer[1024];
            const int n = stream->Receive(buffer, sizeof buffer, kSliceMs);
            if (n == 0 || n == -2) {
                return;
            }
            if (n > 0) {
                pending.append(buffer, static_cast<std::size_t>(n));
            }
        }
        if (end == std::string::npos) {
            return;
        }
        const std::string head = pending.substr(0, end + 2);
        pending.erase(0, end + 4);
        const std::size_t space = head.find(' ');
        const std::size_t space2 = head.find(' ', space + 1);
        const std::string path = space == std::string::npos || space2 == std::string::npos
                                     ? std::string()
                                     : head.substr(space + 1, space2 - space - 1);
        HttpReply reply;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back({path, HeaderValue(head, "Accept"), index});
            reply = answersExample_ && path == "/com/v1/domain/example.com" ? Registered("example")
                                                                            : responder_(path);
        }
        std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " + Reason(reply.status) +
                          "\r\nContent-Length: " + std::to_string(reply.body.size()) + "\r\n";
        for (const auto& [name, value] : reply.headers) {
            out += name + ": " + value + "\r\n";
        }
        if (reply.mode == HttpReply::Mode::WholeAndClose) {
            out += "Connection: close\r\n";
        }
        out += "\r\n";
        switch (reply.mode) {
        case HttpReply::Mode::Whole:
            stream->Send(out + reply.body);
            break;
        case HttpReply::Mode::WholeAndClose:
            stream->Send(out + reply.body);
            WaitStopOrGone(*stream, 2000); // let the client read it all before the close
            return;
        case HttpReply::Mode::Drip:
            stream->Send(out);
            for (std::size_t at = 0; at < reply.body.size(); at += reply.pieceBytes) {
                if (WaitStopOrGone(*stream, reply.gapMs)) {
                    return;
                }
                stream->Send(reply.body.substr(at, reply.pieceBytes));
            }
            break;
        case HttpReply::Mode::Silent:
            WaitStopOrGone(*stream, -1);
            return;
        case HttpReply::Mode::ResetHalfway:
            stream->Send(out + reply.body.substr(0, reply.body.size() / 2));
            stream->Reset();
            return;
        }
    }
}

void RdapTestServer::Stop() {
    if (stopping_.exchange(true)) {
        return;
    }
    acceptThread_.Join();
    net::Close(listener_);
    threads_.JoinAll();
}

std::string RdapTestServer::NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    return last.substr(0, last.find('.'));
}

std::string RdapTestServer::DomainJson(const std::string& bareName, const std::string& created,
                                       const std::string& expires, const std::string& registrar) {
    const std::string name = Upper(bareName) + ".COM";
    return R"({"objectClassName":"domain","handle":"1234567_DOMAIN_COM-VRSN","ldhName":")" + name +
           R"(","links":[{"value":"https:\/\/rdap.example\/com\/v1\/domain\/)" + name +
           R"(","rel":"self","href":"https:\/\/rdap.example\/com\/v1\/domain\/)" + name +
           R"(","type":"application\/rdap+json"}],"status":["client transfer prohibited"],)"
           R"("entities":[{"objectClassName":"entity","handle":"292","roles":["registrar"],)"
           R"("publicIds":[{"type":"IANA Registrar ID","identifier":"292"}],)"
           R"("vcardArray":["vcard",[["version",{},"text","4.0"],["fn",{},"text",")" +
           registrar +
           R"("]]],"entities":[{"objectClassName":"entity","roles":["abuse"],)"
           R"("vcardArray":["vcard",[["version",{},"text","4.0"],["fn",{},"text",""]]]}]}],)"
           R"("events":[{"eventAction":"registration","eventDate":")" +
           created + R"("},{"eventAction":"expiration","eventDate":")" + expires +
           R"("},{"eventAction":"last changed","eventDate":"2024-08-02T02:17:33Z"},)"
           R"({"eventAction":"last update of RDAP database","eventDate":"2026-12-09T01:50:56Z"}],)"
           R"("secureDNS":{"delegationSigned":false},"nameservers":[],)"
           R"("rdapConformance":["rdap_level_0","icann_rdap_technical_implementation_guide_1",)"
           R"("icann_rdap_response_profile_1"],"notices":[{"title":"Terms of Service",)"
           R"("description":["Service subject to Terms of Use."],"links":[]}]})";
}

HttpReply RdapTestServer::Registered(const std::string& bareName) {
    HttpReply reply;
    reply.body = DomainJson(bareName);
    reply.headers = {{"Content-Type", "application/rdap+json"}};
    return reply;
}

HttpReply RdapTestServer::NotFound() {
    HttpReply reply;
    reply.status = 404;
    reply.headers = {{"Content-Type", "application/rdap+json"}};
    return reply;
}

} // namespace testing_support
