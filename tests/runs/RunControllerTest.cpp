#include "RunController.h"
#include "Base.h"
#include "RecordingView.h"
#include "TestUtil.h"
#include "Texts.h"
#include "WhoisTestServer.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <system_error>

using testing_support::G;
using testing_support::RecordingView;
using testing_support::Reply;
using testing_support::TestConfig;
using testing_support::WhoisTestServer;
using testing_support::WorkerHarness;

namespace {

// Eight workers, a list, a view and the controller, wired as the window wires them.
struct RunRig {
    WorkerHarness harness;
    TResultList list;
    RecordingView view;
    std::unique_ptr<TRunController> controller;

    explicit RunRig(const TYmSeekConfig& config) {
        std::vector<TYmSeek*> workers;
        for (int i = 0; i < 8; ++i) {
            workers.push_back(&harness.Add(config));
        }
        controller = std::make_unique<TRunController>(list, workers, view, 0);
        for (TYmSeek* w : workers) {
            w->OnSeekActStart = [this](TYmSeek* s) {
                controller->SeekStarted(s);
            };
            w->OnSeekActProcess = [this](TYmSeek* s) {
                controller->SeekProgressed(s);
            };
            w->OnSeekActOnce = [this](TYmSeek* s) {
                controller->SeekAnswered(s);
            };
            w->OnSeekActFinish = [this](TYmSeek* s) {
                controller->SeekFinished(s);
            };
        }
    }
    bool PumpUntilEnded(int timeoutMs = 15000) {
        return harness.PumpUntil(
            [&] {
                return !view.statuses.empty() && view.statuses.back().rfind(G("总共个"), 0) == 0;
            },
            timeoutMs);
    }
    bool AllAtRest() {
        return harness.PumpUntil([&] {
            return std::all_of(harness.workers.begin(), harness.workers.end(),
                               [](auto& w) { return w->AtRest(); });
        });
    }
};

std::vector<std::string> Names(int n) {
    std::vector<std::string> names;
    for (int i = 0; i < n; ++i) {
        names.push_back("Name" + std::to_string(100 + i) + ".com");
    }
    return names;
}

// Workers that never reach their first exchange during a test.
TYmSeekConfig Idle() {
    auto config = TestConfig(WhoisTestServer::UnusedPort());
    config.PacingUnitMs = 1000000;
    return config;
}

} // namespace

TEST(TProgress, RoundsHalfToEvenAndCapsTheCount) {
    TProgress p;
    EXPECT_EQ(p.Percent(), 0);
    p.SetTotal(8);
    p.SetCompleted(1);
    EXPECT_EQ(p.Percent(), 12);
    p.SetCompleted(3);
    EXPECT_EQ(p.Percent(), 38);
    p.SetCompleted(99);
    EXPECT_EQ(p.Completed(), 8);
    EXPECT_EQ(p.Percent(), 100);
    p.SetTotal(5);
    EXPECT_EQ(p.Completed(), 0);
}

TEST(TRunController, RunNamesAreTrimmedAndShortBareNamesLeftOut) {
    EXPECT_EQ(TRunController::RunNames({"  AiBai.com \t", "abc.com", "ab", "abcd", " x.y.com"}),
              (std::vector<std::string>{"AiBai.com", "abcd"}));
}

TEST(TRunController, DealsByPositionModuloEight) {
    RunRig run(Idle());
    run.list.AddPendingRows(Names(20));
    run.controller->StartRun();
    auto bare = [](int i) {
        return "Name" + std::to_string(100 + i);
    };
    EXPECT_EQ(run.harness.workers[0]->Domains(),
              (std::vector<std::string>{bare(0), bare(8), bare(16)}));
    EXPECT_EQ(run.harness.workers[3]->Domains(),
              (std::vector<std::string>{bare(3), bare(11), bare(19)}));
    EXPECT_EQ(run.harness.workers[4]->Domains(), (std::vector<std::string>{bare(4), bare(12)}));
    EXPECT_EQ(run.harness.workers[7]->Domains(), (std::vector<std::string>{bare(7), bare(15)}));
    EXPECT_EQ(run.controller->RunTotal(), 20);
    EXPECT_TRUE(run.controller->InProgress());
    EXPECT_EQ(run.view.statuses.back(), G("开始查询域名..."));
    EXPECT_EQ(run.view.total, 20);
}

