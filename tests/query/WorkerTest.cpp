#include "WhoisTestServer.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

using testing_support::Reply;
using testing_support::TestConfig;
using testing_support::WhoisTestServer;
using testing_support::WorkerHarness;

namespace {

bool RestsSoon(TYmSeek& worker, WorkerHarness& harness) {
    return harness.PumpUntil([&] { return worker.AtRest(); }, 5000);
}

} // namespace

TEST(TYmSeek, SetDomainsTrimsCutsAtTheDotAndSizesTheRecords) {
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(1));
    worker.SetDomains({"  abcd.com  ", "AiBai", "x.y.z", "\tabc.com"});
    ASSERT_EQ(worker.DomainCount(), 4);
    EXPECT_EQ(worker.Domains(), (std::vector<std::string>{"abcd", "AiBai", "x", "abc"}));
    const TYmSeekRec* rec = worker.GetSeekRec(0);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->Name, "abcd");
    EXPECT_EQ(rec->Suffix, ".com");
    EXPECT_EQ(rec->Kind, 1);
    EXPECT_EQ(rec->NameLength, 4);
    EXPECT_EQ(rec->State, 0);
    EXPECT_EQ(worker.GetSeekRec(4), nullptr);
    EXPECT_EQ(worker.GetSeekRec(-1), nullptr);

    worker.GetSeekRec(1)->CreationDate = "kept";
    worker.SetDomains({"one1", "two2"});
    EXPECT_EQ(worker.DomainCount(), 2);
    EXPECT_EQ(worker.GetSeekRec(2), nullptr); // no surplus records
    EXPECT_EQ(worker.GetSeekRec(1)->Name, "two2");
    EXPECT_EQ(worker.GetSeekRec(1)->CreationDate, "kept"); // other fields stay
    worker.SetDomains({"one1", "two2", "three"});
    EXPECT_EQ(worker.GetSeekRec(2)->CreationDate, ""); // new records start empty
}

TEST(TYmSeek, AnEmptyShareFinishesAtOnceAndParks) {
    WhoisTestServer server;
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    worker.SetDomains({});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    EXPECT_TRUE(RestsSoon(worker, harness));
    EXPECT_EQ(harness.events.size(), 1u);
    EXPECT_EQ(harness.events[0].seekPos, 0);
    EXPECT_TRUE(server.Connections().empty());
}

TEST(TYmSeek, ThreeNamesInOrderWithPacingAndOneFinish) {
    WhoisTestServer server;
    server.SetResponder([](const std::string& request) {
        const std::string name = WhoisTestServer::NameOf(request);
        return Reply{Reply::Mode::AnswerAndClose,
                     name == "HaoFu" ? WhoisTestServer::RegisteredAnswer(name)
                                     : WhoisTestServer::NoMatchAnswer(name),
                     {},
                     0};
    });
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    worker.SetDomains({"AiBai.com", "HaoFu.com", "XiuWen.com"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));

    // Per name: Start, any Process, Once; then one Finish.
    std::vector<std::string> kinds;
    for (const auto& e : harness.events) {
        if (e.kind != "Process") {
            kinds.push_back(e.kind + std::to_string(e.seekPos));
        }
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"Start0", "Once0", "Start1", "Once1", "Start2",
                                               "Once2", "Finish0"}));
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 3u);
    EXPECT_EQ(once[0].rec.Name, "AiBai");
    EXPECT_EQ(once[0].rec.State, 1);
    EXPECT_EQ(once[0].rec.Registered, 0);
    EXPECT_EQ(once[1].rec.Registered, 1);
    EXPECT_EQ(once[1].rec.CreationDate, "1997-09-15");
    EXPECT_EQ(once[1].rec.ExpirationDate, "2028-09-14");

    const auto connections = server.Connections();
    ASSERT_EQ(connections.size(), 3u);
    for (std::size_t i = 1; i < connections.size(); ++i) {
        // No sooner than 2 units (200 ms) after the previous exchange began; the
        // server's accept times carry some milliseconds of jitter of their own.
        EXPECT_GE(connections[i].beganMs - connections[i - 1].beganMs, 170);
    }
    EXPECT_TRUE(RestsSoon(worker, harness));
}

TEST(TYmSeek, TheFirstExchangeBeginsAtOnceWhenTheLastLiesFourUnitsBack) {
    WhoisTestServer server;
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    std::this_thread::sleep_for(std::chrono::milliseconds(450));
    worker.SetDomains({"AiBai"});
    const auto started = platform::TickCountMs();
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    ASSERT_EQ(server.Connections().size(), 1u);
    // Within one pass, not after another 2-unit wait.
    EXPECT_LT(server.Connections()[0].beganMs - started, 150);
}

