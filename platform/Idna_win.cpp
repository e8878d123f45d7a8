#include "Idna.h"

#include <windows.h>

namespace platform {

std::optional<std::string> IdnaToAscii(std::string_view utf8Label) {
    if (utf8Label.empty() || utf8Label.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    const int inLength = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Label.data(),
                                               static_cast<int>(utf8Label.size()), nullptr, 0);
    if (inLength <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(inLength), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Label.data(),
                          static_cast<int>(utf8Label.size()), wide.data(), inLength);
    // A label's ASCII form is at most 63 characters; room for more lets the
    // length check below, not the call, refuse a long one.
    wchar_t out[256];
    // No IDN_USE_STD3_ASCII_RULES: Wine refuses every non-ASCII label with it.
    // The caller holds the ASCII characters to the host-name rules itself.
    const int n = ::IdnToAscii(0, wide.c_str(), inLength, out, 256);
    if (n <= 0) {
        return std::nullopt;
    }
    std::string label;
    for (int i = 0; i < n; ++i) {
        if (out[i] >= 0x80) {
            return std::nullopt;
        }
        label += static_cast<char>(out[i]);
    }
    // The system's call keeps letter case; the registry's form is lower case.
    for (char& c : label) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return label;
}

} // namespace platform
