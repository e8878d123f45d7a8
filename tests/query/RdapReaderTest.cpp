#include "RdapReader.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

using testing_support::Fixture;
using testing_support::G;
using Verdict = TRdapReading::Verdict;

namespace {
constexpr const char* kJson = "application/rdap+json";
} // namespace

TEST(RdapUtcDay, TakesTheUtcDayOfEveryFormSeenInTheField) {
    EXPECT_EQ(RdapUtcDay("1997-09-15T04:00:00Z"), "1997-09-15");
    EXPECT_EQ(RdapUtcDay("2028-09-13T07:00:00.000+0000"), "2028-09-13");
    EXPECT_EQ(RdapUtcDay("2028-09-13T07:00:00.000+00:00"), "2028-09-13");
    EXPECT_EQ(RdapUtcDay("2024-02-12T04:38:38"), "2024-02-12"); // no zone: read as UTC
    EXPECT_EQ(RdapUtcDay("2024-02-12"), "2024-02-12");
    EXPECT_EQ(RdapUtcDay("2024-02-12t04:38z"), "2024-02-12");
}

TEST(RdapUtcDay, AppliesTheOffsetBeforeTakingTheDay) {
    // Local midnight east of Greenwich is still the day before in UTC.
    EXPECT_EQ(RdapUtcDay("2016-11-21T00:00:00+09:00"), "2016-11-20");
    EXPECT_EQ(RdapUtcDay("2016-11-21T08:59:59+0900"), "2016-11-20");
    EXPECT_EQ(RdapUtcDay("2016-11-21T09:00:00+09"), "2016-11-21");
    // West of it, a late hour is the next day; across a month, a year, a leap day.
    EXPECT_EQ(RdapUtcDay("2024-02-28T20:00:00-05:00"), "2024-02-29");
    EXPECT_EQ(RdapUtcDay("2023-02-28T20:00:00-05:00"), "2023-03-01");
    EXPECT_EQ(RdapUtcDay("2025-12-31T23:30:00-01:00"), "2026-01-01");
    EXPECT_EQ(RdapUtcDay("2026-01-01T00:30:00+01:00"), "2025-12-31");
}

TEST(RdapUtcDay, AnythingElseGivesNoDate) {
    for (const char* bad :
         {"", "2024", "2024-13-01T00:00:00Z", "2023-02-29T00:00:00Z", "2024-02-12T25:00:00Z",
          "2024-02-12T04:38:38+2", "2024-02-12T04:38:38 UTC", "2024-02-12T04:38:38.Z",
          "12-Feb-2024", "2024-02-12X", "20240212"}) {
        EXPECT_EQ(RdapUtcDay(bad), "") << bad;
    }
}

TEST(RdapDomainUrl, AsksForTheNameInLowerCaseAndEncodesOddBytes) {
    EXPECT_EQ(RdapDomainUrl("https://rdap.verisign.com/com/v1/", "AiBai"),
              "https://rdap.verisign.com/com/v1/domain/aibai.com");
    EXPECT_EQ(RdapDomainUrl("http://127.0.0.1:8/", "a-9/?#%\xC4\xE3"),
              "http://127.0.0.1:8/domain/a-9%2F%3F%23%25%C4%E3.com");
}

TEST(ReadRdapAnswer, OnlyTheRegistrysOwn404MakesANameAvailable) {
    // The registry's: an empty body, served as RDAP or JSON; or an RFC 9083
    // error object whose errorCode is 404.
    for (const char* type : {"application/rdap+json", "application/json",
                             "Application/RDAP+JSON; charset=utf-8", " application/json ;q=1"}) {
        EXPECT_EQ(ReadRdapAnswer(404, type, "", "AiBai").verdict, Verdict::Available) << type;
    }
    EXPECT_EQ(ReadRdapAnswer(404, kJson, "\r\n", "AiBai").verdict, Verdict::Available);
    EXPECT_EQ(
        ReadRdapAnswer(404, kJson, R"({"errorCode":404,"title":"Not Found"})", "AiBai").verdict,
        Verdict::Available);
    for (const long status : {0L, 204L, 301L, 302L, 400L, 403L, 429L, 500L, 503L}) {
        const auto reading = ReadRdapAnswer(status, kJson, "", "AiBai");
        EXPECT_EQ(reading.verdict, Verdict::NoAnswer) << status;
        EXPECT_NE(reading.why.find(std::to_string(status)), std::string::npos) << reading.why;
    }
}

TEST(ReadRdapAnswer, A404OfAnyOtherShapeIsNoAnswer) {
    // A proxy's or a CDN's error page, a moved service, a server that names no
    // type at all: none of them says the registry has no such domain.
    for (const char* type : {"", "text/html", "text/plain", "application/rdap+jsonx",
                             "application/problem+json", "application/xml"}) {
        const auto reading = ReadRdapAnswer(404, type, "", "AiBai");
        EXPECT_EQ(reading.verdict, Verdict::NoAnswer) << type;
        EXPECT_NE(reading.why.find("404"), std::string::npos) << reading.why;
    }
    for (const char* body :
         {"<html><body><h1>404 Not Found</h1></body></html>", "Not Found",
          R"({"errorCode":500,"title":"Server Error"})", R"({"errorCode":"404"})",
          R"({"title":"Not Found"})", R"([404])", R"({"errorCode":404)", "null",
          R"({"objectClassName":"domain","ldhName":"AIBAI.COM"})"}) {
        EXPECT_EQ(ReadRdapAnswer(404, kJson, body, "AiBai").verdict, Verdict::NoAnswer) << body;
    }
}

