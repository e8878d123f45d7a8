#include "Profiles.h"
#include "Base.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

class Profiles : public ::testing::Test {
protected:
    TempDir dir;
    platform::FilePath path = dir.File("kestrova.ini");
    void Hand(const std::string& text) { WriteFile(dir.Path() / "kestrova.ini", text); }
};

TProfileValues Sample() {
    TProfileValues v;
    v.YmLenSp1 = 3;
    v.YmLenSp2 = 7;
    v.YmHanEd = "ai bai";
    v.YmPaiEd = "\xBA\xC3";
    v.YmPiPeiEd = "";
    v.DuplicationChk = true;
    v.PrevKeyEd = "Hao";
    v.LastKeyEd = "you";
    v.YmCiYuChk = true;
    return v;
}

} // namespace

TEST_F(Profiles, SaveWritesTheEightKeysInOrderThenTheWordsBoxAndLoadReadsThemBack) {
    SaveProfile(path, "short", Sample());
    EXPECT_EQ(ReadFile(dir.Path() / "kestrova.ini"),
              "[short]\r\nYmLenSp1=3\r\nYmLenSp2=7\r\nYmHanEd=ai bai\r\nYmPaiEd=\xBA\xC3\r\n"
              "YmPiPeiEd=\r\nDuplicationChk=1\r\nPrevKeyEd=Hao\r\nLastKeyEd=you\r\n"
              "YmCiYuChk=1\r\n");
    const auto v = LoadProfile(path, "SHORT"); // letter case does not matter
    EXPECT_EQ(v.YmLenSp1, 3);
    EXPECT_EQ(v.YmLenSp2, 7);
    EXPECT_EQ(v.YmHanEd, "ai bai");
    EXPECT_EQ(v.YmPaiEd, "\xBA\xC3");
    EXPECT_EQ(v.YmPiPeiEd, ""); // saved empty: not the "zg*" of a missing key
    EXPECT_TRUE(v.DuplicationChk);
    EXPECT_EQ(v.PrevKeyEd, "Hao");
    EXPECT_EQ(v.LastKeyEd, "you");
    EXPECT_TRUE(v.YmCiYuChk);
    EXPECT_EQ(ListProfiles(path), (std::vector<std::string>{"short"}));
    auto clear = Sample();
    clear.YmCiYuChk = false;
    SaveProfile(path, "short", clear);
    EXPECT_FALSE(LoadProfile(path, "short").YmCiYuChk);
    EXPECT_NE(ReadFile(dir.Path() / "kestrova.ini").find("YmCiYuChk=0\r\n"), std::string::npos);
}

// A file of the older program: the eight keys, no words box. It loads with the
// box clear, and saved back its eight keys stand as they were, in their order.
TEST_F(Profiles, AnOlderFileLoadsWithTheWordsBoxClearAndKeepsItsEightKeys) {
    const std::string eight =
        "YmLenSp1=3\r\nYmLenSp2=7\r\nYmHanEd=ai bai\r\nYmPaiEd=\xBA\xC3\r\n"
        "YmPiPeiEd=\r\nDuplicationChk=1\r\nPrevKeyEd=Hao\r\nLastKeyEd=you\r\n";
    Hand("[old]\r\n" + eight);
    const auto v = LoadProfile(path, "old");
    EXPECT_FALSE(v.YmCiYuChk);
    EXPECT_EQ(v.YmHanEd, "ai bai");
    EXPECT_TRUE(v.DuplicationChk);
    SaveProfile(path, "old", v);
    EXPECT_EQ(ReadFile(dir.Path() / "kestrova.ini"), "[old]\r\n" + eight + "YmCiYuChk=0\r\n");
}

TEST_F(Profiles, TheWordsBoxReadsAsTheOtherCheckBoxDoes) {
    Hand("[abc]\r\nYmCiYuChk=abc\r\n[empty]\r\nYmCiYuChk=\r\n[two]\r\nYmCiYuChk=2\r\n"
         "[hex]\r\nYmCiYuChk=0x1\r\n[zero]\r\nYmCiYuChk=0\r\n");
    EXPECT_FALSE(LoadProfile(path, "abc").YmCiYuChk);
    EXPECT_FALSE(LoadProfile(path, "empty").YmCiYuChk);
    EXPECT_TRUE(LoadProfile(path, "two").YmCiYuChk);
    EXPECT_TRUE(LoadProfile(path, "hex").YmCiYuChk);
    EXPECT_FALSE(LoadProfile(path, "zero").YmCiYuChk);
}

TEST_F(Profiles, SavingAgainOverwritesTheSameSection) {
    SaveProfile(path, "p", Sample());
    auto other = Sample();
    other.YmLenSp1 = 5;
    SaveProfile(path, "P", other);
    EXPECT_EQ(LoadProfile(path, "p").YmLenSp1, 5);
    EXPECT_EQ(ListProfiles(path).size(), 1u);
}

