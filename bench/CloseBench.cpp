// How long the program's end takes, beyond the stop's own pause: the form's
// Shutdown with its eight workers, as 关闭 runs it after StopRun. Argument 0:
// the workers rest after a run; 1: eight RDAP requests are in flight, each
// waiting on a server that never answers; 2: eight WHOIS exchanges are in
// flight on a silent server.
#include "Main.h"
#include "RdapTestServer.h"
#include "ScriptedView.h"
#include "TestUtil.h"
#include "WhoisTestServer.h"
#include "WorkerHarness.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using testing_support::Reply;

void BM_CloseEightWorkers(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        testing_support::WhoisTestServer whois;
        testing_support::RdapTestServer rdap;
        if (mode >= 1) {
            whois.SetResponder([mode](const std::string&) {
                return mode == 1
                           ? Reply{Reply::Mode::AnswerAndClose, "WHOIS LIMIT EXCEEDED\r\n", {}, 0}
                           : Reply{Reply::Mode::AnswerKeepOpen, "", {}, 0};
            });
            rdap.SetResponder([](const std::string&) {
                testing_support::HttpReply reply;
                reply.mode = testing_support::HttpReply::Mode::Silent;
                return reply;
            });
        }
        testing_support::TempDir folder;
        TMainFormOptions options;
        options.Seek = testing_support::TestConfig(whois.Port());
        options.Seek.RdapBase = rdap.Base();
        options.Seek.DataWaitMs = 20000;
        options.ExecutablePath = folder.File("dovrenta");
        options.IniPath = folder.File("kestrova.ini");
        options.StopPauseMs = 0;
        testing_support::ScriptedView view;
        view.memo = "ai bai cai";
        auto form = std::make_unique<TMainForm>(view, options);
        form->stBt1Click();
        form->xInquireBtClick();
        if (mode == 0) {
            form->Dispatcher().PumpUntil(
                [&] { return view.Status().rfind(testing_support::G("总共个"), 0) == 0; }, 20000);
        } else if (mode == 1) {
            form->Dispatcher().PumpUntil([&] { return rdap.Requests().size() >= 8; }, 20000);
        } else {
            form->Dispatcher().PumpUntil([&] { return whois.Connections().size() >= 8; }, 20000);
        }
        state.ResumeTiming();
        const auto began = std::chrono::steady_clock::now();
        form->xCloseBtClick(); // the stop (its pause set to 0 here) and the window's end
        form->Shutdown();
        form.reset();
        const auto took = std::chrono::steady_clock::now() - began;
        state.SetIterationTime(std::chrono::duration<double>(took).count());
    }
    static const char* const kLabels[] = {"workers at rest", "8 RDAP requests in flight",
                                          "8 WHOIS exchanges in flight"};
    state.SetLabel(kLabels[mode]);
}
BENCHMARK(BM_CloseEightWorkers)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace
