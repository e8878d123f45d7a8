#!/usr/bin/env bash
# Runs the Windows build's tests (build-win) under Wine. Call it inside a
# virtual screen (xvfb-run): the prefix is prepared here, so its first desktop
# process gets that screen too, as every test window does. One wineserver for
# all the test programs, ended afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
export WINEPREFIX="$(pwd)/build-win/wineprefix"
mkdir -p "$WINEPREFIX"
wineserver -k 2>/dev/null || true
wineserver -p
source tools/wine-prefix.sh "$WINEPREFIX" unmanaged
status=0
(cd build-win && ctest --output-on-failure -j"$(nproc)") | tee build-win/ctest.log || status=$?
wineserver -k || true
exit "$status"
