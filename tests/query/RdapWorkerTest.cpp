// The worker's second source: when the WHOIS exchange gives no usable answer,
// the registry's RDAP service is asked about the same name.
#include "FileSystem.h"
#include "RdapTestServer.h"
#include "TestUtil.h"
#include "WhoisTestServer.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

using testing_support::HttpReply;
using testing_support::RdapTestServer;
using testing_support::Reply;
using testing_support::TestConfig;
using testing_support::WhoisTestServer;
using testing_support::WorkerHarness;

namespace {

Reply Refusal(const std::string&) {
    return Reply{Reply::Mode::AnswerAndClose, "WHOIS LIMIT EXCEEDED - TRY AGAIN LATER\r\n", {}, 0};
}

TYmSeekConfig WithRdap(std::uint16_t whoisPort, const RdapTestServer& rdap) {
    auto config = TestConfig(whoisPort);
    config.RdapBase = rdap.Base();
    return config;
}

// Asks AiAi, BaiBai and CaiCai with one worker: its Once notifications.
std::vector<WorkerHarness::Event> AskThree(const TYmSeekConfig& config) {
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(config);
    worker.SetDomains({"AiAi", "BaiBai", "CaiCai"});
    worker.StartSeek();
    EXPECT_TRUE(harness.PumpUntilFinishes(1));
    return harness.Of("Once");
}

} // namespace

TEST(TYmSeekRdap, AWhoisAnswerIsTrustedAndRdapIsNeverAsked) {
    WhoisTestServer whois;
    whois.SetResponder([](const std::string& request) {
        const std::string name = WhoisTestServer::NameOf(request);
        return Reply{Reply::Mode::AnswerAndClose,
                     name == "AiAi" ? WhoisTestServer::RegisteredAnswer(name)
                                    : WhoisTestServer::NoMatchAnswer(name),
                     {},
                     0};
    });
    RdapTestServer rdap;
    rdap.SetResponder([](const std::string& path) {
        return RdapTestServer::Registered(RdapTestServer::NameOf(path));
    });
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(WithRdap(whois.Port(), rdap));
    worker.SetDomains({"AiAi", "BaiBai"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 2u);
    EXPECT_EQ(once[0].rec.Registered, 1);
    EXPECT_EQ(once[1].rec.State, 1);
    EXPECT_EQ(once[1].rec.Registered, 0); // "No match" stands: RDAP says otherwise here
    EXPECT_EQ(once[1].rec.Note, "");
    EXPECT_TRUE(rdap.Requests().empty());
}

TEST(TYmSeekRdap, AFailedExchangeTakesRdapsAnswerAboutTheSameName) {
    WhoisTestServer whois;
    whois.SetResponder(Refusal);
    RdapTestServer rdap;
    rdap.SetResponder([](const std::string& path) {
        const std::string name = RdapTestServer::NameOf(path);
        if (name == "aiai") {
            HttpReply reply = RdapTestServer::Registered(name);
            reply.body = RdapTestServer::DomainJson(name, "2016-11-21T00:00:00+09:00",
                                                    "2028-09-14T04:00:00.000+0000", "万网");
            return reply;
        }
        if (name == "baibai") {
            return RdapTestServer::NotFound();
        }
        HttpReply refused;
        refused.status = 429;
        refused.headers = {{"Retry-After", "1"}};
        return refused;
    });
    const auto once = AskThree(WithRdap(whois.Port(), rdap));
    ASSERT_EQ(once.size(), 3u);

    const TYmSeekRec& registered = once[0].rec;
    EXPECT_EQ(registered.State, 1);
    EXPECT_EQ(registered.Registered, 1);
    EXPECT_EQ(registered.CreationDate, "2016-11-20");
    EXPECT_EQ(registered.ExpirationDate, "2028-09-14");
    EXPECT_EQ(registered.Registrar, testing_support::G("万网"));
    EXPECT_NE(registered.Note.find("AiAi.com"), std::string::npos) << registered.Note;
    EXPECT_NE(registered.Note.find("no answer about the name"), std::string::npos)
        << registered.Note;
    EXPECT_NE(registered.Note.find("200, registered"), std::string::npos) << registered.Note;

    EXPECT_EQ(once[1].rec.State, 1);
    EXPECT_EQ(once[1].rec.Registered, 0);
    EXPECT_EQ(once[1].rec.CreationDate, "");
    EXPECT_NE(once[1].rec.Note.find("404, can be registered"), std::string::npos);

    EXPECT_EQ(once[2].rec.State, 2); // 429, whatever Retry-After says
    EXPECT_NE(once[2].rec.Note.find("429"), std::string::npos) << once[2].rec.Note;

    // The first 404 was believed only after the service showed it knows a
    // registered name: one question about example.com, right after that 404.
    const auto requests = rdap.Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].path, "/com/v1/domain/aiai.com");
    EXPECT_EQ(requests[0].accept, "application/rdap+json");
    EXPECT_EQ(requests[1].path, "/com/v1/domain/baibai.com");
    EXPECT_EQ(requests[2].path, "/com/v1/domain/example.com");
    EXPECT_EQ(requests[2].accept, "application/rdap+json");
    EXPECT_EQ(requests[3].path, "/com/v1/domain/caicai.com");
    EXPECT_EQ(rdap.ConnectionCount(), 1u); // one connection, kept alive across the names
}

