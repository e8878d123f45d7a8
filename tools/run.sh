#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh app
cmake -S . -B build-app -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREEL_BUILD_TESTS=OFF \
    -DVANTREEL_BUILD_BENCH=OFF
cmake --build build-app -j"$(nproc)" --target dovrenta

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<'MSG'
There is no desktop to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Start this command from a terminal inside your desktop session, or, on a machine
without one, install Debian's xvfb and start the program inside a virtual screen:
    xvfb-run -s "-screen 0 1600x1000x24" build-app/app/qt/dovrenta
MSG
    exit 1
fi
exec build-app/app/qt/dovrenta