TEST(TRunController, TheFourthAnswerOfOneHundredTwentyNames) {
    RunRig run(Idle());
    auto names = Names(120);
    names[3] = "AiBai.com";
    run.list.AddPendingRows(names);
    run.controller->StartRun();
    for (int w = 0; w < 4; ++w) {
        run.controller->SeekAnswered(run.harness.workers[static_cast<std::size_t>(w)].get());
    }
    EXPECT_EQ(run.view.statuses.back(), G("查到第3/120个域名AiBai.com..."));
    EXPECT_EQ(run.view.completed, 4);
    EXPECT_EQ(run.view.percent, 3);
    EXPECT_EQ(run.view.Count(run.view.logs, "BakOnSeekActOnce"), 4u);
    EXPECT_EQ(run.list.Row(3).Column(1), "!"); // its record was never answered
}

TEST(TRunController, AStartDuringARunIsRefusedAndChangesNothing) {
    RunRig run(Idle());
    run.list.AddPendingRows(Names(3));
    run.controller->StartRun();
    const auto statuses = run.view.statuses;
    run.controller->StartRun();
    EXPECT_EQ(run.view.messages,
              (std::vector<std::string>{G("正在进行查询域名工作，请先停止，然后再点击开始。")}));
    EXPECT_EQ(run.view.statuses, statuses);
    EXPECT_EQ(run.controller->RunTotal(), 3);
}

TEST(TRunController, AnEmptyListEndsAtOnce) {
    WhoisTestServer server;
    RunRig run(TestConfig(server.Port()));
    run.controller->StartRun();
    EXPECT_FALSE(run.controller->InProgress());
    ASSERT_TRUE(run.harness.PumpUntil([&] { return run.view.logs.size() == 8; }));
    EXPECT_EQ(run.view.Count(run.view.logs, G("BakOnSeekActFinish 查询完毕！！")), 8u);
    EXPECT_EQ(run.view.statuses.front(), G("开始查询域名..."));
    EXPECT_EQ(run.view.statuses.back(), G("总共个0域名查询完毕!"));
}

TEST(TRunController, AWholeRunFillsEveryRowAndEnds) {
    WhoisTestServer server;
    server.SetResponder([](const std::string& request) {
        const std::string name = WhoisTestServer::NameOf(request);
        const int n = std::stoi(name.substr(4));
        if (n % 3 == 0) {
            return Reply{
                Reply::Mode::AnswerAndClose, WhoisTestServer::RegisteredAnswer(name), {}, 0};
        }
        if (n % 3 == 1) {
            return Reply{Reply::Mode::AnswerAndClose, WhoisTestServer::NoMatchAnswer(name), {}, 0};
        }
        return Reply{Reply::Mode::CloseSilently, {}, {}, 0};
    });
    RunRig run(TestConfig(server.Port()));
    run.list.AddPendingRows(Names(20));
    run.list.AddPending("ab.com"); // too short: neither asked nor counted
    run.controller->StartRun();
    EXPECT_EQ(run.controller->RunTotal(), 20);
    ASSERT_TRUE(run.PumpUntilEnded());
    EXPECT_EQ(run.view.statuses.back(), G("总共个20域名查询完毕!"));
    EXPECT_EQ(run.view.total, 0);
    EXPECT_EQ(run.view.percent, 0);
    EXPECT_FALSE(run.controller->InProgress());
    for (int i = 0; i < 20; ++i) {
        const auto& row = run.list.Row(i);
        const int n = 100 + i;
        if (n % 3 == 0) {
            EXPECT_EQ(row.SubItems,
                      (std::vector<std::string>{G("已注册"), "1997-09-15", "2028-09-14"}));
        } else if (n % 3 == 1) {
            EXPECT_EQ(row.SubItems, (std::vector<std::string>{G("可以注册"), "", ""}));
        } else {
            EXPECT_EQ(row.SubItems, (std::vector<std::string>{"!", "", ""}));
        }
    }
    EXPECT_EQ(run.list.Row(20).SubItems, (std::vector<std::string>{"*"}));
    EXPECT_EQ(run.view.Count(run.view.logs, "BakOnSeekActOnce"), 20u);
    EXPECT_EQ(server.Connections().size(), 20u);
    // The progress texts count from 0 to 19.
    EXPECT_EQ(
        std::count_if(run.view.statuses.begin(), run.view.statuses.end(),
                      [](const std::string& s) { return s.rfind(G("查到第0/20个域名"), 0) == 0; }),
        1);
    EXPECT_EQ(
        std::count_if(run.view.statuses.begin(), run.view.statuses.end(),
                      [](const std::string& s) { return s.rfind(G("查到第19/20个域名"), 0) == 0; }),
        1);
}

