#!/usr/bin/env bash
# Draws the program's icons from packaging/vantreel.svg: the 48 x 48 PNG for
# the Linux menu and the multi-size ICO for the Windows program. Their results
# are kept in the tree, so building needs neither tool; run this again after
# changing the drawing. Needs librsvg2-bin and icoutils.
set -euo pipefail
cd "$(dirname "$0")/../packaging"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 24 32 48 64 256; do
    rsvg-convert -w "$size" -h "$size" vantreel.svg -o "$work/$size.png"
done
cp "$work/48.png" vantreel-48.png
icotool -c -o vantreel.ico "$work/16.png" "$work/24.png" "$work/32.png" "$work/48.png" \
    "$work/64.png" -r "$work/256.png"
