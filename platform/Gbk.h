#pragma once

#include <string>
#include <string_view>

namespace platform {

// The program's texts are 8-bit GBK (code page 936) byte strings. These two
// calls are the only conversions: at the window toolkit and at file names.

// GBK bytes to UTF-8. A byte sequence that is no GBK character becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 to GBK. A character that GBK cannot hold, or a broken UTF-8 sequence,
// becomes "?".
std::string Utf8ToGbk(std::string_view utf8);

} // namespace platform
