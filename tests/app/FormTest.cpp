// The main form's handlers against a scripted view: the logic both window
// toolkits share, tested once, on every system.
#include "FileSystem.h"
#include "Generator.h"
#include "Layout.h"
#include "Main.h"
#include "ProcessCounts.h"
#include "ProgramFolders.h"
#include "RdapTestServer.h"
#include "ScriptedView.h"
#include "TestUtil.h"
#include "Texts.h"
#include "WebLink.h"
#include "WhoisTestServer.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <stdexcept>

using testing_support::G;
using testing_support::MakeReadOnly;
using testing_support::MakeWritable;
using testing_support::ReadFile;
using testing_support::Reply;
using testing_support::ScriptedView;
using testing_support::TempDir;
using testing_support::TestConfig;
using testing_support::WhoisTestServer;
using testing_support::WriteFile;

namespace {

// A form over a scripted view, with its files in a temporary folder and a home
// without a desktop, so no shortcut lands anywhere real.
struct FormRig {
    TempDir folder;
    TempDir home;
    std::string savedHome = testing_support::GetEnvironment("HOME");
    ScriptedView view;
    std::unique_ptr<TMainForm> form;

    explicit FormRig(TMainFormOptions options = {}) {
        testing_support::SetEnvironment("HOME", home.Path().string());
        // A given executable keeps the settings file its copy chooses.
        if (options.ExecutablePath.empty()) {
            options.ExecutablePath = folder.File("dovrenta");
            if (options.IniPath.empty()) {
                options.IniPath = folder.File("kestrova.ini");
            }
        }
        view.memo = layout::kMemoDefault;
        form = std::make_unique<TMainForm>(view, options);
    }
    ~FormRig() {
        form.reset();
        testing_support::SetEnvironment("HOME", savedHome);
    }
    bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 15000) {
        return form->Dispatcher().PumpUntil(pred, timeoutMs);
    }
    bool PumpUntilEnded() {
        return PumpUntil([&] { return view.Status().rfind(G("总共个"), 0) == 0; });
    }
    std::vector<std::string> Statuses() const {
        std::vector<std::string> out;
        for (int i = 0; i < form->ResultList().Count(); ++i) {
            out.push_back(form->ResultList().Row(i).Column(1));
        }
        return out;
    }
};

TMainFormOptions Against(const WhoisTestServer& server, int stopPauseMs = 0) {
    TMainFormOptions options;
    options.Seek = TestConfig(server.Port());
    options.StopPauseMs = stopPauseMs;
    return options;
}

std::int64_t MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

} // namespace

TEST(MainForm, StartsWithItsCaptionEightParkedWorkersAndTheProfilesOfTheFile) {
    TempDir dir;
    WriteFile(dir.Path() / "kestrova.ini", "[Short]\r\nYmLenSp1=4\r\n[" + G("短名") + "]\r\n");
    TMainFormOptions options;
    options.IniPath = dir.File("kestrova.ini");
    FormRig rig(options);
    EXPECT_EQ(rig.view.caption, G("Vantreel v1.08 - Kestrova软件 https://kestrova.example"));
    ASSERT_EQ(rig.form->Workers().size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(rig.form->Workers()[i]->WorkerIndex(), static_cast<int>(i));
        EXPECT_TRUE(rig.form->Workers()[i]->AtRest());
    }
    EXPECT_EQ(rig.view.profileNames, (std::vector<std::string>{"Short", G("短名")}));
    EXPECT_EQ(rig.view.selectedProfile, -1);
    EXPECT_TRUE(rig.view.messages.empty());

    FormRig fresh; // no settings file: an empty list, and no file appears
    EXPECT_TRUE(fresh.view.profileNames.empty());
    EXPECT_FALSE(std::filesystem::exists(fresh.folder.Path() / "kestrova.ini"));
}

