// Any text and separator: no empty piece, no piece holding the separator, and
// the pieces appear in the text in their order.
#include "Base.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t sepLength = std::min<std::size_t>(data[0] % 4, size - 1);
    const std::string separator(reinterpret_cast<const char*>(data + 1), sepLength);
    const std::string text(reinterpret_cast<const char*>(data + 1 + sepLength),
                           size - 1 - sepLength);
    const auto words = SplitWords(separator.empty() ? std::string(" ") : separator, text);
    const std::string trimmed = Trim(text);
    std::size_t at = 0;
    for (const auto& word : words) {
        if (word.empty()) {
            std::abort();
        }
        if (!separator.empty() && word.find(separator) != std::string::npos) {
            std::abort();
        }
        const auto found = trimmed.find(word, at);
        if (found == std::string::npos) {
            std::abort();
        }
        at = found + word.size();
    }
    return 0;
}
