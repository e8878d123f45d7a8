#include "QueuedDispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

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

// The window closes from a nested loop inside a handler (a message box is open)
// and joins the other workers there: each of them must already be released,
// though their calls were queued when the pump began.
TEST(QueuedDispatcher, AShutdownInsideAHandlerReleasesTheCallsQueuedBehindIt) {
    std::atomic<int> queued{0};
    QueuedDispatcher dispatcher([&] { ++queued; });
    std::vector<std::shared_ptr<std::atomic<bool>>> released;
    for (int i = 0; i < 3; ++i) {
        released.push_back(std::make_shared<std::atomic<bool>>(false));
    }
    const auto allReleased = [&] {
        for (const auto& done : released) {
            if (!done->load()) {
                return false;
            }
        }
        return true;
    };
    bool allReleasedInside = false;
    std::thread first([&] {
        dispatcher.RunAndWait([&] {
            dispatcher.Shutdown();
            // Join the others, as the window's end joins its workers, with a limit
            // so that a fault fails the test instead of hanging it.
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (!allReleased() && std::chrono::steady_clock::now() < end) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            allReleasedInside = allReleased();
        });
    });
    while (queued < 1) {
        std::this_thread::yield();
    }
    std::vector<std::thread> others;
    for (const auto& done : released) {
        others.emplace_back([&dispatcher, done] {
            dispatcher.RunAndWait([] {});
            *done = true;
        });
    }
    while (queued < 4) {
        std::this_thread::yield();
    }
    EXPECT_EQ(dispatcher.PumpAll(), 1);
    first.join();
    EXPECT_TRUE(allReleasedInside);
    for (auto& other : others) {
        other.join(); // released by now in any case, once the handler has returned
    }
}