TEST(TYmSeekRdap, PacingOfTheWhoisExchangesIsUnchanged) {
    WhoisTestServer whois;
    whois.SetResponder(Refusal);
    RdapTestServer rdap;
    rdap.SetResponder([](const std::string& path) {
        HttpReply reply = RdapTestServer::Registered(RdapTestServer::NameOf(path));
        reply.mode = HttpReply::Mode::Drip; // each RDAP answer takes about 150 ms
        reply.pieceBytes = 400;
        reply.gapMs = 50;
        return reply;
    });
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(WithRdap(whois.Port(), rdap));
    worker.SetDomains({"Name1", "Name2", "Name3", "Name4"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    ASSERT_EQ(whois.Connections().size(), 4u);
    const auto connected = harness.ConnectTimes(0);
    ASSERT_EQ(connected.size(), 4u);
    for (std::size_t i = 1; i < connected.size(); ++i) {
        const auto gap = connected[i] - connected[i - 1];
        EXPECT_GE(gap, 200) << i; // two units of 100 ms
        // Four units, and the RDAP answer fits inside them; the rest is room for
        // a loaded machine's delays.
        EXPECT_LE(gap, 900) << i;
    }
    for (const auto& e : harness.Of("Once")) {
        EXPECT_EQ(e.rec.Registered, 1) << e.rec.Name;
    }
}

TEST(TYmSeekRdap, ShutdownCutsASilentRdapRequestAtOnce) {
    WhoisTestServer whois;
    whois.SetResponder(Refusal);
    RdapTestServer rdap;
    rdap.SetResponder([](const std::string&) {
        HttpReply reply;
        reply.mode = HttpReply::Mode::Silent;
        return reply;
    });
    WorkerHarness harness;
    auto config = WithRdap(whois.Port(), rdap);
    config.DataWaitMs = 20000;
    TYmSeek& worker = harness.Add(config);
    worker.SetDomains({"AiAi"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntil([&] { return !rdap.Requests().empty(); }));
    const std::int64_t began = platform::TickCountMs();
    worker.Shutdown();
    EXPECT_LT(platform::TickCountMs() - began, 1500);
    EXPECT_TRUE(harness.Of("Once").empty());
}

TEST(TYmSeekRdap, AStopWhileRdapIsAskedLetsNothingIntoTheNextRun) {
    WhoisTestServer whois;
    whois.SetResponder(Refusal);
    RdapTestServer rdap;
    rdap.SetResponder([](const std::string& path) {
        const std::string name = RdapTestServer::NameOf(path);
        HttpReply reply = RdapTestServer::Registered(name);
        if (name.rfind("old", 0) == 0) {
            reply.mode = HttpReply::Mode::Drip; // still under way when the stop comes
            reply.pieceBytes = 200;
            reply.gapMs = 150;
        }
        return reply;
    });
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(WithRdap(whois.Port(), rdap));
    worker.SetDomains({"OldOne", "OldTwo"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntil([&] { return !rdap.Requests().empty(); }));
    worker.StopSeek();
    worker.SetDomains({"NewOne", "NewTwo"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    harness.PumpFor(1200); // on past the end: nothing more may come
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 2u);
    EXPECT_EQ(once[0].rec.Name, "NewOne");
    EXPECT_EQ(once[1].rec.Name, "NewTwo");
    EXPECT_EQ(once[0].rec.Registered, 1);
    EXPECT_EQ(harness.Of("Finish").size(), 1u);
    // The old run's second name was never asked, on either service.
    for (const auto& request : rdap.Requests()) {
        EXPECT_NE(request.path, "/com/v1/domain/oldtwo.com");
    }
    EXPECT_TRUE(worker.AtRest());
}

TEST(TYmSeekRdap, AServiceThatAnswers404ToEveryPathCallsNoNameFree) {
    // A moved service, a stale address, a proxy: 404 for the probe too.
    WhoisTestServer whois;
    whois.SetResponder(Refusal);
    RdapTestServer rdap;
    rdap.SetAnswersExample(false);
    rdap.SetResponder([](const std::string&) { return RdapTestServer::NotFound(); });
    auto config = WithRdap(whois.Port(), rdap);
    config.RdapTrust = std::make_shared<TRdapTrust>();
    const auto once = AskThree(config);
    ASSERT_EQ(once.size(), 3u);
    for (const auto& e : once) {
        EXPECT_EQ(e.rec.State, 2) << e.rec.Name;
        EXPECT_NE(e.rec.Note.find("not believed"), std::string::npos) << e.rec.Note;
        EXPECT_NE(e.rec.Note.find("registered names"), std::string::npos) << e.rec.Note;
    }
    // One probe, not one per name: a failed one waits a minute to be tried again.
    std::size_t probes = 0;
    for (const auto& request : rdap.Requests()) {
        probes += request.path == "/com/v1/domain/example.com" ? 1 : 0;
    }
    EXPECT_EQ(probes, 1u);
    EXPECT_EQ(rdap.NameRequests().size(), 3u);
    EXPECT_FALSE(config.RdapTrust->Trusted());
}

TEST(TYmSeekRdap, A404ThatIsNoRegistryAnswerIsNoAnswer) {
    WhoisTestServer whois;
    whois.SetResponder(Refusal);
    RdapTestServer rdap;
    rdap.SetResponder([](const std::string& path) {
        const std::string name = RdapTestServer::NameOf(path);
        HttpReply reply;
        reply.status = 404;
        if (name == "aiai") { // a CDN's error page
            reply.headers = {{"Content-Type", "text/html"}};
            reply.body = "<html><body>404 Not Found</body></html>";
        } else if (name == "baibai") { // JSON, but not the registry's error
            reply.headers = {{"Content-Type", "application/json"}};
            reply.body = R"({"message":"no route"})";
        } // caicai: no content type at all
        return reply;
    });
    const auto once = AskThree(WithRdap(whois.Port(), rdap));
    ASSERT_EQ(once.size(), 3u);
    for (const auto& e : once) {
        EXPECT_EQ(e.rec.State, 2) << e.rec.Name;
        EXPECT_NE(e.rec.Note.find("404, no answer"), std::string::npos) << e.rec.Note;
    }
}

TEST(TYmSeekRdap, WorkersSharingATrustProbeTheServiceOnce) {
    WhoisTestServer whois;
    whois.SetResponder(Refusal);
    RdapTestServer rdap; // 404 for every name, and example.com's domain object
    WorkerHarness harness;
    auto trust = std::make_shared<TRdapTrust>();
    for (int i = 0; i < 4; ++i) {
        auto config = WithRdap(whois.Port(), rdap);
        config.RdapTrust = trust;
        TYmSeek& worker = harness.Add(config);
        worker.SetDomains({"Free" + std::to_string(i) + "a", "Free" + std::to_string(i) + "b"});
    }
    for (auto& worker : harness.workers) {
        worker->StartSeek();
    }
    ASSERT_TRUE(harness.PumpUntilFinishes(4));
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 8u);
    for (const auto& e : once) {
        EXPECT_EQ(e.rec.State, 1) << e.rec.Name << ": " << e.rec.Note;
        EXPECT_EQ(e.rec.Registered, 0) << e.rec.Name;
    }
    EXPECT_EQ(rdap.Requests().size() - rdap.NameRequests().size(), 1u);
    EXPECT_TRUE(trust->Trusted());
}

TEST(TYmSeekRdap, AChineseNameIsAskedOfRdapInItsIdnaForm) {
    WhoisTestServer whois;
    whois.SetResponder(Refusal);
    RdapTestServer rdap;
    rdap.SetResponder([](const std::string& path) {
        return RdapTestServer::Registered(RdapTestServer::NameOf(path));
    });
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(WithRdap(whois.Port(), rdap));
    worker.SetDomains({testing_support::G("美丽") + ".com"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    const auto requests = rdap.NameRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/com/v1/domain/xn--viq251j.com");
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 1u);
    EXPECT_EQ(once[0].rec.Registered, 1); // ldhName XN--VIQ251J.COM is this name
    EXPECT_EQ(once[0].rec.Name, testing_support::G("美丽"));
}

TEST(TYmSeekRdap, ShutdownEndsAWorkerWhoseRdapLookupHangs) {
    if (platform::kPathDelim == '\\') {
        GTEST_SKIP() << "WinHTTP looks host names up itself, and cancels its own lookup";
    }
    // The RDAP service's name server never answers; WHOIS refuses at once.
    WhoisTestServer whois;
    whois.SetResponder(Refusal);
    RdapTestServer rdap;
    testing_support::HangingLookup hanging;
    auto config = TestConfig(whois.Port());
    config.RdapBase = "http://rdap.hangs.test:" + std::to_string(rdap.Port()) + "/com/v1/";
    config.Resolve = [hang = hanging.Resolver()](const std::string& host) {
        return host == "rdap.hangs.test" ? hang(host)
                                         : std::optional(testing_support::LoopbackAddress());
    };
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(config);
    worker.SetDomains({"AiAi"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntil([&] { return hanging.Entered() == 1; }));
    const std::int64_t began = platform::TickCountMs();
    harness.dispatcher.Shutdown();
    worker.Shutdown();
    EXPECT_LT(platform::TickCountMs() - began, 1500);
    EXPECT_TRUE(rdap.Requests().empty());
}
