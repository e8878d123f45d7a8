#include "Words.h"
#include "TestUtil.h"
#include "WordListData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using testing_support::G;
using words::Lookup;
using words::LookupCaption;

namespace {

// The words of a spelling, each as GBK.
std::vector<std::string> Split(std::string_view joined) {
    const std::string mark = G("、");
    std::vector<std::string> out;
    while (!joined.empty()) {
        const std::size_t at = joined.find(mark);
        out.emplace_back(joined.substr(0, at));
        joined =
            at == std::string_view::npos ? std::string_view() : joined.substr(at + mark.size());
    }
    return out;
}

bool Has(std::string_view letters, const char* utf8) {
    const auto all = Split(Lookup(letters).Words);
    return std::find(all.begin(), all.end(), G(utf8)) != all.end();
}

} // namespace

TEST(Words, EverySplitOfTheLettersCountsMostCommonFirst) {
    EXPECT_EQ(Lookup("meili").Words, G("美丽、魅力"));
    EXPECT_EQ(Lookup("fangan").Words, G("方案、反感")); // fang+an, fan+gan
    EXPECT_TRUE(Has("xian", "西安"));                   // xi+an
    // The many words of shishi, in the order of their frequency.
    const auto shishi = Split(Lookup("shishi").Words);
    ASSERT_GE(shishi.size(), 10u);
    EXPECT_EQ(shishi[0], G("实施"));
    EXPECT_EQ(shishi[1], G("事实"));
    for (const char* word : {"试试", "逝世", "史诗", "实时", "时事"}) {
        EXPECT_TRUE(Has("shishi", word)) << word;
    }
    const auto at = [&](const char* word) {
        return std::find(shishi.begin(), shishi.end(), G(word)) - shishi.begin();
    };
    EXPECT_LT(at("试试"), at("时事"));
}

TEST(Words, SingleCharactersDoNotCount) {
    EXPECT_FALSE(Has("xian", "先"));
    EXPECT_TRUE(Lookup("mei").Words.empty());
    EXPECT_TRUE(Lookup("shi").Words.empty());
}

TEST(Words, LettersMatchInAnyCase) {
    EXPECT_EQ(Lookup("Xian").Words, Lookup("xian").Words);
    EXPECT_EQ(Lookup("XIAN").Words, Lookup("xian").Words);
    EXPECT_EQ(Lookup("MeiLi").Words, G("美丽、魅力"));
    EXPECT_EQ(Lookup("LVSE").Words, G("绿色"));
}

TEST(Words, VStandsForUUmlaut) {
    EXPECT_EQ(Lookup("lvse").Words, G("绿色"));
    EXPECT_TRUE(Has("nvren", "女人"));
    EXPECT_TRUE(Has("lvyou", "旅游"));
    // lüe and nüe are written both ways in names.
    EXPECT_TRUE(Has("celve", "策略"));
    EXPECT_TRUE(Has("celue", "策略"));
}

TEST(Words, ThreeAndFourCharacterWords) {
    EXPECT_EQ(Lookup("BeiJingRen").Words, G("北京人"));
    EXPECT_TRUE(Has("zhongguoren", "中国人"));
    EXPECT_TRUE(Has("aibushishou", "爱不释手"));
    EXPECT_TRUE(Has("yimingjingren", "一鸣惊人"));
}

TEST(Words, NamesWithAnythingButLettersSpellNothing) {
    for (const char* name :
         {"", "mei1li", "mei.li", "mei li", "mei-li", "meili ", "\xC3\xC0\xC0\xF6", "meili\n"}) {
        const auto spelling = Lookup(name);
        EXPECT_TRUE(spelling.Words.empty()) << name;
        EXPECT_EQ(spelling.Rank, words::kNoWord) << name;
    }
    EXPECT_TRUE(Lookup(std::string(65, 'a')).Words.empty());
    EXPECT_TRUE(Lookup("aibai").Words.empty());
}

TEST(Words, RankFollowsTheFirstWordsCommonness) {
    // 方案 is more common than 美丽, which is more common than 北京人.
    EXPECT_LT(Lookup("fangan").Rank, Lookup("meili").Rank);
    EXPECT_LT(Lookup("meili").Rank, Lookup("beijingren").Rank);
    EXPECT_EQ(Lookup("aibai").Rank, words::kNoWord);
}

TEST(Words, CaptionsLoseTheirSuffix) {
    EXPECT_EQ(LookupCaption("MeiLi.com").Words, G("美丽、魅力"));
    EXPECT_EQ(LookupCaption("MEILI.COM").Words, G("美丽、魅力"));
    EXPECT_EQ(LookupCaption("MeiLi").Words, G("美丽、魅力"));
    EXPECT_EQ(LookupCaption("FangAn.com").Rank, Lookup("fangan").Rank);
    EXPECT_TRUE(LookupCaption("AiBai.com").Words.empty());
    EXPECT_TRUE(LookupCaption("Mei.Li.com").Words.empty());
    EXPECT_TRUE(LookupCaption(".com").Words.empty());
    EXPECT_TRUE(LookupCaption("").Words.empty());
}

// The list built into the program: every line well formed and in order (the
// index leaves out any other), every word of two to four GBK characters.
TEST(WordList, EveryLineIsReadAndEveryWordIsTwoToFourCharacters) {
    const std::string_view bytes = words::WordListBytes();
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '\n');
    const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    EXPECT_GT(lines, 30000u);
    EXPECT_EQ(words::SpellingCount(), lines);
    std::size_t start = 0;
    std::size_t checked = 0;
    while (start < bytes.size()) {
        const std::size_t stop = bytes.find('\n', start);
        const std::string_view line = bytes.substr(start, stop - start);
        const std::string_view joined = line.substr(line.rfind('\t') + 1);
        for (const auto& word : Split(joined)) {
            ASSERT_TRUE(word.size() >= 4 && word.size() <= 8 && word.size() % 2 == 0) << line;
            for (std::size_t i = 0; i < word.size(); i += 2) {
                ASSERT_GE(static_cast<unsigned char>(word[i]), 0x81u) << line;
            }
            ++checked;
        }
        start = stop + 1;
    }
    EXPECT_GT(checked, 35000u);
}

// A damaged list: lines of another shape and lines out of order are left out,
// and what stays is found; nothing is read past the bytes.
TEST(WordIndex, LeavesOutDamagedLinesAndLinesOutOfOrder) {
    const std::string bytes = "aa\t5\tA\n"
                              "ab\tx\tB\n" // rank not a number
                              "ac\t7\n"    // no words
                              "\t1\tC\n"   // no letters
                              "aD\t1\tD\n" // not lower case
                              "ae\t2\tE\n"
                              "ad\t3\tF\n"          // out of order
                              "af\t4294967295\tG\n" // the no-word rank
                              "ag\t9\tH";           // the last line without LF
    const words::TWordIndex index(bytes);
    EXPECT_EQ(index.Count(), 3u);
    EXPECT_EQ(index.Find("aa").Words, "A");
    EXPECT_EQ(index.Find("aa").Rank, 5u);
    EXPECT_EQ(index.Find("ae").Words, "E");
    EXPECT_EQ(index.Find("ag").Words, "H");
    for (const char* gone : {"ab", "ac", "ad", "af", "a", "", "zz"}) {
        EXPECT_TRUE(index.Find(gone).Words.empty()) << gone;
        EXPECT_EQ(index.Find(gone).Rank, words::kNoWord) << gone;
    }
    EXPECT_EQ(words::TWordIndex("").Count(), 0u);
    EXPECT_EQ(words::TWordIndex("\n\n\n").Count(), 0u);
}
