// Which form of a name the registry is asked about, and which names are
// never asked at all.
#include "DomainLabel.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <vector>

using testing_support::G;

TEST(IsRegistrableLabel, LettersDigitsAndInnerHyphensUpTo63) {
    for (const std::string& good : std::vector<std::string>{"a", "AiBai", "ai-bai", "a-b-c", "123",
                                                            "0a", "ab-cd", std::string(63, 'z')}) {
        EXPECT_TRUE(IsRegistrableLabel(good)) << good;
    }
    for (const std::string& bad : std::vector<std::string>{
             "", "-ai", "ai-", "ab--cd", "xn--abc", "ai_bai", "ai,bai", "ai.bai", "ai bai",
             "ai/bai", "ai\tbai", std::string(64, 'z'), std::string("ai\0b", 4)}) {
        EXPECT_FALSE(IsRegistrableLabel(bad)) << bad;
    }
    EXPECT_TRUE(IsRegistrableLabel("a--b")); // "--" elsewhere than third and fourth
}

TEST(AskedForm, AnAsciiNameIsAskedAsItStands) {
    EXPECT_EQ(AskedForm("AiBai.com").label, "AiBai");
    EXPECT_EQ(AskedForm("AiBai.COM").label, "AiBai");
    EXPECT_EQ(AskedForm("AiBai").label, "AiBai");
    EXPECT_TRUE(AskedForm("AiBai.com").why.empty());
}

TEST(AskedForm, ANameThatCannotBeRegisteredGetsAReasonAndNoLabel) {
    const std::pair<std::string, std::string> cases[] = {
        {"Ai_Bai.com", "letters"},  {"Ai.Bai.com", "dot"},   {"AiBai.net", "dot"},
        {"AiBai.", "dot"},          {".com", "empty"},       {std::string(64, 'a') + ".com", "63"},
        {"Xn--Bai.com", "letters"}, {"-Bai.com", "letters"},
    };
    for (const auto& [entry, reason] : cases) {
        const TAskedForm form = AskedForm(entry);
        EXPECT_EQ(form.label, "") << entry;
        EXPECT_NE(form.why.find(reason), std::string::npos) << entry << ": " << form.why;
    }
}

TEST(AskedForm, AChineseNameIsAskedInItsIdnaForm) {
    EXPECT_EQ(AskedForm(G("美丽") + ".com").label, "xn--viq251j");
    EXPECT_EQ(AskedForm(G("美丽Bai") + ".com").label, "xn--bai-o88dm86t");
    EXPECT_EQ(AskedForm(G("美丽BAI")).label, "xn--bai-o88dm86t");
    EXPECT_NE(AskedForm(G("美丽") + "-" + G("美丽") + ".com").label, ""); // an inner "-"
    EXPECT_NE(AskedForm(G("美") + "--" + G("丽") + ".com").label, "");    // "--" in places 2-3
    // Full-width letters map to the plain ones, which are then the name.
    EXPECT_EQ(AskedForm(G("ＡｉＢａｉ") + ".com").label, "aibai");
}

TEST(AskedForm, ANameWithoutAnIdnaFormIsNotAsked) {
    for (const std::string& entry : std::vector<std::string>{
             G("美丽_Bai") + ".com", G("美丽 Bai") + ".com", std::string("\x81") + " Bai.com",
             G("美") + std::string(60, 'a') + ".com", G("美丽") + "-.com", "-" + G("美丽") + ".com",
             G("美丽") + "--" + G("美") + ".com"}) {
        const TAskedForm form = AskedForm(entry);
        EXPECT_EQ(form.label, "") << entry;
        EXPECT_FALSE(form.why.empty()) << entry;
    }
}
