#include "Generator.h"
#include "TestUtil.h"
#include "Words.h"

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

namespace {

bool SpellsAWord(const std::string& name) {
    return !words::Lookup(name).Words.empty();
}

// What the box leaves of a generation: the names that spell a word, in order.
Names WithWords(const Names& names) {
    Names out;
    std::copy_if(names.begin(), names.end(), std::back_inserter(out), SpellsAWord);
    return out;
}

} // namespace

TEST(GeneratorWordsOnly, KeepsOnlyNamesThatSpellAWordInWalkOrder) {
    TGenerationRequest request = AiBai();
    request.Syllables = {"Mei", "Li", "Fang", "An", "Ai", "Bai"};
    const Names all = Generate(request);
    request.WordsOnly = true;
    const Names some = Generate(request);
    EXPECT_EQ(some, WithWords(all));
    for (const char* name : {"MeiLi", "FangAn", "AnLi", "MeiMei"}) {
        EXPECT_NE(std::find(some.begin(), some.end(), name), some.end()) << name;
    }
    for (const char* name : {"AiBai", "BaiAi", "AiFang", "FangBai", "AnMei"}) {
        EXPECT_EQ(std::find(some.begin(), some.end(), name), some.end()) << name;
    }
    EXPECT_LT(some.size(), all.size());
}

// The box is the last test: with any other filter it keeps, of what that
// filter gives, exactly the names that spell a word.
TEST(GeneratorWordsOnly, ComesAfterEveryOtherFilter) {
    const std::vector<std::pair<const char*, std::function<void(TGenerationRequest&)>>> filters = {
        {"lengths 4 to 5",
         [](auto& r) {
             r.LenMin = 4;
             r.LenMax = 5;
         }},
        {"contains an",
         [](auto& r) {
             r.HanWords = {"an"};
         }},
        {"excludes mei",
         [](auto& r) {
             r.PaiWords = {"mei"};
         }},
        {"leading Mei",
         [](auto& r) {
             r.PrevKey = "Mei";
         }},
        {"trailing li",
         [](auto& r) {
             r.LastKey = "li";
         }},
        {"duplication",
         [](auto& r) {
             r.Duplication = true;
         }},
        {"pattern",
         [](auto& r) {
             r.PiPeiWords = {"z*s"};
         }},
        {"all at once",
         [](auto& r) {
             r.LenMin = 4;
             r.HanWords = {"i"};
             r.PaiWords = {"bai"};
             r.PrevKey = "m";
             r.LastKey = "i";
         }},
    };
    for (const auto& [what, set] : filters) {
        TGenerationRequest request = AiBai();
        request.Syllables = {"Mei", "Li", "Fang", "An", "Ai", "Bai", "Mi", "Ma"};
        set(request);
        const Names filtered = Generate(request);
        request.WordsOnly = true;
        EXPECT_EQ(Generate(request), WithWords(filtered)) << what;
    }
}

TEST(GeneratorWordsOnly, TheDefaultSyllablesKeepTheNamesThatMeanSomething) {
    TGenerationInputs in;
    in.Memo = "ai  bai   bin    du fu gao hao hua jia jie kan \r\n"
              "mai mei pai shan shi tian wen wa xi xiu you\r\n\r\n";
    in.WordsOnly = true;
    std::string refusal;
    const auto request = ReadGenerationRequest(in, false, 0, refusal);
    ASSERT_TRUE(request);
    EXPECT_TRUE(request->WordsOnly);
    const Names names = Generate(*request);
    EXPECT_GT(names.size(), 100u);
    EXPECT_LT(names.size(), 484u);
    EXPECT_TRUE(std::all_of(names.begin(), names.end(), SpellsAWord));
    EXPECT_NE(std::find(names.begin(), names.end(), "ShiJie"), names.end()); // 世界
    EXPECT_EQ(std::find(names.begin(), names.end(), "AiBai"), names.end());
}

TEST(GeneratorWordsOnly, NamesWithDigitsOrChineseSpellNothing) {
    TGenerationRequest request = AiBai();
    request.Syllables = {"Mei", "Li", "Li1", "\xC0\xF6"};
    request.WordsOnly = true;
    EXPECT_EQ(Generate(request), (Names{"MeiMei", "MeiLi", "LiLi"}));
}
