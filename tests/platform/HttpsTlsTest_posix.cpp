// The HTTPS client over real TLS: the loopback server presents a certificate
// for 127.0.0.1 from a test authority. Trusted, it answers; untrusted or for
// another host name, the request fails, and a connection is still reused.
#include "HttpsClient.h"
#include "RdapTestServer.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

using platform::HttpResult;
using platform::HttpsClient;
using testing_support::HttpReply;
using testing_support::RdapTestServer;
using testing_support::ServerStream;
namespace net = testing_support::net;

namespace {

std::string FixturePath(const std::string& name) {
    return std::string(VANTREEL_FIXTURES) + "/tls/" + name;
}

class TlsStream final : public ServerStream {
public:
    TlsStream(SSL* ssl, int fd) : ssl_(ssl), fd_(fd) {}
    ~TlsStream() override { Close(); }
    int Receive(char* buffer, int size, int ms) override {
        if (ssl_ == nullptr) {
            return -2;
        }
        if (SSL_pending(ssl_) == 0) {
            pollfd fds{fd_, POLLIN, 0};
            const int rc = ::poll(&fds, 1, ms);
            if (rc == 0) {
                return -1;
            }
            if (rc < 0) {
                return -2;
            }
        }
        const int n = SSL_read(ssl_, buffer, size);
        if (n > 0) {
            return n;
        }
        const int error = SSL_get_error(ssl_, n);
        if (error == SSL_ERROR_ZERO_RETURN) {
            return 0;
        }
        return error == SSL_ERROR_WANT_READ ? -1 : -2;
    }
    void Send(const std::string& data) override {
        if (ssl_ != nullptr && !data.empty()) {
            SSL_write(ssl_, data.data(), static_cast<int>(data.size()));
        }
    }
    void Close() override {
        if (ssl_ != nullptr) {
            SSL_shutdown(ssl_);
            SSL_free(ssl_);
            ssl_ = nullptr;
            ::close(fd_);
        }
    }
    void Reset() override { Close(); }

private:
    SSL* ssl_;
    int fd_;
};

// Wraps accepted connections in TLS with the test certificate.
class TlsServerContext {
public:
    TlsServerContext() : ctx_(SSL_CTX_new(TLS_server_method())) {
        // OpenSSL writes with write(): a client that hangs up mid-handshake
        // must not end the test program with SIGPIPE.
        ::signal(SIGPIPE, SIG_IGN);
        SSL_CTX_use_certificate_chain_file(ctx_, FixturePath("server.pem").c_str());
        SSL_CTX_use_PrivateKey_file(ctx_, FixturePath("server.key").c_str(), SSL_FILETYPE_PEM);
    }
    ~TlsServerContext() { SSL_CTX_free(ctx_); }

    testing_support::StreamFactory Factory() {
        return [this](net::Socket socket) -> std::unique_ptr<ServerStream> {
            const int fd = static_cast<int>(socket);
            timeval limit{2, 0}; // a client that gives up mid-handshake must not hold us
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
            SSL* ssl = SSL_new(ctx_);
            SSL_set_fd(ssl, fd);
            if (SSL_accept(ssl) != 1) {
                ERR_clear_error();
                SSL_free(ssl);
                ::close(fd);
                return nullptr;
            }
            limit = {0, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
            return std::make_unique<TlsStream>(ssl, fd);
        };
    }

private:
    SSL_CTX* ctx_;
};

HttpsClient::Options Trusting(bool trustTheTestAuthority) {
    HttpsClient::Options options;
    options.idleMs = 3000;
    if (trustTheTestAuthority) {
        options.trustFile = FixturePath("ca.pem");
    }
    return options;
}

} // namespace

TEST(HttpsTls, ACertificateFromATrustedAuthorityIsAnsweredOverOneConnection) {
    TlsServerContext tls;
    RdapTestServer server(tls.Factory());
    server.SetResponder([](const std::string& path) {
        return RdapTestServer::Registered(RdapTestServer::NameOf(path));
    });
    HttpsClient client(Trusting(true));
    for (const char* name : {"aiai", "baibai", "caicai"}) {
        const auto result = client.Get(server.Base(true) + "domain/" + name + ".com", "*/*");
        ASSERT_EQ(result.outcome, HttpResult::Outcome::Answered) << result.error;
        EXPECT_EQ(result.status, 200);
        EXPECT_EQ(result.body, RdapTestServer::DomainJson(name));
    }
    EXPECT_EQ(server.ConnectionCount(), 1u);
}

TEST(HttpsTls, AnUntrustedCertificateOrAnotherHostNameFails) {
    TlsServerContext tls;
    RdapTestServer server(tls.Factory());
    server.SetResponder([](const std::string&) { return RdapTestServer::Registered("aiai"); });

    HttpsClient untrusting(Trusting(false));
    const auto untrusted = untrusting.Get(server.Base(true) + "domain/aiai.com", "*/*");
    EXPECT_EQ(untrusted.outcome, HttpResult::Outcome::Failed);
    EXPECT_NE(untrusted.error, "");

    // The certificate names 127.0.0.1, not localhost.
    HttpsClient trusting(Trusting(true));
    const auto otherName = trusting.Get(
        "https://localhost:" + std::to_string(server.Port()) + "/com/v1/domain/aiai.com", "*/*");
    EXPECT_EQ(otherName.outcome, HttpResult::Outcome::Failed);
    EXPECT_TRUE(server.Requests().empty());
}