TEST(MainForm, AStartWhoseWorkersCannotBeMadeIsRefusedAndEveryButtonIsSafe) {
    // The fifth worker cannot be made (its HTTPS client, say): the start is
    // refused with a message, and no button touches what was never made.
    WhoisTestServer whois;
    TMainFormOptions options = Against(whois);
    int made = 0;
    options.MakeWorker = [&made](int index, platform::IDispatcher& dispatcher,
                                 const TYmSeekConfig& config) -> std::unique_ptr<TYmSeek> {
        if (index == 4) {
            throw std::runtime_error("libcurl could not make a handle");
        }
        ++made;
        return std::make_unique<TYmSeek>(index, true, dispatcher, config);
    };
    FormRig rig(options);
    EXPECT_FALSE(rig.form->Started());
    EXPECT_EQ(made, 4);
    EXPECT_TRUE(rig.form->Workers().empty()); // the four made are ended, not left half-used
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_TRUE(rig.view.messages[0].error);
    EXPECT_EQ(rig.view.messages[0].text.rfind(texts::StartFailed(), 0), 0u)
        << rig.view.messages[0].text;
    EXPECT_NE(rig.view.messages[0].text.find("libcurl could not make a handle"), std::string::npos);

    rig.form->stBt1Click();
    rig.form->xInquireBtClick();
    rig.form->stBt2Click();
    rig.form->xStopBtClick();
    rig.form->xClearBtClick();
    rig.form->xCloseBtClick();
    EXPECT_EQ(rig.view.closes, 1); // closing still closes
    EXPECT_EQ(rig.view.messages.size(), 1u);
    EXPECT_TRUE(whois.Connections().empty());
    rig.form->Shutdown();
}

TEST(MainForm, GenerationAppendsRowsAndRefusesWhatIsTooMuch) {
    FormRig rig;
    rig.form->stBt1Click();
    ASSERT_EQ(rig.form->ResultList().Count(), 484);
    EXPECT_EQ(rig.form->ResultList().Row(0).Caption, "AiAi.com");
    EXPECT_EQ(rig.view.countLabel, G("共484个域名"));
    rig.form->stBt2Click();
    EXPECT_EQ(rig.form->ResultList().Count(), 0);
    EXPECT_EQ(rig.view.countLabel, G("共0000个域名"));

    rig.view.memo = testing_support::SyllableMemo(101);
    rig.form->stBt1Click();
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_FALSE(rig.view.messages[0].error);
    EXPECT_EQ(rig.view.messages[0].text, texts::TooManySyllables());
    EXPECT_EQ(rig.form->ResultList().Count(), 0);
}

// The words box reaches the generator from the view's filters.
TEST(MainForm, TheWordsBoxAddsOnlyNamesThatSpellAWord) {
    FormRig rig;
    rig.view.filters.YmCiYuChk = true;
    rig.form->stBt1Click();
    const int kept = rig.form->ResultList().Count();
    EXPECT_GT(kept, 100);
    EXPECT_LT(kept, 484);
    for (int i = 0; i < kept; ++i) {
        ASSERT_FALSE(rig.form->ResultList().Row(i).Words.empty())
            << rig.form->ResultList().Row(i).Caption;
    }
    EXPECT_EQ(rig.view.countLabel, CountLabelAfterGeneration(kept));
    rig.view.filters.YmCiYuChk = false;
    rig.form->stBt1Click();
    EXPECT_EQ(rig.form->ResultList().Count(), kept + 484);
}

