#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// The Chinese words a domain name can stand for: the words whose pinyin,
// without tones, spells the name's letters in one of the ways they split into
// syllables (fangan: fang+an 方案, fan+gan 反感). Words of two to four
// characters; "v" stands for ü. The list is inside the program and read in
// place, the first time it is asked.
namespace words {

inline constexpr std::uint32_t kNoWord = UINT32_MAX;

struct TSpelling {
    // GBK, most common first, joined by "、"; empty when the letters spell none.
    std::string_view Words;
    // The place of the first word in the order of commonness (0: the most
    // common word of all); kNoWord when there is none.
    std::uint32_t Rank = kNoWord;
};

// The words that letters spell, in any case. Anything but a-z (a digit, a
// dot, a blank) or an empty text spells none.
TSpelling Lookup(std::string_view letters);

// The same for a row caption: its name before ".com" (any case).
TSpelling LookupCaption(std::string_view caption);

// How many spellings the built-in list holds.
std::size_t SpellingCount();

// A list in the built-in list's form, read in place: one line per spelling,
// "letters TAB rank TAB words LF", sorted by the letters' bytes. A line of
// another shape, or out of that order, is left out, so a search stays sound.
// The index holds only where each line starts; the bytes must outlive it.
class TWordIndex {
public:
    explicit TWordIndex(std::string_view bytes);
    // letters: a-z only (lower case).
    TSpelling Find(std::string_view letters) const;
    std::size_t Count() const { return starts_.size(); }

private:
    std::string_view bytes_;
    std::vector<std::uint32_t> starts_;
};

} // namespace words
