#include "ScriptedSocket.h"
#include "TestSockets.h"
#include "TestUtil.h"
#include "WhoisTestServer.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

using testing_support::Fixture;
using testing_support::Reply;
using testing_support::TestConfig;
using testing_support::WhoisTestServer;
using testing_support::WorkerHarness;

namespace {

struct Outcome {
    std::vector<std::string> kinds; // Start and Once, in order
    TYmSeekRec rec;
    std::int64_t tookMs = 0;
};

// Asks about one name against a server that replies as told.
Outcome AskOne(const std::string& name, const std::function<Reply(const std::string&)>& replier,
               TYmSeekConfig config, WhoisTestServer* serverOut = nullptr) {
    WhoisTestServer ownServer;
    WhoisTestServer& server = serverOut ? *serverOut : ownServer;
    if (replier) {
        server.SetResponder(replier);
    }
    if (config.Port == 0) {
        config.Port = server.Port();
    }
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(config);
    worker.SetDomains({name});
    worker.StartSeek();
    EXPECT_TRUE(harness.PumpUntilFinishes(1, 20000));
    Outcome outcome;
    for (const auto& e : harness.events) {
        if (e.kind == "Start" || e.kind == "Once") {
            outcome.kinds.push_back(e.kind);
        }
        if (e.kind == "Once") {
            outcome.rec = e.rec;
        }
    }
    const auto starts = harness.Of("Start");
    const auto onces = harness.Of("Once");
    if (!starts.empty() && !onces.empty()) {
        outcome.tookMs = onces[0].atMs - starts[0].atMs;
    }
    return outcome;
}

Outcome AskOne(const std::string& name, Reply reply) {
    return AskOne(
        name, [reply](const std::string&) { return reply; }, TestConfig(0));
}

const std::vector<std::string> kStartOnce = {"Start", "Once"};

} // namespace

TEST(WhoisExchange, SendsTheNameTheSuffixAndCrLfInOneLine) {
    WhoisTestServer server;
    const auto outcome = AskOne(" abcd.com ", nullptr, TestConfig(server.Port()), &server);
    ASSERT_EQ(server.Connections().size(), 1u);
    EXPECT_EQ(server.Connections()[0].request, "abcd.com\r\n");
    EXPECT_EQ(TYmSeek::DomainSuffix(), ".com");
    EXPECT_EQ(outcome.kinds, kStartOnce);
    EXPECT_EQ(outcome.rec.State, 1);
    EXPECT_EQ(outcome.rec.Registered, 0);
}

TEST(WhoisExchange, RegisteredAndAvailableAnswersFromTheRegistryLayouts) {
    auto rec =
        AskOne("AiBai",
               {Reply::Mode::AnswerAndClose, Fixture("whois/registered-aibai.com.txt"), {}, 0})
            .rec;
    EXPECT_EQ(rec.State, 1);
    EXPECT_EQ(rec.Registered, 1);
    EXPECT_EQ(rec.CreationDate, "2003-11-24");
    EXPECT_EQ(rec.ExpirationDate, "2027-11-24");
    rec = AskOne("XiuWen",
                 {Reply::Mode::AnswerAndClose, Fixture("whois/available-xiuwen.com.txt"), {}, 0})
              .rec;
    EXPECT_EQ(rec.State, 1);
    EXPECT_EQ(rec.Registered, 0);
}

TEST(WhoisExchange, AnswersThatSayNothingAboutTheNameFail) {
    for (const std::string& text :
         {Fixture("whois/database-down.txt"), std::string("Connection refused; rate limit.\r\n"),
          Fixture("whois/registered-aibai.com.txt") /* a record of another name */,
          std::string("\0\0\xff\xfe garbage", 12)}) {
        const auto outcome = AskOne("HaoFu", {Reply::Mode::AnswerAndClose, text, {}, 0});
        EXPECT_EQ(outcome.kinds, kStartOnce);
        EXPECT_EQ(outcome.rec.State, 2) << text;
    }
}

TEST(WhoisExchange, AServerThatClosesWithoutAByteGivesNoAnswer) {
    const auto outcome = AskOne("AiBai", {Reply::Mode::CloseSilently, {}, {}, 0});
    EXPECT_EQ(outcome.kinds, kStartOnce);
    EXPECT_EQ(outcome.rec.State, 2);
}

TEST(WhoisExchange, AnAnswerWithoutTheCloseFailsAfterTheSilence) {
    const auto outcome = AskOne(
        "AiBai", {Reply::Mode::AnswerKeepOpen, WhoisTestServer::NoMatchAnswer("AiBai"), {}, 0});
    EXPECT_EQ(outcome.rec.State, 2);
    EXPECT_GE(outcome.tookMs, 550); // the 600 ms of silence of the test timings
}

TEST(WhoisExchange, PiecesWithGapsShorterThanTheSilenceLimitAreWaitedFor) {
    const std::string answer = WhoisTestServer::RegisteredAnswer("AiBai");
    const auto outcome =
        AskOne("AiBai", {Reply::Mode::Pieces,
                         {},
                         {answer.substr(0, 1), answer.substr(1, 40), answer.substr(41)},
                         400});
    EXPECT_EQ(outcome.rec.State, 1);
    EXPECT_EQ(outcome.rec.Registered, 1);
    EXPECT_EQ(outcome.rec.ExpirationDate, "2028-09-14");
    EXPECT_GE(outcome.tookMs, 750);
}