TEST(MainForm, ProfilesAreSavedLoadedClampedAndCleared) {
    FormRig rig;
    rig.view.filters.YmLenSp1 = 4;
    rig.view.filters.YmLenSp2 = 6;
    rig.view.filters.YmHanEd = "ai bai";
    rig.view.filters.YmPiPeiEd = "z*s";
    rig.view.filters.PrevKeyEd = G("好");
    rig.view.filters.YmCiYuChk = true;
    // A name whose characters hold the code of "]" as their second byte.
    const std::string name = G("郵件");
    rig.view.inputs.push_back({true, name});
    rig.form->stBt4Click();
    ASSERT_TRUE(rig.view.messages.empty()) << rig.view.messages[0].text;
    EXPECT_EQ(rig.view.profileNames, (std::vector<std::string>{name}));
    EXPECT_EQ(rig.view.selectedProfile, 0);
    EXPECT_EQ(ReadFile(rig.folder.Path() / "kestrova.ini"),
              "[" + name +
                  "]\r\nYmLenSp1=4\r\nYmLenSp2=6\r\nYmHanEd=ai bai\r\nYmPaiEd=\r\n"
                  "YmPiPeiEd=z*s\r\nDuplicationChk=0\r\nPrevKeyEd=" +
                  G("好") + "\r\nLastKeyEd=\r\nYmCiYuChk=1\r\n");

    // Cancelling or an empty name saves nothing.
    rig.view.inputs.push_back({false, "ignored"});
    rig.form->stBt4Click();
    rig.view.inputs.push_back({true, ""});
    rig.form->stBt4Click();
    EXPECT_EQ(rig.view.profileNames.size(), 1u);

    rig.form->stBt3Click();
    EXPECT_EQ(rig.view.filters.YmLenSp1, 2);
    EXPECT_EQ(rig.view.filters.YmLenSp2, 10);
    EXPECT_EQ(rig.view.filters.YmPiPeiEd, "");
    EXPECT_FALSE(rig.view.filters.YmCiYuChk);
    EXPECT_EQ(rig.view.selectedProfile, -1);

    rig.form->SettingCbbChange(0);
    EXPECT_EQ(rig.view.filters.YmLenSp1, 4);
    EXPECT_EQ(rig.view.filters.YmHanEd, "ai bai");
    EXPECT_EQ(rig.view.filters.PrevKeyEd, G("好"));
    EXPECT_TRUE(rig.view.filters.YmCiYuChk);

    // Stored lengths outside the spin edits' range load clamped.
    WriteFile(rig.folder.Path() / "kestrova.ini", "[odd]\r\nYmLenSp1=-4\r\nYmLenSp2=0x400\r\n");
    FormRig odd([&] {
        TMainFormOptions options;
        options.IniPath = rig.folder.File("kestrova.ini");
        return options;
    }());
    odd.form->SettingCbbChange(0);
    EXPECT_EQ(odd.view.filters.YmLenSp1, 0);
    EXPECT_EQ(odd.view.filters.YmLenSp2, 100);
    odd.form->SettingCbbChange(5); // no such item: nothing happens
    EXPECT_TRUE(odd.view.messages.empty());
}

TEST(MainForm, AReadOnlySettingsFileIsRefusedWithAnError) {
    FormRig rig;
    const auto ini = rig.folder.Path() / "kestrova.ini";
    WriteFile(ini, "[kept]\r\nYmLenSp1=3\r\n");
    MakeReadOnly(ini);
    rig.view.inputs.push_back({true, "p"});
    rig.form->stBt4Click();
    MakeWritable(ini);
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_TRUE(rig.view.messages[0].error);
    EXPECT_EQ(rig.view.messages[0].text,
              "Unable to write to " + rig.form->IniPath().ToText() + ".");
    EXPECT_TRUE(rig.view.profileNames.empty());
    EXPECT_EQ(ReadFile(ini), "[kept]\r\nYmLenSp1=3\r\n");
}

