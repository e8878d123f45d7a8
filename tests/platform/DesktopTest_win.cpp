#include "Base.h"
#include "DeepFolder.h"
#include "Desktop.h"
#include "FileSystem.h"
#include "TestUtil.h"
#include "WidePath.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>
#include <optional>
#include <thread>

using testing_support::G;
using testing_support::TempDir;

namespace {

constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The shell rewrites "Shell Folders" from "User Shell Folders" whenever it looks
// a folder up, so a test sets both.
constexpr const char* kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// A registry value with its type: "User Shell Folders" holds REG_EXPAND_SZ
// texts such as "%USERPROFILE%\Desktop", which must be put back as such.
struct DesktopValue {
    std::wstring text;
    DWORD type = REG_SZ;
};

std::optional<DesktopValue> ReadDesktopValue(const char* keyName = kShellFolders) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    const LONG rc =
        ::RegQueryValueExW(key, L"Desktop", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::optional<DesktopValue>(DesktopValue{buffer, type})
                               : std::nullopt;
}

void WriteDesktopValue(const std::optional<DesktopValue>& value,
                       const char* keyName = kShellFolders) {
    HKEY key = nullptr;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (value) {
        ::RegSetValueExW(key, L"Desktop", 0, value->type,
                         reinterpret_cast<const BYTE*>(value->text.c_str()),
                         static_cast<DWORD>((value->text.size() + 1) * sizeof(wchar_t)));
    } else {
        ::RegDeleteValueW(key, L"Desktop");
    }
    ::RegCloseKey(key);
}

void WriteDesktopValue(const std::wstring& folder, const char* keyName = kShellFolders) {
    WriteDesktopValue(DesktopValue{folder, REG_SZ}, keyName);
}

// The "Desktop" value is one for the whole session, and ctest runs each test in
// a process of its own, side by side: a test holds this named lock from before
// it reads the value until after it has put it back, so no other test changes
// the value under it.
class DesktopValueLock {
public:
    DesktopValueLock() : mutex_(::CreateMutexW(nullptr, FALSE, L"Local\\vantreel-tests-desktop")) {
        if (mutex_ != nullptr) {
            ::WaitForSingleObject(mutex_, INFINITE); // an abandoned lock is taken over too
        }
    }
    ~DesktopValueLock() {
        if (mutex_ != nullptr) {
            ::ReleaseMutex(mutex_);
            ::CloseHandle(mutex_);
        }
    }
    DesktopValueLock(const DesktopValueLock&) = delete;
    DesktopValueLock& operator=(const DesktopValueLock&) = delete;

private:
    HANDLE mutex_;
};

// Points the user's "Desktop" folder at a temporary folder with a Chinese name
// for one test.
class DesktopShortcut : public ::testing::Test {
protected:
    DesktopValueLock lock; // first: taken before the value is read, let go last
    TempDir temp;
    std::filesystem::path desktop = temp.Path() / testing_support::FsName("桌面");
    std::optional<DesktopValue> saved = ReadDesktopValue();
    std::optional<DesktopValue> savedUser = ReadDesktopValue(kUserShellFolders);
    void SetUp() override {
        std::filesystem::create_directory(desktop);
        WriteDesktopValue(desktop.wstring(), kUserShellFolders);
        WriteDesktopValue(desktop.wstring());
    }
    void TearDown() override {
        WriteDesktopValue(savedUser, kUserShellFolders);
        WriteDesktopValue(saved);
    }
};

struct LinkContents {
    std::wstring path, arguments, workingDir, description;
};

LinkContents ReadLink(const std::filesystem::path& linkPath) {
    LinkContents contents;
    ::CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(linkPath.wstring().c_str(), STGM_READ))) {
            wchar_t buffer[MAX_PATH * 2] = {};
            // The target as the shell resolves it: from the item list, which
            // holds every name in UTF-16 (the path beside it may be ANSI).
            PIDLIST_ABSOLUTE items = nullptr;
            if (SUCCEEDED(link->GetIDList(&items)) && items != nullptr &&
                ::SHGetPathFromIDListW(items, buffer)) {
                contents.path = buffer;
            }
            ::CoTaskMemFree(items);
            if (contents.path.empty()) {
                // Resolved, the path passes MAX_PATH, which the item list's
                // path cannot hold: the path as the shortcut stores it.
                link->GetPath(buffer, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
                contents.path = buffer;
            }
            link->GetArguments(buffer, MAX_PATH * 2);
            contents.arguments = buffer;
            link->GetWorkingDirectory(buffer, MAX_PATH * 2);
            contents.workingDir = buffer;
            link->GetDescription(buffer, MAX_PATH * 2);
            contents.description = buffer;
        }
    }
    if (file) {
        file->Release();
    }
    if (link) {
        link->Release();
    }
    ::CoUninitialize();
    return contents;
}

