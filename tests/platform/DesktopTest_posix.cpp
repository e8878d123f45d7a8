#include "Base.h"
#include "Desktop.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using platform::FilePath;
using testing_support::G;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// Points HOME and XDG_CONFIG_HOME at a temporary folder for one test.
class DesktopShortcut : public ::testing::Test {
protected:
    TempDir home;
    std::filesystem::path desktop = home.Path() / "Desktop folder";

    void SetUp() override {
        saveHome_ = Get("HOME");
        saveConfig_ = Get("XDG_CONFIG_HOME");
        ::setenv("HOME", home.Path().c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
        std::filesystem::create_directories(home.Path() / ".config");
    }
    void TearDown() override {
        Restore("HOME", saveHome_);
        Restore("XDG_CONFIG_HOME", saveConfig_);
    }
    void UserDirs(const std::string& text) {
        WriteFile(home.Path() / ".config" / "user-dirs.dirs", text);
    }

private:
    static std::string Get(const char* name) {
        const char* value = std::getenv(name);
        return value ? value : "\x01unset";
    }
    static void Restore(const char* name, const std::string& value) {
        if (value == "\x01unset") {
            ::unsetenv(name);
        } else {
            ::setenv(name, value.c_str(), 1);
        }
    }
    std::string saveHome_, saveConfig_;
};

} // namespace

TEST_F(DesktopShortcut, DesktopFolderComesFromUserDirs) {
    std::filesystem::create_directory(desktop);
    UserDirs("# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
             "XDG_DESKTOP_DIR=\"$HOME/Desktop folder\"\n");
    EXPECT_EQ(platform::DesktopFolder(), testing_support::PathOf(desktop));
}

TEST_F(DesktopShortcut, NoDesktopGivesNoFolder) {
    EXPECT_TRUE(platform::DesktopFolder().empty()); // no user-dirs.dirs
    UserDirs("XDG_DESKTOP_DIR=\"$HOME/Desktop folder\"\n");
    EXPECT_TRUE(platform::DesktopFolder().empty()); // named, but missing on disk
    UserDirs("XDG_DESKTOP_DIR=relative/path\n");
    EXPECT_TRUE(platform::DesktopFolder().empty());
}

TEST_F(DesktopShortcut, WritesARunnableLauncherAndRewritesIt) {
    std::filesystem::create_directory(desktop);
    UserDirs("XDG_DESKTOP_DIR=\"" + desktop.string() + "\"\n");
    const std::string description = G("免费专业域名分析软件，欢迎到vantreel.example下载最新版本。");
    CreateDesktopShortcut(FilePath::FromNative("/opt/van treel/dovrenta"), "", "Vantreelv1.08",
                          description);
    const auto link = desktop / "Vantreelv1.08.desktop";
    ASSERT_TRUE(std::filesystem::exists(link));
    EXPECT_EQ(ReadFile(link), "[Desktop Entry]\nType=Application\nVersion=1.0\n"
                              "Name=Vantreelv1.08\n"
                              "Exec=\"/opt/van treel/dovrenta\"\n"
                              "Path=/opt/van treel/\n"
                              "Comment=免费专业域名分析软件，欢迎到vantreel.example下载最新版本。\n"
                              "Terminal=false\n");
    EXPECT_NE(std::filesystem::status(link).permissions() & std::filesystem::perms::owner_exec,
              std::filesystem::perms::none);
    // The user deletes it: the next start lays it down again.
    std::filesystem::remove(link);
    CreateDesktopShortcut(FilePath::FromNative("/opt/van treel/dovrenta"), "-x", "Vantreelv1.08",
                          description);
    EXPECT_NE(ReadFile(link).find("Exec=\"/opt/van treel/dovrenta\" -x\n"), std::string::npos);
}

// The desktop entry format reads a value's string escapes first and the
// quoting of Exec after them: a backslash inside the quotes is four, a quote or
// a dollar sign two and itself; no character of a path can end the line.
TEST_F(DesktopShortcut, EveryCharacterOfAPathStaysInsideItsExecWord) {
    std::filesystem::create_directory(desktop);
    UserDirs("XDG_DESKTOP_DIR=\"" + desktop.string() + "\"\n");
    CreateDesktopShortcut(
        FilePath::FromNative("/opt/a\\b \"q\" $x `y` 100%\nTerminal=true/dovrenta"), "",
        "Vantreelv1.08", "d");
    const std::string entry = ReadFile(desktop / "Vantreelv1.08.desktop");
    EXPECT_NE(
        entry.find("Exec=\"/opt/a\\\\\\\\b \\\\\"q\\\\\" \\\\$x \\\\`y\\\\` 100%%\\nTerminal=true/"
                   "dovrenta\"\n"),
        std::string::npos)
        << entry;
    // One line per key: the line break in the folder's name made no key.
    EXPECT_EQ(entry.find("\nTerminal=true"), std::string::npos) << entry;
    EXPECT_NE(entry.find("Path=/opt/a\\\\b \"q\" $x `y` 100%\\nTerminal=true/\n"),
              std::string::npos)
        << entry;
}

// A program folder whose name GBK cannot hold keeps its exact name.
TEST_F(DesktopShortcut, ALauncherForAProgramInANonGbkFolderStartsThatProgram) {
    std::filesystem::create_directory(desktop);
    UserDirs("XDG_DESKTOP_DIR=\"" + desktop.string() + "\"\n");
    CreateDesktopShortcut(FilePath::FromNative("/home/Björn/결과/dovrenta"), "", "Vantreelv1.08",
                          "d");
    const std::string entry = ReadFile(desktop / "Vantreelv1.08.desktop");
    EXPECT_NE(entry.find("Exec=\"/home/Björn/결과/dovrenta\"\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("Path=/home/Björn/결과/\n"), std::string::npos) << entry;
}

TEST_F(DesktopShortcut, BadArgumentsRaiseTheMessageAndWriteNothing) {
    std::filesystem::create_directory(desktop);
    UserDirs("XDG_DESKTOP_DIR=\"" + desktop.string() + "\"\n");
    try {
        CreateDesktopShortcut(FilePath::FromNative(""), "", "Vantreelv1.08", "d");
        FAIL() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_EQ(error.what(), G("创建快捷方式的参数异常..."));
    }
    EXPECT_THROW(CreateDesktopShortcut(FilePath::FromNative("/bin/true"), "", "", "d"), AppError);
    EXPECT_TRUE(std::filesystem::is_empty(desktop));
}

TEST_F(DesktopShortcut, WithoutADesktopNothingIsWrittenAndNothingRaised) {
    EXPECT_NO_THROW(
        CreateDesktopShortcut(FilePath::FromNative("/bin/true"), "", "Vantreelv1.08", "d"));
    EXPECT_FALSE(std::filesystem::exists(home.Path() / "Desktop"));
}