TEST(WhoisExchange, ARefusedConnectionFailsAfterItsStartNotification) {
    auto config = TestConfig(WhoisTestServer::UnusedPort());
    config.LeftoverPauseMs = 3000; // a pause that would not hide in a loaded machine's delays
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(config);
    worker.SetDomains({"AiBai", "HaoFu"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 2u);
    EXPECT_EQ(once[0].rec.State, 2);
    EXPECT_EQ(once[0].rec.Registered, 0);
    // Nothing was left open, so the second exchange starts without the leftover
    // pause: at the pacing mark (2 to 4 units), not 3 s later.
    ASSERT_EQ(harness.Of("Start").size(), 2u);
    const auto attempts = harness.ConnectTimes(0);
    ASSERT_EQ(attempts.size(), 2u);
    EXPECT_GE(attempts[1] - attempts[0], 200);
    EXPECT_LT(attempts[1] - attempts[0], 2000);
}

TEST(WhoisExchange, AHostWithoutAnAddressFails) {
    // A lookup that finds nothing leaves the address 0.0.0.0, which no connect
    // reaches; the numeric form needs no name server.
    auto config = TestConfig(43);
    config.Host = "0.0.0.0";
    const auto outcome = AskOne("AiBai", nullptr, config);
    EXPECT_EQ(outcome.kinds, kStartOnce);
    EXPECT_EQ(outcome.rec.State, 2);
}

TEST(WhoisExchange, AnAnswerOverTheCapFails) {
    auto config = TestConfig(0);
    config.AnswerCap = 1000;
    const std::string huge = WhoisTestServer::RegisteredAnswer("AiBai") + std::string(5000, 'x');
    const auto outcome = AskOne(
        "AiBai",
        [&](const std::string&) {
            return Reply{Reply::Mode::AnswerAndClose, huge, {}, 0};
        },
        config);
    EXPECT_EQ(outcome.rec.State, 2);
}

TEST(WhoisExchange, AResetAfterHalfAnAnswerFails) {
    if (!testing_support::net::CanResetConnections()) {
        GTEST_SKIP() << "Wine reads a reset as the end of the answer: recv gives 0, only a later "
                        "send sees WSAECONNRESET, even for a reset sent by a host program";
    }
    const std::string answer = WhoisTestServer::RegisteredAnswer("AiBai");
    const auto outcome =
        AskOne("AiBai", {Reply::Mode::Reset, answer.substr(0, answer.size() / 2), {}, 0});
    EXPECT_EQ(outcome.rec.State, 2);
}

namespace {

// One name asked through a scripted connection.
Outcome AskThrough(testing_support::ScriptedSocket::Script script,
                   const std::shared_ptr<testing_support::ScriptedSocket::Seen>& seen) {
    auto config = TestConfig(43);
    config.Host = "whois.test";
    config.RdapBase.clear();
    config.DataWaitMs = 30000; // a wait for an answer would outlast the test
    config.MakeSocket = [script, seen] {
        return std::make_unique<testing_support::ScriptedSocket>(script, seen);
    };
    return AskOne("AiBai", nullptr, config);
}

} // namespace

TEST(WhoisExchange, ARequestNotSentWholeFailsAtOnceWithoutWaitingForAnAnswer) {
    for (const long sent : {0L, 3L, -1L}) {
        auto seen = std::make_shared<testing_support::ScriptedSocket::Seen>();
        testing_support::ScriptedSocket::Script script;
        script.sendResult = sent; // 0 and a part: the time ran out; -1: the send failed
        script.answer = WhoisTestServer::NoMatchAnswer("AiBai");
        const auto outcome = AskThrough(script, seen);
        EXPECT_EQ(outcome.rec.State, 2) << sent;
        EXPECT_EQ(outcome.kinds, kStartOnce) << sent;
        EXPECT_EQ(seen->sends.load(), 1) << sent;
        EXPECT_EQ(seen->waits.load(), 0) << sent; // no wait for an answer to nothing
    }
}

TEST(WhoisExchange, AResetAfterAPieceOfTheAnswerFailsOnEverySystem) {
    // Driven through a scripted connection, so that it runs under Wine too,
    // whose sockets read a reset as the end of the stream.
    const std::string answer = WhoisTestServer::RegisteredAnswer("AiBai");
    auto seen = std::make_shared<testing_support::ScriptedSocket::Seen>();
    testing_support::ScriptedSocket::Script script;
    script.answer = answer.substr(0, answer.size() / 2);
    script.end = platform::IStreamSocket::kBroken;
    const auto broken = AskThrough(script, seen);
    EXPECT_EQ(broken.rec.State, 2);
    // The same piece ended by a close is read as what it is.
    script.end = platform::IStreamSocket::kClosed;
    const auto closed = AskThrough(script, seen);
    EXPECT_EQ(closed.rec.State, 1);
    EXPECT_EQ(closed.rec.Registered, 1);
}
