#include "PrivateProfile.h"
#include "ProcessCounts.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

using namespace platform;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

class PrivateProfile : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.File("kestrova.ini");
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& def = "<default>") {
        return ProfileReadString(section, key, def, path);
    }
    void Hand(const std::string& text) { WriteFile(dir.Path() / "kestrova.ini", text); }
    std::string Disk() { return ReadFile(dir.Path() / "kestrova.ini"); }
};

} // namespace

TEST_F(PrivateProfile, AMissingFileReadsDefaultsAndListsNothing) {
    EXPECT_EQ(Read("a", "b"), "<default>");
    EXPECT_TRUE(ProfileSectionNames(path).empty());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "kestrova.ini"));
}

TEST_F(PrivateProfile, FirstWritesCreateFileSectionAndKeysInOrder) {
    ASSERT_TRUE(ProfileWriteString("p1", "YmLenSp1", "2", path));
    ASSERT_TRUE(ProfileWriteString("p1", "YmLenSp2", "10", path));
    ASSERT_TRUE(ProfileWriteString("p2", "YmLenSp1", "3", path));
    EXPECT_EQ(Disk(), "[p1]\r\nYmLenSp1=2\r\nYmLenSp2=10\r\n[p2]\r\nYmLenSp1=3\r\n");
    EXPECT_EQ(Read("p1", "YmLenSp2"), "10");
    EXPECT_EQ(ProfileSectionNames(path), (std::vector<std::string>{"p1", "p2"}));
}

TEST_F(PrivateProfile, ReplacesAValueInPlaceAndKeepsOtherLines) {
    Hand("; my profiles\n[P1]\nymlensp1 = 5\nYmHanEd=ai\n\n[p2]\nYmHanEd=x\n");
    ASSERT_TRUE(ProfileWriteString("p1", "YmLenSp1", "7", path));
    ASSERT_TRUE(ProfileWriteString("p1", "YmPaiEd", "bai", path));
    // The blank line between the sections is dropped, as the system's service does.
    EXPECT_EQ(Disk(), "; my profiles\r\n[P1]\r\nymlensp1=7\r\nYmHanEd=ai\r\nYmPaiEd=bai\r\n"
                      "[p2]\r\nYmHanEd=x\r\n");
}

TEST_F(PrivateProfile, MatchesSectionAndKeyNamesIgnoringCase) {
    ASSERT_TRUE(ProfileWriteString("Short", "YmHanEd", "ai", path));
    ASSERT_TRUE(ProfileWriteString("SHORT", "ymhaned", "bai", path));
    EXPECT_EQ(Read("short", "YMHANED"), "bai");
    EXPECT_EQ(ProfileSectionNames(path), (std::vector<std::string>{"Short"}));
}

TEST_F(PrivateProfile, ReadTrimsBlanksAndOnePairOfQuotes) {
    Hand("[s]\r\na =  two words  \r\nb=\"quoted \"\r\nc='x\r\nd=\"\r\ne=\r\n");
    EXPECT_EQ(Read("s", "a"), "two words");
    EXPECT_EQ(Read("s", "b"), "quoted ");
    EXPECT_EQ(Read("s", "c"), "'x");
    EXPECT_EQ(Read("s", "d"), "\"");
    EXPECT_EQ(Read("s", "e"), "");
    EXPECT_EQ(Read("s", "missing"), "<default>");
}

TEST_F(PrivateProfile, KeepsGbkTextAsBytes) {
    const std::string value = "\xBA\xC3 \xB0\xAE"; // two Chinese characters around a blank
    ASSERT_TRUE(ProfileWriteString("\xD6\xD0\xCE\xC4", "YmHanEd", value, path));
    EXPECT_EQ(Read("\xD6\xD0\xCE\xC4", "YmHanEd"), value);
}

TEST_F(PrivateProfile, CutsLongValuesTo2047Bytes) {
    ASSERT_TRUE(ProfileWriteString("s", "k", std::string(5000, 'x'), path));
    EXPECT_EQ(Read("s", "k"), std::string(2047, 'x'));
    // A value of 100 KB written by hand reads the same way.
    Hand("[s]\r\nk=" + std::string(100 * 1024, 'y') + "\r\n");
    EXPECT_EQ(Read("s", "k"), std::string(2047, 'y'));
}

TEST_F(PrivateProfile, ListsSectionNamesWhileTheyFitTheBuffer) {
    std::string text;
    // 20 names of 999 bytes: each takes 1000 bytes of the 16384, so 16 fit.
    for (char c = 'a'; c < 'a' + 20; ++c) {
        text += "[" + std::string(999, c) + "]\r\nk=v\r\n";
    }
    Hand(text);
    const auto names = ProfileSectionNames(path);
    ASSERT_EQ(names.size(), 16u);
    EXPECT_EQ(names.front(), std::string(999, 'a'));
    EXPECT_EQ(names.back(), std::string(999, 'p'));
}

