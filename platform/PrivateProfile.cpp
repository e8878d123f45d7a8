#include "PrivateProfile.h"

#include "Gbk.h"

#include <string_view>

namespace platform {

bool IsStorableProfileEntry(const std::string& section, const std::string& key,
                            const std::string& value) {
    const auto breaks = [](std::string_view text) {
        return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
    };
    std::string_view name = key;
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) {
        name.remove_prefix(1);
    }
    return !breaks(section) && !breaks(key) && !breaks(value) &&
           GbkFindLast(section, ']') == std::string::npos && key.find('=') == std::string::npos &&
           !name.empty();
}

} // namespace platform
