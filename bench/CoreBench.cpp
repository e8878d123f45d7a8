// Figures of the parts without the window: parsing, one exchange, waiting
// workers, generation, the result list, the word list and the profile store.
#include "Base.h"
#include "Generator.h"
#include "Profiles.h"
#include "RdapTestServer.h"
#include "ResultList.h"
#include "TestUtil.h"
#include "WhoisParser.h"
#include "WhoisTestServer.h"
#include "WordListData.h"
#include "Words.h"
#include "WorkerHarness.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <thread>

using testing_support::TempDir;
using testing_support::WhoisTestServer;

namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double WallSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string Answer4K() {
    std::string answer = testing_support::Fixture("whois/registered-aibai.com.txt");
    while (answer.size() < 4096) {
        answer += "NOTICE: The expiration date displayed in this record is the date the\r\n";
    }
    return answer.substr(0, 4096);
}

void BM_ParseWhoisAnswer4K(benchmark::State& state) {
    const std::string answer = Answer4K();
    for (auto _ : state) {
        TYmSeekRec rec;
        rec.Name = "AiBai";
        rec.Kind = 1;
        ParseWhoisAnswer(answer, rec);
        benchmark::DoNotOptimize(rec.ExpirationDate);
    }
}
BENCHMARK(BM_ParseWhoisAnswer4K);

// One exchange on loopback: the worker paces at 2 units, so the unit is made
// tiny and the time from Start to Once is what is measured.
void BM_OneExchangeLoopback(benchmark::State& state) {
    WhoisTestServer server;
    testing_support::WorkerHarness harness;
    auto config = testing_support::TestConfig(server.Port());
    config.PacingUnitMs = 1;
    TYmSeek& worker = harness.Add(config);
    worker.SetDomains({"AiBai"});
    double cpu = 0;
    for (auto _ : state) {
        harness.events.clear();
        const double cpu0 = ProcessCpuSeconds();
        const double wall0 = WallSeconds();
        worker.StartSeek();
        harness.PumpUntilFinishes(1);
        state.SetIterationTime(WallSeconds() - wall0);
        cpu += ProcessCpuSeconds() - cpu0;
        harness.PumpUntil([&] { return worker.AtRest(); });
    }
    state.counters["cpu_ms_per_exchange"] = cpu * 1000 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_OneExchangeLoopback)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// Eight workers waiting out their pacing (the program's 2-4 s) for 10 s.
void BM_EightWaitingWorkersCpu(benchmark::State& state) {
    for (auto _ : state) {
        platform::QueuedDispatcher dispatcher;
        std::vector<std::unique_ptr<TYmSeek>> workers;
        TYmSeekConfig config;
        config.Host = "127.0.0.1";
        config.Port = WhoisTestServer::UnusedPort();
        config.PacingUnitMs = 1000000; // never reach the first exchange
        for (int i = 0; i < 8; ++i) {
            workers.push_back(std::make_unique<TYmSeek>(i, true, dispatcher, config));
            workers.back()->SetDomains({"AiBai", "HaoFu"});
            workers.back()->StartSeek();
        }
        const double cpu0 = ProcessCpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const double cpu = ProcessCpuSeconds() - cpu0;
        state.SetIterationTime(10);
        state.counters["cpu_percent_of_one_core"] = cpu / 10 * 100;
        dispatcher.Shutdown();
        for (auto& w : workers) {
            w->Shutdown();
        }
    }
}
BENCHMARK(BM_EightWaitingWorkersCpu)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