TEST(TRunController, DuplicateCaptionsAreBothCountedIntoTheUpperRow) {
    WhoisTestServer server;
    RunRig run(TestConfig(server.Port()));
    run.list.AddPendingRows({"AiBai.com", "aibai.com"});
    run.controller->StartRun();
    ASSERT_TRUE(run.PumpUntilEnded());
    EXPECT_EQ(run.view.statuses.back(), G("总共个2域名查询完毕!"));
    EXPECT_EQ(run.list.Row(0).Column(1), G("可以注册"));
    EXPECT_EQ(run.list.Row(1).Column(1), "*");
}

TEST(TRunController, StopMakesTheWindowIdleAndLateAnswersFillRowsUncounted) {
    WhoisTestServer server;
    server.SetResponder([](const std::string& request) {
        return WhoisTestServer::InTwoPieces(
            WhoisTestServer::NoMatchAnswer(WhoisTestServer::NameOf(request)), 200);
    });
    RunRig run(TestConfig(server.Port()));
    run.list.AddPendingRows(Names(8));
    run.controller->StartRun();
    ASSERT_TRUE(run.harness.PumpUntil([&] { return !server.Connections().empty(); }));
    run.controller->StopRun();
    EXPECT_FALSE(run.controller->InProgress());
    EXPECT_EQ(run.view.statuses.back(), G("停止查询域名"));
    EXPECT_EQ(run.view.total, 0);
    EXPECT_EQ(run.view.pauses, (std::vector<int>{0}));
    ASSERT_TRUE(run.AllAtRest());
    EXPECT_EQ(run.view.statuses.back(), G("停止查询域名"));
    EXPECT_EQ(run.controller->RunAnswered(), run.controller->RunTotal());
    // A late answer (as the window may take in after a stop) fills its row only.
    TYmSeek* worker = run.harness.workers[0].get();
    worker->GetSeekRec(0)->State = 1;
    run.controller->SeekAnswered(worker);
    EXPECT_EQ(run.list.Row(0).Column(1), G("可以注册"));
    EXPECT_EQ(run.view.statuses.back(), G("停止查询域名"));
}

TEST(TRunController, AStartRightAfterAStopCountsOnlyTheNewRun) {
    WhoisTestServer server;
    std::atomic<int> seen{0};
    server.SetResponder([&](const std::string& request) {
        const std::string name = WhoisTestServer::NameOf(request);
        // The first run's answers say registered, slowly; later ones available.
        if (++seen <= 8) {
            return WhoisTestServer::InTwoPieces(WhoisTestServer::RegisteredAnswer(name), 300);
        }
        return Reply{Reply::Mode::AnswerAndClose, WhoisTestServer::NoMatchAnswer(name), {}, 0};
    });
    RunRig run(TestConfig(server.Port()));
    run.list.AddPendingRows(Names(8));
    run.controller->StartRun();
    ASSERT_TRUE(run.harness.PumpUntil([&] { return server.Connections().size() == 8; }));
    run.controller->StopRun();
    run.controller->StartRun(); // the workers are still inside their exchanges
    ASSERT_TRUE(run.PumpUntilEnded());
    EXPECT_EQ(run.view.statuses.back(), G("总共个8域名查询完毕!"));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(run.list.Row(i).Column(1), G("可以注册")) << i;
    }
    EXPECT_EQ(run.view.Count(run.view.logs, "BakOnSeekActOnce"), 8u);
}

