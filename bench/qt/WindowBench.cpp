// Figures of the window: its start, appending rows through the list's model
// while the list is shown, and a whole generation click.
#include "Generator.h"
#include "QtMainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>

namespace {

// The pages of the process in memory now, in MiB.
double ResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

// From nothing to the window on the screen, its first paint done. The memory
// figure is the process's after one more start with the 484 default names
// added and sorted by their words.
void BM_StartToWindow(benchmark::State& state) {
    for (auto _ : state) {
        auto window = std::make_unique<TQtMainWindow>();
        window->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        window->Form().Shutdown();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    TQtMainWindow window;
    window.show();
    window.Form().stBt1Click();
    window.Form().RzListViewColumnClick(TResultList::kColumnCount - 1);
    QCoreApplication::processEvents();
    state.counters["rss_mib_484_rows"] = ResidentMiB();
    window.Form().Shutdown();
}
BENCHMARK(BM_StartToWindow)->Unit(benchmark::kMillisecond);

std::vector<std::string> Captions(int n) {
    std::vector<std::string> captions;
    for (int i = 0; i < n; ++i) {
        captions.push_back("Name" + std::to_string(i) + ".com");
    }
    return captions;
}

void BM_Append10000RowsShown(benchmark::State& state) {
    TQtMainWindow window;
    window.show();
    TMainForm& form = window.Form();
    const auto captions = Captions(10000);
    for (auto _ : state) {
        state.PauseTiming();
        form.ResultList().Clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        form.ResultList().AddPendingRows(captions);
        QCoreApplication::processEvents(); // the view lays out and paints
    }
    form.Shutdown();
}
BENCHMARK(BM_Append10000RowsShown)->Unit(benchmark::kMillisecond);

// 增加域名 with 100 syllables: 10 000 names pass every filter and are shown.
void BM_GenerateClick10000Shown(benchmark::State& state) {
    TQtMainWindow window;
    window.show();
    TMainForm& form = window.Form();
    auto* memo = window.findChild<QWidget*>(QStringLiteral("YinjieMemo"));
    QString syllables;
    for (int i = 0; i < 100; ++i) {
        syllables += QStringLiteral("s%1 ").arg(i); // names of at most 6 letters pass 2 to 10
    }
    QMetaObject::invokeMethod(memo, "setPlainText", Q_ARG(QString, syllables));
    for (auto _ : state) {
        state.PauseTiming();
        form.ResultList().Clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        form.stBt1Click();
        QCoreApplication::processEvents();
    }
    if (form.ResultList().Count() != 10000) {
        state.SkipWithError("expected 10000 rows");
    }
    form.Shutdown();
}
BENCHMARK(BM_GenerateClick10000Shown)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    ::setenv("HOME", "/nonexistent-vantreel-bench", 1); // no desktop shortcut
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
