// The worker's second source: when the WHOIS exchange gives no usable answer,
// the registry's RDAP service is asked about the same name.
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
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(WithRdap(whois.Port(), rdap));
    worker.SetDomains({"AiAi", "BaiBai", "CaiCai"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    const auto once = harness.Of("Once");
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

    const auto requests = rdap.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].path, "/com/v1/domain/aiai.com");
    EXPECT_EQ(requests[0].accept, "application/rdap+json");
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
    const auto connections = whois.Connections();
    ASSERT_EQ(connections.size(), 4u);
    for (std::size_t i = 1; i < connections.size(); ++i) {
        const auto gap = connections[i].beganMs - connections[i - 1].beganMs;
        EXPECT_GE(gap, 195) << i; // two units of 100 ms, less the timer's grain
        EXPECT_LE(gap, 650) << i; // four units, and the RDAP answer fits inside them
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
