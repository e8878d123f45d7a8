#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The IDNA 2008 form (UTS #46 mapping, non-transitional) of one domain label
// written in UTF-8: "xn--..." for a label with characters beyond ASCII, the
// mapped ASCII label otherwise. No value when the label has no such form
// (a character IDNA does not allow, a label too long, broken UTF-8).
// libidn2 on Linux, the system's IdnToAscii on Windows. Whether ASCII
// characters outside letters, digits and "-" pass differs between the two:
// the caller checks those itself.
std::optional<std::string> IdnaToAscii(std::string_view utf8Label);

} // namespace platform
