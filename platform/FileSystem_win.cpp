#include "FileSystem.h"

#include "Random.h"
#include "WidePath.h"

#include <windows.h>

namespace platform {

const char kPathDelim = '\\';

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
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const FilePath& path) {
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
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
        const std::wstring part = path.substr(0, end);
        if (part.back() == L'\\' || part.back() == L'/') {
            continue;
        }
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
        ::CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
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

// Removes the temporaries of earlier saves of target that were cut short.
static void RemoveLeftovers(const std::wstring& target) {
    const std::wstring tag(kUnfinishedSaveTag.begin(), kUnfinishedSaveTag.end());
    const std::size_t slash = target.find_last_of(L"\\/:");
    const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((target + tag + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        ::DeleteFileW((folder + found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

bool WriteFileReplacing(const FilePath& path, std::string_view contents) {
    const std::wstring target = WidePath(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        return false; // read-only, or not a file: never replace it
    }
    RemoveLeftovers(target);
    const std::wstring tag(kUnfinishedSaveTag.begin(), kUnfinishedSaveTag.end());
    std::wstring temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 16 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temp = target + tag + std::to_wstring(RandomInt(999999));
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
    if (ok && ::MoveFileExW(temp.c_str(), target.c_str(),
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