bool SamePath(std::wstring a, std::wstring b) {
    while (!a.empty() && a.back() == L'\\') {
        a.pop_back();
    }
    while (!b.empty() && b.back() == L'\\') {
        b.pop_back();
    }
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace

TEST_F(DesktopShortcut, DesktopFolderComesFromTheShellFoldersValue) {
    EXPECT_EQ(platform::DesktopFolder(), testing_support::PathOf(desktop));
    EXPECT_EQ(platform::ShortcutExtension(), ".lnk");
}

// The program in folders named in Chinese and with a letter GBK lacks, on any
// system code page: the shortcut starts exactly that program.
TEST_F(DesktopShortcut, WritesALinkThatReadsBackWithItsFourParts) {
    const std::filesystem::path folder = temp.Path() / testing_support::FsName("域名工具 Björn");
    std::filesystem::create_directory(folder);
    const std::filesystem::path program = folder / "dovrenta.exe";
    testing_support::WriteFile(program, "MZ");
    const std::string description = G("免费专业域名分析软件，欢迎到kestrova.example下载最新版本。");
    CreateDesktopShortcut(testing_support::PathOf(program), "-x", G("Vantreel域名"), description);
    const std::filesystem::path linkPath = desktop / testing_support::FsName("Vantreel域名.lnk");
    ASSERT_TRUE(std::filesystem::exists(linkPath));
    const auto link = ReadLink(linkPath);
    EXPECT_TRUE(SamePath(link.path, program.wstring()))
        << platform::PathFromWide(link.path).Native() << " vs "
        << platform::PathFromWide(program.wstring()).Native();
    EXPECT_EQ(link.arguments, L"-x");
    EXPECT_TRUE(SamePath(link.workingDir, folder.wstring()));
    EXPECT_EQ(link.description,
              testing_support::FsName("免费专业域名分析软件，欢迎到kestrova.example下载最新版本。")
                  .wstring());
    // Written again at the next start, over the old one, without a question.
    CreateDesktopShortcut(testing_support::PathOf(program), "", G("Vantreel域名"), "second");
    EXPECT_EQ(ReadLink(linkPath).description, L"second");
}

// A thread whose COM is already set up for the multithreaded apartment: the
// shortcut's OleInitialize fails there (another apartment), and the thread's
// own COM must be as it was afterwards, not undone by an unpaired
// OleUninitialize.
TEST_F(DesktopShortcut, AThreadsOwnComIsLeftAsItWas) {
    const std::filesystem::path program = temp.Path() / "dovrenta.exe";
    testing_support::WriteFile(program, "MZ");
    HRESULT first = E_FAIL;
    HRESULT after = E_FAIL;
    std::thread thread([&] {
        first = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CreateDesktopShortcut(testing_support::PathOf(program), "", "Vantreelv1.08", "d");
        // S_FALSE: still initialised, as the thread left it. S_OK would mean
        // the shortcut's clean-up had taken the thread's COM away.
        after = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(after)) {
            ::CoUninitialize();
        }
        if (SUCCEEDED(first)) {
            ::CoUninitialize();
        }
    });
    thread.join();
    ASSERT_EQ(first, S_OK);
    EXPECT_EQ(after, S_FALSE);
}