TEST(TRunController, AStopAndANewListMidExchangeRunEachNewNameOnceAndStayEnded) {
    WhoisTestServer server;
    server.SetResponder([](const std::string& request) {
        return WhoisTestServer::InTwoPieces(
            WhoisTestServer::NoMatchAnswer(WhoisTestServer::NameOf(request)), 400);
    });
    RunRig run(TestConfig(server.Port()));
    run.list.AddPendingRows(Names(25)); // more names than workers: shares of 3 and 4
    run.controller->StartRun();
    ASSERT_TRUE(run.harness.PumpUntil([&] { return server.Connections().size() == 8; }));
    // Stop while eight exchanges are open, empty the list, generate new names and
    // start again at once.
    run.controller->StopRun();
    run.list.Clear();
    std::vector<std::string> fresh;
    for (int i = 0; i < 25; ++i) {
        fresh.push_back("Next" + std::to_string(100 + i) + ".com");
    }
    run.list.AddPendingRows(fresh);
    run.controller->StartRun();
    ASSERT_TRUE(run.PumpUntilEnded());
    // Keep pumping after the first end text: nothing may start again.
    run.harness.PumpFor(2000);
    EXPECT_EQ(run.view.Status(), G("总共个25域名查询完毕!"));
    EXPECT_EQ(run.controller->RunAnswered(), 25);
    EXPECT_EQ(run.controller->RunTotal(), 25);
    EXPECT_TRUE(run.AllAtRest());

    std::map<std::string, int> asked;
    const auto connections = server.Connections();
    for (std::size_t i = 8; i < connections.size(); ++i) {
        ++asked[WhoisTestServer::NameOf(connections[i].request)];
    }
    EXPECT_EQ(asked.size(), 25u);
    for (const auto& [name, times] : asked) {
        EXPECT_EQ(name.rfind("Next", 0), 0u) << name;
        EXPECT_EQ(times, 1) << name;
    }
    for (int i = 0; i < run.list.Count(); ++i) {
        EXPECT_EQ(run.list.Row(i).Column(1), G("可以注册")) << i;
    }
    // The count shown before each answer never reached the total.
    const std::string prefix = G("查到第");
    for (const auto& status : run.view.statuses) {
        if (status.rfind(prefix, 0) == 0) {
            EXPECT_LT(std::stoi(status.substr(prefix.size())), 25) << status;
        }
    }
}

TEST(TRunController, AnAnswerBeyondTheTotalIsNotCounted) {
    WhoisTestServer server;
    RunRig run(TestConfig(server.Port()));
    run.list.AddPendingRows({"AiBai.com"});
    run.controller->StartRun();
    ASSERT_TRUE(run.PumpUntilEnded());
    ASSERT_TRUE(run.AllAtRest());
    // A stray answer that reaches the handler after the end must not push the
    // count past the total nor change the status.
    TYmSeek* worker = run.harness.workers[0].get();
    run.controller->SeekAnswered(worker);
    EXPECT_EQ(run.controller->RunAnswered(), 1);
    EXPECT_EQ(run.view.Status(), G("总共个1域名查询完毕!"));
}

