#include "TestUtil.h"
#include "WidePath.h"

namespace testing_support {

platform::FilePath PathOf(const std::filesystem::path& path) {
    return platform::PathFromWide(path.native());
}

std::filesystem::path FsPath(const platform::FilePath& path) {
    return std::filesystem::path(platform::WidePath(path));
}

std::filesystem::path FsName(const char* utf8) {
    return FsPath(platform::FilePath::FromNative(utf8));
}

} // namespace testing_support
