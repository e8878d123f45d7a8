#include "FileSystem.h"
#include "TestUtil.h"
#include "Wtf8.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace platform;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(FileSystem, PathParts) {
    const std::string delim(1, kPathDelim);
    const FilePath exe = FilePath::FromNative("/opt" + delim + "vantreel" + delim + "dovrenta");
    EXPECT_EQ(exe.Folder().Native(), "/opt" + delim + "vantreel" + delim);
    EXPECT_EQ(exe.FileName(), "dovrenta");
    EXPECT_EQ(FilePath::FromNative("dovrenta").Folder().Native(), "");
    EXPECT_EQ(FilePath::FromNative("/opt").Join("a").Native(), "/opt" + delim + "a");
    EXPECT_EQ(FilePath::FromNative("/opt" + delim).Join("a").Native(), "/opt" + delim + "a");
    EXPECT_FALSE(ExecutablePath().empty());
    EXPECT_TRUE(FileExists(ExecutablePath()));
}

TEST(FileSystem, WriteFileReplacingWritesWholeAndKeepsNoTemporary) {
    TempDir dir;
    const FilePath path = dir.File("out.txt");
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

TEST(FileSystem, NamesInAnyScriptReachTheFileSystemUnchanged) {
    TempDir dir;
    // Chinese (in GBK), a letter GBK lacks, and a Korean name with neither.
    for (const char* name : {"导出.txt", "Lösung.txt", "결과.txt"}) {
        const FilePath path = dir.File(name);
        ASSERT_TRUE(WriteFileReplacing(path, name)) << name;
        EXPECT_TRUE(FileExists(path)) << name;
        EXPECT_EQ(ReadFile(dir.Path() / testing_support::FsName(name)), name);
    }
    // The name shown in a message is GBK, "?" where GBK has no character.
    EXPECT_EQ(dir.File("Lösung.txt").FileName(), "Lösung.txt");
    EXPECT_EQ(FilePath::FromNative("L\xC3\xB6sung.txt").ToText(), "L?sung.txt");
    EXPECT_EQ(FilePath::FromText(testing_support::G("导出")).Native(), "导出");
}

TEST(FileSystem, AFolderThatIsNotGbkKeepsItsNameForTheFilesBesideIt) {
    TempDir dir;
    const std::filesystem::path folder = dir.Path() / testing_support::FsName("Björn 域名工具");
    std::filesystem::create_directory(folder);
    const FilePath inside = testing_support::PathOf(folder).Join("kestrova.ini");
    ASSERT_TRUE(WriteFileReplacing(inside, "[a]\r\n"));
    EXPECT_EQ(ReadFile(folder / "kestrova.ini"), "[a]\r\n");
    EXPECT_EQ(inside.Folder().Join("x").Folder(), inside.Folder());
}

TEST(FileSystem, FileAddressesEscapeEverythingButPlainCharacters) {
    const std::string delim(1, kPathDelim);
    const FilePath page =
        FilePath::FromNative("/opt" + delim + "a b#c%d" + delim + "Björn" + delim + "帮助.html");
    EXPECT_EQ(FileUrl(page), "file:///opt/a%20b%23c%25d/Bj%C3%B6rn/%E5%B8%AE%E5%8A%A9.html");
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

TEST(FileSystem, Wtf8CarriesEveryUtf16NameBothWays) {
    const std::u16string names[] = {u"plain",
                                    u"Lösung",
                                    u"域名工具",
                                    u"\U0001F600 emoji",
                                    std::u16string(u"lone \xD800 high"),
                                    std::u16string(u"lone \xDC00 low"),
                                    std::u16string(u"\xDC00\xD800 reversed")};
    for (const auto& name : names) {
        EXPECT_EQ(Wtf8ToUtf16(Utf16ToWtf8(name)), name);
    }
    EXPECT_EQ(Utf16ToWtf8(u"Lösung"), "L\xC3\xB6sung");
    // Bytes that are no WTF-8 each become U+FFFD rather than a wrong character.
    EXPECT_EQ(Wtf8ToUtf16("a\xFF\xC0\x80"
                          "b"),
              u"a\xFFFD\xFFFD\xFFFD"
              u"b");
    EXPECT_EQ(Wtf8ToUtf16("\xE5\xB8"), u"\xFFFD\xFFFD");
}
