#include "ProgramFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace platform {
namespace {

// A path without its trailing delimiters ("/usr/bin/" gives "/usr/bin").
std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    // No usable HOME (a service, a bare environment): the password database.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return {};
}

} // namespace

FilePath InstalledDataFolder(const FilePath& executableFolder) {
    const std::string folder = WithoutTrailingSlashes(executableFolder.Native());
    const FilePath parent = FilePath::FromNative(folder).Folder();
    return parent.Join("share").Join("vantreel");
}

FilePath UserSettingsFolder() {
    // A relative XDG_CONFIG_HOME is invalid and is ignored, as the XDG base
    // directory rules say.
    if (const char* config = std::getenv("XDG_CONFIG_HOME");
        config != nullptr && config[0] == '/') {
        return FilePath::FromNative(WithoutTrailingSlashes(config)).Join("vantreel");
    }
    const std::string home = HomeFolder();
    if (home.empty()) {
        return {};
    }
    return FilePath::FromNative(WithoutTrailingSlashes(home)).Join(".config").Join("vantreel");
}

} // namespace platform
