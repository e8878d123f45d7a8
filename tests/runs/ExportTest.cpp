#include "Export.h"
#include "Base.h"
#include "TestUtil.h"
#include "Ymcx.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

using testing_support::G;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

TResultList ListWithAvailableAtTwoAndFive() {
    TResultList list;
    list.AddPendingRows({"One1.com", "Two2.com", "Three.com", "Four.com", "Five5.com", "Six6.com"});
    for (const auto& [name, state, registered] : std::vector<std::tuple<std::string, int, int>>{
             {"Two2", 1, 0}, {"Three", 1, 1}, {"Four", 2, 0}, {"Five5", 1, 0}}) {
        TYmSeekRec rec;
        rec.Name = name;
        rec.State = static_cast<std::uint8_t>(state);
        rec.Registered = static_cast<std::uint8_t>(registered);
        list.RecordAnswer(rec);
    }
    return list;
}

} // namespace

TEST(Export, WritesTheAvailableCaptionsInListOrderWithCrLf) {
    TempDir dir;
    const auto list = ListWithAvailableAtTwoAndFive();
    EXPECT_EQ(CollectAvailable(list), (std::vector<std::string>{"Two2.com", "Five5.com"}));
    WriteExportFile(dir.File("result.txt"), CollectAvailable(list));
    EXPECT_EQ(ReadFile(dir.Path() / "result.txt"), "Two2.com\r\nFive5.com\r\n");
}

TEST(Export, NothingAvailableGivesAnEmptyFileReplacingTheOldOne) {
    TempDir dir;
    WriteFile(dir.Path() / "result.txt", "old contents\r\n");
    TResultList list;
    list.AddPending("AiAi.com");
    WriteExportFile(dir.File("result.txt"), CollectAvailable(list));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "result.txt"));
    EXPECT_EQ(std::filesystem::file_size(dir.Path() / "result.txt"), 0u);
}

TEST(Export, AFailedWriteRaisesCannotCreateFileAndKeepsTheOldFile) {
    TempDir dir;
    WriteFile(dir.Path() / "plain", "keep me");
    const platform::FilePath path = dir.File("plain/result.txt");
    try {
        WriteExportFile(path, {"AiAi.com"});
        FAIL() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + path.ToText());
    }
    EXPECT_EQ(ReadFile(dir.Path() / "plain"), "keep me");
}

TEST(Export, AReadOnlyExportFileRaisesCannotCreateFileAndStaysAsItWas) {
    TempDir dir;
    const auto file = dir.Path() / "result.txt";
    WriteFile(file, "protected\r\n");
    testing_support::MakeReadOnly(file);
    const platform::FilePath path = dir.File("result.txt");
    try {
        WriteExportFile(path, {"AiAi.com"});
        FAIL() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + path.ToText());
    }
    testing_support::MakeWritable(file);
    EXPECT_EQ(ReadFile(file), "protected\r\n");
}

namespace {

TYmSeekRec Answer(const std::string& caption, int registered, const std::string& created,
                  const std::string& expires) {
    TYmSeekRec rec;
    rec.Caption = caption;
    rec.Name = caption.substr(0, caption.find('.'));
    rec.State = 1;
    rec.Registered = static_cast<std::uint8_t>(registered);
    rec.CreationDate = created;
    rec.ExpirationDate = expires;
    return rec;
}

} // namespace

TEST(CsvExport, TheWholeTableInUtf8WithAHeaderQuotingAndNoFormulas) {
    TResultList list;
    list.AddPendingRows({"MeiLi.com", "AiBai.com", "Ku,Ku.com", "Say\"Hi\".com", "Two\nLines.com",
                         "FangAn.com", "-Cmd.com"});
    list.RecordAnswer(Answer("MeiLi.com", 1, "1999-01-13", "2031-01-13"));
    list.RecordAnswer(Answer("AiBai.com", 0, "", ""));
    // Dates a server wrote that could not be read stand as the server's text.
    list.RecordAnswer(Answer("Ku,Ku.com", 1, "=HYPERLINK(\"http://x\")", "+1+1"));
    list.RecordAnswer(Answer("Say\"Hi\".com", 1, "@SUM(A1)", "\tTAB"));
    list.RecordAnswer(Answer("Two\nLines.com", 1, "\rCR", "2020-02-02"));
    TYmSeekRec failed;
    failed.Caption = "FangAn.com";
    failed.Name = "FangAn";
    failed.State = 2;
    list.RecordAnswer(failed);

    EXPECT_EQ(CsvText(list), "\xEF\xBB\xBF"
                             "域名,状态,注册日期,过期日期,词语\r\n"
                             "MeiLi.com,已注册,1999-01-13,2031-01-13,美丽、魅力\r\n"
                             "AiBai.com,可以注册,,,\r\n"
                             "\"Ku,Ku.com\",已注册,\"'=HYPERLINK(\"\"http://x\"\")\",'+1+1,\r\n"
                             "\"Say\"\"Hi\"\".com\",已注册,'@SUM(A1),'\tTAB,\r\n"
                             "\"Two\nLines.com\",已注册,\"'\rCR\",2020-02-02,\r\n"
                             "FangAn.com,!,,,方案、反感\r\n"
                             "'-Cmd.com,*,,,\r\n");
}

