#pragma once

#include <string_view>

namespace words {

// The bytes of WordList.dat, as built into the program.
std::string_view WordListBytes();

} // namespace words