TEST(TRunController, AWorkerThatCannotStartCallsTheRunOffWithAClearError) {
    auto config = Idle();
    int starts = 0;
    config.StartThread = [&starts](std::function<void()> body) -> platform::SystemThread {
        if (++starts == 3) {
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        }
        return platform::SystemThread(std::move(body));
    };
    RunRig run(config);
    run.list.AddPendingRows(Names(16));
    try {
        run.controller->StartRun();
        FAIL() << "the start must fail";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), texts::WorkerStartFailed());
    }
    EXPECT_FALSE(run.controller->InProgress());
    EXPECT_EQ(run.view.total, 0);
    EXPECT_TRUE(std::none_of(run.view.statuses.begin(), run.view.statuses.end(),
                             [](const std::string& s) { return s == G("开始查询域名..."); }));
    for (auto& worker : run.harness.workers) {
        EXPECT_TRUE(worker->StopFlag());
    }
}

namespace {

// The bare names the server was asked, in no particular order.
std::multiset<std::string> Asked(const WhoisTestServer& server, std::size_t from = 0) {
    std::multiset<std::string> asked;
    const auto connections = server.Connections();
    for (std::size_t i = from; i < connections.size(); ++i) {
        asked.insert(WhoisTestServer::NameOf(connections[i].request));
    }
    return asked;
}

} // namespace

// 重查 after a run with "!" rows: only those names, each once; the counts and
// the end text are the new run's, and the answered rows stay as they were.
TEST(TRunController, ARetryAsksOnlyTheRowsWithoutAResultEachOnce) {
    WhoisTestServer server;
    std::atomic<bool> refuse{true};
    server.SetResponder([&](const std::string& request) {
        const std::string name = WhoisTestServer::NameOf(request);
        const int n = std::stoi(name.substr(4));
        if (refuse && n % 5 == 0) {
            return Reply{Reply::Mode::CloseSilently, {}, {}, 0};
        }
        return Reply{Reply::Mode::AnswerAndClose,
                     n % 2 == 0 ? WhoisTestServer::RegisteredAnswer(name)
                                : WhoisTestServer::NoMatchAnswer(name),
                     {},
                     0};
    });
    RunRig run(TestConfig(server.Port()));
    run.list.AddPendingRows(Names(40));
    run.controller->StartRun();
    ASSERT_TRUE(run.PumpUntilEnded());
    std::vector<TListRow> after;
    for (int i = 0; i < 40; ++i) {
        after.push_back(run.list.Row(i));
    }
    std::multiset<std::string> failed;
    for (int i = 0; i < 40; ++i) {
        if (run.list.Row(i).Column(1) == "!") {
            failed.insert("Name" + std::to_string(100 + i));
        }
    }
    ASSERT_EQ(failed.size(), 8u);

    refuse = false;
    const std::size_t before = server.Connections().size();
    run.view.statuses.clear();
    run.controller->StartRetryRun();
    EXPECT_EQ(run.controller->RunTotal(), 8);
    ASSERT_TRUE(run.PumpUntilEnded());
    EXPECT_EQ(run.view.statuses.back(), G("总共个8域名查询完毕!"));
    EXPECT_EQ(run.view.statuses.front(), G("开始查询域名..."));
    EXPECT_EQ(Asked(server, before), failed);
    for (int i = 0; i < 40; ++i) {
        if (after[static_cast<std::size_t>(i)].Column(1) != "!") {
            EXPECT_EQ(run.list.Row(i).SubItems, after[static_cast<std::size_t>(i)].SubItems) << i;
        } else {
            EXPECT_NE(run.list.Row(i).Column(1), "!") << i;
        }
    }

    // Nothing left to ask: the status pane says so, no box, nothing asked.
    const std::size_t all = server.Connections().size();
    run.controller->StartRetryRun();
    EXPECT_EQ(run.view.statuses.back(), G("没有需要重查的域名：每个域名都已经有结果了。"));
    EXPECT_TRUE(run.view.messages.empty());
    EXPECT_FALSE(run.controller->InProgress());
    run.harness.PumpUntil([] { return false; }, 100);
    EXPECT_EQ(server.Connections().size(), all);
}

