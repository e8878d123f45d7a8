// The HTTPS client against the loopback HTTP server: what it hands back, the
// connection it keeps, what it refuses, and how a cut ends a request.
#include "HttpsClient.h"
#include "Clock.h"
#include "FileSystem.h"
#include "HangingLookup.h"
#include "RdapTestServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

using platform::HttpResult;
using platform::HttpsClient;
using testing_support::HttpReply;
using testing_support::RdapTestServer;

namespace {

HttpsClient::Options Short() {
    HttpsClient::Options options;
    options.idleMs = 500;
    options.bodyCap = 64 * 1024;
    return options;
}

std::string Url(const RdapTestServer& server, const std::string& name) {
    return server.Base() + "domain/" + name + ".com";
}

} // namespace

TEST(HttpsClient, HandsBackStatusAndBodyAndSendsTheAcceptHeader) {
    RdapTestServer server;
    server.SetResponder([](const std::string& path) {
        return RdapTestServer::NameOf(path) == "aiai" ? RdapTestServer::Registered("aiai")
                                                      : RdapTestServer::NotFound();
    });
    HttpsClient client(Short());
    const HttpResult registered = client.Get(Url(server, "aiai"), "application/rdap+json");
    ASSERT_EQ(registered.outcome, HttpResult::Outcome::Answered) << registered.error;
    EXPECT_EQ(registered.status, 200);
    EXPECT_EQ(registered.body, RdapTestServer::DomainJson("aiai"));
    const HttpResult missing = client.Get(Url(server, "baibai"), "application/rdap+json");
    ASSERT_EQ(missing.outcome, HttpResult::Outcome::Answered) << missing.error;
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(missing.body, "");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].path, "/com/v1/domain/aiai.com");
    EXPECT_EQ(requests[0].accept, "application/rdap+json");
}

TEST(HttpsClient, KeepsOneConnectionAcrossRequestsWhenTheServerAllows) {
    RdapTestServer server;
    HttpsClient client(Short());
    for (int i = 0; i < 5; ++i) {
        const auto result = client.Get(Url(server, "name" + std::to_string(i)), "*/*");
        ASSERT_EQ(result.outcome, HttpResult::Outcome::Answered) << result.error;
        EXPECT_EQ(result.status, 404);
    }
    EXPECT_EQ(server.ConnectionCount(), 1u);
    // A server that closes after each answer gets a new connection each time,
    // and every answer still arrives.
    server.SetResponder([](const std::string&) {
        HttpReply reply = RdapTestServer::NotFound();
        reply.mode = HttpReply::Mode::WholeAndClose;
        return reply;
    });
    for (int i = 0; i < 3; ++i) {
        const auto result = client.Get(Url(server, "closing"), "*/*");
        ASSERT_EQ(result.outcome, HttpResult::Outcome::Answered) << result.error;
        EXPECT_EQ(result.status, 404);
    }
    EXPECT_GE(server.ConnectionCount(), 3u);
}

TEST(HttpsClient, FollowsNoRedirect) {
    RdapTestServer elsewhere;
    elsewhere.SetResponder([](const std::string&) { return RdapTestServer::Registered("aiai"); });
    RdapTestServer server;
    server.SetResponder([&](const std::string&) {
        HttpReply reply;
        reply.status = 301;
        reply.headers = {{"Location", "http://localhost:" + std::to_string(elsewhere.Port()) +
                                          "/com/v1/domain/aiai.com"}};
        return reply;
    });
    HttpsClient client(Short());
    const auto result = client.Get(Url(server, "aiai"), "*/*");
    ASSERT_EQ(result.outcome, HttpResult::Outcome::Answered) << result.error;
    EXPECT_EQ(result.status, 301);
    EXPECT_EQ(elsewhere.ConnectionCount(), 0u);
}

