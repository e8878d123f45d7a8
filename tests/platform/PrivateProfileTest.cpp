#include "PrivateProfile.h"
#include "ProcessCounts.h"
#include "ProfileServices.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

using namespace platform;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

ProfileService OwnProfileStore() {
    ProfileService store;
    store.name = "OwnStore";
    store.read = ProfileReadString;
    store.write = ProfileWriteString;
    store.sections = ProfileSectionNames;
    store.unavailable = [] {
        return std::string();
    };
    store.refusesUnreadable = true;
    return store;
}

namespace {

class PrivateProfile : public ::testing::TestWithParam<ProfileService> {
protected:
    TempDir dir;
    FilePath path = dir.File("kestrova.ini");
    void SetUp() override {
        if (const std::string why = GetParam().unavailable(); !why.empty()) {
            GTEST_SKIP() << why;
        }
    }
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& def = "<default>") {
        return GetParam().read(section, key, def, path);
    }
    bool Write(const std::string& section, const std::string& key, const std::string& value,
               const FilePath& file) {
        return GetParam().write(section, key, value, file);
    }
    std::vector<std::string> Sections() { return GetParam().sections(path); }
    int copies_ = 0;
    // An entry that cannot be stored so that it reads back as written: the
    // program's store refuses it; the system's service writes it, and what
    // it wrote does not read back as the value (which is why the store refuses).
    void ExpectUnreadableBack(const std::string& section, const std::string& key,
                              const std::string& value) {
        if (GetParam().refusesUnreadable) {
            EXPECT_FALSE(Write(section, key, value, path)) << section << "/" << key;
        } else if (Write(section, key, value, path)) {
            // Read from a copy of the file, as the program's next start would
            // read it: the service answers from its cache of what it wrote.
            const FilePath copy = dir.File("copy-" + std::to_string(++copies_) + ".ini");
            std::filesystem::copy_file(testing_support::FsPath(path),
                                       testing_support::FsPath(copy));
            EXPECT_NE(GetParam().read(section, key, "<default>", copy), value)
                << section << "/" << key;
        }
    }
    void Hand(const std::string& text) { WriteFile(dir.Path() / "kestrova.ini", text); }
    std::string Disk() { return ReadFile(dir.Path() / "kestrova.ini"); }
};

} // namespace

TEST_P(PrivateProfile, AMissingFileReadsDefaultsAndListsNothing) {
    EXPECT_EQ(Read("a", "b"), "<default>");
    EXPECT_TRUE(Sections().empty());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "kestrova.ini"));
}

TEST_P(PrivateProfile, FirstWritesCreateFileSectionAndKeysInOrder) {
    ASSERT_TRUE(Write("p1", "YmLenSp1", "2", path));
    ASSERT_TRUE(Write("p1", "YmLenSp2", "10", path));
    ASSERT_TRUE(Write("p2", "YmLenSp1", "3", path));
    EXPECT_EQ(Disk(), "[p1]\r\nYmLenSp1=2\r\nYmLenSp2=10\r\n[p2]\r\nYmLenSp1=3\r\n");
    EXPECT_EQ(Read("p1", "YmLenSp2"), "10");
    EXPECT_EQ(Sections(), (std::vector<std::string>{"p1", "p2"}));
}

TEST_P(PrivateProfile, ReplacesAValueInPlaceAndKeepsOtherLines) {
    Hand("; my profiles\n[P1]\nymlensp1 = 5\nYmHanEd=ai\n\n[p2]\nYmHanEd=x\n");
    ASSERT_TRUE(Write("p1", "YmLenSp1", "7", path));
    ASSERT_TRUE(Write("p1", "YmPaiEd", "bai", path));
    // The blank line between the sections is dropped, as the system's service does.
    EXPECT_EQ(Disk(), "; my profiles\r\n[P1]\r\nymlensp1=7\r\nYmHanEd=ai\r\nYmPaiEd=bai\r\n"
                      "[p2]\r\nYmHanEd=x\r\n");
}

TEST_P(PrivateProfile, MatchesSectionAndKeyNamesIgnoringCase) {
    ASSERT_TRUE(Write("Short", "YmHanEd", "ai", path));
    ASSERT_TRUE(Write("SHORT", "ymhaned", "bai", path));
    EXPECT_EQ(Read("short", "YMHANED"), "bai");
    EXPECT_EQ(Sections(), (std::vector<std::string>{"Short"}));
}

