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

// The length in bytes (1 or 2) of the character that begins at text[i]: a lead
// byte 0x81-0xFE with a byte after it begins a two-byte character, whose second
// byte may look like an ASCII character ("]", "\\", "[" ...).
inline std::size_t GbkCharLength(std::string_view text, std::size_t i) {
    const auto b = static_cast<unsigned char>(text[i]);
    return (b >= 0x81 && b <= 0xFE && i + 1 < text.size()) ? 2 : 1;
}

// Position of the last character c (ASCII) in text, stepping over two-byte
// characters; npos when none.
inline std::size_t GbkFindLast(std::string_view text, char c) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); i += GbkCharLength(text, i)) {
        if (text[i] == c) {
            found = i;
        }
    }
    return found;
}

} // namespace platform
