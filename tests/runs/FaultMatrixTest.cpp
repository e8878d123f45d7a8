// Every way the WHOIS exchange can go wrong, and every way the RDAP service
// asked after it can answer, for one name and for a run of 40 names over eight
// workers: the rows, the end of the run, and nothing left behind (descriptors,
// threads) once the workers are gone.
#include "Base.h"
#include "ProcessCounts.h"
#include "RdapTestServer.h"
#include "RecordingView.h"
#include "RunController.h"
#include "TestSockets.h"
#include "TestUtil.h"
#include "WhoisTestServer.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using testing_support::G;
using testing_support::HttpReply;
using testing_support::RdapTestServer;
using testing_support::Reply;
using testing_support::TestConfig;
using testing_support::WhoisTestServer;
using testing_support::WorkerHarness;

namespace {

struct Fault {
    const char* what;
    // The reply for the n-th connection (0-based) asking about name.
    std::function<Reply(int n, const std::string& name)> reply;
    std::string expectedStatus; // GBK
    bool expectDates = false;
    bool refuse = false;      // nothing listens
    bool noAddress = false;   // the host has no address
    int stopServerAfter = -1; // the server dies after this many connections
    bool reset = false;       // needs a connection reset
    // The RDAP service's reply for a name, given the port of another server that
    // would call every name registered (for redirects); none: nothing listens.
    std::function<HttpReply(const std::string& name, std::uint16_t elsewhere)> rdap = nullptr;
};

// WHOIS refuses every question; RDAP answers as the row says.
Fault RdapRow(const char* what, std::string status, bool dates,
              std::function<HttpReply(const std::string& name, std::uint16_t elsewhere)> rdap) {
    Fault fault{what,
                [](int, const std::string&) {
                    return Reply{Reply::Mode::AnswerAndClose,
                                 "WHOIS LIMIT EXCEEDED - SEE WWW.EXAMPLE.NET/WHOIS-LIMIT\r\n",
                                 {},
                                 0};
                },
                std::move(status), dates};
    fault.rdap = std::move(rdap);
    return fault;
}

HttpReply HttpStatus(int status, std::string body = {}) {
    HttpReply reply;
    reply.status = status;
    reply.body = std::move(body);
    return reply;
}

std::string Status(const char* utf8) {
    return G(utf8);
}

std::vector<Fault> Faults() {
    return {
        {"refused connection", nullptr, "!", false, true},
        {"host without an address", nullptr, "!", false, false, true},
        {"accept and never answer",
         [](int, const std::string&) {
             return Reply{Reply::Mode::Silent, {}, {}, 0};
         },
         "!"},
        {"answer and never close",
         [](int, const std::string& name) {
             return Reply{Reply::Mode::AnswerKeepOpen, WhoisTestServer::NoMatchAnswer(name), {}, 0};
         },
         "!"},
        {"one-byte pieces with long gaps",
         [](int, const std::string& name) {
             Reply r{Reply::Mode::Pieces, {}, {}, 120};
             for (const char c : "No match for \"" + UpperCase(name) + ".COM\".\r\n") {
                 r.pieces.emplace_back(1, c);
             }
             return r;
         },
         Status("可以注册")},
        {"more than the cap",
         [](int, const std::string& name) {
             return Reply{Reply::Mode::AnswerAndClose,
                          WhoisTestServer::RegisteredAnswer(name) + std::string(70000, 'x'),
                          {},
                          0};
         },
         "!"},
        {"reset after half an answer",
         [](int, const std::string& name) {
             const std::string answer = WhoisTestServer::RegisteredAnswer(name);
             return Reply{Reply::Mode::Reset, answer.substr(0, answer.size() / 2), {}, 0};
         },
         "!", false, false, false, -1, true},
        {"garbage and NUL bytes",
         [](int, const std::string&) {
             return Reply{
                 Reply::Mode::AnswerAndClose, std::string("\0\x01\xff garbage\0\r\n\0", 15), {}, 0};
         },
         "!"},
        {"rate-limit text",
         [](int, const std::string&) {
             return Reply{Reply::Mode::AnswerAndClose,
                          "WHOIS LIMIT EXCEEDED - SEE WWW.EXAMPLE.NET/WHOIS-LIMIT\r\n",
                          {},
                          0};
         },
         "!"},
        {"a valid answer for another name",
         [](int, const std::string&) {
             return Reply{
                 Reply::Mode::AnswerAndClose, WhoisTestServer::RegisteredAnswer("Other"), {}, 0};
         },
         "!"},
        {"a registered name",
         [](int, const std::string& name) {
             return Reply{
                 Reply::Mode::AnswerAndClose, WhoisTestServer::RegisteredAnswer(name), {}, 0};
         },
         Status("已注册"), true},
        {"server dies in the middle",
         [](int, const std::string& name) {
             return Reply{Reply::Mode::AnswerAndClose, WhoisTestServer::NoMatchAnswer(name), {}, 0};
         },
         "", false, false, false, 12},
        RdapRow("RDAP 200 registered with both dates", Status("已注册"), true,
                [](const std::string& name, std::uint16_t) {
                    return RdapTestServer::Registered(name);
                }),
        RdapRow("RDAP 404", Status("可以注册"), false,
                [](const std::string&, std::uint16_t) { return RdapTestServer::NotFound(); }),
        RdapRow("RDAP 429 without Retry-After", "!", false,
                [](const std::string&, std::uint16_t) { return HttpStatus(429); }),
        RdapRow("RDAP 429 with Retry-After", "!", false,
                [](const std::string&, std::uint16_t) {
                    HttpReply reply = HttpStatus(429);
                    reply.headers = {{"Retry-After", "0"}};
                    return reply;
                }),
        RdapRow("RDAP 500", "!", false,
                [](const std::string&, std::uint16_t) {
                    return HttpStatus(500, R"({"errorCode":500,"title":"Server Error"})");
                }),
        RdapRow("RDAP 301 to another host", "!", false,
                [](const std::string& name, std::uint16_t elsewhere) {
                    HttpReply reply = HttpStatus(301);
                    reply.headers = {{"Location", "http://localhost:" + std::to_string(elsewhere) +
                                                      "/com/v1/domain/" + name + ".com"}};
                    return reply;
                }),
        RdapRow("RDAP not JSON", "!", false,
                [](const std::string&, std::uint16_t) {
                    return HttpStatus(200, "<html><body>Too many requests</body></html>");
                }),
        RdapRow("RDAP JSON without events", Status("已注册"), false,
                [](const std::string& name, std::uint16_t) {
                    return HttpStatus(200, R"({"objectClassName":"domain","ldhName":")" + name +
                                               R"(.com"})");
                }),
        RdapRow("RDAP wrong ldhName", "!", false,
                [](const std::string& name, std::uint16_t) {
                    HttpReply reply = RdapTestServer::Registered(name);
                    reply.body = RdapTestServer::DomainJson("x" + name);
                    return reply;
                }),
        RdapRow("RDAP 2 MiB body", "!", false,
                [](const std::string& name, std::uint16_t) {
                    HttpReply reply = RdapTestServer::Registered(name);
                    reply.body.insert(reply.body.size() - 1,
                                      R"(,"pad":")" + std::string(2 << 20, 'x') + "\"");
                    return reply;
                }),
        RdapRow("RDAP body that drips", Status("已注册"), true,
                [](const std::string& name, std::uint16_t) {
                    HttpReply reply = RdapTestServer::Registered(name);
                    reply.mode = HttpReply::Mode::Drip;
                    reply.pieceBytes = 300;
                    reply.gapMs = 120;
                    return reply;
                }),
        RdapRow("RDAP silence", "!", false,
                [](const std::string&, std::uint16_t) {
                    HttpReply reply;
                    reply.mode = HttpReply::Mode::Silent;
                    return reply;
                }),
        RdapRow("RDAP reset half way", "!", false,
                [](const std::string& name, std::uint16_t) {
                    HttpReply reply = RdapTestServer::Registered(name);
                    reply.mode = HttpReply::Mode::ResetHalfway;
                    return reply;
                }),
        [] {
            Fault both = RdapRow("WHOIS silent and RDAP 503", "!", false,
                                 [](const std::string&, std::uint16_t) { return HttpStatus(503); });
            both.reply = [](int, const std::string&) {
                return Reply{Reply::Mode::Silent, {}, {}, 0};
            };
            return both;
        }(),
    };
}

