#include "Export.h"
#include "Base.h"
#include "TestUtil.h"
#include "Ymcx.h"

#include <gtest/gtest.h>

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
