#include "Thread.h"
#include "QueuedDispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <system_error>

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

namespace {

// Busy for a while after each wake-up, then parks.
class BusyThread final : public platform::TThread {
public:
    explicit BusyThread(platform::IDispatcher& d) : TThread(d, true) {}
    ~BusyThread() override { Shutdown(); }
    std::atomic<int> rounds{0};
    std::atomic<bool> busy{false};

protected:
    void Execute() override {
        while (!Terminated()) {
            busy = true;
            ++rounds;
            std::this_thread::sleep_for(100ms);
            busy = false;
            Suspend();
        }
    }
};

} // namespace

TEST(TThread, AWakeUpWhileBusyIsNotKeptForTheNextPark) {
    platform::QueuedDispatcher dispatcher;
    BusyThread thread(dispatcher);
    thread.Resume();
    ASSERT_TRUE(WaitFor([&] { return thread.busy.load(); }));
    thread.Resume(); // not parked: wakes nothing
    ASSERT_TRUE(WaitFor([&] { return thread.AtRest(); }));
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(thread.rounds, 1);
    EXPECT_TRUE(thread.AtRest());
    thread.Resume();
    ASSERT_TRUE(WaitFor([&] { return thread.rounds == 2; }));
}

TEST(TThread, AThreadThatCannotBeStartedStaysNew) {
    platform::QueuedDispatcher dispatcher;
    class Failing final : public platform::TThread {
    public:
        explicit Failing(platform::IDispatcher& d)
            : TThread(d, true, [](std::function<void()>) -> platform::SystemThread {
                  throw std::system_error(std::make_error_code(std::errc::not_enough_memory));
              }) {}
        ~Failing() override { Shutdown(); }

    protected:
        void Execute() override {}
    } thread(dispatcher);
    EXPECT_THROW(thread.Resume(), std::system_error);
    EXPECT_TRUE(thread.AtRest());
    EXPECT_THROW(thread.Resume(), std::system_error); // tried again, not taken as started
}