TEST_F(Profiles, MissingKeysAndSectionsLoadTheReadDefaults) {
    Hand("[hand]\r\nYmLenSp1=4\r\n");
    auto v = LoadProfile(path, "hand");
    EXPECT_EQ(v.YmLenSp1, 4);
    EXPECT_EQ(v.YmLenSp2, 9); // not the 10 that clearing sets
    EXPECT_EQ(v.YmPiPeiEd, "zg*");
    EXPECT_FALSE(v.DuplicationChk);
    v = LoadProfile(path, "gone");
    EXPECT_EQ(v.YmLenSp1, 2);
    EXPECT_EQ(v.YmLenSp2, 9);
    EXPECT_EQ(v.YmHanEd, "");
    EXPECT_EQ(v.YmPiPeiEd, "zg*");
}

TEST_F(Profiles, IntegerValuesDecimalHexOrDefault) {
    Hand("[n]\r\nYmLenSp1=0x0A\r\nYmLenSp2=twelve\r\nDuplicationChk=2\r\n"
         "[m]\r\nYmLenSp1=-5\r\nYmLenSp2=250\r\nDuplicationChk=\r\n");
    auto v = LoadProfile(path, "n");
    EXPECT_EQ(v.YmLenSp1, 10);
    EXPECT_EQ(v.YmLenSp2, 9);
    EXPECT_TRUE(v.DuplicationChk);
    v = LoadProfile(path, "m");
    EXPECT_EQ(ClampLength(v.YmLenSp1), 0);
    EXPECT_EQ(ClampLength(v.YmLenSp2), 100);
    EXPECT_FALSE(v.DuplicationChk);
}

TEST(ParseProfileInteger, Forms) {
    EXPECT_EQ(ParseProfileInteger("42", 2), 42);
    EXPECT_EQ(ParseProfileInteger("-7", 2), -7);
    EXPECT_EQ(ParseProfileInteger("+7", 2), 7);
    EXPECT_EQ(ParseProfileInteger("0X1f", 2), 31);
    EXPECT_EQ(ParseProfileInteger("0xFFFFFFFF", 2), -1);
    EXPECT_EQ(ParseProfileInteger("0x", 2), 2); // two characters: decimal, invalid
    EXPECT_EQ(ParseProfileInteger("0x1G", 2), 2);
    EXPECT_EQ(ParseProfileInteger("0x100000000", 2), 2);
    EXPECT_EQ(ParseProfileInteger("2147483648", 2), 2);
    EXPECT_EQ(ParseProfileInteger("12abc", 2), 2);
    EXPECT_EQ(ParseProfileInteger("", 9), 9);
    EXPECT_EQ(ParseProfileInteger("+-1", 9), 9);
}

TEST_F(Profiles, AnUnwritableFileRaisesUnableToWriteAndKeepsEarlierKeys) {
    WriteFile(dir.Path() / "plain", "x");
    const platform::FilePath below = dir.File("plain/kestrova.ini");
    try {
        SaveProfile(below, "p", Sample());
        FAIL() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + below.ToText());
    }
}

TEST_F(Profiles, ClearedValues) {
    const auto v = ClearedProfileValues();
    EXPECT_EQ(v.YmLenSp1, 2);
    EXPECT_EQ(v.YmLenSp2, 10);
    EXPECT_EQ(v.YmPiPeiEd, "");
    EXPECT_FALSE(v.DuplicationChk);
    EXPECT_FALSE(v.YmCiYuChk);
}

TEST_F(Profiles, ANameWithABracketIsRefusedForWhatItIsBeforeAnythingIsWritten) {
    Hand("[kept]\r\nYmLenSp1=3\r\n");
    for (const std::string name : {"a]b", "]", "end]"}) {
        try {
            SaveProfile(path, name, Sample());
            ADD_FAILURE() << name << " was saved";
        } catch (const AppError& e) {
            EXPECT_EQ(std::string(e.what()),
                      testing_support::G("设置组合的名称不能含有“]”：这样的名称存进设置文件"
                                         "后再也读不出来。\r\n\r\n请换一个名称..."))
                << name;
        }
    }
    EXPECT_EQ(ReadFile(dir.Path() / "kestrova.ini"), "[kept]\r\nYmLenSp1=3\r\n");
    // A two-byte character whose second byte is the code of "]" is no bracket.
    EXPECT_NO_THROW(SaveProfile(path, "\xE0\x5D", Sample()));
    EXPECT_EQ(ListProfiles(path), (std::vector<std::string>{"kept", "\xE0\x5D"}));
}
