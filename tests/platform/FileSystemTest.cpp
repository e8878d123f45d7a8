#include "FileSystem.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace platform;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(FileSystem, PathParts) {
    EXPECT_EQ(ExtractFilePath("/opt/vantreel/dovrenta"), "/opt/vantreel/");
    EXPECT_EQ(ExtractFilePath("dovrenta"), "");
    const std::string delim(1, kPathDelim);
    EXPECT_EQ(IncludeTrailingDelimiter("/opt"), "/opt" + delim);
    EXPECT_EQ(IncludeTrailingDelimiter("/opt" + delim), "/opt" + delim);
    EXPECT_FALSE(ExecutablePath().empty());
    EXPECT_TRUE(FileExists(ExecutablePath()));
}

TEST(FileSystem, WriteFileReplacingWritesWholeAndKeepsNoTemporary) {
    TempDir dir;
    const std::string path = dir.File("out.txt");
    ASSERT_TRUE(WriteFileReplacing(path, "first\r\n"));
    ASSERT_TRUE(WriteFileReplacing(path, "second\r\n"));
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(path, contents));
    EXPECT_EQ(contents, "second\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(FileSystem, AFailedReplaceLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    // A path below a regular file cannot be written, not even by root.
    WriteFile(dir.Path() / "plain", "old");
    EXPECT_FALSE(WriteFileReplacing(dir.File("plain/inner.txt"), "new"));
    // A folder in the way of the new file: the rename fails, the folder stays.
    std::filesystem::create_directory(dir.Path() / "taken");
    EXPECT_FALSE(WriteFileReplacing(dir.File("taken"), "new"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "taken"));
    EXPECT_EQ(ReadFile(dir.Path() / "plain"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST(FileSystem, NamesWithChineseCharactersArePassedThroughTheCodec) {
    TempDir dir;
    const std::string path = dir.File("导出.txt"); // GBK name for the program
    ASSERT_TRUE(WriteFileReplacing(path, "AiBai.com\r\n"));
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ReadFile(dir.Path() / std::filesystem::path(u8"导出.txt")), "AiBai.com\r\n");
}

// Root passes every permission check, so this refusal must come from the
// file's own mode (on Windows its read-only attribute).
TEST(FileSystem, AReadOnlyFileIsNeverReplaced) {
    TempDir dir;
    const auto file = dir.Path() / "kestrova.ini";
    WriteFile(file, "[kept]\r\n");
    testing_support::MakeReadOnly(file);
    EXPECT_FALSE(WriteFileReplacing(dir.File("kestrova.ini"), "new"));
    testing_support::MakeWritable(file);
    EXPECT_EQ(ReadFile(file), "[kept]\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(FileSystem, ASymbolicLinkIsWrittenThrough) {
    if (kPathDelim == '\\') {
        GTEST_SKIP() << "links to files need privileges on Windows";
    }
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "real");
    WriteFile(dir.Path() / "real" / "kestrova.ini", "old");
    std::filesystem::create_symlink("real/kestrova.ini", dir.Path() / "kestrova.ini");
    ASSERT_TRUE(WriteFileReplacing(dir.File("kestrova.ini"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "kestrova.ini"));
    EXPECT_EQ(ReadFile(dir.Path() / "real" / "kestrova.ini"), "new");
    // A link whose file does not exist yet: the file is created where it points.
    std::filesystem::create_symlink("real/later.txt", dir.Path() / "later.txt");
    ASSERT_TRUE(WriteFileReplacing(dir.File("later.txt"), "made"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "later.txt"));
    EXPECT_EQ(ReadFile(dir.Path() / "real" / "later.txt"), "made");
}

TEST(FileSystem, TheNextSaveRemovesTheTemporaryOfASaveThatWasKilled) {
    TempDir dir;
    const std::string tag(kUnfinishedSaveTag);
    WriteFile(dir.Path() / ("kestrova.ini" + tag + "a1B2c3"), "half");
    WriteFile(dir.Path() / ("other.txt" + tag + "x"), "not ours");
    ASSERT_TRUE(WriteFileReplacing(dir.File("kestrova.ini"), "whole"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / ("kestrova.ini" + tag + "a1B2c3")));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / ("other.txt" + tag + "x")));
    EXPECT_EQ(ReadFile(dir.Path() / "kestrova.ini"), "whole");
}