TEST(MainForm, AWholeRunFillsTheRowsAndTheExportTakesTheAvailableNames) {
    WhoisTestServer server;
    server.SetResponder(WhoisTestServer::WholeRoadReply);
    FormRig rig(Against(server));
    rig.view.memo = "ai bai";
    rig.form->stBt1Click();
    rig.form->xInquireBtClick();
    EXPECT_EQ(rig.view.Status(), G("开始查询域名..."));
    ASSERT_TRUE(rig.PumpUntilEnded());
    EXPECT_EQ(rig.view.Status(), G("总共个4域名查询完毕!"));
    EXPECT_EQ(rig.Statuses(),
              (std::vector<std::string>{G("已注册"), G("可以注册"), G("可以注册"), "!"}));
    EXPECT_EQ(rig.form->ResultList().Row(0).Column(2), "1997-09-15");
    EXPECT_EQ(rig.form->ResultList().Row(0).Column(3), "2028-09-14");

    rig.view.saves.push_back({true, rig.folder.File("result")});
    rig.form->xExportBtClick();
    ASSERT_EQ(rig.view.saveOptions.size(), 1u);
    EXPECT_EQ(rig.view.saveOptions[0].filterName, G("文本文件"));
    EXPECT_EQ(rig.view.saveOptions[0].initialFolder, rig.folder.File("dovrenta").Folder());
    EXPECT_EQ(ReadFile(rig.folder.Path() / "result.txt"), "AiBai.com\r\nBaiAi.com\r\n");
    rig.view.saves.push_back({false, {}});
    rig.form->xExportBtClick();
    EXPECT_EQ(rig.view.saveOptions[1].fileName, rig.folder.File("result.txt"));

    // A read-only export file is refused and stays as it was.
    MakeReadOnly(rig.folder.Path() / "result.txt");
    rig.view.saves.push_back({true, rig.folder.File("result.txt")});
    rig.form->xExportBtClick();
    MakeWritable(rig.folder.Path() / "result.txt");
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0].text,
              "Cannot create file " + rig.folder.File("result.txt").ToText() + ".");
    EXPECT_EQ(ReadFile(rig.folder.Path() / "result.txt"), "AiBai.com\r\nBaiAi.com\r\n");

    // The second file type, or a name ending in .csv, takes the whole table.
    ASSERT_EQ(rig.view.saveOptions[0].moreFilters.size(), 1u);
    EXPECT_EQ(rig.view.saveOptions[0].moreFilters[0].name, G("全部结果"));
    EXPECT_EQ(rig.view.saveOptions[0].moreFilters[0].pattern, "*.csv");
    EXPECT_EQ(rig.view.saveOptions[0].moreFilters[0].extension, "csv");
    rig.view.saves.push_back({true, rig.folder.File("table.CSV")});
    rig.form->xExportBtClick();
    EXPECT_EQ(ReadFile(rig.folder.Path() / "table.CSV"),
              "\xEF\xBB\xBF"
              "域名,状态,注册日期,过期日期,词语\r\n"
              "AiAi.com,已注册,1997-09-15,2028-09-14,皑皑\r\n"
              "AiBai.com,可以注册,,,\r\n"
              "BaiAi.com,可以注册,,,\r\n"
              "BaiBai.com,!,,,白白、摆摆、拜拜、掰掰\r\n");
    EXPECT_EQ(ReadFile(rig.folder.Path() / "result.txt"), "AiBai.com\r\nBaiAi.com\r\n");

    rig.form->RzListViewColumnClick(1);
    EXPECT_EQ(rig.Statuses(),
              (std::vector<std::string>{"!", G("可以注册"), G("可以注册"), G("已注册")}));
    EXPECT_EQ(rig.form->SortColumn(), 1);
}

TEST(MainForm, ACopyTheClipboardRefusesIsSaidAndNothingElseChanges) {
    FormRig rig;
    rig.view.memo = "ai bai";
    rig.form->stBt1Click();
    rig.form->RzListViewCopy({});
    EXPECT_TRUE(rig.view.clipboard.empty());
    rig.form->RzListViewCopy({1});
    ASSERT_EQ(rig.view.clipboard.size(), 1u);
    EXPECT_EQ(rig.view.clipboard[0], G("AiBai.com\t*\t\t\t\r\n"));
    rig.view.clipboardFree = false;
    rig.form->RzListViewCopy({0, 1});
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0].text, G("无法复制：剪贴板正被别的程序使用，请稍后再试。"));
    EXPECT_EQ(rig.form->ResultList().Count(), 4);
    // Nothing selected: nothing removed, nothing asked.
    rig.form->RzListViewDelete({});
    rig.form->RzListViewReInquire({});
    EXPECT_EQ(rig.form->ResultList().Count(), 4);
    EXPECT_FALSE(rig.form->RunController().InProgress());
}