TEST_P(PrivateProfile, ReadTrimsBlanksAndOnePairOfQuotes) {
    Hand("[s]\r\na =  two words  \r\nb=\"quoted \"\r\nc='x\r\nd=\"\r\ne=\r\n");
    EXPECT_EQ(Read("s", "a"), "two words");
    EXPECT_EQ(Read("s", "b"), "quoted ");
    EXPECT_EQ(Read("s", "c"), "'x");
    EXPECT_EQ(Read("s", "d"), "\"");
    EXPECT_EQ(Read("s", "e"), "");
    EXPECT_EQ(Read("s", "missing"), "<default>");
}

TEST_P(PrivateProfile, KeepsGbkTextAsBytes) {
    const std::string value = "\xBA\xC3 \xB0\xAE"; // two Chinese characters around a blank
    ASSERT_TRUE(Write("\xD6\xD0\xCE\xC4", "YmHanEd", value, path));
    EXPECT_EQ(Read("\xD6\xD0\xCE\xC4", "YmHanEd"), value);
}

TEST_P(PrivateProfile, CutsLongValuesTo2047Bytes) {
    ASSERT_TRUE(Write("s", "k", std::string(5000, 'x'), path));
    EXPECT_EQ(Read("s", "k"), std::string(2047, 'x'));
    // A value of 100 KB written by hand reads the same way.
    Hand("[s]\r\nk=" + std::string(100 * 1024, 'y') + "\r\n");
    EXPECT_EQ(Read("s", "k"), std::string(2047, 'y'));
}

TEST_P(PrivateProfile, ListsSectionNamesWhileTheyFitTheBuffer) {
    std::string text;
    // 20 names of 999 bytes: each takes 1000 bytes of the 16384, so 16 fit.
    for (char c = 'a'; c < 'a' + 20; ++c) {
        text += "[" + std::string(999, c) + "]\r\nk=v\r\n";
    }
    Hand(text);
    const auto names = Sections();
    ASSERT_EQ(names.size(), 16u);
    EXPECT_EQ(names.front(), std::string(999, 'a'));
    EXPECT_EQ(names.back(), std::string(999, 'p'));
}

TEST_P(PrivateProfile, DamagedFilesReadSafely) {
    using namespace std::string_literals;
    Hand("garbage line\n[broken\nk=in no section\n[ok]\nno equals sign\nk=1\n"
         "[ok]\nk=2\n\x01\x02\xff\xfe=\0zz\n[bin\0"
         "ary]\nk=3\n"s);
    EXPECT_EQ(Read("ok", "k"), "1"); // the first of duplicate sections counts
    EXPECT_EQ(Read("broken", "k"), "<default>");
    EXPECT_EQ(Read("ok", "no equals sign"), "<default>");
    EXPECT_EQ(Read("ok", "\x01\x02\xff\xfe"), "<default>");
    EXPECT_EQ(Read("bin", "k"), "3"); // a name is cut at a NUL byte
    EXPECT_EQ(Sections(), (std::vector<std::string>{"ok", "ok", "bin"}));
    // Writing into a damaged file changes only the key written.
    ASSERT_TRUE(Write("ok", "k", "9", path));
    EXPECT_EQ(Read("ok", "k"), "9");
    EXPECT_NE(Disk().find("garbage line\r\n[broken\r\n"), std::string::npos);
}

TEST_P(PrivateProfile, RefusesNamesAndValuesThatWouldReadBackDifferently) {
    ExpectUnreadableBack("a\r\nb", "k", "v");
    ExpectUnreadableBack("s", "k=1", "v");
    ExpectUnreadableBack("s", "k", "line\nbreak");
    if (GetParam().refusesUnreadable) {
        EXPECT_FALSE(std::filesystem::exists(dir.Path() / "kestrova.ini"));
        // Where a "]" inside a section name ends it differs between systems
        // (Wine's service takes the last one of the line): the store refuses
        // such a name outright rather than write what one system cannot read.
        EXPECT_FALSE(Write("a]b", "k", "v", path));
    }
}

TEST_P(PrivateProfile, AnUnwritableFolderFailsTheWriteAndKeepsTheFile) {
    const FilePath below = dir.File("kestrova.ini/inner.ini");
    Hand("[s]\r\nk=old\r\n");
    EXPECT_FALSE(Write("s", "k", "new", below));
    EXPECT_EQ(Read("s", "k"), "old");
}

