#include "Words.h"

#include "WordListData.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace words {
namespace {

// The longest spelling a lookup takes: longer names spell nothing anyway.
constexpr std::size_t kMaxLetters = 64;

struct TLine {
    std::string_view Key;
    std::uint32_t Rank;
    std::string_view Words;
};

// One line of the list: letters TAB rank TAB words LF. False for a line of
// another shape, which the index leaves out.
bool ReadLine(std::string_view line, TLine& out) {
    const std::size_t keyEnd = line.find('\t');
    if (keyEnd == 0 || keyEnd == std::string_view::npos || keyEnd > kMaxLetters) {
        return false;
    }
    const std::size_t rankEnd = line.find('\t', keyEnd + 1);
    if (rankEnd == std::string_view::npos || rankEnd + 1 >= line.size()) {
        return false;
    }
    out.Key = line.substr(0, keyEnd);
    if (!std::all_of(out.Key.begin(), out.Key.end(), [](char c) { return c >= 'a' && c <= 'z'; })) {
        return false;
    }
    const char* rankBegin = line.data() + keyEnd + 1;
    const char* rankStop = line.data() + rankEnd;
    const auto [end, error] = std::from_chars(rankBegin, rankStop, out.Rank);
    if (error != std::errc() || end != rankStop || out.Rank == kNoWord) {
        return false;
    }
    out.Words = line.substr(rankEnd + 1);
    return true;
}

std::string_view LineAt(std::string_view bytes, std::uint32_t start) {
    const std::string_view rest = bytes.substr(start);
    return rest.substr(0, rest.find('\n'));
}

std::string_view KeyAt(std::string_view bytes, std::uint32_t start) {
    const std::string_view rest = bytes.substr(start);
    return rest.substr(0, rest.find('\t'));
}

const TWordIndex& Index() {
    static const TWordIndex index(WordListBytes());
    return index;
}

} // namespace

TWordIndex::TWordIndex(std::string_view bytes) : bytes_(bytes) {
    // Offsets are 32 bits: a list of 4 GiB or more is no list of ours.
    if (bytes_.size() >= UINT32_MAX) {
        bytes_ = {};
    }
    std::string_view last;
    std::size_t start = 0;
    while (start < bytes_.size()) {
        std::size_t stop = bytes_.find('\n', start);
        if (stop == std::string_view::npos) {
            stop = bytes_.size();
        }
        TLine line;
        if (ReadLine(bytes_.substr(start, stop - start), line) &&
            (starts_.empty() || line.Key > last)) {
            starts_.push_back(static_cast<std::uint32_t>(start));
            last = line.Key;
        }
        start = stop + 1;
    }
}

TSpelling TWordIndex::Find(std::string_view letters) const {
    const auto it = std::lower_bound(starts_.begin(), starts_.end(), letters,
                                     [this](std::uint32_t start, std::string_view wanted) {
                                         return KeyAt(bytes_, start) < wanted;
                                     });
    TLine line;
    if (it == starts_.end() || !ReadLine(LineAt(bytes_, *it), line) || line.Key != letters) {
        return {};
    }
    return {line.Words, line.Rank};
}

TSpelling Lookup(std::string_view letters) {
    if (letters.empty() || letters.size() > kMaxLetters) {
        return {};
    }
    char key[kMaxLetters];
    for (std::size_t i = 0; i < letters.size(); ++i) {
        char c = letters[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        } else if (c < 'a' || c > 'z') {
            return {};
        }
        key[i] = c;
    }
    return Index().Find(std::string_view(key, letters.size()));
}

TSpelling LookupCaption(std::string_view caption) {
    constexpr std::string_view kSuffix = ".com";
    if (caption.size() >= kSuffix.size()) {
        const std::string_view tail = caption.substr(caption.size() - kSuffix.size());
        if (std::equal(tail.begin(), tail.end(), kSuffix.begin(), [](char a, char b) {
                return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
            })) {
            caption.remove_suffix(kSuffix.size());
        }
    }
    return Lookup(caption);
}

std::size_t SpellingCount() {
    return Index().Count();
}

} // namespace words
