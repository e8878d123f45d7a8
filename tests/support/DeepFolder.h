#pragma once

// Windows tests: a folder path past MAX_PATH below a test's own folder, and
// its removal (which takes the "\\?\" form at that length).

#include <filesystem>
#include <string>
#include <system_error>

namespace testing_support {

// base\tiefer-ordner-0\tiefer-ordner-1\... until the path is at least 310
// characters long; nothing is made.
inline std::wstring DeepFolder(const std::wstring& base) {
    std::wstring path = base;
    for (int i = 0; path.size() < 310; ++i) {
        path += L"\\tiefer-ordner-" + std::to_wstring(i);
    }
    return path;
}

// Removes what DeepFolder(base) made below base.
inline void RemoveDeepFolder(const std::wstring& base) {
    std::error_code ignored;
    std::filesystem::remove_all(L"\\\\?\\" + base + L"\\tiefer-ordner-0", ignored);
}

} // namespace testing_support
