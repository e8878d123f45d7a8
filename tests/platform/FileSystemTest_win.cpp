// The Windows save where Windows differs: links to files, paths past MAX_PATH.
#include "DeepFolder.h"
#include "FileSystem.h"
#include "TestUtil.h"
#include "WidePath.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace platform;
using testing_support::TempDir;

namespace {

std::wstring Wide(const std::filesystem::path& path) {
    return path.native();
}

// The folder's contents as the system reads them at any length.
std::string ReadLong(const std::wstring& path) {
    std::string contents;
    EXPECT_TRUE(ReadWholeFile(PathFromWide(path), contents)) << "cannot read";
    return contents;
}

// Symbolic links under Wine, whose own call for links makes none: the host's,
// made with the host's ln, which Wine shows as the files they lead to.
class HostLinks {
public:
    HostLinks()
        : unixName_(reinterpret_cast<UnixName>(reinterpret_cast<void*>(
              ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")))) {}

    bool UnderWine() const { return unixName_ != nullptr; }

    // A link at link to target (relative to the link's folder).
    bool MakeLink(const std::wstring& target, const std::wstring& link) const {
        std::wstring unixTarget = target;
        for (wchar_t& c : unixTarget) {
            c = c == L'\\' ? L'/' : c;
        }
        // Wine reports no exit code of a host program: the link is looked for.
        Run(L"Z:\\bin\\ln", L"ln -s " + unixTarget + L" " + Unix(link));
        // A host program's end is not always seen at once: wait for its link.
        for (int i = 0; i < 100; ++i) {
            if (::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES) {
                return true;
            }
            ::Sleep(50);
        }
        std::fprintf(stderr, "ln -s %ls %ls\n", unixTarget.c_str(), Unix(link).c_str());
        return false;
    }

private:
    using UnixName = char*(CDECL*)(LPCWSTR);

    std::wstring Unix(const std::wstring& path) const {
        char* name = unixName_(path.c_str());
        std::wstring out;
        for (const char* c = name; c != nullptr && *c != '\0'; ++c) {
            out += static_cast<wchar_t>(static_cast<unsigned char>(*c));
        }
        ::HeapFree(::GetProcessHeap(), 0, name);
        return out;
    }

    static void Run(const std::wstring& program, std::wstring command) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process)) {
            ::WaitForSingleObject(process.hProcess, 10000);
            ::CloseHandle(process.hThread);
            ::CloseHandle(process.hProcess);
        }
    }

    UnixName unixName_;
};

} // namespace

TEST(FileSystem, ASaveThroughASymbolicLinkKeepsTheLinkOnWindows) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "synced");
    const std::wstring real = Wide(dir.Path() / "synced" / "kestrova.ini");
    const std::wstring link = Wide(dir.Path() / "kestrova.ini");
    ASSERT_TRUE(WriteFileReplacing(PathFromWide(real), "old"));
    const HostLinks host;
    if (host.UnderWine()) {
        // Wine shows the host's links as the files they lead to.
        ASSERT_TRUE(host.MakeLink(L"synced\\kestrova.ini", link));
    } else if (!::CreateSymbolicLinkW(link.c_str(), L"synced\\kestrova.ini",
                                      SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) ||
               !(::GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT)) {
        GTEST_SKIP() << "this system makes no symbolic links for this user";
    }
    ASSERT_EQ(ReadLong(link), "old");
    ASSERT_TRUE(WriteFileReplacing(PathFromWide(link), "new"));
    // The file the link leads to holds the new text, and the link still leads
    // there: what is written to that file is what the link reads.
    EXPECT_EQ(ReadLong(real), "new");
    ASSERT_TRUE(WriteFileReplacing(PathFromWide(real), "third"));
    EXPECT_EQ(ReadLong(link), "third");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path() / "synced"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(FileSystem, AFolder300CharactersDeepIsMadeWrittenAndRead) {
    TempDir dir;
    const std::wstring deep = testing_support::DeepFolder(Wide(dir.Path()));
    ASSERT_GT(deep.size(), 300u);
    const FilePath folder = PathFromWide(deep);
    ASSERT_TRUE(CreateFolders(folder));
    EXPECT_TRUE(DirectoryExists(folder));
    const FilePath ini = folder.Join("kestrova.ini");
    EXPECT_FALSE(FileExists(ini));
    ASSERT_TRUE(WriteFileReplacing(ini, "[a]\r\n"));
    ASSERT_TRUE(WriteFileReplacing(ini, "[b]\r\n")); // the replace too, not only a new file
    EXPECT_TRUE(FileExists(ini));
    EXPECT_EQ(ReadLong(WidePath(ini)), "[b]\r\n");
    // Only the file itself is left in its folder.
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((L"\\\\?\\" + deep + L"\\*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    int files = 0;
    do {
        files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    EXPECT_EQ(files, 1);
    testing_support::RemoveDeepFolder(Wide(dir.Path()));
}
