// Opening a local file on Windows: the shell is given the file's path, so a
// folder named in any script opens on a system of any code page.
#include "DeepFolder.h"
#include "FileSystem.h"
#include "TestUtil.h"
#include "WebLink.h"
#include "WidePath.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// A file type of the test's own whose "open" writes the argument it was given
// to a file, as a browser would take it; removed again at the end.
class RecordingFileType {
public:
    // extension: one of each test's own, since ctest runs the tests in
    // processes side by side and one's clean-up must not take another's type.
    RecordingFileType(const std::wstring& record, const std::wstring& extension)
        : extension_(extension), type_(L"VantreelTestHelp" + extension.substr(1)) {
        HKEY key = nullptr;
        ::RegCreateKeyExW(HKEY_CLASSES_ROOT, extension_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                          &key, nullptr);
        const std::wstring& type = type_;
        ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(type.c_str()),
                         static_cast<DWORD>((type.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
        ::RegCreateKeyExW(HKEY_CLASSES_ROOT, (type_ + L"\\shell\\open\\command").c_str(), 0,
                          nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        wchar_t system[MAX_PATH];
        ::GetSystemDirectoryW(system, MAX_PATH);
        const std::wstring command =
            std::wstring(system) + L"\\cmd.exe /c echo %1> \"" + record + L"\"";
        ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                         static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
    ~RecordingFileType() {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, type_.c_str());
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, extension_.c_str());
    }

private:
    std::wstring extension_;
    std::wstring type_;
};

} // namespace

TEST(OpenLocalFile, TheShellGetsThePathOfAFileInAFolderOfAnyScript) {
    testing_support::TempDir dir;
    const std::wstring record = (dir.Path() / "opened.txt").native();
    const RecordingFileType type(record, L".vthelp");
    const auto folder = dir.Path() / testing_support::FsName("帮助 Björn #1 100%");
    std::filesystem::create_directory(folder);
    const auto page = folder / "index.vthelp";
    testing_support::WriteFile(page, "<html></html>");
    platform::OpenLocalFile(testing_support::PathOf(page));

    std::string opened;
    for (int i = 0; i < 200 && opened.empty(); ++i) {
        ::Sleep(50);
        if (platform::ReadWholeFile(testing_support::PathOf(record), opened) &&
            opened.find('\n') == std::string::npos) {
            opened.clear(); // still being written
        }
    }
    ASSERT_FALSE(opened.empty()) << "the shell opened nothing";
    // A path, not a file: address (whose escapes the shell would read in the
    // code page): a drive, the folders, the file's own name at the end.
    EXPECT_EQ(opened.find("file:"), std::string::npos) << opened;
    EXPECT_EQ(opened.find('%'), opened.find("100%") + 3) << opened; // the name's own
    EXPECT_EQ(opened.substr(1, 2), ":\\") << opened;
    EXPECT_NE(opened.find("\\index.vthelp"), std::string::npos) << opened;
}

TEST(OpenLocalFile, AFileInAFolder300CharactersDeepIsOpenedThroughItsShortForm) {
    testing_support::TempDir dir;
    const std::wstring record = (dir.Path() / "opened.txt").native();
    const RecordingFileType type(record, L".vtdeep");
    const std::wstring deep = testing_support::DeepFolder(dir.Path().native());
    ASSERT_TRUE(platform::CreateFolders(platform::PathFromWide(deep)));
    const platform::FilePath page = platform::PathFromWide(deep + L"\\index.vtdeep");
    ASSERT_TRUE(platform::WriteFileReplacing(page, "<html></html>"));
    const std::wstring shortForm = platform::ShellPath(deep + L"\\index.vtdeep");
    if (shortForm.empty()) {
        EXPECT_FALSE(platform::OpenLocalFile(page)); // the caller then says so
        return;
    }
    ASSERT_TRUE(platform::OpenLocalFile(page));
    std::string opened;
    for (int i = 0; i < 200 && opened.find('\n') == std::string::npos; ++i) {
        ::Sleep(50);
        platform::ReadWholeFile(testing_support::PathOf(record), opened);
    }
    ASSERT_FALSE(opened.empty()) << "the shell opened nothing";
    while (!opened.empty() &&
           (opened.back() == '\n' || opened.back() == '\r' || opened.back() == ' ')) {
        opened.pop_back();
    }
    // What the shell was given names the page, in a form below MAX_PATH.
    EXPECT_LT(opened.size(), static_cast<std::size_t>(MAX_PATH)) << opened;
    const std::wstring given(opened.begin(), opened.end());
    wchar_t full[1024] = {};
    ASSERT_GT(::GetLongPathNameW(given.c_str(), full, 1024), 0u) << opened;
    EXPECT_EQ(std::wstring(full), deep + L"\\index.vtdeep");
    testing_support::RemoveDeepFolder(dir.Path().native());
}
