#pragma once

#include <string>
#include <string_view>

namespace platform {

// UTF-16 to WTF-8 and back: UTF-8 that also spells a lone surrogate (as three
// bytes), so a Windows file name, which need not be valid UTF-16, survives the
// trip unchanged. A byte sequence that is no WTF-8 becomes U+FFFD.
std::string Utf16ToWtf8(std::u16string_view utf16);
std::u16string Wtf8ToUtf16(std::string_view wtf8);

// True when every byte of text belongs to a WTF-8 character, spelt the one way
// WTF-8 allows.
bool IsWtf8(std::string_view text);

} // namespace platform
