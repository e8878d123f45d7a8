#include "ProfileServices.h"

#include "PrivateProfile.h"

#include <windows.h>

namespace {

// The system's service through its A functions, as the old program called it:
// names and values in the system's code page, the file named in it too (the
// tests' temporary folder has an ASCII name).
ProfileService SystemProfileService() {
    ProfileService service;
    service.name = "SystemService";
    service.read = [](const std::string& section, const std::string& key,
                      const std::string& defaultValue, const platform::FilePath& path) {
        std::string buffer(platform::kMaxValueBytes + 1, '\0');
        const DWORD n = ::GetPrivateProfileStringA(
            section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
            static_cast<DWORD>(buffer.size()), path.ToText().c_str());
        buffer.resize(n);
        return buffer;
    };
    service.write = [](const std::string& section, const std::string& key, const std::string& value,
                       const platform::FilePath& path) {
        // The service as it is, without the program's own checks: what it
        // writes is what the suite compares the program's store with.
        return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                            path.ToText().c_str()) != FALSE;
    };
    service.sections = [](const platform::FilePath& path) {
        std::string buffer(platform::kSectionNamesBytes, '\0');
        const DWORD n = ::GetPrivateProfileSectionNamesA(
            buffer.data(), static_cast<DWORD>(buffer.size()), path.ToText().c_str());
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
        if (n == platform::kSectionNamesBytes - 2 && !names.empty()) {
            names.pop_back();
        }
        return names;
    };
    service.unavailable = []() -> std::string {
        return ::GetACP() == 936 ? ""
                                 : "the system's service matches names as on a Chinese "
                                   "Windows only under code page 936";
    };
    return service;
}

} // namespace

std::vector<ProfileService> ProfileServicesUnderTest() {
    return {OwnProfileStore(), SystemProfileService()};
}