TEST(MainForm, CloseStopsWithTheWholePauseThenClosesTheWindow) {
    FormRig rig([] {
        TMainFormOptions options;
        options.StopPauseMs = TRunController::kStopPauseMs; // not shortened
        return options;
    }());
    rig.form->xCloseBtClick();
    EXPECT_EQ(rig.view.Status(), G("停止查询域名"));
    EXPECT_EQ(rig.view.pauses, (std::vector<int>{1000}));
    EXPECT_EQ(rig.view.closes, 1);
    for (const auto& worker : rig.form->Workers()) {
        EXPECT_TRUE(worker->StopFlag());
    }
}

// A copy laid out as the packages install it: <root>/usr/bin/dovrenta.
platform::FilePath LayDownCopy(const TempDir& root, bool installed) {
    return testing_support::LayDownProgram(root.File("usr").Join("bin"), installed);
}

TEST(MainForm, AnInstalledCopyKeepsItsProfilesInTheUserSettingsFolderMadeAtTheFirstSave) {
    TempDir root;
    const platform::FilePath executable = LayDownCopy(root, true);
    const platform::FilePath settings = root.File("home").Join(".config").Join("vantreel");
    TMainFormOptions options;
    options.ExecutablePath = executable;
    options.UserSettings = settings;
    std::vector<std::string> opened;
    platform::SetWebAddressHandler([&](const std::string& address) { opened.push_back(address); });
    {
        FormRig rig(options);
        EXPECT_TRUE(rig.form->Folders().Installed);
        EXPECT_EQ(rig.form->IniPath(), settings.Join("kestrova.ini"));
        EXPECT_FALSE(platform::DirectoryExists(settings)); // nothing made by starting

        rig.view.inputs.push_back({true, G("说明")});
        rig.form->stBt4Click();
        EXPECT_TRUE(rig.view.messages.empty());
        EXPECT_NE(
            ReadFile(testing_support::FsPath(settings.Join("kestrova.ini"))).find(G("[说明]")),
            std::string::npos);
        EXPECT_FALSE(platform::FileExists(executable.Folder().Join("kestrova.ini")));

        rig.form->xHelpBtClick();
    }
    platform::SetWebAddressHandler({});
    ASSERT_EQ(opened.size(), 1u);
    const platform::FilePath data = platform::InstalledDataFolder(executable.Folder());
    EXPECT_EQ(opened[0], platform::FileUrl(data.Join("help").Join("index.html")));

    FormRig again(options); // the next start lists what the first saved
    EXPECT_EQ(again.view.profileNames, std::vector<std::string>{G("说明")});
}

TEST(MainForm, APortableCopyKeepsItsProfilesBesideItselfAndReadsTheOldFileThere) {
    TempDir root;
    const platform::FilePath executable = LayDownCopy(root, false);
    const platform::FilePath settings = root.File("settings");
    WriteFile(testing_support::FsPath(executable.Folder().Join("kestrova.ini")),
              "[old]\r\nYmLenSp1=3\r\n");
    TMainFormOptions options;
    options.ExecutablePath = executable;
    options.UserSettings = settings;
    FormRig rig(options);
    EXPECT_FALSE(rig.form->Folders().Installed);
    EXPECT_EQ(rig.view.profileNames, std::vector<std::string>{"old"});
    rig.view.inputs.push_back({true, "new"});
    rig.form->stBt4Click();
    EXPECT_TRUE(rig.view.messages.empty());
    EXPECT_NE(
        ReadFile(testing_support::FsPath(executable.Folder().Join("kestrova.ini"))).find("[new]"),
        std::string::npos);
    EXPECT_FALSE(platform::DirectoryExists(settings));
}

