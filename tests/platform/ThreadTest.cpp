#include "Thread.h"
#include "QueuedDispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace {

using namespace std::chrono_literals;

// Parks after each round; counts the rounds.
class ParkingThread final : public platform::TThread {
public:
    explicit ParkingThread(platform::IDispatcher& d) : TThread(d, true) {}
    ~ParkingThread() override { Shutdown(); }
    std::atomic<int> rounds{0};

protected:
    void Execute() override {
        while (!Terminated()) {
            ++rounds;
            Suspend();
        }
    }
};

bool WaitFor(const std::function<bool()>& pred, std::chrono::milliseconds limit = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

} // namespace

TEST(TThread, StaysParkedUntilResumedAndParksAgain) {
    platform::QueuedDispatcher dispatcher;
    ParkingThread thread(dispatcher);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(thread.rounds, 0);
    EXPECT_TRUE(thread.AtRest());
    thread.Resume();
    ASSERT_TRUE(WaitFor([&] { return thread.rounds == 1 && thread.AtRest(); }));
    thread.Resume();
    ASSERT_TRUE(WaitFor([&] { return thread.rounds == 2 && thread.AtRest(); }));
}

TEST(TThread, ShutdownEndsAParkedThread) {
    platform::QueuedDispatcher dispatcher;
    ParkingThread thread(dispatcher);
    thread.Resume();
    ASSERT_TRUE(WaitFor([&] { return thread.rounds == 1 && thread.AtRest(); }));
    thread.Shutdown();
    EXPECT_TRUE(thread.Terminated());
    EXPECT_EQ(thread.rounds, 1);
}

TEST(TThread, ANeverStartedThreadShutsDown) {
    platform::QueuedDispatcher dispatcher;
    ParkingThread thread(dispatcher);
    thread.Shutdown();
    thread.Resume(); // refused after the end
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(thread.rounds, 0);
}
