#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. the whole suite;
#   2. the threaded suites again under ThreadSanitizer;
#   3. the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer;
#   4. each fuzz target for a bounded time (clang's libFuzzer);
#   5. every suite but the Qt window's again, cross-built for Windows and run
#      under Wine, the Win32 window's among them on a virtual screen;
#   6. the packages, made from the Release builds of stages 1 and 5 and made
#      again from scratch in other folders (while the fuzzers leave a core
#      idle), compared byte for byte, then installed, used and removed as a
#      user would (tools/package-checks.sh).
# Any failure or sanitizer report fails the command.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash tools/install-deps.sh
jobs=$(nproc)
fuzz_seconds=${VANTREEL_FUZZ_SECONDS:-25}

echo "== 0. the word list, made again from its packages ($(date +%T))"
bash tools/make-words.sh --check

echo "== 1. the whole suite ($(date +%T))"
# Release, as the packages are built: stage 6 packages this very program.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVANTREEL_WERROR=ON
cmake --build build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs") | tee build/ctest.log

echo "== 2. threaded suites under ThreadSanitizer ($(date +%T))"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREEL_SANITIZE=thread \
    -DVANTREEL_BUILD_APP=OFF -DVANTREEL_BUILD_BENCH=OFF -DVANTREEL_WERROR=ON
cmake --build build-tsan -j"$jobs" --target platform_tests tls_tests worker_tests runs_tests form_tests
(cd build-tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest -L threads --output-on-failure -j"$jobs") | tee build-tsan/ctest.log

echo "== 3. the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer ($(date +%T))"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREEL_SANITIZE=address,undefined \
    -DVANTREEL_BUILD_BENCH=OFF -DVANTREEL_WERROR=ON
cmake --build build-asan -j"$jobs"
(cd build-asan && QT_QPA_PLATFORM=offscreen \
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
    ctest --output-on-failure -j"$jobs") | tee build-asan/ctest.log

echo "== 4. fuzz targets, ${fuzz_seconds} s each ($(date +%T))"
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREEL_FUZZ=ON \
    -DVANTREEL_SANITIZE=address,undefined -DVANTREEL_BUILD_APP=OFF -DVANTREEL_BUILD_TESTS=OFF \
    -DVANTREEL_BUILD_BENCH=OFF
cmake --build build-fuzz -j"$jobs"
# The packages' second build, from scratch, on the core the fuzzers leave idle.
rm -rf build-package dist-again
bash tools/package.sh --jobs 1 build-package dist-again >build-package.log 2>&1 &
package_pid=$!
for target in Whois SplitWords Generation Ini Rdap; do
    corpus="build-fuzz/corpus/$target"
    mkdir -p "$corpus"
    seeds="tests/fuzz/corpus/$(echo "$target" | tr '[:upper:]' '[:lower:]')"
    echo "-- fuzz_$target"
    UBSAN_OPTIONS="halt_on_error=1" build-fuzz/tests/fuzz/fuzz_$target \
        -max_total_time="$fuzz_seconds" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/crash-$target-" "$corpus" "$seeds" 2>&1 | tail -n 12
done

echo "== 5. the Windows build under Wine ($(date +%T))"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DVANTREEL_BUILD_BENCH=OFF -DVANTREEL_WERROR=ON
cmake --build build-win -j"$jobs"
# The Wine tests are timed: the packages' build ends before they start.
if ! wait "$package_pid"; then
    cat build-package.log
    echo "the packages' second build failed" >&2
    exit 1
fi
# A Wine of the build's own (tools/wine-prefix.sh), its windows on a virtual screen.
status=0
xvfb-run -a -s "-screen 0 1600x1000x24" bash tools/wine-ctest.sh || status=$?
[ "$status" -eq 0 ] || exit "$status"

echo "== 6. the packages ($(date +%T))"
rm -rf dist
bash tools/package.sh --from build build-win dist
for package in dist/*; do
    cmp "$package" "dist-again/$(basename "$package")" ||
        { echo "two builds of one commit differ: $(basename "$package")" >&2; exit 1; }
done
echo "-- the second build's packages are the same, byte for byte"
xvfb-run -a -s "-screen 0 1600x1000x24" bash tools/package-checks.sh dist

# One closing line for the ctest runs together (each failed run has already
# stopped this script).
total=$(cat build/ctest.log build-tsan/ctest.log build-asan/ctest.log build-win/ctest.log |
    sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' | awk '{s += $1} END {print s}')
echo "tests: ${total} passed, 0 failed ($(date +%T))"
