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

std::u16string Wtf8ToUtf16(std::string_view wtf8) {
    std::u16string out;
    out.reserve(wtf8.size());
    std::size_t i = 0;
    while (i < wtf8.size()) {
        const auto b = static_cast<unsigned char>(wtf8[i]);
        std::size_t length = b < 0x80                 ? 1
                             : b >= 0xF0 && b <= 0xF4 ? 4
                             : b >= 0xE0              ? 3
                             : b >= 0xC2 && b < 0xE0  ? 2
                                                      : 0;
        char32_t c = length == 1   ? b
                     : length == 2 ? (b & 0x1F)
                     : length == 3 ? (b & 0x0F)
                                   : (b & 0x07);
        bool valid = length != 0 && i + length <= wtf8.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto t = static_cast<unsigned char>(wtf8[i + k]);
            valid = (t & 0xC0) == 0x80;
            c = (c << 6) | (t & 0x3F);
        }
        // No overlong spelling, nothing past U+10FFFF.
        valid =
            valid && !(length == 3 && c < 0x800) && !(length == 4 && (c < 0x10000 || c > 0x10FFFF));
        if (!valid) {
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
