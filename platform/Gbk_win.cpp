#include "Gbk.h"
#include "Wtf8.h"

#include <windows.h>

namespace platform {
namespace {

constexpr UINT kGbk = 936;

// One UTF-8 character at text[i]: its code point and length, or length 0 when
// the sequence is broken (then the lead byte and its continuation bytes go).
char32_t DecodeUtf8(std::string_view text, std::size_t i, std::size_t& length) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t need = b < 0x80         ? 1
                       : (b >> 5) == 6  ? 2
                       : (b >> 4) == 14 ? 3
                       : (b >> 3) == 30 ? 4
                                        : 0;
    char32_t c = need == 1 ? b : need == 2 ? (b & 0x1F) : need == 3 ? (b & 0x0F) : (b & 0x07);
    length = 0;
    if (need == 0 || i + need > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < need; ++k) {
        const auto t = static_cast<unsigned char>(text[i + k]);
        if ((t & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (t & 0x3F);
    }
    length = need;
    return c;
}

} // namespace

std::string GbkToUtf8(std::string_view gbk) {
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    std::size_t i = 0;
    while (i < gbk.size()) {
        const auto b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        // One character at a time, so that one bad byte costs one U+FFFD and
        // the bytes after it are read afresh.
        wchar_t wide[2];
        const int length = (i + 1 < gbk.size() && ::IsDBCSLeadByteEx(kGbk, b)) ? 2 : 1;
        const int n =
            ::MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data() + i, length, wide, 2);
        if (n == 1) {
            // A GBK character is one UTF-16 unit of the basic plane: its UTF-8.
            const char16_t unit = static_cast<char16_t>(wide[0]);
            out += Utf16ToWtf8(std::u16string_view(&unit, 1));
            i += static_cast<std::size_t>(length);
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string Utf8ToGbk(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t length = 0;
        const char32_t c = DecodeUtf8(utf8, i, length);
        if (length == 0) {
            out += '?';
            ++i;
            while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) {
                ++i;
            }
            continue;
        }
        i += length;
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if (c >= 0x10000) {
            out += '?'; // no GBK character lies outside the basic plane
            continue;
        }
        const wchar_t wide = static_cast<wchar_t>(c);
        char bytes[4];
        BOOL usedDefault = FALSE;
        const int n = ::WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes,
                                            sizeof bytes, nullptr, &usedDefault);
        if (n <= 0 || usedDefault) {
            out += '?';
        } else {
            out.append(bytes, static_cast<std::size_t>(n));
        }
    }
    return out;
}

} // namespace platform
