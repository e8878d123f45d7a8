#include "Base.h"

#include <gtest/gtest.h>

using Words = std::vector<std::string>;

TEST(Trim, RemovesControlBytesAndBlanksAtBothEndsOnly) {
    EXPECT_EQ(Trim(std::string("\x01\t  ai bai\r\n\x1f ", 14)), "ai bai");
    EXPECT_EQ(Trim(" \t\r\n"), "");
    // Bytes above 127 (GBK) are never trimmed, nor is a two-byte blank of the code page.
    EXPECT_EQ(Trim(" \xA1\xA1x\xA1\xA1 "), "\xA1\xA1x\xA1\xA1");
}

TEST(UpperCase, TurnsOnlyAsciiLettersIntoCapitals) {
    EXPECT_EQ(UpperCase("sHan1-z\xC4\xE3"), "SHAN1-Z\xC4\xE3");
    EXPECT_TRUE(SameText("AiBai.com", "aibai.COM"));
    EXPECT_FALSE(SameText("AiBai.com", "AiBai.co"));
    // Bytes above 127 are compared unchanged: 0xE1 is no small letter.
    EXPECT_FALSE(SameText("\xE1", "\xC1"));
}

TEST(SplitWords, SeparatesAtBlanksOnly) {
    EXPECT_EQ(SplitWords(" ", "  ai   bai "), (Words{"ai", "bai"}));
    EXPECT_EQ(SplitWords(" ", "ai,bai"), (Words{"ai,bai"}));
    EXPECT_EQ(SplitWords(" ", "ai\tbai"), (Words{"ai\tbai"}));
    EXPECT_EQ(SplitWords(" ", "ai\rbai\nbin"), (Words{"ai\rbai\nbin"}));
    EXPECT_EQ(SplitWords(" ", "ai\xA1\xA1"
                              "bai"),
              (Words{"ai\xA1\xA1"
                     "bai"}));
}

TEST(SplitWords, KeepsOrderAndDuplicates) {
    EXPECT_EQ(SplitWords(" ", "ai ai Ai"), (Words{"ai", "ai", "Ai"}));
}

TEST(SplitWords, EmptyAndBlankTextsGiveNoWords) {
    EXPECT_TRUE(SplitWords(" ", "").empty());
    EXPECT_TRUE(SplitWords(" ", "   \t\r\n ").empty());
}

TEST(SplitWords, LongerSeparatorsAndTheEmptySeparator) {
    EXPECT_EQ(SplitWords(", ", "a, b, , c,,d"), (Words{"a", "b", "c,,d"}));
    EXPECT_EQ(SplitWords("", " a b "), (Words{"a b"}));
}

TEST(PadNumber, FillsInFrontAndNeverCuts) {
    EXPECT_EQ(PadNumber(5, 3, false), "  5");
    EXPECT_EQ(PadNumber(484, 3, false), "484");
    EXPECT_EQ(PadNumber(12345, 3, false), "12345");
    EXPECT_EQ(PadNumber(0, 4, true), "0000");
    EXPECT_EQ(PadNumber(7, 2, true), "07");
    EXPECT_EQ(PadNumber(-5, 4, true), "00-5");
    EXPECT_EQ(PadNumber(0, 0, false), "0");
}

TEST(FormatText, ReplacesTheFirstPlaceholder) {
    EXPECT_EQ(FormatText("Cannot create file %s", "/tmp/a b.txt"),
              "Cannot create file /tmp/a b.txt");
    EXPECT_EQ(FormatText("no placeholder", "x"), "no placeholder");
}
