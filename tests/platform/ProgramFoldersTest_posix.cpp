// Linux: the installed layout under a prefix, and the XDG settings folder.
#include "ProcessCounts.h"
#include "ProgramFolders.h"

#include <gtest/gtest.h>

using platform::FilePath;
using testing_support::GetEnvironment;
using testing_support::SetEnvironment;

namespace {

// Sets HOME and XDG_CONFIG_HOME for one test and puts them back after.
class SettingsEnvironment : public testing::Test {
protected:
    void TearDown() override {
        SetEnvironment("HOME", home_);
        SetEnvironment("XDG_CONFIG_HOME", config_);
    }

private:
    std::string home_ = GetEnvironment("HOME");
    std::string config_ = GetEnvironment("XDG_CONFIG_HOME");
};

} // namespace

TEST(ProgramFoldersPosix, AnInstalledCopyFindsItsDataInShareBesideBin) {
    EXPECT_EQ(platform::InstalledDataFolder(FilePath::FromNative("/usr/bin/")),
              FilePath::FromNative("/usr/share/vantreel"));
    EXPECT_EQ(platform::InstalledDataFolder(FilePath::FromNative("/opt/v/bin")),
              FilePath::FromNative("/opt/v/share/vantreel"));
}

TEST_F(SettingsEnvironment, XdgConfigHomeWinsWhenItIsAnAbsolutePath) {
    SetEnvironment("HOME", "/home/ada");
    SetEnvironment("XDG_CONFIG_HOME", "/srv/conf/");
    EXPECT_EQ(platform::UserSettingsFolder(), FilePath::FromNative("/srv/conf/vantreel"));
}

TEST_F(SettingsEnvironment, WithoutAUsableXdgConfigHomeTheHomeFoldersConfigIsUsed) {
    SetEnvironment("HOME", "/home/ada");
    SetEnvironment("XDG_CONFIG_HOME", "");
    EXPECT_EQ(platform::UserSettingsFolder(), FilePath::FromNative("/home/ada/.config/vantreel"));
    SetEnvironment("XDG_CONFIG_HOME", "relative/conf"); // invalid: ignored
    EXPECT_EQ(platform::UserSettingsFolder(), FilePath::FromNative("/home/ada/.config/vantreel"));
}

TEST_F(SettingsEnvironment, WithoutHomeThePasswordDatabaseNamesTheHomeFolder) {
    SetEnvironment("HOME", "");
    SetEnvironment("XDG_CONFIG_HOME", "");
    const std::string settings = platform::UserSettingsFolder().Native();
    ASSERT_FALSE(settings.empty());
    EXPECT_EQ(settings.front(), '/');
    EXPECT_EQ(settings.substr(settings.size() - 17), "/.config/vantreel");
}
