#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The edge between the program's GBK texts (and the UTF-8 of the shared
// layout table) and the UTF-16 of the W functions, so the window reads the same
// on a Windows of any language.
namespace win32text {

inline std::wstring FromCodePage(UINT codePage, std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int n =
        ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// GBK (code page 936) to UTF-16.
inline std::wstring W(std::string_view gbk) {
    return FromCodePage(936, gbk);
}

// UTF-8 (a literal of the sources) to UTF-16.
inline std::wstring U(std::string_view utf8) {
    return FromCodePage(CP_UTF8, utf8);
}

// UTF-16 to GBK; a character GBK cannot hold becomes "?".
inline std::string Gbk(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int n = ::WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                        0, nullptr, nullptr);
    std::string gbk(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), gbk.data(), n,
                          nullptr, nullptr);
    return gbk;
}

// A window's text, as GBK.
inline std::string WindowTextGbk(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int n = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return Gbk(text);
}

} // namespace win32text