// Rows of every status, a stop in the middle of a retry and a second retry:
// no row that has a result is asked again or changed, and a name listed twice
// fills its unanswered row, not the answered one above it.
TEST(TRunController, AStoppedRetryAndASecondOneNeverTouchAnsweredRows) {
    WhoisTestServer server;
    server.SetResponder([](const std::string& request) {
        return WhoisTestServer::InTwoPieces(
            WhoisTestServer::NoMatchAnswer(WhoisTestServer::NameOf(request)), 150);
    });
    RunRig run(TestConfig(server.Port()));
    run.list.AddPendingRows(Names(24));
    run.list.AddPending("Name100.com"); // listed twice: the upper one gets an answer below
    TYmSeekRec rec;
    for (int i = 0; i < 24; i += 3) {
        rec.Name = "Name" + std::to_string(100 + i);
        rec.State = 1;
        rec.Registered = 1;
        rec.CreationDate = "2001-01-01";
        run.list.RecordAnswer(rec);
    }
    for (int i = 1; i < 24; i += 3) {
        rec.Name = "Name" + std::to_string(100 + i);
        rec.State = 2;
        run.list.RecordAnswer(rec);
    }
    std::multiset<std::string> unanswered;
    std::vector<TListRow> answered;
    for (int i = 0; i < run.list.Count(); ++i) {
        if (run.list.Row(i).IsUnanswered()) {
            const std::string& caption = run.list.Row(i).Caption;
            unanswered.insert(caption.substr(0, caption.size() - 4));
        }
        answered.push_back(run.list.Row(i));
    }
    ASSERT_EQ(unanswered.size(), 17u);

    run.controller->StartRetryRun();
    ASSERT_TRUE(run.harness.PumpUntil([&] { return run.controller->RunAnswered() >= 8; }));
    run.controller->StopRun();
    ASSERT_TRUE(run.AllAtRest());
    const auto first = Asked(server);
    run.controller->StartRetryRun();
    ASSERT_TRUE(run.PumpUntilEnded(30000));
    const std::size_t second = run.controller->RunTotal();
    EXPECT_LT(second, unanswered.size());
    EXPECT_EQ(run.view.statuses.back(), G("总共个") + std::to_string(second) + G("域名查询完毕!"));

    // Every name asked was one without a result; none was asked in both runs
    // but those the stop cut off before their answer came.
    for (const auto& name : Asked(server)) {
        EXPECT_EQ(unanswered.count(name) > 0, true) << name;
    }
    for (int i = 0; i < run.list.Count(); ++i) {
        const TListRow& row = run.list.Row(i);
        if (!answered[static_cast<std::size_t>(i)].IsUnanswered()) {
            EXPECT_EQ(row.SubItems, answered[static_cast<std::size_t>(i)].SubItems) << i;
        } else {
            EXPECT_EQ(row.Column(1), G("可以注册")) << i;
        }
    }
    EXPECT_EQ(run.list.Row(0).Column(1), G("已注册")); // Name100's upper row, answered before
    EXPECT_EQ(run.list.Row(24).Column(1), G("可以注册"));
    EXPECT_GE(first.size(), 8u);
}

TEST(TRunController, ARetryDuringARunIsRefusedAndARunOfRowsAsksThoseRows) {
    WhoisTestServer server;
    RunRig run(TestConfig(server.Port()));
    run.list.AddPendingRows(Names(12));
    run.controller->StartRunOf({7, 2, 2, 40, -1});
    EXPECT_EQ(run.controller->RunTotal(), 2);
    run.controller->StartRetryRun();
    ASSERT_EQ(run.view.messages.size(), 1u);
    EXPECT_EQ(run.view.messages[0], G("正在进行查询域名工作，请先停止，然后再点击开始。"));
    ASSERT_TRUE(run.PumpUntilEnded());
    EXPECT_EQ(run.view.statuses.back(), G("总共个2域名查询完毕!"));
    EXPECT_EQ(Asked(server), (std::multiset<std::string>{"Name102", "Name107"}));
    EXPECT_EQ(run.list.Row(2).Column(1), G("可以注册"));
    EXPECT_EQ(run.list.Row(3).Column(1), "*");
}
