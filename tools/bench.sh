#!/usr/bin/env bash
# Builds the benchmarks and prints every figure in one Markdown table.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target bench_core bench_window >/dev/null

out=$(mktemp -d)
build/bench/bench_core --benchmark_min_time=0.2 --benchmark_format=csv >"$out/core.csv" 2>/dev/null
QT_QPA_PLATFORM=offscreen build/bench/bench_window --benchmark_min_time=0.2 \
    --benchmark_format=csv >"$out/window.csv" 2>/dev/null

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(date -u +%Y-%m-%d)"
echo
echo "| benchmark | wall time | CPU time | figures |"
echo "|---|---|---|---|"
# CSV columns: name,iterations,real_time,cpu_time,time_unit,bytes_per_second,
# items_per_second,label,error_occurred,error_message, then the counters.
for file in "$out/core.csv" "$out/window.csv"; do
    awk -F, '
        NR == 1 { for (i = 11; i <= NF; ++i) counter[i] = $i; next }
        $1 ~ /^"/ {
            gsub(/"/, "", $1); gsub(/"/, "", $8)
            figures = $8
            for (i = 11; i <= NF; ++i) if ($i != "") figures = figures (figures == "" ? "" : ", ") counter[i] "=" sprintf("%.3g", $i)
            printf "| %s | %.3g %s | %.3g %s | %s |\n", $1, $3, $5, $4, $5, figures
        }' "$file"
done
rm -rf "$out"