// A whole run of 80 names over the eight workers with the program's own pacing,
// against loopback servers that answer at once. Each worker asks 10 names, no
// sooner than 2 s apart, so 18 s is the least the run can take. Argument 0: the
// WHOIS server answers every name; 1: it refuses every name and the RDAP
// service answers each (registered), over one kept-alive connection a worker.
void BM_WholeRun80Names(benchmark::State& state) {
    const bool viaRdap = state.range(0) == 1;
    for (auto _ : state) {
        WhoisTestServer server;
        testing_support::RdapTestServer rdap;
        if (viaRdap) {
            server.SetResponder([](const std::string&) {
                return testing_support::Reply{testing_support::Reply::Mode::AnswerAndClose,
                                              "WHOIS LIMIT EXCEEDED\r\n",
                                              {},
                                              0};
            });
            rdap.SetResponder([](const std::string& path) {
                return testing_support::RdapTestServer::Registered(
                    testing_support::RdapTestServer::NameOf(path));
            });
        }
        testing_support::WorkerHarness harness;
        TYmSeekConfig config;
        config.Host = "127.0.0.1";
        config.Port = server.Port();
        config.RdapBase = rdap.Base(); // never a host outside this machine
        std::vector<TYmSeek*> workers;
        for (int i = 0; i < 8; ++i) {
            workers.push_back(&harness.Add(config));
        }
        // Let the creation time lie more than 4 s back, as after a program's start.
        std::this_thread::sleep_for(std::chrono::milliseconds(4100));
        const double cpu0 = ProcessCpuSeconds();
        const double wall0 = WallSeconds();
        for (int w = 0; w < 8; ++w) {
            std::vector<std::string> names;
            for (int i = w; i < 80; i += 8) {
                names.push_back("Whole" + std::to_string(100 + i));
            }
            workers[static_cast<std::size_t>(w)]->SetDomains(names);
            workers[static_cast<std::size_t>(w)]->StartSeek();
        }
        harness.PumpUntilFinishes(8, 60000);
        const double wall = WallSeconds() - wall0;
        const double cpu = ProcessCpuSeconds() - cpu0;
        state.SetIterationTime(wall);
        state.counters["ratio_to_pacing_bound"] = wall / 18.0;
        state.counters["cpu_percent_of_wall"] = cpu / wall * 100;
        int answered = 0;
        for (const auto& e : harness.Of("Once")) {
            answered += e.rec.State == 1 && e.rec.Registered == (viaRdap ? 1 : 0);
        }
        state.counters["answers"] = answered;
        if (viaRdap) {
            state.counters["rdap_connections"] = static_cast<double>(rdap.ConnectionCount());
        }
    }
    state.SetLabel(viaRdap ? "WHOIS refuses, RDAP answers" : "WHOIS answers");
}
BENCHMARK(BM_WholeRun80Names)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

TGenerationRequest TenThousandAllFiltersOn() {
    TGenerationRequest request;
    for (int i = 0; i < 100; ++i) {
        request.Syllables.push_back("sy" + std::to_string(i) + "ab");
    }
    request.LenMin = 0;
    request.LenMax = 100;
    request.HanWords = {"qq", "zz", "S"};     // the last word decides
    request.PaiWords = {"qqq", "zzz", "xxx"}; // none occurs
    request.PiPeiWords = {"z*s"};
    request.PrevKey = "S";
    request.LastKey = "b";
    return request;
}

void BM_Generate10000AllFilters(benchmark::State& state) {
    const auto request = TenThousandAllFiltersOn();
    for (auto _ : state) {
        auto captions = GenerateCaptions(request);
        if (captions.size() != 10000) {
            state.SkipWithError("expected 10000 names");
        }
        benchmark::DoNotOptimize(captions);
    }
}
BENCHMARK(BM_Generate10000AllFilters)->Unit(benchmark::kMillisecond);

std::vector<std::string> Captions(int n) {
    std::vector<std::string> captions;
    for (int i = 0; i < n; ++i) {
        captions.push_back("Name" + std::to_string((i * 7919) % 100000) + ".com");
    }
    return captions;
}

void BM_RecordAnswerIn20000Rows(benchmark::State& state) {
    TResultList list;
    list.AddPendingRows(Captions(20000));
    TYmSeekRec rec;
    rec.Name = list.Row(19999).Caption.substr(0, list.Row(19999).Caption.size() - 4);
    rec.State = 1;
    rec.Registered = 1;
    rec.CreationDate = "2003-11-24";
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.RecordAnswer(rec)); // the last row: a whole scan
    }
}
BENCHMARK(BM_RecordAnswerIn20000Rows)->Unit(benchmark::kMicrosecond);

void BM_Sort20000Rows(benchmark::State& state) {
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        TResultList list;
        list.AddPendingRows(Captions(20000));
        for (int i = 0; i < 20000; i += 2) {
            TYmSeekRec rec;
            rec.Name = list.Row(i).Caption.substr(0, list.Row(i).Caption.size() - 4);
            rec.State = 1;
            rec.Registered = static_cast<std::uint8_t>(i % 3 == 0);
            rec.CreationDate = "20" + std::to_string(10 + i % 15) + "-01-01";
            list.RecordAnswer(rec);
        }
        state.ResumeTiming();
        list.Sort(column);
        benchmark::DoNotOptimize(list.Row(0));
    }
}
BENCHMARK(BM_Sort20000Rows)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// 100 syllables that users type: 10 000 names of two, some 1 in 3 a word.
std::vector<std::string> HundredSyllables() {
    auto syllables = SplitWords(
        " ", "ai an ba bai ban bao bei ben bi bian bo bu cai can chang chao chen cheng chi chu "
             "da dai dan dao de deng di dian dong du duo fa fan fang fei fen feng fu gai gan "
             "gao ge gong guo hai han hao he hong hu hua huan huang hui ji jia jian jiang jin "
             "jing ke kai kan lai lan le li lian liang lin long lu ma mai man mei men mi ming "
             "mu na nan ni pai ping qi qian qing ren shan shang shi tian wen xi xiu you zhi "
             "zhong zi");
    if (syllables.size() != 100) {
        std::abort(); // the figures are for 10 000 names
    }
    return syllables;
}

