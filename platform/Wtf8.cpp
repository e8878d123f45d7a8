#include "Wtf8.h"

namespace platform {

std::string Utf16ToWtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

// The character at text[i] and its length in bytes; length 0 when no WTF-8
// character begins there. Strict: no lead byte C0, C1 or F5-FF, no stray or
// missing continuation byte, no overlong spelling, nothing past U+10FFFF, and
// no surrogate pair spelt as two three-byte sequences (the pair has one
// spelling, the four-byte one), so that no two byte strings name one file.
char32_t DecodeOne(std::string_view text, std::size_t i, std::size_t& length) {
    const auto b = static_cast<unsigned char>(text[i]);
    length = b < 0x80                 ? 1
             : b >= 0xC2 && b <= 0xDF ? 2
             : b >= 0xE0 && b <= 0xEF ? 3
             : b >= 0xF0 && b <= 0xF4 ? 4
                                      : 0;
    char32_t c = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
    bool valid = length != 0 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
        const auto t = static_cast<unsigned char>(text[i + k]);
        valid = (t & 0xC0) == 0x80;
        c = (c << 6) | (t & 0x3F);
    }
    valid = valid && !(length == 3 && c < 0x800) && !(length == 4 && (c < 0x10000 || c > 0x10FFFF));
    if (valid && length == 3 && c >= 0xD800 && c <= 0xDBFF && i + 6 <= text.size()) {
        // A lead surrogate directly followed by a trail surrogate.
        std::size_t nextLength = 0;
        const auto next = static_cast<unsigned char>(text[i + 3]);
        if (next == 0xED) {
            const char32_t trail = DecodeOne(text, i + 3, nextLength);
            valid = !(nextLength == 3 && trail >= 0xDC00 && trail <= 0xDFFF);
        }
    }
    if (!valid) {
        length = 0;
    }
    return c;
}

} // namespace

bool IsWtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t length = 0;
        DecodeOne(text, i, length);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::u16string Wtf8ToUtf16(std::string_view wtf8) {
    std::u16string out;
    out.reserve(wtf8.size());
    std::size_t i = 0;
    while (i < wtf8.size()) {
        std::size_t length = 0;
        char32_t c = DecodeOne(wtf8, i, length);
        if (length == 0) {
            out += u'\xFFFD';
            ++i;
            continue;
        }
        i += length;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

} // namespace platform
