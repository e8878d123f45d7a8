#pragma once

#include "Clock.h"
#include "HangingLookup.h"
#include "QueuedDispatcher.h"
#include "TestSockets.h"
#include "Ymcx.h"

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace testing_support {

// The base address of an RDAP service on 127.0.0.1.
inline std::string LoopbackRdapBase(std::uint16_t port) {
    return "http://127.0.0.1:" + std::to_string(port) + "/com/v1/";
}

// Short timings for tests: exchanges begin 200 to 400 ms apart, 600 ms of
// silence fail one, the leftover pause is 300 ms. The RDAP service is a port on
// loopback where nothing listens, so a failed exchange stays failed unless a
// test sets up a service of its own.
inline TYmSeekConfig TestConfig(std::uint16_t port) {
    TYmSeekConfig config;
    config.Host = "127.0.0.1";
    config.Port = port;
    config.RdapBase = LoopbackRdapBase(net::UnusedPort());
    config.PacingUnitMs = 100;
    config.DataWaitMs = 600;
    config.LeftoverPauseMs = 300;
    return config;
}

// Workers whose notifications are recorded on the test thread, which plays the
// user-interface thread by pumping the dispatcher.
class WorkerHarness {
public:
    struct Event {
        std::string kind; // Start, Process, Once, Finish
        int worker;
        int seekPos;
        std::int64_t atMs;
        TYmSeekRec rec; // with Once: the finished record
    };

    platform::QueuedDispatcher dispatcher;
    std::vector<Event> events;
    std::vector<std::unique_ptr<TYmSeek>> workers;

    ~WorkerHarness() {
        dispatcher.Shutdown();
        for (auto& worker : workers) {
            worker->Shutdown();
        }
    }

    // via: a dispatcher that passes the calls on to this harness's (tests of
    // failing notifications); none for the harness's own.
    TYmSeek& Add(TYmSeekConfig config, platform::IDispatcher* via = nullptr) {
        if (!config.OnConnected) {
            config.OnConnected = [state = connects_](std::int32_t worker, std::int64_t atMs) {
                std::lock_guard lock(state->mutex);
                state->times.emplace_back(worker, atMs);
            };
        }
        auto worker = std::make_unique<TYmSeek>(static_cast<int>(workers.size()), true,
                                                via != nullptr ? *via : dispatcher, config);
        auto record = [this](const char* kind) {
            return [this, kind](TYmSeek* w) {
                Event e{kind, w->WorkerIndex(), w->SeekPos(), platform::TickCountMs(), {}};
                if (e.kind == "Once") {
                    e.rec = *w->GetSeekRec(w->SeekPos());
                }
                events.push_back(e);
            };
        };
        worker->OnSeekActStart = record("Start");
        worker->OnSeekActProcess = record("Process");
        worker->OnSeekActOnce = record("Once");
        worker->OnSeekActFinish = record("Finish");
        workers.push_back(std::move(worker));
        return *workers.back();
    }

    std::vector<Event> Of(const std::string& kind, int worker = -1) const {
        std::vector<Event> out;
        for (const auto& e : events) {
            if (e.kind == kind && (worker < 0 || e.worker == worker)) {
                out.push_back(e);
            }
        }
        return out;
    }

    // When each WHOIS connection of a worker was made, by the worker's own
    // clock: the times its pacing is judged by.
    std::vector<std::int64_t> ConnectTimes(int worker) const {
        std::lock_guard lock(connects_->mutex);
        std::vector<std::int64_t> out;
        for (const auto& [w, atMs] : connects_->times) {
            if (w == worker) {
                out.push_back(atMs);
            }
        }
        return out;
    }

    bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 10000) {
        return dispatcher.PumpUntil(pred, timeoutMs);
    }
    bool PumpUntilFinishes(std::size_t n, int timeoutMs = 10000) {
        return PumpUntil([&] { return Of("Finish").size() >= n; }, timeoutMs);
    }
    // Pump for a while, for checks that nothing more arrives.
    void PumpFor(int ms) {
        dispatcher.PumpUntil([] { return false; }, ms);
    }

private:
    struct Connects {
        mutable std::mutex mutex;
        std::vector<std::pair<std::int32_t, std::int64_t>> times;
    };
    std::shared_ptr<Connects> connects_ = std::make_shared<Connects>();
};

} // namespace testing_support