TEST(MainForm, AnInstalledCopyWhoseSettingsFolderCannotBeMadeSaysSoAndWritesNothing) {
    TempDir root;
    const platform::FilePath executable = LayDownCopy(root, true);
    WriteFile(testing_support::FsPath(root.File("config")), "a file, not a folder");
    TMainFormOptions options;
    options.ExecutablePath = executable;
    options.UserSettings = root.File("config").Join("vantreel");
    FormRig rig(options);
    rig.view.inputs.push_back({true, "p"});
    rig.form->stBt4Click();
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_TRUE(rig.view.messages[0].error);
    EXPECT_EQ(rig.view.messages[0].text,
              "Unable to write to " + options.UserSettings.Join("kestrova.ini").ToText() + ".");
    EXPECT_TRUE(rig.view.profileNames.empty());
    EXPECT_FALSE(platform::FileExists(executable.Folder().Join("kestrova.ini")));
}

TEST(MainForm, HelpAndAboutOpenThePageBesideTheProgramAndAFreshBox) {
    std::vector<std::string> opened;
    platform::SetWebAddressHandler([&](const std::string& address) { opened.push_back(address); });
    {
        FormRig rig;
        rig.form->xHelpBtClick();
        rig.form->xAboutBtClick();
        rig.form->xAboutBtClick();
        EXPECT_EQ(rig.view.aboutBoxes, 2);
    }
    platform::SetWebAddressHandler({});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find("help"), std::string::npos);
    EXPECT_EQ(opened[0].rfind("file://", 0), 0u);
}

TEST(MainForm, TheEndDoesNotWaitForAHangingHostLookup) {
    testing_support::HangingLookup lookup;
    TMainFormOptions options;
    options.Seek = TestConfig(WhoisTestServer::UnusedPort());
    options.Seek.Resolve = lookup.Resolver();
    FormRig rig(options);
    rig.view.memo = "ai bai bin du";
    rig.form->stBt1Click();
    rig.form->xInquireBtClick();
    ASSERT_TRUE(rig.PumpUntil([&] { return lookup.Entered() == 8; }));
    const auto start = std::chrono::steady_clock::now();
    rig.form->Shutdown();
    EXPECT_LT(MsSince(start), 1500);
}

TEST(MainForm, ClosingFromAMessageBoxOpenDuringARunDoesNotHang) {
    WhoisTestServer server;
    FormRig rig(Against(server));
    rig.view.memo = testing_support::SyllableMemo(6); // 36 names, more than the workers
    rig.form->stBt1Click();
    rig.form->xInquireBtClick();
    // The hidden 清空 empties the list under the run, so each answer finds no row
    // and shows a box. In the first box the user closes the window; the box's
    // own loop goes on pumping meanwhile, as a real one does.
    rig.form->xClearBtClick();
    bool closing = false;
    std::int64_t endMs = -1;
    rig.view.whileMessageShown = [&](const std::string&) {
        if (closing) {
            return;
        }
        closing = true;
        rig.form->Dispatcher().PumpUntil([] { return false; }, 300);
        const auto start = std::chrono::steady_clock::now();
        rig.form->Shutdown();
        endMs = MsSince(start);
    };
    ASSERT_TRUE(rig.PumpUntil([&] { return endMs >= 0; }));
    EXPECT_LT(endMs, 1500);
    EXPECT_EQ(rig.view.messages[0].text, texts::RowNotFound());
}

