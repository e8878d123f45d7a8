#include "FileSystem.h"

#include "Gbk.h"
#include "Random.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

const char kPathDelim = '/';

namespace {

const std::string& Native(const FilePath& path) {
    return path.Native();
}

bool WriteAll(int fd, std::string_view data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool IsPathDelimiter(char c) {
    return c == '/';
}

FilePath ExecutablePath() {
    char buffer[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, PATH_MAX);
    if (n <= 0) {
        return {};
    }
    return FilePath::FromNative(std::string(buffer, static_cast<std::size_t>(n)));
}

bool FileExists(const FilePath& path) {
    struct stat info {};
    return ::stat(Native(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const FilePath& path) {
    struct stat info {};
    return ::stat(Native(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolders(const FilePath& folder) {
    const std::string& path = folder.Native();
    // Every prefix that ends before a delimiter, then the whole path.
    for (std::size_t end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path[end] != '/') {
            continue;
        }
        const std::string part = path.substr(0, end);
        if (part.back() == '/') {
            continue;
        }
        struct stat info {};
        if (::stat(part.c_str(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) {
                return false;
            }
            continue;
        }
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return path.empty() || DirectoryExists(folder);
}

bool ReadWholeFile(const FilePath& path, std::string& contents) {
    contents.clear();
    const int fd = ::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        contents.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

namespace {

// The file a path names in the end: symbolic links followed, even a link whose
// target does not exist yet (that file is then created).
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        std::string target(static_cast<std::size_t>(PATH_MAX) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), PATH_MAX);
        if (n <= 0) {
            return path;
        }
        target.resize(static_cast<std::size_t>(n));
        if (target.front() != '/') {
            const auto slash = path.rfind('/');
            target =
                (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
        }
        path = target;
    }
    return path; // a loop of links: the write fails later as the system says
}

// Removes the temporaries of earlier saves of target that were cut short, once
// they are old enough not to be another copy's save under way.
void RemoveLeftovers(const std::string& target) {
    const std::time_t now = std::time(nullptr);
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string prefix = (slash == std::string::npos ? target : target.substr(slash + 1)) +
                               std::string(kUnfinishedSaveTag);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix) {
            const std::string file =
                slash == std::string::npos ? std::string(name) : folder + std::string(name);
            struct stat info {};
            if (::lstat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
                now - info.st_mtime >= kLeftoverAgeSeconds) {
                ::unlink(file.c_str());
            }
        }
    }
    ::closedir(dir);
}

} // namespace

bool WriteFileReplacing(const FilePath& path, std::string_view contents) {
    const std::string target = FollowLinks(Native(path));
    // Keep the mode of the file being replaced; a new file is created 0666 and
    // the system takes the user's umask off, as for any ordinary create.
    bool keepMode = false;
    mode_t mode = 0;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode) || (old.st_mode & S_IWUSR) == 0 ||
            ::access(target.c_str(), W_OK) != 0) {
            return false; // read-only, or not a file: never replace it
        }
        keepMode = true;
        mode = old.st_mode & 07777;
    }
    RemoveLeftovers(target);
    static constexpr char kTail[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + std::string(kUnfinishedSaveTag);
        for (int k = 0; k < 8; ++k) {
            temp += kTail[RandomInt(static_cast<int>(sizeof kTail) - 2)];
        }
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    bool ok = (!keepMode || ::fchmod(fd, mode) == 0) && WriteAll(fd, contents) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), target.c_str()) == 0) {
        return true;
    }
    ::unlink(temp.c_str());
    return false;
}

bool MakeExecutable(const FilePath& path) {
    struct stat info {};
    const std::string native = Native(path);
    if (::stat(native.c_str(), &info) != 0) {
        return false;
    }
    const mode_t mode = info.st_mode | ((info.st_mode & 0444) >> 2);
    return ::chmod(native.c_str(), mode & 07777) == 0;
}

} // namespace platform