// A portable copy 300 characters deep: the shortcut names it (and its folder)
// in the short form a shortcut can hold, and it starts that very program.
TEST_F(DesktopShortcut, AProgramInAFolder300CharactersDeepGetsAShortcutThatStartsIt) {
    const std::wstring deep = testing_support::DeepFolder(temp.Path().native());
    ASSERT_TRUE(platform::CreateFolders(platform::PathFromWide(deep)));
    ASSERT_TRUE(
        platform::WriteFileReplacing(platform::PathFromWide(deep + L"\\dovrenta.exe"), "MZ"));
    if (platform::ShellPath(deep).empty()) {
        EXPECT_THROW(CreateDesktopShortcut(platform::PathFromWide(deep + L"\\dovrenta.exe"), "",
                                           "Vantreelv1.08", "d"),
                     AppError);
        return;
    }
    CreateDesktopShortcut(platform::PathFromWide(deep + L"\\dovrenta.exe"), "", "Vantreelv1.08",
                          "d");
    const auto linkPath = desktop / "Vantreelv1.08.lnk";
    ASSERT_TRUE(std::filesystem::exists(linkPath));
    const auto link = ReadLink(linkPath);
    auto longName = [](const std::wstring& path) {
        wchar_t full[1024] = {};
        return ::GetLongPathNameW(path.c_str(), full, 1024) > 0 ? std::wstring(full)
                                                                : std::wstring();
    };
    EXPECT_LT(link.path.size(), static_cast<std::size_t>(MAX_PATH));
    EXPECT_TRUE(SamePath(longName(link.path), deep + L"\\dovrenta.exe"))
        << platform::PathFromWide(link.path).Native() << " / "
        << platform::PathFromWide(longName(link.path)).Native();
    EXPECT_TRUE(SamePath(longName(link.workingDir), deep) ||
                SamePath(longName(link.workingDir), deep + L"\\"))
        << platform::PathFromWide(link.workingDir).Native();
    testing_support::RemoveDeepFolder(temp.Path().native());
}

// A desktop folder past MAX_PATH (a redirected profile, say): the shortcut
// still lands in it.
TEST_F(DesktopShortcut, ADesktopFolder300CharactersDeepGetsTheShortcut) {
    const std::wstring deep = testing_support::DeepFolder(desktop.native());
    ASSERT_TRUE(platform::CreateFolders(platform::PathFromWide(deep)));
    WriteDesktopValue(deep, kUserShellFolders);
    WriteDesktopValue(deep);
    const std::filesystem::path program = temp.Path() / "dovrenta.exe";
    testing_support::WriteFile(program, "MZ");
    CreateDesktopShortcut(testing_support::PathOf(program), "", "Vantreelv1.08", "d");
    EXPECT_TRUE(platform::FileExists(platform::PathFromWide(deep + L"\\Vantreelv1.08.lnk")));
    testing_support::RemoveDeepFolder(desktop.native());
}

TEST_F(DesktopShortcut, WithoutADesktopValueNothingIsWrittenAndNothingRaised) {
    WriteDesktopValue(std::nullopt);
    EXPECT_TRUE(platform::DesktopFolder().empty());
    EXPECT_NO_THROW(CreateDesktopShortcut(platform::ExecutablePath(), "", "Vantreelv1.08", "d"));
    EXPECT_TRUE(std::filesystem::is_empty(desktop));
}

TEST_F(DesktopShortcut, BadArgumentsRaiseTheMessageAndWriteNothing) {
    try {
        CreateDesktopShortcut(platform::FilePath(), "", "Vantreelv1.08", "d");
        FAIL() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_EQ(error.what(), G("创建快捷方式的参数异常..."));
    }
    EXPECT_THROW(CreateDesktopShortcut(platform::ExecutablePath(), "", "", "d"), AppError);
    EXPECT_TRUE(std::filesystem::is_empty(desktop));
}

TEST(FileAddress, ADriveOrAShareBecomesAFileUrl) {
    EXPECT_EQ(platform::FileUrl(platform::FilePath::FromNative(
                  "C:\\Users\\Björn\\域名工具 #1\\help\\index.html")),
              "file:///C:/Users/Bj%C3%B6rn/%E5%9F%9F%E5%90%8D%E5%B7%A5%E5%85%B7%20%231/help/"
              "index.html");
    EXPECT_EQ(platform::FileUrl(platform::FilePath::FromNative("\\\\server\\share\\a b.html")),
              "file://server/share/a%20b.html");
}
