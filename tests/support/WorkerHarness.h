#pragma once

#include "Clock.h"
#include "QueuedDispatcher.h"
#include "Ymcx.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// Short timings for tests: exchanges begin 200 to 400 ms apart, 600 ms of
// silence fail one, the leftover pause is 300 ms.
inline TYmSeekConfig TestConfig(std::uint16_t port) {
    TYmSeekConfig config;
    config.Host = "127.0.0.1";
    config.Port = port;
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

    TYmSeek& Add(const TYmSeekConfig& config) {
        auto worker =
            std::make_unique<TYmSeek>(static_cast<int>(workers.size()), true, dispatcher, config);
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
};

} // namespace testing_support
