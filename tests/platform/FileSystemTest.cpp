#include "FileSystem.h"
#include "TestUtil.h"
#include "Wtf8.h"

#include <gtest/gtest.h>

#include <chrono>
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
    const auto killed = dir.Path() / ("kestrova.ini" + tag + "a1B2c3");
    WriteFile(killed, "half");
    WriteFile(dir.Path() / ("other.txt" + tag + "x"), "not ours");
    // Left by a save that ended long ago.
    std::filesystem::last_write_time(killed, std::filesystem::file_time_type::clock::now() -
                                                 std::chrono::seconds(kLeftoverAgeSeconds + 60));
    ASSERT_TRUE(WriteFileReplacing(dir.File("kestrova.ini"), "whole"));
    EXPECT_FALSE(std::filesystem::exists(killed));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / ("other.txt" + tag + "x")));
    EXPECT_EQ(ReadFile(dir.Path() / "kestrova.ini"), "whole");
}

TEST(FileSystem, AnotherCopysSaveUnderWayIsLeftAlone) {
    // Two copies of the program beside one kestrova.ini: one's temporary, just
    // made, is not the other's to remove.
    TempDir dir;
    const std::string tag(kUnfinishedSaveTag);
    const auto underWay = dir.Path() / ("kestrova.ini" + tag + "Zz9Yy8");
    WriteFile(underWay, "the other copy is writing this");
    std::filesystem::last_write_time(underWay, std::filesystem::file_time_type::clock::now() -
                                                   std::chrono::seconds(kLeftoverAgeSeconds - 120));
    ASSERT_TRUE(WriteFileReplacing(dir.File("kestrova.ini"), "whole"));
    EXPECT_TRUE(std::filesystem::exists(underWay));
    EXPECT_EQ(ReadFile(underWay), "the other copy is writing this");
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

TEST(FileSystem, Wtf8RefusesEveryInvalidForm) {
    const std::string invalid[] = {
        "\x80",                 // a continuation byte without a lead
        "\xBF",                 //
        "\xC0\x80",             // C0 and C1 lead only overlong spellings
        "\xC1\xBF",             //
        "\xE0\x80\xAF",         // overlong three-byte "/"
        "\xF0\x80\x80\xAF",     // overlong four-byte "/"
        "\xF4\x90\x80\x80",     // past U+10FFFF
        "\xF5\x80\x80",         // F5-FF lead nothing
        "\xF8\x88\x80\x80\x80", //
        "\xFE",                 //
        "\xFF",                 //
        "\xE5\xB8",             // cut short
        "\xF0\x9F\x98",         //
    };
    for (const std::string& bytes : invalid) {
        EXPECT_FALSE(IsWtf8(bytes)) << testing::PrintToString(bytes);
        EXPECT_FALSE(IsWtf8("name " + bytes + ".ini")) << testing::PrintToString(bytes);
        // Never read as a character that valid bytes spell.
        const std::u16string decoded = Wtf8ToUtf16(bytes);
        EXPECT_EQ(decoded.find_first_not_of(u'\xFFFD'), std::u16string::npos)
            << testing::PrintToString(bytes);
    }
    // An ASCII byte inside a sequence ends it, and is itself.
    EXPECT_FALSE(IsWtf8("\xE5\x41\x9F"));
    EXPECT_EQ(Wtf8ToUtf16("\xE5\x41\x9F"), u"\xFFFD"
                                           u"A\xFFFD");
    // A surrogate pair has one spelling, the four-byte one: as two three-byte
    // sequences it is no WTF-8, and never read as the pair.
    for (const std::string pair : {"\xED\xA0\x80\xED\xB0\x80", "\xED\xAF\xBF\xED\xBF\xBF"}) {
        EXPECT_FALSE(IsWtf8(pair)) << testing::PrintToString(pair);
        const std::u16string decoded = Wtf8ToUtf16(pair);
        EXPECT_EQ(decoded.front(), u'\xFFFD') << testing::PrintToString(pair);
        EXPECT_NE(decoded, Wtf8ToUtf16(pair == "\xED\xA0\x80\xED\xB0\x80" ? "\xF0\x90\x80\x80"
                                                                          : "\xF4\x8F\xBF\xBF"));
    }
    // Such a path names no file, rather than the file of its valid spelling.
    TempDir dir;
    const std::string folder = testing_support::PathOf(dir.Path()).Native() + kPathDelim;
    const FilePath valid = FilePath::FromNative(folder + "\xF0\x90\x80\x80.ini");
    const FilePath twoHalves = FilePath::FromNative(folder + "\xED\xA0\x80\xED\xB0\x80.ini");
    ASSERT_TRUE(WriteFileReplacing(valid, "valid"));
    std::string contents;
    if (kPathDelim == '\\') {
        EXPECT_FALSE(ReadWholeFile(twoHalves, contents));
        EXPECT_FALSE(FileExists(twoHalves));
    }
    EXPECT_TRUE(ReadWholeFile(valid, contents));
    EXPECT_EQ(contents, "valid");
    // What is valid: every plane, and lone surrogates, which WTF-8 spells.
    for (const std::string spelt : {"plain", "L\xC3\xB6sung", "\xE5\x9F\x9F", "\xF0\x9F\x98\x80",
                                    "\xF4\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xB0\x80",
                                    "\xED\xB0\x80\xED\xA0\x80", "\xED\xA0\x80x\xED\xB0\x80"}) {
        EXPECT_TRUE(IsWtf8(spelt)) << testing::PrintToString(spelt);
        EXPECT_EQ(Utf16ToWtf8(Wtf8ToUtf16(spelt)), spelt) << testing::PrintToString(spelt);
    }
}
