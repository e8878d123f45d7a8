#!/usr/bin/env bash
# Builds the benchmarks and prints every figure in one Markdown table.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target bench_core bench_window >/dev/null

# The Win32 window's figures: cross-built, run under Wine on a virtual screen.
cmake -S . -B build-win-bench -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVANTREEL_BUILD_TESTS=OFF -DVANTREEL_BUILD_BENCH=ON >/dev/null
cmake --build build-win-bench -j"$(nproc)" --target bench_win32_window >/dev/null

out=$(mktemp -d)
build/bench/bench_core --benchmark_min_time=0.2 --benchmark_color=false >"$out/core.txt" 2>/dev/null
QT_QPA_PLATFORM=offscreen build/bench/bench_window --benchmark_min_time=0.2 \
    --benchmark_color=false >"$out/window.txt" 2>/dev/null
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
    source tools/wine-prefix.sh "$(pwd)/build-win-bench/wineprefix" unmanaged
    wine build-win-bench/bench/bench_win32_window.exe
' >"$out/win32.txt" 2>/dev/null

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(date -u +%Y-%m-%d)"
echo
echo "| benchmark | wall time | CPU time | figures |"
echo "|---|---|---|---|"
# Console lines: name, time and unit, CPU time and unit, iterations, then the
# counters (name=value) and the label (its words kept together).
awk '$1 ~ /^BM_/ && NF >= 6 {
        figures = ""
        label = ""
        for (i = 7; i <= NF; ++i) {
            if ($i ~ /=/) figures = figures (figures == "" ? "" : ", ") $i
            else label = label (label == "" ? "" : " ") $i
        }
        if (label != "") figures = figures (figures == "" ? "" : ", ") label
        printf "| %s | %s %s | %s %s | %s |\n", $1, $2, $3, $4, $5, figures
    }' "$out/core.txt" "$out/window.txt" "$out/win32.txt"
rm -rf "$out"
