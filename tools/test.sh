#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the whole
# suite once, then the threaded suites again under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREEL_WERROR=ON
cmake --build build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREEL_SANITIZE=thread \
    -DVANTREEL_BUILD_APP=OFF -DVANTREEL_BUILD_BENCH=OFF -DVANTREEL_WERROR=ON
cmake --build build-tsan -j"$jobs" --target platform_tests worker_tests runs_tests
(cd build-tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest -L threads --output-on-failure -j"$jobs")
