#include "ResultList.h"
#include "TestUtil.h"
#include "Ymcx.h"

#include <gtest/gtest.h>

using testing_support::G;

namespace {

TYmSeekRec Answer(const std::string& name, int state, int registered = 0,
                  const std::string& created = "", const std::string& expires = "") {
    TYmSeekRec rec;
    rec.Name = name;
    rec.State = static_cast<std::uint8_t>(state);
    rec.Registered = static_cast<std::uint8_t>(registered);
    rec.CreationDate = created;
    rec.ExpirationDate = expires;
    return rec;
}

using Texts = std::vector<std::string>;

} // namespace

TEST(ResultList, PendingRowsAreAppendedAtTheBottomWithTheirMark) {
    TResultList list;
    list.AddPendingRows({"AiAi.com", "AiBai.com"});
    list.AddPending("BaiAi.com");
    EXPECT_EQ(list.Captions(), (Texts{"AiAi.com", "AiBai.com", "BaiAi.com"}));
    EXPECT_EQ(list.Row(2).SubItems, (Texts{"*"}));
    EXPECT_EQ(list.Row(2).Column(2), "");
    EXPECT_TRUE(list.Row(2).IsPending());
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(ResultList, RecordingFillsTheRowAndReplacesEarlierAnswers) {
    TResultList list;
    list.AddPendingRows({"AiAi.com", "AiBai.com", "BaiAi.com"});
    ASSERT_TRUE(list.RecordAnswer(Answer("AiBai", 1, 1, "2003-11-24", "2027-11-24")));
    EXPECT_EQ(list.Row(1).SubItems, (Texts{G("已注册"), "2003-11-24", "2027-11-24"}));
    ASSERT_TRUE(list.RecordAnswer(Answer("AiBai", 1, 0)));
    EXPECT_EQ(list.Row(1).SubItems, (Texts{G("可以注册"), "", ""}));
    ASSERT_TRUE(list.RecordAnswer(Answer("AiBai", 2, 1, "x", "y")));
    EXPECT_EQ(list.Row(1).SubItems, (Texts{"!", "", ""}));
    EXPECT_EQ(list.Captions(), (Texts{"AiAi.com", "AiBai.com", "BaiAi.com"})); // nothing moved
}

TEST(ResultList, AnswersGoToTheUpperOfRowsThatDifferOnlyInCase) {
    TResultList list;
    list.AddPendingRows({"aibai.com", "AIBAI.com"});
    ASSERT_TRUE(list.RecordAnswer(Answer("AIBAI", 1, 1)));
    ASSERT_TRUE(list.RecordAnswer(Answer("AiBai", 1, 0)));
    EXPECT_EQ(list.Row(0).Caption, "AiBai.com"); // the case of the name answered last
    EXPECT_EQ(list.Row(0).Column(1), G("可以注册"));
    EXPECT_EQ(list.Row(1).Column(1), "*");
}

TEST(ResultList, AnAnswerWithoutItsRowChangesNothing) {
    TResultList list;
    list.AddPending("AiAi.com");
    EXPECT_FALSE(list.RecordAnswer(Answer("AiBai", 1, 0)));
    EXPECT_EQ(list.Row(0).SubItems, (Texts{"*"}));
}

TEST(CompareListText, FoldsLettersAndComparesOtherBytesUnsigned) {
    EXPECT_EQ(CompareListText("AiBai.com", "aibai.com"), 0);
    EXPECT_LT(CompareListText("AiAi.com", "aibai.com"), 0);
    EXPECT_LT(CompareListText("ab", "abc"), 0);
    EXPECT_LT(CompareListText("", "2003-01-01"), 0);
    EXPECT_LT(CompareListText("Z", "\xB0"), 0); // GBK bytes sort after ASCII
    EXPECT_GT(CompareListText("_", "a"), 0);    // "_" (95) sorts after the folded "A" (65)
}

TEST(ResultListSort, ByCaptionIgnoringCaseAndStable) {
    TResultList list;
    list.AddPendingRows({"b.com", "A.com", "a.com", "C.com"});
    list.Sort(0);
    EXPECT_EQ(list.Captions(), (Texts{"A.com", "a.com", "b.com", "C.com"}));
    list.Sort(0);
    EXPECT_EQ(list.Captions(), (Texts{"A.com", "a.com", "b.com", "C.com"}));
}

TEST(ResultListSort, ByStatusFailedThenAvailableThenRegisteredThenPending) {
    TResultList list;
    list.AddPendingRows({"Pend1.com", "Regd.com", "Fail.com", "Pend2.com", "Free.com"});
    list.RecordAnswer(Answer("Regd", 1, 1));
    list.RecordAnswer(Answer("Fail", 2));
    list.RecordAnswer(Answer("Free", 1, 0));
    list.Sort(1);
    EXPECT_EQ(list.Captions(),
              (Texts{"Fail.com", "Free.com", "Regd.com", "Pend1.com", "Pend2.com"}));
}

TEST(ResultListSort, ByDateEmptyFirstAndPendingRowsKeepTheirOrderAtTheEnd) {
    TResultList list;
    list.AddPendingRows({"P3.com", "Late.com", "P1.com", "None.com", "Early.com", "P2.com"});
    list.RecordAnswer(Answer("Late", 1, 1, "2010-01-01", "2030-01-01"));
    list.RecordAnswer(Answer("None", 1, 0));
    list.RecordAnswer(Answer("Early", 1, 1, "1997-09-15", "2028-09-14"));
    list.Sort(2);
    EXPECT_EQ(list.Captions(),
              (Texts{"None.com", "Early.com", "Late.com", "P3.com", "P1.com", "P2.com"}));
    list.Sort(3);
    EXPECT_EQ(list.Captions(),
              (Texts{"None.com", "Early.com", "Late.com", "P3.com", "P1.com", "P2.com"}));
}

TEST(ResultListSort, EmptyAndSingleListsStayAsTheyAre) {
    TResultList list;
    list.Sort(1);
    EXPECT_EQ(list.Count(), 0);
    list.AddPending("Only.com");
    list.Sort(2);
    EXPECT_EQ(list.Captions(), (Texts{"Only.com"}));
}

TEST(CompareRows, GivesNoOrderingForPendingRowsByAnswerColumns) {
    const TListRow pending{"A.com", {"*"}, "", words::kNoWord};
    const TListRow answered{"B.com", {"!", "", ""}, "", words::kNoWord};
    EXPECT_EQ(CompareRows(pending, answered, 1), 0);
    EXPECT_EQ(CompareRows(answered, pending, 3), 0);
    EXPECT_LT(CompareRows(pending, answered, 0), 0);
}

TEST(ResultListWords, EveryRowHasItsWordsFromTheStartAndKeepsThemThroughAnswers) {
    TResultList list;
    list.AddPendingRows({"MeiLi.com", "AiBai.com", "fangan.com"});
    EXPECT_EQ(list.Row(0).Column(TResultList::kWordsColumn), G("美丽、魅力"));
    EXPECT_EQ(list.Row(1).Column(TResultList::kWordsColumn), "");
    EXPECT_EQ(list.Row(2).Column(4), G("方案、反感"));
    EXPECT_EQ(list.Row(1).WordRank, words::kNoWord);
    ASSERT_TRUE(list.RecordAnswer(Answer("MeiLi", 1, 1, "1999-01-02", "2030-01-02")));
    ASSERT_TRUE(list.RecordAnswer(Answer("FANGAN", 2)));
    EXPECT_EQ(list.Row(0).Column(4), G("美丽、魅力"));
    EXPECT_EQ(list.Row(0).Column(3), "2030-01-02");
    EXPECT_EQ(list.Row(2).Column(4), G("方案、反感"));
    EXPECT_EQ(list.Row(2).Caption, "FANGAN.com");
}

TEST(ResultListSort, ByWordsMostCommonFirstAndNamesWithoutWordsLastInTheirOrder) {
    TResultList list;
    list.AddPendingRows({"AiBai.com", "LvSe.com", "MeiLi.com", "BaiAi.com", "ShiJie.com",
                         "FangAn.com", "Ai1.com", "BeiJingRen.com"});
    // Answered or pending, the words alone decide.
    list.RecordAnswer(Answer("MeiLi", 1, 1));
    list.RecordAnswer(Answer("BaiAi", 2));
    list.Sort(TResultList::kWordsColumn);
    // 世界 is more common than 方案, 方案 than 美丽, 美丽 than 绿色, 绿色 than 北京人.
    EXPECT_EQ(list.Captions(), (Texts{"ShiJie.com", "FangAn.com", "MeiLi.com", "LvSe.com",
                                      "BeiJingRen.com", "AiBai.com", "BaiAi.com", "Ai1.com"}));
    EXPECT_EQ(list.Row(2).Column(1), G("已注册")); // rows move whole
    // Sorting again changes nothing; another column still sorts as before.
    list.Sort(TResultList::kWordsColumn);
    EXPECT_EQ(list.Row(0).Caption, "ShiJie.com");
    list.Sort(0);
    EXPECT_EQ(list.Captions(), (Texts{"Ai1.com", "AiBai.com", "BaiAi.com", "BeiJingRen.com",
                                      "FangAn.com", "LvSe.com", "MeiLi.com", "ShiJie.com"}));
}

TEST(CompareRows, ByWordsTheRankDecidesAndRowsWithoutWordsTie) {
    TResultList list;
    list.AddPendingRows({"MeiLi.com", "FangAn.com", "AiBai.com", "BaiAi.com"});
    EXPECT_GT(CompareRows(list.Row(0), list.Row(1), 4), 0);
    EXPECT_LT(CompareRows(list.Row(1), list.Row(0), 4), 0);
    EXPECT_LT(CompareRows(list.Row(0), list.Row(2), 4), 0);
    EXPECT_EQ(CompareRows(list.Row(2), list.Row(3), 4), 0);
}