TEST(HttpsClient, ABodyOverTheCapFailsWhetherAnnouncedOrNot) {
    RdapTestServer server;
    server.SetResponder([](const std::string& path) {
        HttpReply reply;
        reply.body = std::string(100 * 1024, 'x');
        if (RdapTestServer::NameOf(path) == "dripped") {
            reply.mode = HttpReply::Mode::Drip; // arrives in pieces: no early refusal
            reply.pieceBytes = 16 * 1024;
        }
        return reply;
    });
    HttpsClient client(Short());
    for (const char* name : {"whole", "dripped"}) {
        const auto result = client.Get(Url(server, name), "*/*");
        EXPECT_EQ(result.outcome, HttpResult::Outcome::Failed) << name;
        EXPECT_NE(result.error, "") << name;
        EXPECT_EQ(result.body, "") << name;
    }
    // Exactly the cap is still a body.
    server.SetResponder([](const std::string&) {
        HttpReply reply;
        reply.body = std::string(64 * 1024, 'y');
        return reply;
    });
    const auto atCap = client.Get(Url(server, "cap"), "*/*");
    ASSERT_EQ(atCap.outcome, HttpResult::Outcome::Answered) << atCap.error;
    EXPECT_EQ(atCap.body.size(), 64u * 1024);
}

TEST(HttpsClient, SilenceResetAndRefusalFailTheRequest) {
    RdapTestServer server;
    server.SetResponder([](const std::string& path) {
        HttpReply reply = RdapTestServer::Registered("x");
        const std::string name = RdapTestServer::NameOf(path);
        if (name == "silent") {
            reply.mode = HttpReply::Mode::Silent;
        } else if (name == "slowbody") {
            reply.mode = HttpReply::Mode::Drip;
            reply.pieceBytes = 100;
            reply.gapMs = 900; // longer than the idle limit
        } else if (name == "reset") {
            reply.mode = HttpReply::Mode::ResetHalfway;
        }
        return reply;
    });
    HttpsClient client(Short());
    for (const char* name : {"silent", "slowbody", "reset"}) {
        const std::int64_t began = platform::TickCountMs();
        const auto result = client.Get(Url(server, name), "*/*");
        EXPECT_EQ(result.outcome, HttpResult::Outcome::Failed) << name;
        EXPECT_NE(result.error, "") << name;
        EXPECT_LT(platform::TickCountMs() - began, 5000) << name;
    }
    // The client is still good for the next request.
    server.SetResponder([](const std::string&) { return RdapTestServer::NotFound(); });
    EXPECT_EQ(client.Get(Url(server, "after"), "*/*").status, 404);

    const auto refused =
        client.Get("http://127.0.0.1:" + std::to_string(testing_support::net::UnusedPort()) +
                       "/com/v1/domain/x.com",
                   "*/*");
    EXPECT_EQ(refused.outcome, HttpResult::Outcome::Failed);
    EXPECT_NE(refused.error, "");
}

TEST(HttpsClient, ADripThatKeepsComingIsAWholeAnswer) {
    RdapTestServer server;
    server.SetResponder([](const std::string&) {
        HttpReply reply = RdapTestServer::Registered("aiai");
        reply.mode = HttpReply::Mode::Drip;
        reply.pieceBytes = 200;
        reply.gapMs = 150; // under the idle limit each time, longer in all
        return reply;
    });
    HttpsClient client(Short());
    const auto result = client.Get(Url(server, "aiai"), "*/*");
    ASSERT_EQ(result.outcome, HttpResult::Outcome::Answered) << result.error;
    EXPECT_EQ(result.body, RdapTestServer::DomainJson("aiai"));
}

