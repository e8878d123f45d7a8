#include "Base.h"
#include "Desktop.h"
#include "FileSystem.h"
#include "TestUtil.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>
#include <optional>

using testing_support::G;
using testing_support::TempDir;

namespace {

constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The shell rewrites "Shell Folders" from "User Shell Folders" whenever it looks
// a folder up, so a test sets both.
constexpr const char* kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::optional<std::string> ReadDesktopValue(const char* keyName = kShellFolders) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    const LONG rc = ::RegQueryValueExA(key, "Desktop", nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::optional<std::string>(buffer) : std::nullopt;
}

void WriteDesktopValue(const std::optional<std::string>& value,
                       const char* keyName = kShellFolders) {
    HKEY key = nullptr;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (value) {
        ::RegSetValueExA(key, "Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                         static_cast<DWORD>(value->size() + 1));
    } else {
        ::RegDeleteValueA(key, "Desktop");
    }
    ::RegCloseKey(key);
}

// Points the user's "Desktop" folder at a temporary folder for one test.
class DesktopShortcut : public ::testing::Test {
protected:
    TempDir desktop;
    std::optional<std::string> saved = ReadDesktopValue();
    std::optional<std::string> savedUser = ReadDesktopValue(kUserShellFolders);
    void SetUp() override {
        WriteDesktopValue(desktop.File(""), kUserShellFolders);
        WriteDesktopValue(desktop.File(""));
    }
    void TearDown() override {
        WriteDesktopValue(savedUser, kUserShellFolders);
        WriteDesktopValue(saved);
    }
};

struct LinkContents {
    std::string path, arguments, workingDir, description;
};

LinkContents ReadLink(const std::string& linkPath) {
    LinkContents contents;
    ::CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        std::wstring wide(linkPath.begin(), linkPath.end()); // an ASCII path
        if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
            char buffer[MAX_PATH * 2] = {};
            link->GetPath(buffer, sizeof buffer, nullptr, SLGP_RAWPATH);
            contents.path = buffer;
            link->GetArguments(buffer, sizeof buffer);
            contents.arguments = buffer;
            link->GetWorkingDirectory(buffer, sizeof buffer);
            contents.workingDir = buffer;
            link->GetDescription(buffer, sizeof buffer);
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

} // namespace

TEST_F(DesktopShortcut, DesktopFolderComesFromTheShellFoldersValue) {
    EXPECT_EQ(platform::DesktopFolder(), desktop.File(""));
    EXPECT_EQ(platform::ShortcutExtension(), ".lnk");
}

TEST_F(DesktopShortcut, WritesALinkThatReadsBackWithItsFourParts) {
    const std::string target = platform::ExecutablePath();
    CreateDesktopShortcut(target, "-x", "Vantreelv1.08", "Vantreel test link");
    const std::string linkPath =
        platform::IncludeTrailingDelimiter(desktop.File("")) + "Vantreelv1.08.lnk";
    ASSERT_TRUE(platform::FileExists(linkPath));
    const auto link = ReadLink(linkPath);
    EXPECT_TRUE(SameText(link.path, target)) << link.path;
    EXPECT_EQ(link.arguments, "-x");
    EXPECT_TRUE(SameText(link.workingDir + "\\", platform::ExtractFilePath(target)) ||
                SameText(link.workingDir, platform::ExtractFilePath(target)))
        << link.workingDir;
    EXPECT_EQ(link.description, "Vantreel test link");
    // Written again at the next start, over the old one, without a question.
    CreateDesktopShortcut(target, "", "Vantreelv1.08", "second");
    EXPECT_EQ(ReadLink(linkPath).description, "second");
}

TEST_F(DesktopShortcut, WithoutADesktopValueNothingIsWrittenAndNothingRaised) {
    WriteDesktopValue(std::nullopt);
    EXPECT_EQ(platform::DesktopFolder(), "");
    EXPECT_NO_THROW(CreateDesktopShortcut(platform::ExecutablePath(), "", "Vantreelv1.08", "d"));
    EXPECT_TRUE(std::filesystem::is_empty(desktop.Path()));
}

TEST_F(DesktopShortcut, BadArgumentsRaiseTheMessageAndWriteNothing) {
    try {
        CreateDesktopShortcut("", "", "Vantreelv1.08", "d");
        FAIL() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_EQ(error.what(), G("创建快捷方式的参数异常..."));
    }
    EXPECT_THROW(CreateDesktopShortcut(platform::ExecutablePath(), "", "", "d"), AppError);
    EXPECT_TRUE(std::filesystem::is_empty(desktop.Path()));
}
