#include "PrivateProfile.h"

#include <windows.h>

namespace platform {

std::string ProfileReadString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& path) {
    std::string buffer(kMaxValueBytes + 1, '\0');
    const DWORD n =
        ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                   buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
    buffer.resize(n);
    return buffer;
}

bool ProfileWriteString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path) {
    if (!IsStorableProfileEntry(section, key, value)) {
        return false;
    }
    // A file marked read-only is refused here too, whatever rights the user has
    // (an administrator's write would otherwise go through).
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        path.c_str()) != FALSE;
}

std::vector<std::string> ProfileSectionNames(const std::string& path) {
    std::string buffer(kSectionNamesBytes, '\0');
    const DWORD n = ::GetPrivateProfileSectionNamesA(
        buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < n) {
        const std::size_t end = buffer.find('\0', at);
        if (end == std::string::npos || end > n) {
            break;
        }
        names.push_back(buffer.substr(at, end - at));
        at = end + 1;
    }
    // A full buffer means the last name was cut short: it is not listed.
    if (n == kSectionNamesBytes - 2 && !names.empty()) {
        names.pop_back();
    }
    return names;
}

} // namespace platform
