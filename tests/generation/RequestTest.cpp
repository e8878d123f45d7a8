#include "Request.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

using testing_support::G;
using Words = std::vector<std::string>;

namespace {

std::optional<TGenerationRequest> Read(const TGenerationInputs& in, bool running = false,
                                       int rows = 0) {
    std::string refusal;
    auto request = ReadGenerationRequest(in, running, rows, refusal);
    EXPECT_EQ(request.has_value(), refusal.empty());
    return request;
}

std::string Refusal(const TGenerationInputs& in, bool running, int rows) {
    std::string refusal;
    EXPECT_FALSE(ReadGenerationRequest(in, running, rows, refusal).has_value());
    return refusal;
}

} // namespace

TEST(ReadSyllables, LinesAndRunsOfBlanksSeparateEntries) {
    EXPECT_EQ(ReadSyllables("ai  bai\r\n\r\nbin "), (Words{"Ai", "Bai", "Bin"}));
    EXPECT_EQ(ReadSyllables("ai,bai"), (Words{"Ai,bai"}));
    EXPECT_EQ(ReadSyllables("ai\tbai"), (Words{"Ai\tbai"}));
    EXPECT_EQ(ReadSyllables("ai ai"), (Words{"Ai", "Ai"}));
    EXPECT_EQ(ReadSyllables("sHAN 1ai \xC4\xE3hao"), (Words{"SHAN", "1ai", "\xC4\xE3hao"}));
    EXPECT_TRUE(ReadSyllables(" \r\n  \r\n").empty());
    // A lone LF is no line break of the memo: it stays inside its entry.
    EXPECT_EQ(ReadSyllables("ai\nbai"), (Words{"Ai\nbai"}));
}

TEST(ReadSyllables, TheWindowsDefaultMemoGivesTheTwentyTwoSyllables) {
    EXPECT_EQ(
        ReadSyllables("ai  bai   bin    du fu gao hao hua jia jie kan \r\n"
                      "mai mei pai shan shi tian wen wa xi xiu you\r\n\r\n"),
        (Words{"Ai",  "Bai", "Bin", "Du",   "Fu",  "Gao",  "Hao", "Hua", "Jia", "Jie", "Kan",
               "Mai", "Mei", "Pai", "Shan", "Shi", "Tian", "Wen", "Wa",  "Xi",  "Xiu", "You"}));
}

TEST(ReadGenerationRequest, ChecksComeInTheirOrderWithTheirMessages) {
    TGenerationInputs in;
    in.Memo = testing_support::SyllableMemo(101);
    EXPECT_EQ(Refusal(in, true, 20000), G("正在进行域名查询...\r\n\r\n请先停止再做这个操作。"));
    EXPECT_EQ(Refusal(in, false, 10001),
              G("待查域名的数目超过10000个了！\r\n\r\n请不要再增加了。"));
    EXPECT_EQ(
        Refusal(in, false, 10000),
        G("音节数目超过100个了，暂时不接受超过100个音节的组合要求！\r\n\r\n请减少音节数目。"));
    in.Memo = testing_support::SyllableMemo(100);
    EXPECT_TRUE(Read(in, false, 10000).has_value());
}

TEST(ReadGenerationRequest, WordListsAndTextsAreTakenAsTheyStand) {
    TGenerationInputs in;
    in.Memo = "";
    in.Han = "  ai   bai ";
    in.Pai = "   ";
    in.PiPei = "z*s";
    in.PrevKey = " ";
    in.LastKey = "Ai ";
    in.LenMin = 9;
    in.LenMax = 3;
    const auto request = Read(in);
    ASSERT_TRUE(request);
    EXPECT_TRUE(request->Syllables.empty());
    EXPECT_EQ(request->HanWords, (Words{"ai", "bai"}));
    EXPECT_TRUE(request->PaiWords.empty());
    EXPECT_EQ(request->PiPeiWords, (Words{"z*s"}));
    EXPECT_EQ(request->PrevKey, " ");
    EXPECT_EQ(request->LastKey, "Ai ");
    EXPECT_EQ(request->LenMin, 9);
    EXPECT_EQ(request->LenMax, 3);
}

TEST(ReadGenerationRequest, TheWordsBoxIsCarriedAndRefusesNothingOfItsOwn) {
    TGenerationInputs in;
    in.WordsOnly = true;
    in.Memo = testing_support::SyllableMemo(101);
    EXPECT_EQ(Refusal(in, true, 0), G("正在进行域名查询...\r\n\r\n请先停止再做这个操作。"));
    EXPECT_EQ(Refusal(in, false, 10001),
              G("待查域名的数目超过10000个了！\r\n\r\n请不要再增加了。"));
    EXPECT_EQ(
        Refusal(in, false, 0),
        G("音节数目超过100个了，暂时不接受超过100个音节的组合要求！\r\n\r\n请减少音节数目。"));
    in.Memo = "mei li";
    const auto request = Read(in);
    ASSERT_TRUE(request);
    EXPECT_TRUE(request->WordsOnly);
    in.WordsOnly = false;
    EXPECT_FALSE(Read(in)->WordsOnly);
}