TEST(HttpsClient, ACutFromAnotherThreadEndsARequestAtOnceAndEveryLaterOne) {
    RdapTestServer server;
    server.SetResponder([](const std::string&) {
        HttpReply reply;
        reply.mode = HttpReply::Mode::Silent;
        return reply;
    });
    HttpsClient::Options options = Short();
    options.idleMs = 20000;
    HttpsClient client(options);
    std::thread cutter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        client.Cut();
    });
    const std::int64_t began = platform::TickCountMs();
    const auto result = client.Get(Url(server, "aiai"), "*/*");
    const std::int64_t took = platform::TickCountMs() - began;
    cutter.join();
    EXPECT_EQ(result.outcome, HttpResult::Outcome::Cut);
    EXPECT_LT(took, 1500);
    EXPECT_EQ(client.Get(Url(server, "later"), "*/*").outcome, HttpResult::Outcome::Cut);
}

TEST(HttpsClient, ContentTypeIsHandedBack) {
    RdapTestServer server;
    server.SetResponder([](const std::string& path) {
        HttpReply reply = RdapTestServer::NotFound();
        if (path.find("html") != std::string::npos) {
            reply.headers = {{"Content-Type", "text/html; charset=utf-8"}};
        } else if (path.find("none") != std::string::npos) {
            reply.headers.clear();
        }
        return reply;
    });
    HttpsClient client(Short());
    EXPECT_EQ(client.Get(Url(server, "json"), "*/*").contentType, "application/rdap+json");
    EXPECT_EQ(client.Get(Url(server, "html"), "*/*").contentType, "text/html; charset=utf-8");
    const HttpResult none = client.Get(Url(server, "none"), "*/*");
    EXPECT_EQ(none.outcome, HttpResult::Outcome::Answered);
    EXPECT_EQ(none.contentType, "");
}

// The client's own lookup (Linux): a name server that never answers holds
// nothing up, because the wait for it is left at the cut; and the address the
// lookup gives is the one connected to.
TEST(HttpsClient, ACutEndsAHangingHostNameLookupAtOnce) {
    if (platform::kPathDelim == '\\') {
        GTEST_SKIP() << "WinHTTP looks host names up itself, and cancels its own lookup";
    }
    RdapTestServer server;
    server.SetResponder([](const std::string& path) {
        return RdapTestServer::Registered(RdapTestServer::NameOf(path));
    });
    testing_support::HangingLookup hanging;
    HttpsClient::Options options = Short();
    options.resolve = hanging.Resolver();
    HttpsClient client(options);
    HttpResult result;
    std::thread request([&] {
        result = client.Get("http://rdap.hangs.test:" + std::to_string(server.Port()) +
                                "/com/v1/domain/aibai.com",
                            "application/rdap+json");
    });
    const std::int64_t deadline = platform::TickCountMs() + 5000;
    while (hanging.Entered() == 0 && platform::TickCountMs() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(hanging.Entered(), 1);
    const std::int64_t cutAt = platform::TickCountMs();
    client.Cut();
    request.join();
    EXPECT_LT(platform::TickCountMs() - cutAt, 1000);
    EXPECT_EQ(result.outcome, HttpResult::Outcome::Cut);
    EXPECT_TRUE(server.Requests().empty());

    // A lookup that answers: its address is used, and the host name is the
    // request's (the server sees the request for the path asked).
    HttpsClient::Options answering = Short();
    answering.resolve = [](const std::string& host) -> std::optional<std::uint32_t> {
        return host == "rdap.answers.test" ? std::optional(testing_support::LoopbackAddress())
                                           : std::nullopt;
    };
    HttpsClient second(answering);
    const HttpResult found = second.Get(
        "http://rdap.answers.test:" + std::to_string(server.Port()) + "/com/v1/domain/aibai.com",
        "application/rdap+json");
    EXPECT_EQ(found.outcome, HttpResult::Outcome::Answered) << found.error;
    EXPECT_EQ(found.status, 200);
    const HttpResult missing =
        second.Get("http://nothing.test:" + std::to_string(server.Port()) + "/x", "*/*");
    EXPECT_EQ(missing.outcome, HttpResult::Outcome::Failed);
    EXPECT_NE(missing.error.find("nothing.test"), std::string::npos) << missing.error;
}
