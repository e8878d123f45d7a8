#include "Gbk.h"
#include "Texts.h"

#include <gtest/gtest.h>

using platform::GbkToUtf8;
using platform::Utf8ToGbk;

TEST(GbkCodec, ConvertsChineseBothWays) {
    EXPECT_EQ(Utf8ToGbk("可以注册"), "\xBF\xC9\xD2\xD4\xD7\xA2\xB2\xE1");
    EXPECT_EQ(GbkToUtf8("\xBF\xC9\xD2\xD4\xD7\xA2\xB2\xE1"), "可以注册");
    EXPECT_EQ(GbkToUtf8(Utf8ToGbk("共484个域名 AiBai.com")), "共484个域名 AiBai.com");
}

TEST(GbkCodec, AsciiPassesUnchanged) {
    const std::string ascii = "AiBai.com\r\n";
    EXPECT_EQ(Utf8ToGbk(ascii), ascii);
    EXPECT_EQ(GbkToUtf8(ascii), ascii);
}

TEST(GbkCodec, ReplacesWhatCannotBeConverted) {
    // A lead byte without a valid trail byte, and one at the very end.
    EXPECT_EQ(GbkToUtf8("a\x81 b"), "a\xEF\xBF\xBD b");
    EXPECT_EQ(GbkToUtf8("ab\xC4"), "ab\xEF\xBF\xBD");
    // An emoji has no GBK form; a broken UTF-8 sequence neither.
    EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80"
                        "b"),
              "a?b");
    EXPECT_EQ(Utf8ToGbk("a\xE4"
                        "b"),
              "a?b");
}

TEST(GbkCodec, TextsAreHeldInGbk) {
    EXPECT_EQ(texts::ShortcutArgumentsBad(),
              "\xB4\xB4\xBD\xA8\xBF\xEC\xBD\xDD\xB7\xBD\xCA\xBD\xB5\xC4\xB2\xCE\xCA\xFD"
              "\xD2\xEC\xB3\xA3...");
    EXPECT_EQ(texts::StatusRegistered().size(), 6u); // three characters of two bytes
}