TEST(MainForm, AWorkerThatCannotStartGivesAClearErrorAndTheWindowStaysIdle) {
    TMainFormOptions options;
    options.Seek = TestConfig(WhoisTestServer::UnusedPort());
    options.Seek.StartThread = [](std::function<void()>) -> platform::SystemThread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    FormRig rig(options);
    rig.form->stBt1Click();
    rig.form->xInquireBtClick();
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_TRUE(rig.view.messages[0].error);
    EXPECT_EQ(rig.view.messages[0].text, texts::WorkerStartFailed());
    EXPECT_FALSE(rig.form->RunController().InProgress());
    // Idle: the list can be emptied without a refusal.
    rig.form->stBt2Click();
    EXPECT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.form->ResultList().Count(), 0);
}

TEST(MainForm, NamesWhoseWhoisExchangeFailsAreAnsweredByRdapAndLogged) {
    // WHOIS refuses every third name; RDAP calls the first of them registered,
    // the second free, and fails on the third.
    WhoisTestServer whois;
    whois.SetResponder([](const std::string& request) {
        const std::string name = WhoisTestServer::NameOf(request);
        if (name == "AiCai" || name == "BaiCai" || name == "CaiCai") {
            return Reply{Reply::Mode::AnswerAndClose, "WHOIS LIMIT EXCEEDED\r\n", {}, 0};
        }
        return Reply{Reply::Mode::AnswerAndClose,
                     name == "AiAi" ? WhoisTestServer::RegisteredAnswer(name)
                                    : WhoisTestServer::NoMatchAnswer(name),
                     {},
                     0};
    });
    testing_support::RdapTestServer rdap;
    rdap.SetResponder([](const std::string& path) {
        const std::string name = testing_support::RdapTestServer::NameOf(path);
        if (name == "aicai") {
            return testing_support::RdapTestServer::Registered(name);
        }
        if (name == "baicai") {
            return testing_support::RdapTestServer::NotFound();
        }
        testing_support::HttpReply failed;
        failed.status = 500;
        return failed;
    });
    TMainFormOptions options = Against(whois);
    options.Seek.RdapBase = rdap.Base();
    FormRig rig(options);
    rig.view.memo = "ai bai cai";
    rig.form->stBt1Click();
    rig.form->xInquireBtClick();
    ASSERT_TRUE(rig.PumpUntilEnded());
    EXPECT_EQ(rig.view.Status(), G("总共个9域名查询完毕!"));
    const TResultList& list = rig.form->ResultList();
    ASSERT_EQ(list.Count(), 9);
    auto row = [&](const std::string& caption) {
        for (int i = 0; i < list.Count(); ++i) {
            if (list.Row(i).Caption == caption) {
                return list.Row(i);
            }
        }
        ADD_FAILURE() << caption;
        return list.Row(0);
    };
    EXPECT_EQ(row("AiCai.com").Column(1), G("已注册"));
    EXPECT_EQ(row("AiCai.com").Column(2), "1997-09-15");
    EXPECT_EQ(row("AiCai.com").Column(3), "2028-09-14");
    EXPECT_EQ(row("BaiCai.com").Column(1), G("可以注册"));
    EXPECT_EQ(row("BaiCai.com").Column(2), "");
    EXPECT_EQ(row("CaiCai.com").Column(1), "!");
    EXPECT_EQ(row("AiAi.com").Column(1), G("已注册"));
    EXPECT_EQ(row("CaiAi.com").Column(1), G("可以注册"));

    // One hidden log line for each name that went to RDAP, after its answer line.
    std::vector<std::string> rdapLines;
    for (std::size_t i = 0; i < rig.view.log.size(); ++i) {
        if (rig.view.log[i].rfind("RDAP ", 0) == 0) {
            rdapLines.push_back(rig.view.log[i]);
            EXPECT_EQ(rig.view.log[i - 1], "BakOnSeekActOnce");
        }
    }
    ASSERT_EQ(rdapLines.size(), 3u);
    std::sort(rdapLines.begin(), rdapLines.end());
    EXPECT_EQ(rdapLines[0], "RDAP AiCai.com: WHOIS no answer about the name (a refusal or an "
                            "unreadable text); RDAP 200, registered");
    EXPECT_EQ(rdapLines[1], "RDAP BaiCai.com: WHOIS no answer about the name (a refusal or an "
                            "unreadable text); RDAP 404, can be registered");
    EXPECT_EQ(rdapLines[2], "RDAP CaiCai.com: WHOIS no answer about the name (a refusal or an "
                            "unreadable text); RDAP 500, no answer: HTTP status 500");
    EXPECT_EQ(rdap.NameRequests().size(), 3u);
    EXPECT_TRUE(rig.view.messages.empty()); // a failure is a "!", never a box
}