void RunFault(const Fault& fault, int names) {
    SCOPED_TRACE(std::string(fault.what) + ", " + std::to_string(names) + " names");
    if (fault.reset && !testing_support::net::CanResetConnections()) {
        GTEST_SKIP() << "Wine reads a reset as the end of the answer: recv gives 0, only a later "
                        "send sees WSAECONNRESET, even for a reset sent by a host program";
    }
    // A sanitizer's runtime may start a thread of its own with the first thread
    // of the process: start one before counting, and let it be reaped.
    std::thread([] {}).join();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::size_t fdsBefore = testing_support::OpenHandleCount();
    const std::size_t threadsBefore = testing_support::ThreadCount();
    {
        std::atomic<int> seen{0}; // outlives the server's threads
        auto server = std::make_unique<WhoisTestServer>();
        if (fault.reply) {
            server->SetResponder([&](const std::string& request) {
                return fault.reply(seen++, WhoisTestServer::NameOf(request));
            });
        }
        RdapTestServer elsewhere; // where a redirect points; it must never be asked
        elsewhere.SetResponder([](const std::string& path) {
            return RdapTestServer::Registered(RdapTestServer::NameOf(path));
        });
        RdapTestServer rdap;
        if (fault.rdap) {
            rdap.SetResponder([&](const std::string& path) {
                return fault.rdap(RdapTestServer::NameOf(path), elsewhere.Port());
            });
        }
        auto config = TestConfig(fault.refuse ? WhoisTestServer::UnusedPort() : server->Port());
        if (fault.rdap) {
            config.RdapBase = rdap.Base();
        }
        config.DataWaitMs = 500;
        config.AnswerCap = 64 * 1024;
        if (fault.noAddress) {
            config.Host = "0.0.0.0";
        }
        WorkerHarness harness;
        std::vector<TYmSeek*> workers;
        for (int i = 0; i < 8; ++i) {
            workers.push_back(&harness.Add(config));
        }
        TResultList list;
        testing_support::RecordingView view;
        TRunController controller(list, workers, view, 0);
        for (TYmSeek* w : workers) {
            w->OnSeekActOnce = [&](TYmSeek* s) {
                controller.SeekAnswered(s);
            };
            w->OnSeekActFinish = [&](TYmSeek* s) {
                controller.SeekFinished(s);
            };
        }
        std::vector<std::string> captions;
        for (int i = 0; i < names; ++i) {
            captions.push_back("Fault" + std::to_string(100 + i) + ".com");
        }
        list.AddPendingRows(captions);
        controller.StartRun();
        const bool ended = harness.PumpUntil(
            [&] {
                if (fault.stopServerAfter >= 0 && server &&
                    server->Connections().size() >=
                        static_cast<std::size_t>(fault.stopServerAfter)) {
                    server.reset(); // the server goes away: later connects are refused
                }
                return view.Status().rfind(G("总共个"), 0) == 0;
            },
            120000); // 40 answers of 70 KB read 10 bytes at a time take long under Wine
        ASSERT_TRUE(ended) << "the run did not end; status: " << view.Status();
        EXPECT_EQ(view.Status(), G("总共个") + std::to_string(names) + G("域名查询完毕!"));
        int available = 0, failed = 0;
        for (int i = 0; i < list.Count(); ++i) {
            const auto& row = list.Row(i);
            if (!fault.expectedStatus.empty()) {
                EXPECT_EQ(row.Column(1), fault.expectedStatus) << row.Caption;
            }
            EXPECT_EQ(row.Column(2).empty(), !fault.expectDates) << row.Caption;
            EXPECT_EQ(row.Column(3).empty(), !fault.expectDates) << row.Caption;
            available += row.Column(1) == G("可以注册");
            failed += row.Column(1) == "!";
        }
        if (fault.rdap) {
            // No name went to RDAP twice (a slow machine may give up on one before
            // the server has read it), and nothing followed the redirect.
            EXPECT_LE(rdap.NameRequests().size(), static_cast<std::size_t>(names));
            EXPECT_GT(rdap.NameRequests().size(), 0u);
            EXPECT_EQ(elsewhere.ConnectionCount(), 0u);
        }
        if (fault.expectedStatus.empty()) {
            // Answers while the server lived, failures after: every row has one.
            EXPECT_EQ(available + failed, names);
            EXPECT_GT(failed, 0);
        }
    }
    // The workers are joined and every socket is closed.
    EXPECT_EQ(testing_support::OpenHandleCount(), fdsBefore);
    // A joined thread may stay listed for a moment after its end.
    for (int i = 0; i < 100 && testing_support::ThreadCount() > threadsBefore; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_LE(testing_support::ThreadCount(), threadsBefore);
}

class FaultMatrix : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(FaultMatrix, OneName) {
    auto fault = Faults()[static_cast<std::size_t>(GetParam())];
    if (fault.stopServerAfter >= 0) {
        fault.stopServerAfter = 0; // gone before the only exchange
        fault.expectedStatus = "!";
    }
    RunFault(fault, 1);
}

TEST_P(FaultMatrix, FortyNamesOverEightWorkers) {
    RunFault(Faults()[static_cast<std::size_t>(GetParam())], 40);
}

INSTANTIATE_TEST_SUITE_P(Exchange, FaultMatrix,
                         ::testing::Range(0, static_cast<int>(Faults().size())),
                         [](const ::testing::TestParamInfo<int>& row) {
                             std::string name = Faults()[static_cast<std::size_t>(row.param)].what;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });
