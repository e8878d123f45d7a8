// Many thread starts, stops and lookups in a row: the workers and the host-name
// lookups must come up, answer and end every time, with no hang and no crash.
#include "HostLookup.h"
#include "WhoisTestServer.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using testing_support::TestConfig;
using testing_support::WhoisTestServer;

TEST(Stress, EightWorkersStartStopAndRestartTwoThousandTimes) {
    WhoisTestServer server;
    auto config = TestConfig(server.Port());
    config.PacingUnitMs = 1;
    config.ReceiveBufferBytes = 4096; // one read an answer: the threads are what is tested
    int finishedRuns = 0;
    for (int cycle = 0; cycle < 2000; ++cycle) {
        platform::QueuedDispatcher dispatcher;
        std::vector<std::unique_ptr<TYmSeek>> workers;
        int finishes = 0;
        for (int i = 0; i < 8; ++i) {
            workers.push_back(std::make_unique<TYmSeek>(i, true, dispatcher, config));
            workers.back()->OnSeekActFinish = [&](TYmSeek*) { ++finishes; };
            workers.back()->SetDomains({"Stress" + std::to_string(i)});
            workers.back()->StartSeek();
        }
        if (cycle % 2 == 1) {
            // Stop them mid-way and start them again with a new list.
            for (auto& worker : workers) {
                worker->StopSeek();
            }
            for (int i = 0; i < 8; ++i) {
                workers[static_cast<std::size_t>(i)]->SetDomains({"Again" + std::to_string(i)});
                workers[static_cast<std::size_t>(i)]->StartSeek();
            }
        }
        ASSERT_TRUE(dispatcher.PumpUntil([&] { return finishes == 8; }, 20000))
            << "cycle " << cycle << ": " << finishes << " of 8 workers finished";
        ++finishedRuns;
        dispatcher.Shutdown();
        for (auto& worker : workers) {
            worker->Shutdown();
        }
    }
    EXPECT_EQ(finishedRuns, 2000);
    EXPECT_GE(server.Connections().size(), 8u * 2000);
}

TEST(Stress, TwentyThousandLookupsOnEightLookupThreads) {
    std::atomic<int> answered{0};
    std::vector<platform::SystemThread> askers;
    for (int t = 0; t < 8; ++t) {
        askers.emplace_back([&answered, t] {
            platform::HostLookup lookup([t](const std::string& host) -> std::optional<std::uint32_t> {
                if (host != "host" + std::to_string(t) + ".test") {
                    return std::nullopt;
                }
                return testing_support::LoopbackAddress();
            });
            for (int i = 0; i < 2500; ++i) {
                if (lookup.Run("host" + std::to_string(t) + ".test") ==
                    testing_support::LoopbackAddress()) {
                    ++answered;
                }
            }
        });
    }
    for (auto& asker : askers) {
        asker.Join();
    }
    EXPECT_EQ(answered.load(), 20000);
}

TEST(Stress, LookupsCutWhileHangingEndAtOnceEveryTime) {
    for (int i = 0; i < 200; ++i) {
        testing_support::HangingLookup hanging;
        auto lookup = std::make_unique<platform::HostLookup>(hanging.Resolver());
        std::atomic<bool> returned{false};
        platform::SystemThread asker([&] {
            EXPECT_EQ(lookup->Run("hangs.test"), std::nullopt);
            returned = true;
        });
        while (hanging.Entered() == 0) {
            std::this_thread::yield();
        }
        lookup->Cut();
        asker.Join();
        EXPECT_TRUE(returned);
        lookup.reset(); // gone while its lookup still hangs
        hanging.Release();
    }
}
