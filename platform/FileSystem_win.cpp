#include "FileSystem.h"

#include "Random.h"

#include <windows.h>

namespace platform {

const char kPathDelim = '\\';

namespace {

constexpr UINT kGbk = 936;

std::wstring Wide(const std::string& gbk) {
    if (gbk.empty()) {
        return {};
    }
    const int n =
        ::MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), n);
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int n = ::WideCharToMultiByte(kGbk, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string gbk(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(kGbk, 0, wide.data(), static_cast<int>(wide.size()), gbk.data(), n,
                          nullptr, nullptr);
    return gbk;
}

// The position after the last delimiter ("\", "/" or ":"), stepping over the
// second byte of each two-byte character, which may look like a "\".
std::size_t AfterLastDelimiter(std::string_view path) {
    std::size_t after = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto b = static_cast<unsigned char>(path[i]);
        if (b >= 0x80 && ::IsDBCSLeadByteEx(kGbk, b) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (b == '\\' || b == '/' || b == ':') {
            after = i + 1;
        }
    }
    return after;
}

} // namespace

std::string ExecutablePath() {
    std::wstring buffer(32768, L'\0');
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(n);
    return Narrow(buffer);
}

std::string ExtractFilePath(std::string_view path) {
    return std::string(path.substr(0, AfterLastDelimiter(path)));
}

std::string IncludeTrailingDelimiter(std::string_view path) {
    std::string result(path);
    if (result.empty() || AfterLastDelimiter(result) != result.size()) {
        result += kPathDelim;
    }
    return result;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    contents.clear();
    HANDLE file =
        ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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

bool WriteFileReplacing(const std::string& path, std::string_view contents) {
    const std::wstring target = Wide(path);
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

bool MakeExecutable(const std::string& path) {
    return FileExists(path);
}

} // namespace platform
