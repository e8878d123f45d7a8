#pragma once

#include "Request.h"

#include <string>
#include <string_view>
#include <vector>

// Every name of two syllables that passes the filters, as row captions (name +
// ".com"), in the order of the walk: first syllable slowest, second fastest.
// With WordsOnly, after every other test, only the names that spell at least
// one Chinese word.
std::vector<std::string> GenerateCaptions(const TGenerationRequest& request);

// Whether one pattern word matches a name. It answers yes for every pair: the
// pattern input is hidden from the user, and a real match would filter names
// by a setting nobody can see or change on the window.
bool MatchPattern(std::string_view word, std::string_view name);

// The count label after a generation ("共" + count filled with blanks to 3 +
// "个域名") and after emptying the list (filled with zeros to 4).
std::string CountLabelAfterGeneration(int rows);
std::string CountLabelAfterEmptying(int rows);
