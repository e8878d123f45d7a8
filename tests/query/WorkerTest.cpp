#include "DomainLabel.h"
#include "TestUtil.h"
#include "WhoisTestServer.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
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

    EXPECT_EQ(rec->Caption, "abcd.com");
    EXPECT_EQ(rec->AskedName, "abcd");
    EXPECT_EQ(worker.GetSeekRec(1)->Caption, "AiBai.com");
    EXPECT_EQ(worker.GetSeekRec(2)->Caption, "x.y.z"); // finds its own row, not "x.com"
    EXPECT_EQ(worker.GetSeekRec(2)->AskedName, "");

    // A record is emptied before it is reused: an old answer's dates, registrar
    // or state never reach the next run's name.
    TYmSeekRec* old = worker.GetSeekRec(1);
    old->State = 1;
    old->Registered = 1;
    old->Registrar = "kept";
    old->CreationDate = "kept";
    old->ExpirationDate = "kept";
    old->Note = "kept";
    worker.SetDomains({"one1", "two2"});
    EXPECT_EQ(worker.DomainCount(), 2);
    EXPECT_EQ(worker.GetSeekRec(2), nullptr); // no surplus records
    const TYmSeekRec* reused = worker.GetSeekRec(1);
    EXPECT_EQ(reused->Name, "two2");
    EXPECT_EQ(reused->State, 0);
    EXPECT_EQ(reused->Registered, 0);
    EXPECT_EQ(reused->Registrar, "");
    EXPECT_EQ(reused->CreationDate, "");
    EXPECT_EQ(reused->ExpirationDate, "");
    EXPECT_EQ(reused->Note, "");
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

    ASSERT_EQ(server.Connections().size(), 3u);
    // No sooner than 2 units (200 ms) after the previous connection was made,
    // by the worker's own clock (a server's accept times shift with its load).
    const auto connected = harness.ConnectTimes(0);
    ASSERT_EQ(connected.size(), 3u);
    for (std::size_t i = 1; i < connected.size(); ++i) {
        EXPECT_GE(connected[i] - connected[i - 1], 200) << i;
    }
    EXPECT_TRUE(RestsSoon(worker, harness));
}

TEST(TYmSeek, ThePauseCountsFromTheConnectionNotFromBeforeASlowLookup) {
    WhoisTestServer server;
    WorkerHarness harness;
    auto config = TestConfig(server.Port());
    // The first lookup takes three units; the others none.
    auto lookups = std::make_shared<std::atomic<int>>(0);
    config.Resolve = [lookups](const std::string&) -> std::optional<std::uint32_t> {
        if (lookups->fetch_add(1) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        return testing_support::LoopbackAddress();
    };
    TYmSeek& worker = harness.Add(config);
    worker.SetDomains({"AiBai", "HaoFu", "XiuWen"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    const auto connected = harness.ConnectTimes(0);
    ASSERT_EQ(connected.size(), 3u);
    for (std::size_t i = 1; i < connected.size(); ++i) {
        EXPECT_GE(connected[i] - connected[i - 1], 200) << i;
    }
    EXPECT_EQ(server.Connections().size(), 3u);
}

TEST(TYmSeek, NamesNobodyCanRegisterAreFailedAtOnceWithoutAConnection) {
    WhoisTestServer server;
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    const std::vector<std::string> refused = {
        "Ai_Bai.com",    "Ai,Bai.com", "AiBai.x.com",
        "Ai.BaiBai.com", "-AiBai.com", "AiBai-.com",
        "Ab--Bai.com",   "Ai Bai.com", std::string(64, 'a') + ".com",
        "AiBai.net"};
    std::vector<std::string> list = refused;
    list.insert(list.begin() + 3, "HaoFu.com");
    list.push_back("XiuWen.com");
    worker.SetDomains(list);
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));

    // Only the two registrable names reached the server.
    const auto connections = server.Connections();
    ASSERT_EQ(connections.size(), 2u);
    EXPECT_EQ(WhoisTestServer::NameOf(connections[0].request), "HaoFu");
    EXPECT_EQ(WhoisTestServer::NameOf(connections[1].request), "XiuWen");
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), list.size());
    for (const auto& e : once) {
        const bool asked = e.rec.Name == "HaoFu" || e.rec.Name == "XiuWen";
        EXPECT_EQ(e.rec.State, asked ? 1 : 2) << e.rec.Caption;
        if (!asked) {
            EXPECT_NE(e.rec.Note.find("cannot be registered"), std::string::npos) << e.rec.Note;
            EXPECT_NE(e.rec.Note.find(e.rec.Caption), std::string::npos) << e.rec.Note;
        }
    }
    // The first three are answered before anything is asked: they neither
    // wait for the pacing nor start an exchange.
    EXPECT_EQ(harness.events[0].kind, "Once");
    EXPECT_EQ(harness.events[1].kind, "Once");
    EXPECT_EQ(harness.events[2].kind, "Once");
    EXPECT_EQ(harness.events[3].kind, "Start");
    // The 64-character name is the one over the limit; 63 is still a name.
    EXPECT_EQ(AskedForm(std::string(63, 'a') + ".com").label, std::string(63, 'a'));
    EXPECT_EQ(harness.ConnectTimes(0).size(), 2u);
}

