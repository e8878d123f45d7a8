// Windows: an installed copy keeps its data beside itself and its settings in
// the roaming application data folder.
#include "FileSystem.h"
#include "ProcessCounts.h"
#include "ProgramFolders.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

using platform::FilePath;

TEST(ProgramFoldersWin, AnInstalledCopyFindsItsDataBesideItself) {
    const FilePath folder = FilePath::FromNative("C:\\Program Files\\Vantreel\\");
    EXPECT_EQ(platform::InstalledDataFolder(folder), folder);
}

TEST(ProgramFoldersWin, TheSettingsFolderIsVantreelInTheRoamingApplicationData) {
    const std::string appData = testing_support::GetEnvironment("APPDATA");
    ASSERT_FALSE(appData.empty());
    const FilePath settings = platform::UserSettingsFolder();
    EXPECT_EQ(settings, testing_support::PathOf(appData).Join("Vantreel"));
    EXPECT_TRUE(platform::DirectoryExists(settings.Folder()));
}