TEST(ReadRdapAnswer, TheRegistrysAnswerGivesBothDatesAndTheRegistrar) {
    const auto reading =
        ReadRdapAnswer(200, kJson, Fixture("rdap/registry-xiaomao.com.json"), "XiaoMao");
    EXPECT_EQ(reading.verdict, Verdict::Registered);
    EXPECT_EQ(reading.CreationDate, "2003-03-22");
    EXPECT_EQ(reading.ExpirationDate, "2027-03-22");
    EXPECT_EQ(reading.Registrar, "Alibaba Cloud Computing (Beijing) Co., Ltd.");
}

TEST(ReadRdapAnswer, ARegistrarsShapesAreReadAsTheRecordMeansThem) {
    // Lower case with a trailing dot, events out of order, "registrar
    // expiration" not taken for the expiry, the first "expiration" wins,
    // offsets applied, a flattened vCard with a Chinese name, null members.
    const auto reading =
        ReadRdapAnswer(200, kJson, Fixture("rdap/registrar-haoyun.com-offsets.json"), "HaoYun");
    EXPECT_EQ(reading.verdict, Verdict::Registered);
    EXPECT_EQ(reading.CreationDate, "2016-11-20");
    EXPECT_EQ(reading.ExpirationDate, "2026-11-21");
    EXPECT_EQ(reading.Registrar, G("万网 Registrar Ltd."));
}

TEST(ReadRdapAnswer, ARegisteredNameMayComeWithoutDatesOrRegistrarName) {
    const auto bare = ReadRdapAnswer(
        200, kJson, R"({"objectClassName":"domain","ldhName":"AIBAI.COM"})", "AiBai");
    EXPECT_EQ(bare.verdict, Verdict::Registered);
    EXPECT_EQ(bare.CreationDate, "");
    EXPECT_EQ(bare.ExpirationDate, "");
    EXPECT_EQ(bare.Registrar, "");

    const auto odd =
        ReadRdapAnswer(200, kJson, R"({"objectClassName":"domain","ldhName":"aibai.com",
        "events":[{"eventAction":"registration","eventDate":"2024-09-27T00:00:00Z"},
                  {"eventAction":"expiration","eventDate":""},
                  {"eventAction":"expires","eventDate":"2030-01-01T00:00:00Z"}],
        "entities":[{"roles":["registrar"],"vcardArray":["vcard",[["version",{},"text","4.0"],
                     ["org",{},"text","Org Only Inc."]]]},
                    {"roles":["registrar"],"vcardArray":["vcard",[["fn",{},"text","Second"]]]}]})",
                       "AiBai");
    EXPECT_EQ(odd.verdict, Verdict::Registered);
    EXPECT_EQ(odd.CreationDate, "2024-09-27");
    EXPECT_EQ(odd.ExpirationDate, "");
    EXPECT_EQ(odd.Registrar, "");
}

TEST(ReadRdapAnswer, A200ThatIsNoDomainObjectForThisNameIsNoAnswer) {
    const char* bodies[] = {
        "",
        "<html><body>Service Unavailable</body></html>",
        R"(["objectClassName","domain","ldhName","AIBAI.COM"])",
        R"({"objectClassName":"domain","ldhName":"AIBAI.COM")", // cut off
        R"({"errorCode":404,"title":"Not Found","description":["Object not found"]})",
        R"({"objectClassName":"entity","ldhName":"AIBAI.COM"})",
        R"({"objectClassName":"domain","ldhName":"AIBAI.NET"})",
        R"({"objectClassName":"domain","ldhName":"XAIBAI.COM"})",
        R"({"objectClassName":"domain","ldhName":"AIBAI.COM.."})",
        R"({"objectClassName":"domain","ldhName":42})",
        R"({"objectClassName":"domain"})",
        "{\"objectClassName\":\"domain\",\"ldhName\":\"AIBAI.COM\xff\"}", // not UTF-8
    };
    for (const char* body : bodies) {
        const auto reading = ReadRdapAnswer(200, kJson, body, "AiBai");
        EXPECT_EQ(reading.verdict, Verdict::NoAnswer) << body;
        EXPECT_FALSE(reading.why.empty()) << body;
    }
    EXPECT_EQ(
        ReadRdapAnswer(200, kJson, R"({"objectClassName":"domain","ldhName":".COM"})", "").verdict,
        Verdict::NoAnswer);
}

TEST(ReadRdapAnswer, DeepNestingAndOddTypesAreSurvived) {
    std::string deep = R"({"objectClassName":"domain","ldhName":"AIBAI.COM","x":)";
    deep += std::string(100000, '[') + std::string(100000, ']') + "}";
    EXPECT_EQ(ReadRdapAnswer(200, kJson, deep, "AiBai").verdict, Verdict::Registered);
    const auto reading =
        ReadRdapAnswer(200, kJson, R"({"objectClassName":"domain","ldhName":"AIBAI.COM",
        "events":{"eventAction":"registration"},"entities":[null,1,{"roles":"registrar"},
        {"roles":[null,"registrar"],"vcardArray":["vcard",null,[null,["fn"]],[["fn",{},"text",7]]]}]})",
                       "AiBai");
    EXPECT_EQ(reading.verdict, Verdict::Registered);
    EXPECT_EQ(reading.CreationDate, "");
    EXPECT_EQ(reading.Registrar, "");
}
