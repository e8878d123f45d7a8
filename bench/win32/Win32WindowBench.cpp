// Figures of the Win32 window, shown under a real (or virtual) screen: 10 000
// rows appended to the shown virtual list, and one answer recorded into a list
// of 20 000 rows. Each repetition ends once the window has painted.
#include "Win32MainWindow.h"
#include "Ymcx.h"

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

// Runs body iterations times (setup before each, untimed) and prints the mean
// wall and CPU time of one, as Google Benchmark's console does.
void Run(const char* name, int iterations, const std::function<void()>& setup,
         const std::function<void()>& body) {
    double wallMs = 0, cpuMs = 0;
    for (int i = 0; i < iterations; ++i) {
        setup();
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ThreadCpuMs();
        body();
        cpuMs += ThreadCpuMs() - cpuStart;
        wallMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    }
    std::printf("%-40s %10.3f ms %10.3f ms %10d\n", name, wallMs / iterations, cpuMs / iterations,
                iterations);
}

std::vector<std::string> Captions(int n) {
    std::vector<std::string> captions;
    captions.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        captions.push_back("Name" + std::to_string(i) + ".com");
    }
    return captions;
}

} // namespace

int main() {
    TMainFormOptions options;
    options.IniPath = platform::FilePath::FromNative("Z:\\nonexistent\\kestrova.ini");
    TWin32MainWindow window(options);
    ::ShowWindow(window.Handle(), SW_SHOWNORMAL);
    Pump();
    TResultList& list = window.Form().ResultList();
    HWND view = window.Control("RzListView");
    const auto captions = Captions(10000);

    std::printf("%-40s %13s %13s %10s\n", "Benchmark", "Time", "CPU", "Iterations");
    Run(
        "BM_Win32Append10000RowsShown", 20,
        [&] {
            list.Clear();
            Pump();
        },
        [&] {
            list.AddPendingRows(captions);
            ::UpdateWindow(view); // the rows in sight are asked for and painted
            Pump();
        });

    // Where the time of an append goes: the list itself, the list view's count
    // of rows, and painting the rows in sight.
    {
        TResultList bare;
        Run(
            "BM_Win32Part_ListAppend10000", 20, [&] { bare.Clear(); },
            [&] { bare.AddPendingRows(captions); });
        Run(
            "BM_Win32Part_SetItemCount10000", 20,
            [&] {
                ::SendMessageW(view, LVM_SETITEMCOUNT, 0, 0);
                Pump();
            },
            [&] {
                ::SendMessageW(view, LVM_SETITEMCOUNT, 10000,
                               LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
            });
        Run(
            "BM_Win32Part_PaintRowsInSight", 20,
            [&] {
                ::SendMessageW(view, LVM_SETITEMCOUNT, 10000, 0);
                ::InvalidateRect(view, nullptr, TRUE);
            },
            [&] { ::UpdateWindow(view); });
    }
    list.Clear();
    list.AddPendingRows(Captions(20000)); // the rows recorded are in the middle
    Pump();
    TYmSeekRec rec;
    rec.State = 1;
    rec.Registered = 1;
    rec.CreationDate = "1997-09-15";
    rec.ExpirationDate = "2028-09-14";
    int next = 0;
    Run(
        "BM_Win32RecordAnswerIn20000Rows", 200,
        [&] { rec.Name = "Name" + std::to_string(10000 + (next++ % 1000)); },
        [&] {
            list.RecordAnswer(rec);
            ::UpdateWindow(view);
            Pump();
        });
    window.Form().Shutdown();
    return 0;
}
