#!/usr/bin/env python3
"""Builds words/WordList.dat, the Chinese words that a name's letters can spell.

Inputs (Debian packages, both permissively licensed):
  rime-data-pinyin-simp  /usr/share/rime-data/pinyin_simp.dict.yaml
      words with their toneless pinyin and an input-method weight (Apache-2.0,
      derived from the Android Pinyin IME's list)
  python3-jieba          /usr/lib/python3/dist-packages/jieba/dict.txt
      words with their frequency in a large corpus (MIT)
  tools/words-fixes.txt  our own short list of corrections

How they are combined:
  - rime gives the readings: a word of two to four characters and its pinyin.
  - jieba decides what a word is and how common it is. rime's list holds many
    phrases that are no words (都是, 把我, 的人, 请输入), and jieba's
    segmentation dictionary lists none of them, so an entry that jieba does
    not list is dropped. One kind of word jieba leaves out on purpose, as it
    segments them: a place and 人 (北京人, 中国人). rime's entries of that shape
    are kept, with rime's weight brought to jieba's scale (divided by the
    median ratio of the two over the words both know).
  - A reading that rime weighs under a tenth of the word's main reading is
    dropped: those are mostly misreadings (曝光 as pu guang).
  - Words are ranked by jieba's frequency, then rime's weight, then their text.

The output is GBK text, one line per spelling, sorted by its bytes:
  letters TAB rank TAB word、word...
letters: the pinyin without blanks, lower case, ü as v; a spelling with
"lue"/"nue" is also listed as "lve"/"nve", as domain names write both.
rank: the place of the line's first word in the commonness order (0 first).
words: most common first.

Running it again on the same packages gives the same bytes.
Usage: python3 tools/make-words.py [--rime FILE] [--jieba FILE] [--out FILE]
"""

import argparse
import os
import re
import sys

RIME = "/usr/share/rime-data/pinyin_simp.dict.yaml"
JIEBA = "/usr/lib/python3/dist-packages/jieba/dict.txt"
HERE = os.path.dirname(os.path.abspath(__file__))
FIXES = os.path.join(HERE, "words-fixes.txt")
OUT = os.path.join(HERE, "..", "words", "WordList.dat")

MIN_CHARS, MAX_CHARS = 2, 4
MINOR_READING = 0.1  # a reading under this share of the word's main one is dropped
HAN = re.compile(r"^[\u4e00-\u9fff]+$")
SYLLABLES = re.compile(r"^[a-z]+( [a-z]+)*$")


def read_rime(path):
    """word -> {pinyin: weight}"""
    readings = {}
    body = False
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not body:
                body = line == "..."
                continue
            if not line or line.startswith("#"):
                continue
            parts = line.split("\t")
            if len(parts) < 2:
                continue
            word, pinyin = parts[0], parts[1].strip()
            weight = int(parts[2]) if len(parts) > 2 and parts[2].strip().isdigit() else 0
            if not (MIN_CHARS <= len(word) <= MAX_CHARS) or not HAN.match(word):
                continue
            if not SYLLABLES.match(pinyin) or len(pinyin.split()) != len(word):
                continue
            known = readings.setdefault(word, {})
            known[pinyin] = max(known.get(pinyin, 0), weight)
    return readings


def read_jieba(path):
    """word -> frequency, and the words jieba tags as places"""
    freq, places = {}, set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 2 and parts[1].isdigit():
                freq[parts[0]] = max(freq.get(parts[0], 0), int(parts[1]))
                if len(parts) >= 3 and parts[2] == "ns":
                    places.add(parts[0])
    return freq, places


def read_fixes(path):
    """Lines '+ word pin yin [frequency]' add a reading, '- word [pin yin]'
    removes a word or one of its readings; '#' starts a comment."""
    adds, removes = [], []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            op, *rest = line.split()
            if op == "+" and len(rest) >= 2:
                word, syllables = rest[0], rest[1:]
                freq = None
                if syllables[-1].isdigit():
                    freq = int(syllables.pop())
                adds.append((word, " ".join(syllables), freq))
            elif op == "-" and rest:
                removes.append((rest[0], " ".join(rest[1:]) or None))
            else:
                sys.exit(f"{path}:{number}: cannot read this line")
    return adds, removes


def spellings(pinyin):
    letters = pinyin.replace(" ", "")
    out = {letters}
    if "lue" in letters or "nue" in letters:
        out.add(letters.replace("lue", "lve").replace("nue", "nve"))
    return out


def build(rime, jieba, fixes):
    readings = read_rime(rime)
    freq, places = read_jieba(jieba)
    adds, removes = read_fixes(fixes)
    ratios = sorted(max(known.values()) / freq[w] for w, known in readings.items()
                    if freq.get(w, 0) > 0)
    ratio = ratios[len(ratios) // 2]
    # word -> [frequency, weight, {pinyin}]
    kept = {}
    for word, known in readings.items():
        main = max(known.values())
        if word in freq:
            frequency = freq[word]
        elif word.endswith("人") and word[:-1] in places:
            frequency = int(main / ratio)
        else:
            continue
        chosen = {p for p, w in known.items() if w >= main * MINOR_READING}
        kept[word] = [frequency, main, chosen]
    for word, pinyin in removes:
        if word not in kept:
            sys.exit(f"words-fixes.txt: {word} is not in the list")
        if pinyin is None:
            del kept[word]
        else:
            kept[word][2].discard(pinyin)
            if not kept[word][2]:
                del kept[word]
    for word, pinyin, given in adds:
        if not HAN.match(word) or not SYLLABLES.match(pinyin) or len(pinyin.split()) != len(word):
            sys.exit(f"words-fixes.txt: {word} {pinyin} is no word of 2 to 4 characters")
        entry = kept.setdefault(word, [given or freq.get(word, 0), 0, set()])
        if given:
            entry[0] = given
        entry[2].add(pinyin)
    # GBK inside the program: a word it cannot hold is left out.
    encoded = {}
    for word in kept:
        try:
            encoded[word] = word.encode("gbk")
        except UnicodeEncodeError:
            pass
    order = sorted(encoded, key=lambda w: (-kept[w][0], -kept[w][1], w))
    rank = {w: i for i, w in enumerate(order)}
    lines = {}
    for word in order:
        for pinyin in kept[word][2]:
            for key in spellings(pinyin):
                lines.setdefault(key, []).append(word)
    out = bytearray()
    for key in sorted(lines):
        words = sorted(set(lines[key]), key=rank.__getitem__)
        out += key.encode("ascii") + b"\t" + str(rank[words[0]]).encode("ascii") + b"\t"
        out += "、".encode("gbk").join(encoded[w] for w in words) + b"\n"
    return bytes(out), len(lines), len(order)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rime", default=RIME)
    parser.add_argument("--jieba", default=JIEBA)
    parser.add_argument("--fixes", default=FIXES)
    parser.add_argument("--out", default=OUT)
    args = parser.parse_args()
    data, spelled, words = build(args.rime, args.jieba, args.fixes)
    with open(args.out, "wb") as f:
        f.write(data)
    print(f"{os.path.relpath(args.out)}: {spelled} spellings of {words} words, {len(data)} bytes")


if __name__ == "__main__":
    main()
