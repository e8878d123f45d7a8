#pragma once

#include "FilePath.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Small free functions on the program's 8-bit (GBK) texts. Positions count
// bytes; a two-byte character of the code page counts 2.

// The error an operation raises to abandon itself; its message is GBK text and
// is shown by the program's default error display.
class AppError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Removes every byte of code 0 to 32 from both ends.
std::string Trim(std::string_view text);

// The letters a to z turned into A to Z; every other byte unchanged.
std::string UpperCase(std::string_view text);

// Equal when compared in capitals.
bool SameText(std::string_view a, std::string_view b);

// Trims text, then cuts it at every occurrence of separator into a new ordered
// list of its non-empty pieces; duplicates and order stay.
std::vector<std::string> SplitWords(std::string_view separator, std::string_view text);

// Decimal text of value, with the fill character ("0" or a blank) put in front
// until it is width long; a longer text is never cut.
std::string PadNumber(std::int32_t value, int width, bool zeroFill);

// The first "%s" of pattern replaced by argument.
std::string FormatText(std::string_view pattern, std::string_view argument);

// Lays down a shortcut named linkName on the user's desktop that starts fileName
// with arguments in fileName's folder. Raises AppError on an empty fileName or
// linkName; without a desktop folder it does nothing.
void CreateDesktopShortcut(const platform::FilePath& fileName, const std::string& arguments,
                           const std::string& linkName, const std::string& description);
