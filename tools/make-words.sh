#!/usr/bin/env bash
# Makes words/WordList.dat again from Debian's rime-data-pinyin-simp and
# python3-jieba (installing them when they are missing) and tools/words-fixes.txt.
# With --check it writes nothing and fails when the committed list differs from
# what the packages give.
# Usage: bash tools/make-words.sh [--check]
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh words
if [ "${1:-}" = --check ]; then
    out=$(mktemp)
    trap 'rm -f "$out"' EXIT
    python3 tools/make-words.py --out "$out"
    cmp words/WordList.dat "$out" ||
        { echo "words/WordList.dat is not what tools/make-words.py makes from the packages" >&2; exit 1; }
    echo "-- words/WordList.dat is what the packages give, byte for byte"
else
    python3 tools/make-words.py
fi