TEST(CsvExport, AnEmptyListGivesTheHeaderAlone) {
    TempDir dir;
    WriteFile(dir.Path() / "all.csv", "old table\r\n");
    WriteCsvFile(dir.File("all.csv"), TResultList());
    EXPECT_EQ(ReadFile(dir.Path() / "all.csv"), "\xEF\xBB\xBF"
                                                "域名,状态,注册日期,过期日期,词语\r\n");
}

TEST(CsvExport, TwentyThousandRowsInListOrder) {
    TResultList list;
    std::vector<std::string> captions;
    for (int i = 0; i < 20000; ++i) {
        captions.push_back("Name" + std::to_string(i) + ".com");
    }
    list.AddPendingRows(captions);
    for (int i = 0; i < 20000; i += 3) {
        list.RecordAnswer(Answer(captions[static_cast<std::size_t>(i)], i % 2, "2001-02-03", ""));
    }
    TempDir dir;
    WriteCsvFile(dir.File("all.csv"), list);
    const std::string text = ReadFile(dir.Path() / "all.csv");
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << "the last line has no CR LF";
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(lines.size(), 20001u);
    for (int i = 0; i < 20000; ++i) {
        std::string expected = captions[static_cast<std::size_t>(i)];
        if (i % 3 != 0) {
            expected += ",*,,,";
        } else {
            expected += i % 2 == 0 ? ",可以注册,2001-02-03,," : ",已注册,2001-02-03,,";
        }
        ASSERT_EQ(lines[static_cast<std::size_t>(i) + 1], expected) << i;
    }
}

TEST(CsvExport, AFailedWriteRaisesCannotCreateFileAndKeepsTheOldFile) {
    TempDir dir;
    WriteFile(dir.Path() / "plain", "keep me");
    const platform::FilePath path = dir.File("plain/all.csv");
    TResultList list;
    list.AddPending("AiAi.com");
    try {
        WriteCsvFile(path, list);
        FAIL() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + path.ToText());
    }
    EXPECT_EQ(ReadFile(dir.Path() / "plain"), "keep me");
}

// The process dies while it writes the table: as soon as anything in the
// folder changes (a file appears, the old one shrinks or grows), it ends
// without any clean-up, as a killed process does. The file left is the old one
// or a whole new one, never a part of either. The dying process runs this
// test's body again from its start (as it must on Windows), so the folder is
// one both processes know by name.
TEST(CsvExportDeathTest, AKilledExportLeavesTheOldFileOrTheWholeNewOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "vantreel-killed-export-test";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    const std::string old = "\xEF\xBB\xBF"
                            "old table\r\n";
    WriteFile(folder / "all.csv", old);
    TResultList list;
    std::vector<std::string> captions;
    for (int i = 0; i < 200000; ++i) {
        captions.push_back("Name" + std::to_string(i) + ".com");
    }
    list.AddPendingRows(captions);
    const platform::FilePath path = testing_support::PathOf(folder).Join("all.csv");
    EXPECT_EXIT(
        {
            std::thread writer([&] { WriteCsvFile(path, list); });
            for (;;) {
                std::error_code error;
                int files = 0;
                for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
                    (void)entry;
                    ++files;
                }
                if (files != 1 ||
                    std::filesystem::file_size(folder / "all.csv", error) != old.size()) {
                    std::_Exit(3);
                }
            }
        },
        testing::ExitedWithCode(3), "");
    const std::string left = ReadFile(folder / "all.csv");
    EXPECT_TRUE(left == old || left == CsvText(list))
        << "a part of a file: " << left.size() << " bytes";
    std::filesystem::remove_all(folder, ignored);
}

TEST(CsvExport, ANameEndingInCsvAsksForTheTable) {
    TempDir dir;
    EXPECT_TRUE(IsCsvFileName(dir.File("all.csv")));
    EXPECT_TRUE(IsCsvFileName(dir.File("ALL.CSV")));
    EXPECT_TRUE(IsCsvFileName(dir.File("x.y.Csv")));
    EXPECT_FALSE(IsCsvFileName(dir.File("all.txt")));
    EXPECT_FALSE(IsCsvFileName(dir.File("all.csv.txt")));
    EXPECT_FALSE(IsCsvFileName(dir.File("csv")));
    EXPECT_FALSE(IsCsvFileName(dir.File("allcsv")));
}

TEST(RowsText, SelectedRowsInListOrderAsTabbedLinesWhateverTheirCellsHold) {
    TResultList list;
    list.AddPendingRows({"MeiLi.com", "Tab.com", "AiBai.com"});
    list.RecordAnswer(Answer("Tab.com", 1, "2001\t01-01", "2002\r\n02-02"));
    EXPECT_EQ(RowsText(list, {2, 0, 2, 7, -1}), G("MeiLi.com\t*\t\t\t美丽、魅力\r\n"
                                                  "AiBai.com\t*\t\t\t\r\n"));
    // A tab or a line break a server wrote never splits a cell.
    EXPECT_EQ(RowsText(list, {1}), G("Tab.com\t已注册\t2001 01-01\t2002  02-02\t\r\n"));
    EXPECT_EQ(RowsText(list, {}), "");
}
