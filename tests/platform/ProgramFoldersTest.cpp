// Where a copy keeps its settings and finds its help, and the making of the
// settings folder at the first save, on real folders.
#include "ProgramFolders.h"
#include "FileSystem.h"
#include "ProcessCounts.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

using platform::FilePath;
using testing_support::FsPath;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// <root>/Björn 域名/bin/dovrenta, with the installed marker when marked is true.
struct Copy {
    FilePath executable;
    FilePath data;
};

Copy LayDown(const TempDir& root, bool marked) {
    const FilePath bin = FilePath::FromNative(root.File("x").Folder().Native() +
                                              "Bj\xC3\xB6rn \xE5\x9F\x9F\xE5\x90\x8D")
                             .Join("bin");
    const FilePath executable = testing_support::LayDownProgram(bin, marked);
    return {executable, platform::InstalledDataFolder(executable.Folder())};
}

} // namespace

TEST(ProgramFolders, ACopyWithoutTheMarkerKeepsEverythingBesideItsExecutable) {
    TempDir root;
    const Copy copy = LayDown(root, false);
    const auto folders = platform::LocateProgramFolders(copy.executable, root.File("settings"));
    EXPECT_FALSE(folders.Installed);
    EXPECT_EQ(folders.Settings, copy.executable.Folder());
    EXPECT_EQ(folders.Data, copy.executable.Folder());
}

TEST(ProgramFolders, ACopyWithTheMarkerKeepsSettingsInTheUserFolderAndHelpInItsDataFolder) {
    TempDir root;
    const Copy copy = LayDown(root, true);
    const FilePath settings = root.File("settings");
    const auto folders = platform::LocateProgramFolders(copy.executable, settings);
    EXPECT_TRUE(folders.Installed);
    EXPECT_EQ(folders.Settings, settings);
    EXPECT_EQ(folders.Data, copy.data);
}

TEST(ProgramFolders, AMarkerThatIsAFolderOrNoUserFolderLeavesTheCopyPortable) {
    TempDir root;
    const Copy copy = LayDown(root, false);
    ASSERT_TRUE(platform::CreateFolders(copy.data.Join(platform::kInstalledMarker)));
    EXPECT_FALSE(platform::LocateProgramFolders(copy.executable, root.File("s")).Installed);

    TempDir other;
    const Copy marked = LayDown(other, true);
    const auto folders = platform::LocateProgramFolders(marked.executable, FilePath());
    EXPECT_FALSE(folders.Installed);
    EXPECT_EQ(folders.Settings, marked.executable.Folder());
}

TEST(ProgramFolders, TheUserSettingsFolderIsNamedForTheProgram) {
    const FilePath settings = platform::UserSettingsFolder();
    ASSERT_FALSE(settings.empty());
    const std::string name(settings.FileName());
    EXPECT_TRUE(name == "vantreel" || name == "Vantreel") << name;
}

TEST(CreateFolders, MakesEveryMissingFolderAndRefusesAFileInTheWay) {
    TempDir root;
    const FilePath deep = root.File("\xE8\xAE\xBE\xE7\xBD\xAE").Join("a").Join("b");
    EXPECT_TRUE(platform::CreateFolders(deep));
    EXPECT_TRUE(platform::DirectoryExists(deep));
    EXPECT_TRUE(platform::CreateFolders(deep));          // already there
    EXPECT_TRUE(platform::CreateFolders(deep.Join(""))); // with its trailing delimiter

    WriteFile(FsPath(root.File("file")), "x");
    EXPECT_FALSE(platform::CreateFolders(root.File("file")));
    EXPECT_FALSE(platform::CreateFolders(root.File("file").Join("below")));
    EXPECT_FALSE(platform::DirectoryExists(root.File("file").Join("below")));
    EXPECT_TRUE(platform::CreateFolders(FilePath()));
}
