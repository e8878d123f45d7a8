#include "Generator.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

using testing_support::G;
using Names = std::vector<std::string>;

namespace {

TGenerationRequest AiBai() {
    TGenerationRequest request;
    request.Syllables = {"Ai", "Bai"};
    request.LenMin = 2;
    request.LenMax = 10;
    return request;
}

Names Generate(const TGenerationRequest& request) {
    Names names;
    for (const auto& caption : GenerateCaptions(request)) {
        EXPECT_EQ(caption.substr(caption.size() - 4), ".com");
        names.push_back(caption.substr(0, caption.size() - 4));
    }
    return names;
}

} // namespace

TEST(Generator, TheDefaultSyllablesGiveFourHundredEightyFourNamesInWalkOrder) {
    TGenerationInputs in; // the window's defaults, pattern "z*s" included
    in.Memo = "ai  bai   bin    du fu gao hao hua jia jie kan \r\n"
              "mai mei pai shan shi tian wen wa xi xiu you\r\n\r\n";
    std::string refusal;
    const auto request = ReadGenerationRequest(in, false, 0, refusal);
    ASSERT_TRUE(request);
    const auto captions = GenerateCaptions(*request);
    ASSERT_EQ(captions.size(), 484u);
    EXPECT_EQ(captions[0], "AiAi.com");
    EXPECT_EQ(captions[1], "AiBai.com");
    EXPECT_EQ(captions[2], "AiBin.com");
    EXPECT_EQ(captions[21], "AiYou.com");
    EXPECT_EQ(captions[22], "BaiAi.com");
    EXPECT_EQ(captions[483], "YouYou.com");
    EXPECT_EQ(CountLabelAfterGeneration(static_cast<int>(captions.size())), G("共484个域名"));
}

TEST(Generator, SmallExamplesOneSettingAtATime) {
    EXPECT_EQ(Generate(AiBai()), (Names{"AiAi", "AiBai", "BaiAi", "BaiBai"}));
    struct Case {
        const char* what;
        std::function<void(TGenerationRequest&)> set;
        Names expected;
    };
    const std::vector<Case> cases = {
        {"min 5", [](auto& r) { r.LenMin = 5; }, {"AiBai", "BaiAi", "BaiBai"}},
        {"max 4", [](auto& r) { r.LenMax = 4; }, {"AiAi"}},
        {"contains ib", [](auto& r) { r.HanWords = {"ib"}; }, {"AiBai", "BaiBai"}},
        {"exclude BA", [](auto& r) { r.PaiWords = {"BA"}; }, {"AiAi"}},
        {"leading b", [](auto& r) { r.PrevKey = "b"; }, {"BaiAi", "BaiBai"}},
        {"trailing ai", [](auto& r) { r.LastKey = "ai"; }, {"AiAi", "AiBai", "BaiAi", "BaiBai"}},
        {"trailing bai", [](auto& r) { r.LastKey = "bai"; }, {"AiBai", "BaiBai"}},
        {"duplication", [](auto& r) { r.Duplication = true; }, {"AiAi", "BaiBai"}},
        {"contains any of two",
         [](auto& r) {
             r.HanWords = {"zz", "aia"};
         },
         {"AiAi", "BaiAi"}},
        {"exclude any of two",
         [](auto& r) {
             r.PaiWords = {"zz", "aia"};
         },
         {"AiBai", "BaiBai"}},
        {"word longer than names", [](auto& r) { r.HanWords = {"aibaibaibai"}; }, {}},
        {"leading blank", [](auto& r) { r.PrevKey = " "; }, {}},
        {"leading not in memo", [](auto& r) { r.PrevKey = "Hao"; }, {}},
        {"min above max",
         [](auto& r) {
             r.LenMin = 9;
             r.LenMax = 3;
         },
         {}},
        {"pattern restricts nothing",
         [](auto& r) {
             r.PiPeiWords = {"z*s", "zg*"};
         },
         {"AiAi", "AiBai", "BaiAi", "BaiBai"}},
    };
    for (const auto& c : cases) {
        auto request = AiBai();
        c.set(request);
        EXPECT_EQ(Generate(request), c.expected) << c.what;
    }
}

TEST(Generator, DuplicationCountsListEntriesNotTexts) {
    TGenerationRequest request = AiBai();
    request.Syllables = {"Ai", "Ai"};
    EXPECT_EQ(Generate(request), (Names{"AiAi", "AiAi", "AiAi", "AiAi"}));
    request.Duplication = true;
    EXPECT_EQ(Generate(request), (Names{"AiAi", "AiAi"}));
}

TEST(Generator, LengthsCountGbkBytes) {
    TGenerationRequest request = AiBai();
    request.Syllables = {"\xBA\xC3"}; // one Chinese character: 2 bytes
    request.LenMax = 3;
    EXPECT_TRUE(Generate(request).empty());
    request.LenMax = 4;
    EXPECT_EQ(Generate(request).size(), 1u);
}

TEST(Generator, OneHundredSyllablesGiveTenThousandNames) {
    TGenerationRequest request;
    for (int i = 0; i < 100; ++i) {
        request.Syllables.push_back("S" + std::to_string(i) + std::string(45, 'x'));
    }
    request.LenMin = 0;
    request.LenMax = 100;
    EXPECT_EQ(GenerateCaptions(request).size(), 10000u);
    EXPECT_TRUE(GenerateCaptions(TGenerationRequest{}).empty());
}

TEST(CountLabel, TextsAfterGenerationAndEmptying) {
    EXPECT_EQ(CountLabelAfterGeneration(4), G("共  4个域名"));
    EXPECT_EQ(CountLabelAfterGeneration(0), G("共  0个域名"));
    EXPECT_EQ(CountLabelAfterGeneration(584), G("共584个域名"));
    EXPECT_EQ(CountLabelAfterGeneration(12345), G("共12345个域名"));
    EXPECT_EQ(CountLabelAfterEmptying(0), G("共0000个域名"));
}
