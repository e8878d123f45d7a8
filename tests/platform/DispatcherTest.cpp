#include "QueuedDispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using platform::QueuedDispatcher;

TEST(QueuedDispatcher, RunsCallsOnThePumpingThreadAndWaits) {
    QueuedDispatcher dispatcher;
    const auto pumpThread = std::this_thread::get_id();
    std::thread::id ranOn;
    std::atomic<bool> returned{false};
    bool result = false;
    std::thread caller([&] {
        result = dispatcher.RunAndWait([&] { ranOn = std::this_thread::get_id(); });
        returned = true;
    });
    EXPECT_TRUE(dispatcher.PumpUntil([&] { return returned.load(); }, 5000));
    caller.join();
    EXPECT_TRUE(result);
    EXPECT_EQ(ranOn, pumpThread);
}

TEST(QueuedDispatcher, ShutdownReleasesAWaitingCallerWithoutRunningIt) {
    QueuedDispatcher dispatcher;
    std::atomic<bool> ran{false};
    std::atomic<int> result{-1};
    std::thread caller([&] { result = dispatcher.RunAndWait([&] { ran = true; }) ? 1 : 0; });
    // Nobody pumps: the caller waits until the shutdown releases it.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(result, -1);
    dispatcher.Shutdown();
    caller.join();
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(dispatcher.RunAndWait([&] { ran = true; }));
    EXPECT_FALSE(ran);
}

TEST(QueuedDispatcher, AFailingCallStillReleasesItsCaller) {
    QueuedDispatcher dispatcher;
    std::atomic<bool> returned{false};
    std::thread caller([&] {
        dispatcher.RunAndWait([] { throw std::runtime_error("handler failed"); });
        returned = true;
    });
    EXPECT_TRUE(dispatcher.PumpUntil([&] { return returned.load(); }, 5000));
    caller.join();
}

TEST(QueuedDispatcher, ACallThatShutsDownReleasesTheRestOfItsBatch) {
    QueuedDispatcher dispatcher;
    std::atomic<int> ran{0};
    std::atomic<int> refused{0};
    std::vector<std::thread> callers;
    for (int i = 0; i < 4; ++i) {
        callers.emplace_back([&] {
            if (!dispatcher.RunAndWait([&] {
                    ++ran;
                    dispatcher.Shutdown(); // the window closes inside a handler
                })) {
                ++refused;
            }
        });
    }
    while (ran == 0) {
        dispatcher.PumpAll();
    }
    for (auto& caller : callers) {
        caller.join();
    }
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(refused, 3);
}
