#include "Idna.h"

#include <idn2.h>

#include <cstdlib>

namespace platform {

std::optional<std::string> IdnaToAscii(std::string_view utf8Label) {
    if (utf8Label.empty() || utf8Label.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    const std::string input(utf8Label);
    char* output = nullptr;
    // STD3 rules refuse what no host name holds ("_", ",", spaces); NFC_INPUT
    // lets a decomposed character pass as its composed form.
    const int rc = idn2_to_ascii_8z(
        input.c_str(), &output, IDN2_NONTRANSITIONAL | IDN2_NFC_INPUT | IDN2_USE_STD3_ASCII_RULES);
    if (rc != IDN2_OK || output == nullptr) {
        idn2_free(output);
        return std::nullopt;
    }
    std::string label(output);
    idn2_free(output);
    return label;
}

} // namespace platform