TEST(MainForm, NoRowIsFreeWhenTheRdapServiceAnswers404ToEveryPath) {
    // WHOIS refuses every name and the RDAP address went stale: 404 for every
    // path, example.com's too. Nobody said any name is free.
    WhoisTestServer whois;
    whois.SetResponder([](const std::string&) {
        return Reply{Reply::Mode::AnswerAndClose, "WHOIS LIMIT EXCEEDED\r\n", {}, 0};
    });
    testing_support::RdapTestServer rdap;
    rdap.SetAnswersExample(false);
    TMainFormOptions options = Against(whois);
    options.Seek.RdapBase = rdap.Base();
    FormRig rig(options);
    rig.view.memo = "ai bai cai";
    rig.form->stBt1Click();
    rig.form->xInquireBtClick();
    ASSERT_TRUE(rig.PumpUntilEnded());
    EXPECT_EQ(rig.view.Status(), G("总共个9域名查询完毕!"));
    EXPECT_EQ(rig.Statuses(), std::vector<std::string>(9, "!"));
    // The eight workers share one judgement of the service: one probe.
    EXPECT_EQ(rdap.Requests().size() - rdap.NameRequests().size(), 1u);
    std::size_t distrusted = 0;
    for (const auto& line : rig.view.log) {
        distrusted += line.find("not believed") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(distrusted, 9u);
}

TEST(MainForm, NamesThatCannotBeRegisteredFailWhileTheRunCountsThem) {
    // The generator adds what was typed; the run asks only registrable names.
    WhoisTestServer whois; // "No match" for whatever it is asked
    FormRig rig(Against(whois));
    rig.view.memo = "ai bai_x";
    rig.form->stBt1Click();
    ASSERT_EQ(rig.form->ResultList().Count(), 4);
    rig.form->xInquireBtClick();
    ASSERT_TRUE(rig.PumpUntilEnded());
    EXPECT_EQ(rig.view.Status(), G("总共个4域名查询完毕!"));
    const TResultList& list = rig.form->ResultList();
    for (int i = 0; i < list.Count(); ++i) {
        const bool registrable = list.Row(i).Caption == "AiAi.com";
        EXPECT_EQ(list.Row(i).Column(1), registrable ? G("可以注册") : std::string("!"))
            << list.Row(i).Caption;
    }
    ASSERT_EQ(whois.Connections().size(), 1u);
    EXPECT_EQ(WhoisTestServer::NameOf(whois.Connections()[0].request), "AiAi");
    EXPECT_TRUE(rig.view.messages.empty());
}

TEST(MainForm, AProfileNameWithABracketIsRefusedWithItsReason) {
    FormRig rig;
    rig.view.inputs.push_back({true, "my]set"});
    rig.form->stBt4Click();
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_TRUE(rig.view.messages[0].error);
    EXPECT_EQ(rig.view.messages[0].text, texts::ProfileNameBracket());
    EXPECT_EQ(rig.view.messages[0].text.find("Unable to write"), std::string::npos);
    EXPECT_TRUE(rig.view.profileNames.empty());
    EXPECT_FALSE(std::filesystem::exists(rig.folder.Path() / "kestrova.ini"));
}
