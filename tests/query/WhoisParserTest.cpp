#include "WhoisParser.h"
#include "TestUtil.h"
#include "Ymcx.h"

#include <gtest/gtest.h>

using testing_support::Fixture;

namespace {

TYmSeekRec Parse(const std::string& answer, const std::string& name) {
    TYmSeekRec rec;
    rec.Name = name;
    rec.Kind = 1;
    rec.Registrar = rec.CreationDate = rec.ExpirationDate = "stale";
    ParseWhoisAnswer(answer, rec);
    return rec;
}

} // namespace

TEST(ParseWhoisAnswer, TheNoMatchLineForTheNameMeansAvailable) {
    const auto rec = Parse("No match for \"ABCD.COM\".\n", "abcd");
    EXPECT_EQ(rec.State, 1);
    EXPECT_EQ(rec.Registered, 0);
    EXPECT_EQ(rec.Registrar, "");
    EXPECT_EQ(rec.CreationDate, "");
    EXPECT_EQ(rec.ExpirationDate, "");
    EXPECT_EQ(Parse(Fixture("whois/available-xiuwen.com.txt"), "XiuWen").Registered, 0);
}

TEST(ParseWhoisAnswer, TheMarkerMustBeInCapitalsAndForThisName) {
    EXPECT_EQ(Parse("No match for \"abcd.com\".\n", "abcd").Registered, 1);
    EXPECT_EQ(Parse("No match for \"ABCE.COM\".\n", "abcd").Registered, 1);
    EXPECT_EQ(Parse("No match for \"ABCD.COM\"\n", "abcd").Registered, 1);
}

TEST(ParseWhoisAnswer, TodaysLayoutGivesRegistrarAndBothDates) {
    const auto rec = Parse(Fixture("whois/registered-aibai.com.txt"), "AiBai");
    EXPECT_EQ(rec.State, 1);
    EXPECT_EQ(rec.Registered, 1);
    EXPECT_EQ(rec.Registrar, " Example Names Ltd.\r");
    EXPECT_EQ(rec.CreationDate, "2003-11-24");
    EXPECT_EQ(rec.ExpirationDate, "2027-11-24");
}

TEST(ParseWhoisAnswer, TheOlderLayoutGivesConvertedDatesAndACutRegistrar) {
    const auto rec = Parse(Fixture("whois/registered-haofu.com-old-layout.txt"), "HaoFu");
    EXPECT_EQ(rec.Registered, 1);
    EXPECT_EQ(rec.Registrar, " LONG NAMED REGISTRA"); // 20 characters, the blank counted
    EXPECT_EQ(rec.CreationDate, "2005-02-08");
    EXPECT_EQ(rec.ExpirationDate, "2010-02-08");
}

TEST(ParseWhoisAnswer, FieldsNeedAMarkerAndALineFeedInTheirWindow) {
    const std::string longLine = "Creation Date: " + std::string(40, '1') + "\n";
    auto rec = Parse("Domain Name: ABCD.COM\n" + longLine + "Expiration Date: 15-Mar-2005", "abcd");
    EXPECT_EQ(rec.Registered, 1);
    EXPECT_EQ(rec.CreationDate, "");   // no line feed within 30 characters
    EXPECT_EQ(rec.ExpirationDate, ""); // no line feed at all
    EXPECT_EQ(rec.Registrar, "");
    rec = Parse("Registrar: First\nRegistrar: Second\n", "abcd");
    EXPECT_EQ(rec.Registrar, " First");
}

TEST(ParseWhoisAnswer, ShortAnswersWithoutTheMarkerCountAsRegisteredWithoutFields) {
    const auto rec = Parse("Registrar:", "abcd"); // exactly 10 characters
    EXPECT_EQ(rec.Registered, 1);
    EXPECT_EQ(rec.Registrar, "");
    EXPECT_EQ(Parse("", "abcd").Registered, 1);
}

TEST(ParseWhoisAnswer, TheOlderExpiryMarkerWinsOverTodays) {
    const auto rec = Parse("Domain Name: ABCD.COM\nRegistry Expiry Date: 2030-01-01T00:00:00Z\n"
                           "Expiration Date: 01-Jan-2029\n",
                           "abcd");
    EXPECT_EQ(rec.ExpirationDate, "2029-01-01");
}

TEST(ConvertWhoisDate, RewritesDayMonthYearAndIsoTimestamps) {
    EXPECT_EQ(ConvertWhoisDate(" 15-mar-2005\r"), "2005-03-15");
    EXPECT_EQ(ConvertWhoisDate("15-Mar-2005"), "2005-03-15");
    EXPECT_EQ(ConvertWhoisDate("01 DEC 1999"), "1999-12-01"); // separators are not looked at
    EXPECT_EQ(ConvertWhoisDate(" 1997-09-15T04:00:00Z\r"), "1997-09-15");
    EXPECT_EQ(ConvertWhoisDate("2028-09-14T04:00:00.0Z"), "2028-09-14");
}

TEST(ConvertWhoisDate, LeavesOtherFormsTrimmed) {
    EXPECT_EQ(ConvertWhoisDate("2005-03-15"), "2005-03-15");
    EXPECT_EQ(ConvertWhoisDate("15-Foo-2005"), "15-Foo-2005");
    EXPECT_EQ(ConvertWhoisDate("5-Mar-2005"), "5-Mar-2005");
    EXPECT_EQ(ConvertWhoisDate("\t\r\n"), "");
    EXPECT_EQ(ConvertWhoisDate("2005-0X-15T04"), "2005-0X-15T04");
}

TEST(IsWhoisAnswerAbout, OnlyAnswersAboutTheNameCount) {
    EXPECT_TRUE(IsWhoisAnswerAbout(Fixture("whois/available-xiuwen.com.txt"), "XiuWen"));
    EXPECT_TRUE(IsWhoisAnswerAbout(Fixture("whois/registered-aibai.com.txt"), "aibai"));
    EXPECT_TRUE(IsWhoisAnswerAbout(Fixture("whois/registered-haofu.com-old-layout.txt"), "HaoFu"));
    EXPECT_TRUE(IsWhoisAnswerAbout("\tdomain name:   AIBAI.COM  \r\n", "AiBai"));
    // A record of another name, a refusal, an error text, nothing.
    EXPECT_FALSE(IsWhoisAnswerAbout(Fixture("whois/registered-aibai.com.txt"), "AiBin"));
    EXPECT_FALSE(IsWhoisAnswerAbout(Fixture("whois/database-down.txt"), "AiBai"));
    EXPECT_FALSE(
        IsWhoisAnswerAbout("Your connection limit exceeded. Please slow down.\r\n", "AiBai"));
    EXPECT_FALSE(IsWhoisAnswerAbout("", "AiBai"));
    EXPECT_FALSE(IsWhoisAnswerAbout("Domain Name: AIBAI.COM.CN\r\n", "AiBai"));
    EXPECT_FALSE(IsWhoisAnswerAbout("No match for \"AIBIN.COM\".\r\n", "AiBai"));
}