TEST(TYmSeek, AChineseNameIsAskedInItsIdnaFormAndKeepsItsCaption) {
    WhoisTestServer server;
    server.SetResponder([](const std::string& request) {
        const std::string name = WhoisTestServer::NameOf(request);
        return Reply{Reply::Mode::AnswerAndClose,
                     name == "xn--viq251j" ? WhoisTestServer::RegisteredAnswer(name)
                                           : WhoisTestServer::NoMatchAnswer(name),
                     {},
                     0};
    });
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    const std::string meiliBai = testing_support::G("美丽Bai");
    const std::string meili = testing_support::G("美丽");
    worker.SetDomains({meiliBai + ".com", meili + ".com"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    const auto connections = server.Connections();
    ASSERT_EQ(connections.size(), 2u);
    // UTS #46 maps the capital to lower case before encoding.
    EXPECT_EQ(connections[0].request.substr(0, connections[0].request.find('.')),
              "xn--bai-o88dm86t");
    EXPECT_EQ(WhoisTestServer::NameOf(connections[1].request), "xn--viq251j");
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 2u);
    EXPECT_EQ(once[0].rec.Name, meiliBai);
    EXPECT_EQ(once[0].rec.Caption, meiliBai + ".com");
    EXPECT_EQ(once[0].rec.State, 1);
    EXPECT_EQ(once[0].rec.Registered, 0); // the "No match" was about the encoded name
    EXPECT_EQ(once[1].rec.State, 1);
    EXPECT_EQ(once[1].rec.Registered, 1);
    EXPECT_EQ(once[1].rec.Name, meili);
}

TEST(TYmSeek, ANoMatchForTheRawBytesOfAChineseNameIsNoAnswer) {
    // A server that answers "No match" for whatever it is asked, and a record
    // of the encoded name for nothing: the bytes the user typed are never what
    // the answer is read against.
    WhoisTestServer server;
    const std::string meili = testing_support::G("美丽");
    server.SetResponder([meili](const std::string&) {
        return Reply{Reply::Mode::AnswerAndClose, WhoisTestServer::NoMatchAnswer(meili), {}, 0};
    });
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    worker.SetDomains({meili + ".com"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 1u);
    EXPECT_EQ(once[0].rec.State, 2);
}

TEST(TYmSeek, TheFirstExchangeBeginsAtOnceWhenTheLastLiesFourUnitsBack) {
    WhoisTestServer server;
    WorkerHarness harness;
    auto config = TestConfig(server.Port());
    config.PacingUnitMs = 400; // a wait for the pacing would take 800 ms or more
    TYmSeek& worker = harness.Add(config);
    std::this_thread::sleep_for(std::chrono::milliseconds(1650));
    worker.SetDomains({"AiBai"});
    const auto started = platform::TickCountMs();
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    ASSERT_EQ(server.Connections().size(), 1u);
    // Within one pass, not after another 2-unit wait.
    const auto connected = harness.ConnectTimes(0);
    ASSERT_EQ(connected.size(), 1u);
    EXPECT_LT(connected[0] - started, 700);
}

TEST(TYmSeek, ShortNamesAreNeverAskedAndNeverCalledFree) {
    WhoisTestServer server;
    WorkerHarness harness;
    TYmSeek& worker = harness.Add(TestConfig(server.Port()));
    worker.SetDomains({"abc.com", "x"});
    worker.StartSeek();
    ASSERT_TRUE(harness.PumpUntilFinishes(1));
    EXPECT_TRUE(server.Connections().empty());
    ASSERT_TRUE(RestsSoon(worker, harness));
    const auto once = harness.Of("Once");
    ASSERT_EQ(once.size(), 2u);
    for (const auto& e : once) {
        EXPECT_EQ(e.rec.State, 2) << e.rec.Name; // "!", never an unasked "can be registered"
        EXPECT_NE(e.rec.Note.find("shorter than 4"), std::string::npos) << e.rec.Note;
    }
    EXPECT_TRUE(harness.Of("Start").empty());
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
    // The server holds every first answer until all eight first questions are
    // open at once: workers that asked one after another would never get there.
    WhoisTestServer server;
    struct Gate {
        std::mutex mutex;
        std::condition_variable changed;
        int firsts = 0;
    };
    auto gate = std::make_shared<Gate>();
    server.SetConcurrentResponder([gate](const std::string& request) {
        const std::string name = WhoisTestServer::NameOf(request);
        if (name.rfind("First", 0) == 0) {
            std::unique_lock lock(gate->mutex);
            ++gate->firsts;
            gate->changed.notify_all();
            gate->changed.wait_for(lock, std::chrono::seconds(20),
                                   [&] { return gate->firsts >= 8; });
        }
        return Reply{Reply::Mode::AnswerAndClose, WhoisTestServer::NoMatchAnswer(name), {}, 0};
    });
    WorkerHarness harness;
    for (int i = 0; i < 8; ++i) {
        auto config = TestConfig(server.Port());
        config.DataWaitMs = 30000;
        TYmSeek& worker = harness.Add(config);
        worker.SetDomains({"First" + std::to_string(i), "Second" + std::to_string(i)});
    }
    for (auto& worker : harness.workers) {
        worker->StartSeek();
    }
    ASSERT_TRUE(harness.PumpUntilFinishes(8, 60000));
    EXPECT_EQ(server.Connections().size(), 16u);
    {
        std::lock_guard lock(gate->mutex);
        EXPECT_EQ(gate->firsts, 8);
    }
    for (int i = 0; i < 8; ++i) {
        const auto connected = harness.ConnectTimes(i);
        ASSERT_EQ(connected.size(), 2u) << "worker " << i;
        EXPECT_GE(connected[1] - connected[0], 200) << "worker " << i;
    }
    for (const auto& e : harness.Of("Once")) {
        EXPECT_EQ(e.rec.State, 1) << e.rec.Name;
    }
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
