#!/usr/bin/env bash
# Builds the benchmarks and prints every figure in one Markdown table.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target bench_core bench_window >/dev/null

out=$(mktemp -d)
build/bench/bench_core --benchmark_min_time=0.2 --benchmark_color=false >"$out/core.txt" 2>/dev/null
QT_QPA_PLATFORM=offscreen build/bench/bench_window --benchmark_min_time=0.2 \
    --benchmark_color=false >"$out/window.txt" 2>/dev/null

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(date -u +%Y-%m-%d)"
echo
echo "| benchmark | wall time | CPU time | figures |"
echo "|---|---|---|---|"
# Console lines: name, time and unit, CPU time and unit, iterations, then the
# counters (name=value) and the label.
awk '$1 ~ /^BM_/ && NF >= 6 {
        figures = ""
        for (i = 7; i <= NF; ++i) figures = figures (figures == "" ? "" : ", ") $i
        printf "| %s | %s %s | %s %s | %s |\n", $1, $2, $3, $4, $5, figures
    }' "$out/core.txt" "$out/window.txt"
rm -rf "$out"
