#include "TestUtil.h"

namespace testing_support {

platform::FilePath PathOf(const std::filesystem::path& path) {
    return platform::FilePath::FromNative(path.native());
}

std::filesystem::path FsPath(const platform::FilePath& path) {
    return std::filesystem::path(path.Native());
}

std::filesystem::path FsName(const char* utf8) {
    return std::filesystem::path(std::string(utf8));
}

} // namespace testing_support
