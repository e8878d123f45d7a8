#include "Gbk.h"

#include <cerrno>
#include <iconv.h>

namespace platform {
namespace {

// Converts with iconv, replacing what cannot be converted: on an invalid or
// unconvertible input sequence, skip skipBytes of input and append replacement.
std::string Convert(const char* to, const char* from, std::string_view input,
                    std::string_view replacement, std::size_t skipBytes) {
    std::string out;
    if (input.empty()) {
        return out;
    }
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::string(input);
    }
    out.reserve(input.size() * 2);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) {
                continue;
            }
            // EILSEQ or EINVAL (a sequence cut at the end): replace and skip on.
            std::size_t skip = skipBytes;
            if (from[0] == 'U') {
                // UTF-8: skip the lead byte and its continuation bytes.
                skip = 1;
                while (skip < inLeft && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80) {
                    ++skip;
                }
            } else if (static_cast<unsigned char>(in[0]) < 0x80) {
                skip = 1;
            }
            skip = std::min(skip, inLeft);
            out.append(replacement);
            in += skip;
            inLeft -= skip;
        }
    }
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    ::iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    ::iconv_close(cd);
    return out;
}

} // namespace

std::string GbkToUtf8(std::string_view gbk) {
    // A broken lead byte takes its trail byte with it only when the trail is a
    // valid trail; one byte at a time keeps following ASCII intact.
    return Convert("UTF-8", "GBK", gbk, "\xEF\xBF\xBD", 1);
}

std::string Utf8ToGbk(std::string_view utf8) {
    return Convert("GBK", "UTF-8", utf8, "?", 1);
}

} // namespace platform