// The second byte of 郵, 閉, 揮, 沒, 慮 and 註 is the code of "]"; of 協 and 匜
// the codes of "f" and "F".
TEST_P(PrivateProfile, ChineseNamesWhoseSecondByteLooksLikeABracketOrALetter) {
    for (const char* name : {"郵件", "閉", "揮", "沒", "慮", "註"}) {
        const std::string section = testing_support::G(name);
        ASSERT_EQ(section[1], ']') << name;
        ASSERT_TRUE(Write(section, "YmHanEd", section, path)) << name;
        EXPECT_EQ(Read(section, "YmHanEd"), section) << name;
    }
    EXPECT_EQ(Sections().size(), 6u);
    if (GetParam().refusesUnreadable) {
        EXPECT_FALSE(Write(testing_support::G("郵]"), "k", "v", path)); // a real "]" after it
    }

    const std::string xie = testing_support::G("協"), yi = testing_support::G("匜");
    ASSERT_EQ(xie.size(), 2u);
    ASSERT_EQ(xie[0], yi[0]);
    ASSERT_TRUE(Write(xie, "k", "xie", path));
    ASSERT_TRUE(Write(yi, "k", "yi", path));
    EXPECT_EQ(Read(xie, "k"), "xie");
    EXPECT_EQ(Read(yi, "k"), "yi");
}

// 說 and 誇 share a first byte; their second bytes are the codes of "f" and "F".
TEST_P(PrivateProfile, ChineseNamesThatDifferOnlyInASecondByteLetterStayTwoProfiles) {
    const std::string shuo = testing_support::G("說明"), kua = testing_support::G("誇明");
    ASSERT_EQ(shuo[0], kua[0]);
    ASSERT_EQ(shuo[1] ^ kua[1], 0x20);
    ASSERT_TRUE(Write(shuo, "YmHanEd", "shuo", path));
    ASSERT_TRUE(Write(kua, "YmHanEd", "kua", path));
    EXPECT_EQ(Read(shuo, "YmHanEd"), "shuo");
    EXPECT_EQ(Read(kua, "YmHanEd"), "kua");
    EXPECT_EQ(Sections(), (std::vector<std::string>{shuo, kua}));
}

// Only a-z match their other case: a two-byte letter (full-width Latin, Greek,
// Cyrillic) is a name of its own, as in the system's service on a Chinese
// Windows.
TEST_P(PrivateProfile, TwoByteLettersMatchOnlyThemselves) {
    const std::pair<const char*, const char*> different[] = {
        {"A", "Ａ"}, {"Ａ", "ａ"}, {"Α", "α"}, {"Я", "я"}, {"Ⅰ", "ⅰ"}, {"〇", "o"}};
    for (const auto& [one, other] : different) {
        ASSERT_TRUE(Write(testing_support::G(one), "k", "1", path)) << one;
        EXPECT_EQ(Read(testing_support::G(other), "k"), "<default>") << one;
        ASSERT_TRUE(Write(testing_support::G(other), "k", "2", path)) << other;
        EXPECT_EQ(Read(testing_support::G(one), "k"), "1") << one;
    }
    EXPECT_EQ(Sections().size(), 2 * std::size(different) - 1); // "Ａ" is there twice
    ASSERT_TRUE(Write(testing_support::G("xＱ"), "k", "3", path));
    EXPECT_EQ(Read(testing_support::G("XＱ"), "k"), "3");
}

TEST_P(PrivateProfile, LoneCarriageReturnsEndLinesToo) {
    Hand("[mac]\rYmLenSp1=3\rYmHanEd=ai\r[unix]\nYmLenSp1=4\n[dos]\r\nYmLenSp1=5\r\n");
    EXPECT_EQ(Sections(), (std::vector<std::string>{"mac", "unix", "dos"}));
    EXPECT_EQ(Read("mac", "YmLenSp1"), "3");
    EXPECT_EQ(Read("mac", "YmHanEd"), "ai");
    EXPECT_EQ(Read("unix", "YmLenSp1"), "4");
    EXPECT_EQ(Read("dos", "YmLenSp1"), "5");
}

INSTANTIATE_TEST_SUITE_P(Services, PrivateProfile, ::testing::ValuesIn(ProfileServicesUnderTest()),
                         [](const auto& test) { return test.param.name; });