// The index of the list built into the program, as its first use makes it.
void BM_WordIndexFirstUse(benchmark::State& state) {
    std::size_t count = 0;
    for (auto _ : state) {
        const words::TWordIndex index(words::WordListBytes());
        count = index.Count();
        benchmark::DoNotOptimize(count);
    }
    state.counters["spellings"] = static_cast<double>(count);
    state.counters["index_kib"] = static_cast<double>(count * sizeof(std::uint32_t)) / 1024;
    state.counters["list_kib"] = static_cast<double>(words::WordListBytes().size()) / 1024;
}
BENCHMARK(BM_WordIndexFirstUse)->Unit(benchmark::kMillisecond);

void BM_LookupWords10000Names(benchmark::State& state) {
    const auto syllables = HundredSyllables();
    std::vector<std::string> names;
    for (const auto& a : syllables) {
        for (const auto& b : syllables) {
            names.push_back(a + b);
        }
    }
    words::Lookup("meili"); // the index is made once, at the first lookup
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (const auto& name : names) {
            found += words::Lookup(name).Words.empty() ? 0 : 1;
        }
        benchmark::DoNotOptimize(found);
    }
    state.counters["with_words"] = found;
}
BENCHMARK(BM_LookupWords10000Names)->Unit(benchmark::kMillisecond);

// 增加域名 with 只要词语 ticked: 100 syllables, 10 000 names tested.
void BM_GenerateWordsOnly100Syllables(benchmark::State& state) {
    TGenerationRequest request;
    request.Syllables = HundredSyllables();
    request.LenMin = 2;
    request.LenMax = 10;
    request.WordsOnly = true;
    words::Lookup("meili");
    std::size_t kept = 0;
    for (auto _ : state) {
        auto captions = GenerateCaptions(request);
        kept = captions.size();
        benchmark::DoNotOptimize(captions);
    }
    state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_GenerateWordsOnly100Syllables)->Unit(benchmark::kMillisecond);

void BM_SortByWords20000Rows(benchmark::State& state) {
    std::vector<std::string> captions;
    const auto syllables = HundredSyllables();
    for (int i = 0; i < 20000; ++i) {
        const auto k = static_cast<std::size_t>((i * 7919) % 10000);
        captions.push_back(syllables[k / 100] + syllables[k % 100] + ".com");
    }
    for (auto _ : state) {
        state.PauseTiming();
        TResultList list;
        list.AddPendingRows(captions);
        state.ResumeTiming();
        list.Sort(TResultList::kWordsColumn);
        benchmark::DoNotOptimize(list.Row(0));
    }
}
BENCHMARK(BM_SortByWords20000Rows)->Unit(benchmark::kMillisecond);

void BM_ProfileIn500Sections(benchmark::State& state) {
    TempDir dir;
    const platform::FilePath path = dir.File("kestrova.ini");
    std::string text;
    for (int i = 0; i < 500; ++i) {
        text += "[profile" + std::to_string(i) +
                "]\r\nYmLenSp1=2\r\nYmLenSp2=9\r\nYmHanEd=ai bai\r\n"
                "YmPaiEd=\r\nYmPiPeiEd=zg*\r\nDuplicationChk=0\r\nPrevKeyEd=\r\nLastKeyEd=\r\n";
    }
    testing_support::WriteFile(dir.Path() / "kestrova.ini", text);
    const bool save = state.range(0) == 1;
    TProfileValues values;
    values.YmHanEd = "hao";
    for (auto _ : state) {
        if (save) {
            SaveProfile(path, "profile499", values);
        } else {
            benchmark::DoNotOptimize(LoadProfile(path, "profile499"));
        }
    }
    state.SetLabel(save ? "save" : "load");
}
BENCHMARK(BM_ProfileIn500Sections)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
