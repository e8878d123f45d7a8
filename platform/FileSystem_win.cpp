#include "FileSystem.h"

#include "Random.h"
#include "WidePath.h"

#include <windows.h>

#include <winioctl.h>

#include <cstddef>

namespace platform {

const char kPathDelim = '\\';

namespace {

// A path as the file calls take it at any length: the plain form while it is
// short enough for every call (CreateDirectoryW stops 12 characters before
// MAX_PATH), else the "\\?\" form of the full path, which passes MAX_PATH.
// That form is taken literally, so the full path is made first: "/" becomes
// "\", "." and ".." are resolved.
std::wstring LongForm(const std::wstring& path) {
    if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0) {
        return path;
    }
    DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) {
        return path;
    }
    std::wstring full(n, L'\0');
    n = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size()) {
        return path;
    }
    full.resize(n);
    if (full.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + full.substr(2); // a share: \\server\share\...
    }
    return L"\\\\?\\" + full;
}

std::wstring LongForm(const FilePath& path) {
    return LongForm(WidePath(path));
}

} // namespace

namespace {

// The short (8.3) form of an existing path, in the plain form; empty when the
// volume has none.
std::wstring ShortForm(const std::wstring& path) {
    const std::wstring asked = LongForm(path);
    const DWORD n = ::GetShortPathNameW(asked.c_str(), nullptr, 0);
    if (n == 0) {
        return {};
    }
    std::wstring shortForm(n, L'\0');
    const DWORD m = ::GetShortPathNameW(asked.c_str(), shortForm.data(), n);
    if (m == 0 || m >= n) {
        return {};
    }
    shortForm.resize(m);
    // The calls it is for take the plain form, not the "\\?\" one.
    if (shortForm.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        shortForm = L"\\\\" + shortForm.substr(8);
    } else if (shortForm.rfind(L"\\\\?\\", 0) == 0) {
        shortForm = shortForm.substr(4);
    }
    return shortForm;
}

} // namespace

std::wstring ShellPath(const std::wstring& path) {
    if (path.size() < MAX_PATH) {
        return path;
    }
    // The folders in their short form, the last part as it is: a file's short
    // name has another extension ("INDEX~1.HTM"), which the shell would take
    // for another kind of file.
    if (path.back() == L'\\' || path.back() == L'/') {
        // A folder given with its delimiter keeps it.
        const std::wstring folder = ShellPath(path.substr(0, path.size() - 1));
        return folder.empty() || folder.size() + 1 >= MAX_PATH ? std::wstring() : folder + L"\\";
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return {};
    }
    const std::wstring folder = ShortForm(path.substr(0, slash));
    const std::wstring whole =
        folder.empty() ? std::wstring() : folder + L"\\" + path.substr(slash + 1);
    return whole.size() < MAX_PATH ? whole : std::wstring();
}

bool IsPathDelimiter(char c) {
    return c == '\\' || c == '/' || c == ':';
}