TEST_F(PrivateProfile, DamagedFilesReadSafely) {
    using namespace std::string_literals;
    Hand("garbage line\n[broken\nk=in no section\n[ok]\nno equals sign\nk=1\n"
         "[ok]\nk=2\n\x01\x02\xff\xfe=\0zz\n[bin\0"
         "ary]\nk=3\n"s);
    EXPECT_EQ(Read("ok", "k"), "1"); // the first of duplicate sections counts
    EXPECT_EQ(Read("broken", "k"), "<default>");
    EXPECT_EQ(Read("ok", "no equals sign"), "<default>");
    EXPECT_EQ(Read("ok", "\x01\x02\xff\xfe"), "<default>");
    EXPECT_EQ(Read("bin", "k"), "3"); // a name is cut at a NUL byte
    EXPECT_EQ(ProfileSectionNames(path), (std::vector<std::string>{"ok", "ok", "bin"}));
    // Writing into a damaged file changes only the key written.
    ASSERT_TRUE(ProfileWriteString("ok", "k", "9", path));
    EXPECT_EQ(Read("ok", "k"), "9");
    EXPECT_NE(Disk().find("garbage line\r\n[broken\r\n"), std::string::npos);
}

TEST_F(PrivateProfile, RefusesNamesAndValuesThatWouldReadBackDifferently) {
    EXPECT_FALSE(ProfileWriteString("a\r\nb", "k", "v", path));
    EXPECT_FALSE(ProfileWriteString("a]b", "k", "v", path));
    EXPECT_FALSE(ProfileWriteString("s", "k=1", "v", path));
    EXPECT_FALSE(ProfileWriteString("s", "k", "line\nbreak", path));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "kestrova.ini"));
}

TEST_F(PrivateProfile, AnUnwritableFolderFailsTheWriteAndKeepsTheFile) {
    const std::string below = dir.File("kestrova.ini/inner.ini");
    Hand("[s]\r\nk=old\r\n");
    EXPECT_FALSE(ProfileWriteString("s", "k", "new", below));
    EXPECT_EQ(Read("s", "k"), "old");
}

// The second byte of 郵, 閉, 揮, 沒, 慮 and 註 is the code of "]"; of 協 and 匜
// the codes of "f" and "F".
TEST_F(PrivateProfile, ChineseNamesWhoseSecondByteLooksLikeABracketOrALetter) {
    for (const char* name : {"郵件", "閉", "揮", "沒", "慮", "註"}) {
        const std::string section = testing_support::G(name);
        ASSERT_EQ(section[1], ']') << name;
        ASSERT_TRUE(ProfileWriteString(section, "YmHanEd", section, path)) << name;
        EXPECT_EQ(Read(section, "YmHanEd"), section) << name;
    }
    EXPECT_EQ(ProfileSectionNames(path).size(), 6u);
    EXPECT_FALSE(ProfileWriteString(testing_support::G("郵]"), "k", "v", path));

    if (!testing_support::ProfileServiceSpeaksGbk()) {
        GTEST_SKIP() << "the system's INI service folds names in another code page than GBK";
    }
    const std::string xie = testing_support::G("協"), yi = testing_support::G("匜");
    ASSERT_EQ(xie.size(), 2u);
    ASSERT_EQ(xie[0], yi[0]);
    ASSERT_TRUE(ProfileWriteString(xie, "k", "xie", path));
    ASSERT_TRUE(ProfileWriteString(yi, "k", "yi", path));
    EXPECT_EQ(Read(xie, "k"), "xie");
    EXPECT_EQ(Read(yi, "k"), "yi");
}

TEST_F(PrivateProfile, LoneCarriageReturnsEndLinesToo) {
    Hand("[mac]\rYmLenSp1=3\rYmHanEd=ai\r[unix]\nYmLenSp1=4\n[dos]\r\nYmLenSp1=5\r\n");
    EXPECT_EQ(ProfileSectionNames(path), (std::vector<std::string>{"mac", "unix", "dos"}));
    EXPECT_EQ(Read("mac", "YmLenSp1"), "3");
    EXPECT_EQ(Read("mac", "YmHanEd"), "ai");
    EXPECT_EQ(Read("unix", "YmLenSp1"), "4");
    EXPECT_EQ(Read("dos", "YmLenSp1"), "5");
}