TEST(TYmSeek, ShortNamesAreSkippedWithoutAnyNotification) {
    WhoisTestServer server;
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    worker.SetDomains({"abc.com", "x"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    EXPECT_EQ(harness.events.size(), 1u); // the Finish alone
    EXPECT_TRUE(server.Connections().empty());
    ASSERT_TRUE(RestsSoon(worker, harness));
    EXPECT_EQ(worker.GetSeekRec(0)->State, 1);
    EXPECT_EQ(worker.GetSeekRec(0)->Registered, 0);
}

TEST(TYmSeek, AWorkerWokenWithoutANewListAsksItsWholeListAgain) {
    WhoisTestServer server;
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    worker.SetDomains({"AiBai", "HaoFu"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    ASSERT_TRUE(RestsSoon(worker, harness));
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(2));
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 4u);
    EXPECT_EQ(once[2].rec.Name, "AiBai");
    EXPECT_EQ(once[3].rec.Name, "HaoFu");
}

TEST(TYmSeek, StopDuringAnExchangeDropsItsNotificationsAndParksAtTheStart) {
    WhoisTestServer server;
    server.SetResponder([](const std::string& request) {
        return WhoisTestServer::InTwoPieces(
            WhoisTestServer::NoMatchAnswer(WhoisTestServer::NameOf(request)), 300);
    });
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    worker.SetDomains({"AiBai", "HaoFu"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntil([&] { return !harness.Of("Start").empty(); }));
    worker.StopSeek();
    EXPECT_TRUE(RestsSoon(worker, harness));
    harness.PumpFor(100);
    EXPECT_TRUE(harness.Of("Once").empty());
    EXPECT_TRUE(harness.Of("Finish").empty());
    EXPECT_EQ(worker.SeekPos(), 0);
    // The exchange went on to its end: the server sent all of its answer.
    EXPECT_EQ(server.Connections().size(), 1u);
}

TEST(TYmSeek, StopWhileWaitingBetweenExchangesParksWithoutAskingFurther) {
    WhoisTestServer server;
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    worker.SetDomains({"AiBai", "HaoFu", "XiuWen"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.Of("Once").size() == 1; }));
    worker.StopSeek();
    EXPECT_TRUE(RestsSoon(worker, harness));
    harness.PumpFor(500);
    EXPECT_EQ(harness.Of("Once").size(), 1u);
    EXPECT_LE(server.Connections().size(), 2u);
}

TEST(TYmSeek, AStartRightAfterAStopNeverLetsTheOldRunIntoTheNewOne) {
    WhoisTestServer server;
    server.SetResponder([](const std::string& request) {
        return WhoisTestServer::InTwoPieces(
            WhoisTestServer::NoMatchAnswer(WhoisTestServer::NameOf(request)), 300);
    });
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    worker.SetDomains({"OldOne", "OldTwo", "OldThree"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntil([&] { return !harness.Of("Start").empty(); }));
    // Stop and start again while the worker is inside its exchange.
    worker.StopSeek();
    worker.SetDomains({"NewOne", "NewTwo"});
    EXPECT_FALSE(worker.AtRest());
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    // Pump on well past the pacing: the new share must not start over, and the
    // worker must park for good.
    harness.PumpFor(1500);
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 2u);
    EXPECT_EQ(once[0].rec.Name, "NewOne");
    EXPECT_EQ(once[1].rec.Name, "NewTwo");
    EXPECT_EQ(harness.Of("Finish").size(), 1u);
    EXPECT_TRUE(worker.AtRest());
    const auto connections = server.Connections();
    ASSERT_EQ(connections.size(), 3u);
    EXPECT_EQ(connections[0].request, "OldOne.com\r\n");
    EXPECT_EQ(connections[1].request, "NewOne.com\r\n");
    EXPECT_EQ(connections[2].request, "NewTwo.com\r\n");
}

TEST(TYmSeek, AStartWhileStillFinishingAStoppedShareWakesNothingLater) {
    // A stop and a new start while the last exchange of a share is open: the
    // worker goes on without parking, runs the new share once and then parks.
    WhoisTestServer server;
    server.SetResponder([](const std::string& request) {
        return WhoisTestServer::InTwoPieces(
            WhoisTestServer::NoMatchAnswer(WhoisTestServer::NameOf(request)), 300);
    });
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    worker.SetDomains({"OnlyOld"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntil([&] { return !harness.Of("Start").empty(); }));
    worker.StopSeek();
    worker.SetDomains({"FreshOne"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    harness.PumpFor(1500);
    const auto connections = server.Connections();
    ASSERT_EQ(connections.size(), 2u);
    EXPECT_EQ(connections[1].request, "FreshOne.com\r\n");
    ASSERT_EQ(harness.Of("Once").size(), 1u);
    EXPECT_EQ(harness.Of("Once")[0].rec.Name, "FreshOne");
    EXPECT_EQ(harness.Of("Finish").size(), 1u);
    EXPECT_TRUE(worker.AtRest());
}

TEST(TYmSeek, AnErrorInsideAnExchangeFailsThatNameOnly) {
    WhoisTestServer server;
    WorkerHarness harness;
    auto config = TestConfig(server.Port());
    auto calls = std::make_shared<std::atomic<int>>(0);
    config.Resolve = [calls](const std::string&) -> std::optional<std::uint32_t> {
        if (++*calls == 1) {
            throw std::bad_alloc(); // as an exchange that runs out of memory
        }
        return testing_support::LoopbackAddress();
    };
    TYmSeek& worker = harness.Add(config);
    worker.SetDomains({"BrokenOne", "GoodTwo"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 2u);
    EXPECT_EQ(once[0].rec.Name, "BrokenOne");
    EXPECT_EQ(once[0].rec.State, 2);
    EXPECT_EQ(once[1].rec.Name, "GoodTwo");
    EXPECT_EQ(once[1].rec.State, 1);
    EXPECT_EQ(once[1].rec.Registered, 0);
}

TEST(TYmSeek, ShutdownDoesNotWaitForAHangingLookup) {
    WhoisTestServer server;
    testing_support::HangingLookup lookup;
    WorkerHarness harness;
    auto config = TestConfig(server.Port());
    config.Resolve = lookup.Resolver();
    for (int i = 0; i < 8; ++i) {
        harness.Add(config).SetDomains({"Lookup" + std::to_string(i)});
    }
    for (auto& worker : harness.workers) {
        worker->StartSeek();
    }
    // The notifications before each lookup need the pump.
    ASSERT_TRUE(harness.PumpUntil([&] { return lookup.Entered() == 8; }));
    const auto before = platform::TickCountMs();
    harness.dispatcher.Shutdown();
    for (auto& worker : harness.workers) {
        worker->Shutdown();
    }
    EXPECT_LT(platform::TickCountMs() - before, 1500);
    EXPECT_TRUE(server.Connections().empty());
}

TEST(TYmSeek, AThreadThatCannotBeStartedThrowsAndLeavesTheWorkerNew) {
    WorkerHarness harness;
    auto config = TestConfig(WhoisTestServer::UnusedPort());
    config.StartThread = [](std::function<void()>) -> platform::SystemThread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    TYmSeek& worker = harness.Add(config);
    worker.SetDomains({"NeverAsked"});
    EXPECT_THROW(worker.StartSeek(), std::system_error);
    EXPECT_TRUE(worker.AtRest());
    worker.SetDomains({"StillTakesALists"}); // at rest: taken at once
    EXPECT_EQ(worker.Domains(), (std::vector<std::string>{"StillTakesALists"}));
}

TEST(TYmSeek, EightWorkersAskInParallelEachAtItsOwnPace) {
    WhoisTestServer server;
    WorkerHarness harness;
    for (int i = 0; i < 8; ++i) {
        TYmSeek& worker = harness.Add(TestConfig(server.Port()));
        worker.SetDomains({"First" + std::to_string(i), "Second" + std::to_string(i)});
    }
    for (auto& worker : harness.workers) {
        worker->StartSeek();
    }
    ASSERT_TRUE(harness.PumpUntilFinishes(8));
    const auto connections = server.Connections();
    ASSERT_EQ(connections.size(), 16u);
    std::map<std::string, std::int64_t> began;
    for (const auto& c : connections) {
        began[c.request.substr(0, c.request.find('.'))] = c.beganMs;
    }
    std::int64_t lastFirst = 0, earliestSecond = INT64_MAX;
    for (int i = 0; i < 8; ++i) {
        const auto first = began.at("First" + std::to_string(i));
        const auto second = began.at("Second" + std::to_string(i));
        // Two units of 100 ms, less what a loaded machine adds to the server's
        // taking of the first connection.
        EXPECT_GE(second - first, 150) << "worker " << i;
        lastFirst = std::max(lastFirst, first);
        earliestSecond = std::min(earliestSecond, second);
    }
    // All eight first exchanges ran side by side, before any worker's second.
    EXPECT_LT(lastFirst, earliestSecond);
}

TEST(TYmSeek, ShutdownCutsAnExchangeBlockedOnASilentServer) {
    WhoisTestServer server;
    server.SetResponder([](const std::string&) { return Reply{Reply::Mode::Silent, {}, {}, 0}; });
    WorkerHarness harness;
    auto config = TestConfig(server.Port());
    config.DataWaitMs = 20000; // the program's own silence limit
    for (int i = 0; i < 8; ++i) {
        harness.Add(config).SetDomains({"Silent" + std::to_string(i)});
    }
    for (auto& worker : harness.workers) {
        worker->StartSeek();
    }
    ASSERT_TRUE(harness.PumpUntil([&] { return server.Connections().size() == 8; }));
    const auto before = platform::TickCountMs();
    harness.dispatcher.Shutdown();
    for (auto& worker : harness.workers) {
        worker->Shutdown();
    }
    // Well under the 20 s the exchanges would otherwise wait.
    EXPECT_LT(platform::TickCountMs() - before, 2000);
}

TEST(TYmSeek, ShutdownReleasesAWorkerWaitingForItsNotification) {
    WhoisTestServer server;
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    worker.SetDomains({});
    worker.StartSeek(); // its Finish waits for a pump that never comes
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    harness.dispatcher.Shutdown();
    worker.Shutdown();
    EXPECT_TRUE(harness.events.empty());
}

namespace {

// Passes notifications on to the harness, but lets one fail on the worker's
// side, as a notification does when the system runs out of memory or threads:
// either before the window sees it, or after the window has taken it.
class FailingDispatcher final : public platform::IDispatcher {
public:
    FailingDispatcher(WorkerHarness& harness, std::string kind, int occurrence, bool beforeRun)
        : harness_(harness), kind_(std::move(kind)), occurrence_(occurrence),
          beforeRun_(beforeRun) {}

    bool RunAndWait(const std::function<void()>& fn) override {
        // Before the run, a Finish is known by coming right after the last Once.
        if (beforeRun_ && !failed_ && kind_ == "Finish" && !harness_.events.empty() &&
            harness_.events.back().kind == "Once" && ++seen_ == occurrence_) {
            failed_ = true;
            throw std::bad_alloc();
        }
        const bool ran = harness_.dispatcher.RunAndWait(fn);
        if (!beforeRun_ && !failed_ && !harness_.events.empty() &&
            harness_.events.back().kind == kind_ && ++seen_ == occurrence_) {
            failed_ = true;
            throw std::bad_alloc();
        }
        return ran;
    }

private:
    WorkerHarness& harness_;
    std::string kind_;
    int occurrence_;
    bool beforeRun_;
    int seen_ = 0;
    bool failed_ = false;
};

// Ends a worker when the test's scope closes, before what it was given.
struct EndsFirst {
    TYmSeek& worker;
    ~EndsFirst() { worker.Shutdown(); }
};

} // namespace

TEST(TYmSeek, AnErrorAfterAnAnswerWasShownLosesNothingAndTheWorkerGoesOn) {
    WhoisTestServer server;
    WorkerHarness harness;
    FailingDispatcher failing(harness, "Once", 1, false);
    TYmSeek& worker = harness.Add(TestConfig(server.Port()), &failing);
    const EndsFirst ends{worker}; // before the dispatcher it calls through goes
    worker.SetDomains({"FirstOne", "SecondTwo", "ThirdThree"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 3u); // each name shown once: the first not again as failed
    EXPECT_EQ(once[0].rec.Name, "FirstOne");
    EXPECT_EQ(once[0].rec.State, 1);
    EXPECT_EQ(once[2].rec.Name, "ThirdThree");
    EXPECT_TRUE(RestsSoon(worker, harness));
    // And it takes the next run.
    worker.SetDomains({"NextOne"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(2));
    once = harness.Of("Once");
    ASSERT_EQ(once.size(), 4u);
    EXPECT_EQ(once[3].rec.Name, "NextOne");
    EXPECT_EQ(server.Connections().size(), 4u);
}

TEST(TYmSeek, AnErrorAtTheEndOfTheListParksTheWorkerForTheNextRun) {
    WhoisTestServer server;
    WorkerHarness harness;
    FailingDispatcher failing(harness, "Finish", 1, true);
    TYmSeek& worker = harness.Add(TestConfig(server.Port()), &failing);
    const EndsFirst ends{worker}; // before the dispatcher it calls through goes
    worker.SetDomains({"OnlyOne"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.Of("Once").size() == 1; }));
    ASSERT_TRUE(RestsSoon(worker, harness));
    harness.PumpFor(600); // parked: it does not ask its list again
    EXPECT_EQ(server.Connections().size(), 1u);
    EXPECT_TRUE(harness.Of("Finish").empty()); // that one notification was lost
    // The next run is asked and reported in full: before, the worker had ended
    // and every later run that gave it names never ended.
    worker.SetDomains({"AfterOne", "AfterTwo"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 3u);
    EXPECT_EQ(once[1].rec.Name, "AfterOne");
    EXPECT_EQ(once[2].rec.Name, "AfterTwo");
}