FilePath ExecutablePath() {
    // A path may be longer than MAX_PATH: grow the buffer until it fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return {};
        }
        if (n < buffer.size()) {
            buffer.resize(n);
            return PathFromWide(buffer);
        }
        if (buffer.size() >= 32768) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool FileExists(const FilePath& path) {
    const DWORD attributes = ::GetFileAttributesW(LongForm(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const FilePath& path) {
    const DWORD attributes = ::GetFileAttributesW(LongForm(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolders(const FilePath& folder) {
    const std::wstring path = WidePath(folder);
    if (path.empty()) {
        return true;
    }
    // The root (a drive, or a share's server and name) is never made: start after it.
    std::size_t start = 0;
    if (path.size() >= 2 && path[1] == L':') {
        start = 2;
    } else if (path.rfind(L"\\\\", 0) == 0 || path.rfind(L"//", 0) == 0) {
        const std::size_t server = path.find_first_of(L"\\/", 2);
        start = server == std::wstring::npos ? path.size() : path.find_first_of(L"\\/", server + 1);
        if (start == std::wstring::npos) {
            start = path.size();
        }
    }
    for (std::size_t end = start + 1; end <= path.size(); ++end) {
        if (end < path.size() && path[end] != L'\\' && path[end] != L'/') {
            continue;
        }
        const std::wstring plain = path.substr(0, end);
        if (plain.back() == L'\\' || plain.back() == L'/') {
            continue;
        }
        const std::wstring part = LongForm(plain);
        const DWORD attributes = ::GetFileAttributesW(part.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                return false;
            }
            continue;
        }
        if (!::CreateDirectoryW(part.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    return DirectoryExists(folder);
}

bool ReadWholeFile(const FilePath& path, std::string& contents) {
    contents.clear();
    HANDLE file =
        ::CreateFileW(LongForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
            ok = false;
            break;
        }
        if (read == 0) {
            break;
        }
        contents.append(buffer, read);
    }
    ::CloseHandle(file);
    return ok;
}

// Removes the temporaries of earlier saves of target that were cut short, once
// they are old enough not to be another copy's save under way.
static void RemoveLeftovers(const std::wstring& target) {
    const std::wstring tag(kUnfinishedSaveTag.begin(), kUnfinishedSaveTag.end());
    const std::size_t slash = target.find_last_of(L"\\/:");
    const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    FILETIME nowTime;
    ::GetSystemTimeAsFileTime(&nowTime);
    const ULONGLONG now = (static_cast<ULONGLONG>(nowTime.dwHighDateTime) << 32) |
                          nowTime.dwLowDateTime; // 100 ns steps
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(LongForm(target + tag + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const ULONGLONG written =
            (static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32) |
            found.ftLastWriteTime.dwLowDateTime;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && now > written &&
            (now - written) / 10000000ULL >= static_cast<ULONGLONG>(kLeftoverAgeSeconds)) {
            ::DeleteFileW(LongForm(folder + found.cFileName).c_str());
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

namespace {

// The part of a reparse point's data that a symbolic link fills (the layout
// of REPARSE_DATA_BUFFER, which the SDK keeps in a driver header).
struct SymbolicLinkData {
    ULONG ReparseTag;
    USHORT ReparseDataLength;
    USHORT Reserved;
    USHORT SubstituteNameOffset;
    USHORT SubstituteNameLength;
    USHORT PrintNameOffset;
    USHORT PrintNameLength;
    ULONG Flags;
    WCHAR PathBuffer[1];
};
constexpr ULONG kSymlinkRelative = 1; // SYMLINK_FLAG_RELATIVE

// Where the symbolic link at path points, as a path; empty when path is no
// symbolic link or its data cannot be read.
std::wstring LinkTarget(const std::wstring& path) {
    HANDLE link = ::CreateFileW(
        LongForm(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (link == INVALID_HANDLE_VALUE) {
        return {};
    }
    alignas(ULONG) char buffer[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
    DWORD size = 0;
    const BOOL read = ::DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer,
                                        sizeof buffer, &size, nullptr);
    ::CloseHandle(link);
    const auto* data = reinterpret_cast<const SymbolicLinkData*>(buffer);
    if (!read || size < offsetof(SymbolicLinkData, PathBuffer) ||
        data->ReparseTag != IO_REPARSE_TAG_SYMLINK) {
        return {};
    }
    const std::size_t names = size - offsetof(SymbolicLinkData, PathBuffer);
    auto name = [&](USHORT offset, USHORT length) -> std::wstring {
        if (std::size_t(offset) + length > names) {
            return {};
        }
        return std::wstring(data->PathBuffer + offset / sizeof(WCHAR), length / sizeof(WCHAR));
    };
    std::wstring target = name(data->SubstituteNameOffset, data->SubstituteNameLength);
    if (target.rfind(L"\\??\\", 0) == 0) {
        target = L"\\\\?\\" + target.substr(4); // the NT form of an absolute path
    } else if (target.empty()) {
        target = name(data->PrintNameOffset, data->PrintNameLength);
    }
    if (target.empty()) {
        return {};
    }
    if (data->Flags & kSymlinkRelative) {
        const std::size_t slash = path.find_last_of(L"\\/");
        target =
            (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) + target;
    }
    return target;
}

// The path of an existing file with every link on the way followed, as the
// system resolves it when the file is opened; empty when it cannot be opened.
std::wstring OpenedPath(const std::wstring& path) {
    HANDLE file = ::CreateFileW(LongForm(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::wstring final(1024, L'\0');
    DWORD n = ::GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()),
                                          FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n >= final.size()) {
        final.resize(n + 1);
        n = ::GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    ::CloseHandle(file);
    if (n == 0 || n >= final.size()) {
        return {};
    }
    final.resize(n);
    return final;
}

// The file a path names in the end: symbolic links followed, so a save
// replaces the file a link leads to and the link stays. An existing file is
// asked of the system (which also follows the links Wine shows as plain
// files); a link whose file does not exist yet is read, and that file is then
// created. Empty when a link can be neither opened nor read.
std::wstring FinalPath(std::wstring path) {
    for (int hops = 0; hops < 40; ++hops) {
        const DWORD attributes = ::GetFileAttributesW(LongForm(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            std::wstring opened = OpenedPath(path);
            if (!opened.empty()) {
                return opened;
            }
            if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                return path; // a file that cannot be opened: the save fails on its own
            }
        }
        std::wstring target = LinkTarget(path);
        if (target.empty()) {
            // Nothing there (a new file), or a reparse point that is no link.
            return attributes == INVALID_FILE_ATTRIBUTES ||
                           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                       ? path
                       : std::wstring();
        }
        path = std::move(target);
    }
    return {}; // a loop of links
}

} // namespace

bool WriteFileReplacing(const FilePath& path, std::string_view contents) {
    const std::wstring target = FinalPath(WidePath(path));
    if (target.empty()) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(LongForm(target).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        return false; // read-only, or not a file: never replace it
    }
    RemoveLeftovers(target);
    const std::wstring tag(kUnfinishedSaveTag.begin(), kUnfinishedSaveTag.end());
    std::wstring temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 16 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temp = LongForm(target + tag + std::to_wstring(RandomInt(999999)));
        file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < contents.size()) {
        DWORD written = 0;
        ok = ::WriteFile(file, contents.data() + done,
                         static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1 << 20)),
                         &written, nullptr) &&
             written > 0;
        done += written;
    }
    ok = ok && ::FlushFileBuffers(file);
    ok = ::CloseHandle(file) && ok;
    if (ok && ::MoveFileExW(temp.c_str(), LongForm(target).c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    ::DeleteFileW(temp.c_str());
    return false;
}

bool MakeExecutable(const FilePath& path) {
    return FileExists(path);
}

} // namespace platform
