#include "Generator.h"
#include "Layout.h"
#include "TwoServiceRoad.h"
#include "WhoisTestServer.h"
#include "WindowHarness.h"
#include "WorkerHarness.h"

#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>

#include <gtest/gtest.h>

#include <filesystem>

using testing_support::G;
using testing_support::ReadFile;
using testing_support::Reply;
using testing_support::TestConfig;
using testing_support::WaitUntil;
using testing_support::WhoisTestServer;
using testing_support::WindowHarness;
using testing_support::WriteFile;

namespace {

TMainFormOptions Against(const WhoisTestServer& server) {
    TMainFormOptions options;
    options.Seek = TestConfig(server.Port());
    return options;
}

std::vector<std::string> Statuses(const TMainForm& form) {
    std::vector<std::string> out;
    for (int i = 0; i < form.ResultList().Count(); ++i) {
        out.push_back(form.ResultList().Row(i).Column(1));
    }
    return out;
}

} // namespace

TEST(MainWindow, StartsWithEveryControlInPlace) {
    WindowHarness w;
    EXPECT_EQ(Gbk(w.window->windowTitle()),
              G("Vantreel v1.08 - Kestrova软件 https://kestrova.example"));
    EXPECT_FALSE(w.window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.window->windowFlags() & Qt::WindowMinimizeButtonHint);

    struct Tool {
        const char* name;
        const char* caption;
        const char* hint;
        bool visible;
    };
    for (const Tool& t : {Tool{"xInquireBt", "查询", "快速查询域名是否可以注册。", true},
                          Tool{"xReInquireBt", "重查", "只查询还没有结果（* 或 !）的域名。", true},
                          Tool{"xStopBt", "停止", "停止查询域名.", true},
                          Tool{"xClearBt", "清空", "清空全部域名列表。", false},
                          Tool{"xExportBt", "导出", "导出可以注册的域名。", true},
                          Tool{"xHelpBt", "帮助", "提供软件的相关操作帮助说明。", true},
                          Tool{"xAboutBt", "关于", "查看软件的设计说明。", true},
                          Tool{"xCloseBt", "关闭", "停止操作，关闭退出软件。", true}}) {
        auto* button = w.Find<QToolButton>(t.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), U(t.caption)) << t.name;
        EXPECT_EQ(button->toolTip(), U(t.hint)) << t.name;
        EXPECT_EQ(button->isVisible(), t.visible) << t.name;
        EXPECT_EQ(button->size(), QSize(60, 40)) << t.name;
    }
    for (const auto& [name, caption] :
         std::vector<std::pair<const char*, const char*>>{{"stBt1", "增加域名"},
                                                          {"stBt2", "清空域名"},
                                                          {"stBt3", "清除设置"},
                                                          {"stBt4", "保存设置"}}) {
        EXPECT_EQ(w.Find<QAbstractButton>(name)->text(), U(caption));
        EXPECT_EQ(w.Find<QAbstractButton>(name)->width(), 66);
    }
    EXPECT_FALSE(w.Find<QLineEdit>("YmPiPeiEd")->isVisible());
    EXPECT_EQ(w.Find<QLineEdit>("YmPiPeiEd")->text(), QStringLiteral("z*s"));
    EXPECT_FALSE(w.Find<QCheckBox>("DuplicationChk")->isVisible());
    EXPECT_FALSE(w.Find<QCheckBox>("DuplicationChk")->isChecked());
    EXPECT_FALSE(w.Find<QPlainTextEdit>("RzMemo1")->isVisible());
    EXPECT_EQ(w.Find<TSpinEdit>("YmLenSp1")->value(), 2);
    EXPECT_EQ(w.Find<TSpinEdit>("YmLenSp2")->value(), 10);
    EXPECT_EQ(w.Text("LabelCount"), G("共0000个域名"));
    EXPECT_EQ(w.Status(), G("欢迎使用免费软件..."));
    EXPECT_EQ(w.Find<QProgressBar>("RzProgressBar")->text(), QStringLiteral("0%"));

    auto* list = w.Find<QTableView>("RzListView");
    EXPECT_EQ(list->model()->columnCount(), 5);
    EXPECT_EQ(list->columnWidth(0), 120);
    EXPECT_EQ(list->columnWidth(1), 70);
    EXPECT_EQ(list->columnWidth(2), 90);
    EXPECT_EQ(list->columnWidth(3), 90);
    EXPECT_GE(list->columnWidth(4), 150);
    EXPECT_TRUE(list->horizontalHeader()->stretchLastSection());
    EXPECT_EQ(list->model()->headerData(3, Qt::Horizontal).toString(), U("过期日期"));
    EXPECT_EQ(list->model()->headerData(4, Qt::Horizontal).toString(), U("词语"));
    auto* words = w.Find<QCheckBox>("YmCiYuChk");
    EXPECT_TRUE(words->isVisible());
    EXPECT_FALSE(words->isChecked());
    EXPECT_EQ(words->text(), U("只要词语"));
    EXPECT_EQ(words->toolTip(), U("只增加拼音能读成常用词语的域名，比如 MeiLi（美丽、魅力）。"));
    EXPECT_LE(words->sizeHint().width(), words->width());
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);

    // Eight parked workers, numbered in list order; no settings file appeared.
    ASSERT_EQ(w.Form().Workers().size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(w.Form().Workers()[i]->WorkerIndex(), static_cast<int>(i));
        EXPECT_TRUE(w.Form().Workers()[i]->AtRest());
    }
    EXPECT_EQ(w.Find<QComboBox>("SettingCbb")->count(), 0);
    EXPECT_FALSE(std::filesystem::exists(w.folder.Path() / "kestrova.ini"));
    EXPECT_TRUE(w.messages.empty());
}

TEST(MainWindow, ListsTheProfilesOfTheSettingsFileInFileOrder) {
    WindowHarness* w = nullptr;
    testing_support::TempDir dir;
    WriteFile(dir.Path() / "kestrova.ini",
              "[Short]\r\nYmLenSp1=4\r\n[\xB6\xCC\xC3\xFB]\r\n[Long]\r\n");
    TMainFormOptions options;
    options.IniPath = dir.File("kestrova.ini");
    WindowHarness harness(options);
    w = &harness;
    auto* combo = w->Find<QComboBox>("SettingCbb");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("Short"));
    EXPECT_EQ(combo->itemText(1), U("短名"));
    EXPECT_EQ(combo->currentIndex(), -1);
}

TEST(MainWindow, GenerationRowsAndTheCountLabel) {
    WindowHarness w;
    w.Click("stBt1");
    ASSERT_EQ(w.Form().ResultList().Count(), 484);
    EXPECT_EQ(w.Form().ResultList().Row(0).Caption, "AiAi.com");
    EXPECT_EQ(w.Form().ResultList().Row(483).Caption, "YouYou.com");
    EXPECT_EQ(w.Text("LabelCount"), G("共484个域名"));
    EXPECT_EQ(w.Find<QTableView>("RzListView")->model()->rowCount(), 484);
    EXPECT_EQ(w.Status(), G("欢迎使用免费软件...")); // nothing else changes

    w.Click("stBt2");
    EXPECT_EQ(w.Form().ResultList().Count(), 0);
    EXPECT_EQ(w.Text("LabelCount"), G("共0000个域名"));

    w.SetMemo("");
    w.Click("stBt1");
    EXPECT_EQ(w.Text("LabelCount"), G("共  0个域名"));
    w.SetMemo("ai bai\nhao\n");
    w.Find<QLineEdit>("PrevKeyEd")->setText(QStringLiteral("b"));
    w.Click("stBt1");
    EXPECT_EQ(w.Form().ResultList().Captions(),
              (std::vector<std::string>{"BaiAi.com", "BaiBai.com", "BaiHao.com"}));
    EXPECT_EQ(w.Text("LabelCount"), G("共  3个域名"));
    EXPECT_TRUE(w.messages.empty());
}

TEST(MainWindow, TooManySyllablesAreRefusedWithTheMessage) {
    WindowHarness w;
    w.SetMemo(testing_support::SyllableMemo(101).c_str());
    w.Click("stBt1");
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(
        w.messages[0].text,
        G("音节数目超过100个了，暂时不接受超过100个音节的组合要求！\r\n\r\n请减少音节数目。"));
    EXPECT_EQ(w.Form().ResultList().Count(), 0);
    EXPECT_EQ(w.Text("LabelCount"), G("共0000个域名"));
}

TEST(MainWindow, TheRowLimitIsTestedOnceBeforeEachClick) {
    WindowHarness w;
    w.SetMemo(testing_support::SyllableMemo(100).c_str());
    w.Find<TSpinEdit>("YmLenSp1")->setValue(0);
    w.Find<TSpinEdit>("YmLenSp2")->setValue(100);
    w.Click("stBt1");
    EXPECT_EQ(w.Form().ResultList().Count(), 10000);
    w.Click("stBt1"); // exactly 10000 rows pass the check
    EXPECT_EQ(w.Form().ResultList().Count(), 20000);
    EXPECT_EQ(w.Text("LabelCount"), G("共20000个域名"));
    w.Click("stBt1");
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].text, G("待查域名的数目超过10000个了！\r\n\r\n请不要再增加了。"));
    EXPECT_EQ(w.Form().ResultList().Count(), 20000);
}

TEST(MainWindow, SpinEditsChangeOnlyByStepsAndStayInRange) {
    WindowHarness w;
    auto* spin = w.Find<TSpinEdit>("YmLenSp1");
    spin->setFocus();
    QTest::keyClicks(spin, QStringLiteral("57"));
    QTest::keyClick(spin, Qt::Key_Backspace);
    EXPECT_EQ(spin->value(), 2);
    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(spin->value(), 3);
    QTest::keyClick(spin, Qt::Key_PageUp);
    EXPECT_EQ(spin->value(), 13);
    QTest::keyClick(spin, Qt::Key_Down);
    EXPECT_EQ(spin->value(), 12);
    spin->setValue(150);
    EXPECT_EQ(spin->value(), 100);
    spin->setValue(-3);
    EXPECT_EQ(spin->value(), 0);
}

TEST(MainWindow, ProfilesAreSavedLoadedAndCleared) {
    WindowHarness w;
    w.Find<TSpinEdit>("YmLenSp1")->setValue(4);
    w.Find<TSpinEdit>("YmLenSp2")->setValue(6);
    w.Find<QLineEdit>("YmHanEd")->setText(QStringLiteral("ai bai"));
    w.Find<QLineEdit>("PrevKeyEd")->setText(U("好"));
    w.Find<QCheckBox>("YmCiYuChk")->click();
    w.inputs.push_back({true, G("短名")});
    w.Click("stBt4");
    auto* combo = w.Find<QComboBox>("SettingCbb");
    ASSERT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->currentText(), U("短名"));
    const std::string ini = ReadFile(w.folder.Path() / "kestrova.ini");
    EXPECT_EQ(ini, "[" + G("短名") +
                       "]\r\nYmLenSp1=4\r\nYmLenSp2=6\r\nYmHanEd=ai bai\r\nYmPaiEd=\r\n"
                       "YmPiPeiEd=z*s\r\nDuplicationChk=0\r\nPrevKeyEd=" +
                       G("好") + "\r\nLastKeyEd=\r\nYmCiYuChk=1\r\n");

    // Saving under a listed name lists it again; cancelling or an empty name saves nothing.
    w.inputs.push_back({true, G("短名")});
    w.Click("stBt4");
    w.inputs.push_back({false, "ignored"});
    w.Click("stBt4");
    w.inputs.push_back({true, ""});
    w.Click("stBt4");
    EXPECT_EQ(combo->count(), 2);

    w.Click("stBt3");
    EXPECT_EQ(w.Find<TSpinEdit>("YmLenSp1")->value(), 2);
    EXPECT_EQ(w.Find<TSpinEdit>("YmLenSp2")->value(), 10);
    EXPECT_EQ(w.Find<QLineEdit>("YmHanEd")->text(), QString());
    EXPECT_EQ(w.Find<QLineEdit>("YmPiPeiEd")->text(), QString());
    EXPECT_EQ(w.Find<QLineEdit>("PrevKeyEd")->text(), QString());
    EXPECT_FALSE(w.Find<QCheckBox>("YmCiYuChk")->isChecked());
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_FALSE(w.Find<QPlainTextEdit>("YinjieMemo")->toPlainText().isEmpty());

    // The user picks the profile in the list.
    emit combo->activated(0);
    EXPECT_EQ(w.Find<TSpinEdit>("YmLenSp1")->value(), 4);
    EXPECT_EQ(w.Find<TSpinEdit>("YmLenSp2")->value(), 6);
    EXPECT_EQ(w.Find<QLineEdit>("YmHanEd")->text(), QStringLiteral("ai bai"));
    EXPECT_EQ(w.Find<QLineEdit>("YmPiPeiEd")->text(), QStringLiteral("z*s"));
    EXPECT_EQ(w.Find<QLineEdit>("PrevKeyEd")->text(), U("好"));
    EXPECT_TRUE(w.Find<QCheckBox>("YmCiYuChk")->isChecked());
    EXPECT_TRUE(w.messages.empty());
}

TEST(MainWindow, AProfileWithOutOfRangeLengthsLoadsClamped) {
    testing_support::TempDir dir;
    WriteFile(dir.Path() / "kestrova.ini",
              "[odd]\r\nYmLenSp1=-4\r\nYmLenSp2=0x400\r\nDuplicationChk=2\r\n");
    TMainFormOptions options;
    options.IniPath = dir.File("kestrova.ini");
    WindowHarness w(options);
    emit w.Find<QComboBox>("SettingCbb")->activated(0);
    EXPECT_EQ(w.Find<TSpinEdit>("YmLenSp1")->value(), 0);
    EXPECT_EQ(w.Find<TSpinEdit>("YmLenSp2")->value(), 100);
    EXPECT_TRUE(w.Find<QCheckBox>("DuplicationChk")->isChecked());
    EXPECT_EQ(w.Find<QLineEdit>("YmPiPeiEd")->text(), QStringLiteral("zg*"));
}

TEST(MainWindow, AFailedProfileSaveShowsTheErrorAndListsNothing) {
    testing_support::TempDir dir;
    WriteFile(dir.Path() / "plain", "x");
    TMainFormOptions options;
    options.IniPath = dir.File("plain/kestrova.ini");
    WindowHarness w(options);
    w.inputs.push_back({true, "p"});
    w.Click("stBt4");
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].icon, dialogs::Icon::Error);
    EXPECT_EQ(w.messages[0].text, "Unable to write to " + options.IniPath.ToText() + ".");
    EXPECT_EQ(w.Find<QComboBox>("SettingCbb")->count(), 0);
}

TEST(MainWindow, ErrorDisplayAddsAFullStopOnlyAfterLaterCharacters) {
    EXPECT_EQ(dialogs::ErrorDisplayText("Cannot create file /a/b.txt"),
              "Cannot create file /a/b.txt.");
    EXPECT_EQ(dialogs::ErrorDisplayText("done."), "done.");
    EXPECT_EQ(dialogs::ErrorDisplayText("a-"), "a-"); // '-' sorts before '.'
    EXPECT_EQ(dialogs::ErrorDisplayText(G("参数异常...")), G("参数异常..."));
    EXPECT_EQ(dialogs::ErrorDisplayText(G("异常")), G("异常") + ".");
}

TEST(MainWindow, AWholeRoadFromSyllablesToExport) {
    WhoisTestServer server;
    server.SetResponder(WhoisTestServer::WholeRoadReply);
    WindowHarness w(Against(server));
    w.SetMemo("ai bai");
    w.Click("stBt1");
    ASSERT_EQ(w.Form().ResultList().Count(), 4);
    w.Click("xInquireBt");
    EXPECT_EQ(w.Status(), G("开始查询域名..."));
    ASSERT_TRUE(WaitUntil([&] { return w.Status().rfind(G("总共个"), 0) == 0; }));
    EXPECT_EQ(w.Status(), G("总共个4域名查询完毕!"));
    EXPECT_EQ(Statuses(w.Form()),
              (std::vector<std::string>{G("已注册"), G("可以注册"), G("可以注册"), "!"}));
    EXPECT_EQ(w.Form().ResultList().Row(0).Column(2), "1997-09-15");
    EXPECT_EQ(w.Form().ResultList().Row(0).Column(3), "2028-09-14");
    EXPECT_EQ(w.Find<QTableView>("RzListView")->model()->index(0, 4).data().toString(),
              U("皑皑")); // AiAi.com's words stay through its answer
    EXPECT_EQ(w.Find<QProgressBar>("RzProgressBar")->text(), QStringLiteral("0%"));
    // The end text comes with the last answer's worker; another worker's own
    // end may still be on its way.
    const auto log = [&] {
        return w.Find<QPlainTextEdit>("RzMemo1")->toPlainText();
    };
    EXPECT_TRUE(
        WaitUntil([&] { return log().count(U("BakOnSeekActFinish 查询完毕！！")) == 8; }, 5000));
    EXPECT_EQ(log().count(QStringLiteral("BakOnSeekActOnce")), 4);
    EXPECT_EQ(log().count(U("BakOnSeekActFinish 查询完毕！！")), 8);

    // Export: the two available names, in list order; the name offered again next time.
    w.saves.push_back({true, w.folder.File("result")});
    w.Click("xExportBt");
    ASSERT_EQ(w.saveOptions.size(), 1u);
    EXPECT_EQ(w.saveOptions[0].filterName, G("文本文件"));
    EXPECT_EQ(w.saveOptions[0].filterPattern, "*.txt");
    EXPECT_EQ(w.saveOptions[0].initialFolder, w.folder.File("dovrenta").Folder());
    EXPECT_TRUE(w.saveOptions[0].fileName.empty());
    EXPECT_EQ(ReadFile(w.folder.Path() / "result.txt"), "AiBai.com\r\nBaiAi.com\r\n");
    w.saves.push_back({false, {}});
    w.Click("xExportBt");
    EXPECT_EQ(w.saveOptions[1].fileName, w.folder.File("result.txt"));
    EXPECT_TRUE(w.messages.empty());

    // Sorting by status: "!" first, then available, then registered.
    w.Form().RzListViewColumnClick(1);
    EXPECT_EQ(Statuses(w.Form()),
              (std::vector<std::string>{"!", G("可以注册"), G("可以注册"), G("已注册")}));
    EXPECT_EQ(w.Form().SortColumn(), 1);
}

// 重查 after a run with a "!" row asks only that name; the answered rows keep
// their answers; with nothing left it says so in the status pane.
TEST(MainWindow, AskingAgainAsksOnlyTheRowsWithoutAResult) {
    WhoisTestServer server;
    server.SetResponder(WhoisTestServer::WholeRoadReply);
    WindowHarness w(Against(server));
    w.SetMemo("ai bai");
    w.Click("stBt1");
    w.Click("xInquireBt");
    ASSERT_TRUE(WaitUntil([&] { return w.Status().rfind(G("总共个"), 0) == 0; }));
    ASSERT_EQ(Statuses(w.Form()),
              (std::vector<std::string>{G("已注册"), G("可以注册"), G("可以注册"), "!"}));
    const std::size_t asked = server.Connections().size();
    server.SetResponder([](const std::string& request) {
        return Reply{Reply::Mode::AnswerAndClose,
                     WhoisTestServer::NoMatchAnswer(WhoisTestServer::NameOf(request)),
                     {},
                     0};
    });
    w.Click("xReInquireBt");
    EXPECT_EQ(w.Status(), G("开始查询域名..."));
    ASSERT_TRUE(WaitUntil([&] { return w.Status().rfind(G("总共个"), 0) == 0; }));
    EXPECT_EQ(w.Status(), G("总共个1域名查询完毕!"));
    ASSERT_EQ(server.Connections().size(), asked + 1);
    EXPECT_EQ(WhoisTestServer::NameOf(server.Connections().back().request), "BaiBai");
    EXPECT_EQ(Statuses(w.Form()),
              (std::vector<std::string>{G("已注册"), G("可以注册"), G("可以注册"), G("可以注册")}));
    EXPECT_EQ(w.Form().ResultList().Row(0).Column(2), "1997-09-15");
    w.Click("xReInquireBt");
    EXPECT_EQ(w.Status(), G("没有需要重查的域名：每个域名都已经有结果了。"));
    EXPECT_TRUE(w.messages.empty());
}

TEST(MainWindow, AFailedExportShowsCannotCreateFile) {
    WindowHarness w;
    WriteFile(w.folder.Path() / "plain", "x");
    w.saves.push_back({true, w.folder.File("plain/out.txt")});
    w.Click("xExportBt");
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].text,
              "Cannot create file " + w.folder.File("plain/out.txt").ToText() + ".");
}

TEST(MainWindow, EditingTheListDuringARunIsRefused) {
    WhoisTestServer server;
    server.SetResponder([](const std::string&) { return Reply{Reply::Mode::Silent, {}, {}, 0}; });
    WindowHarness w(Against(server));
    w.SetMemo("ai bai");
    w.Click("stBt1");
    w.Click("xInquireBt");
    w.Click("stBt1");
    w.Click("stBt2");
    w.Click("xInquireBt");
    ASSERT_EQ(w.messages.size(), 3u);
    EXPECT_EQ(w.messages[0].text, G("正在进行域名查询...\r\n\r\n请先停止再做这个操作。"));
    EXPECT_EQ(w.messages[1].text, G("正在进行域名查询...\r\n\r\n请先停止再做这个操作。"));
    EXPECT_EQ(w.messages[2].text, G("正在进行查询域名工作，请先停止，然后再点击开始。"));
    EXPECT_EQ(w.Form().ResultList().Count(), 4);
    w.Click("xStopBt");
    EXPECT_EQ(w.Status(), G("停止查询域名"));
    w.Click("stBt2");
    EXPECT_EQ(w.Form().ResultList().Count(), 0);
    EXPECT_EQ(w.messages.size(), 3u);
}

TEST(MainWindow, TheCloseButtonStopsFirstTheTitleBarDoesNot) {
    {
        WindowHarness w;
        w.Click("xCloseBt");
        EXPECT_EQ(w.Status(), G("停止查询域名"));
        EXPECT_FALSE(w.window->isVisible());
        for (const auto& worker : w.Form().Workers()) {
            EXPECT_TRUE(worker->StopFlag());
        }
    }
    {
        WindowHarness w;
        w.window->close();
        EXPECT_EQ(w.Status(), G("欢迎使用免费软件..."));
        EXPECT_FALSE(w.window->isVisible());
    }
}

TEST(MainWindow, ClosingEndsPromptlyWhileEightWorkersWaitOnASilentServer) {
    WhoisTestServer server;
    server.SetResponder([](const std::string&) { return Reply{Reply::Mode::Silent, {}, {}, 0}; });
    TMainFormOptions options = Against(server);
    options.Seek.DataWaitMs = 20000;
    WindowHarness w(options);
    w.SetMemo("ai bai bin du");
    w.Click("stBt1");
    w.Click("xInquireBt");
    ASSERT_TRUE(WaitUntil([&] { return server.Connections().size() >= 8; }));
    QElapsedTimer timer;
    timer.start();
    w.window->close();
    w.window.reset();
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST(MainWindow, Screenshot) {
    WindowHarness w;
    w.Click("stBt1");
    w.window->resize(layout::kClientWidth, layout::kClientHeight);
    QCoreApplication::processEvents();
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("main-window.png"));
    ASSERT_TRUE(w.window->grab().save(path));
    EXPECT_TRUE(QFileInfo::exists(path));
}

TEST(MainWindow, ToolButtonsDrawSixteenPixelGlyphsAboveWholeCaptions) {
    WindowHarness w;
    for (const auto* name : {"xInquireBt", "xReInquireBt", "xStopBt", "xExportBt", "xHelpBt",
                             "xAboutBt", "xCloseBt"}) {
        auto* button = w.Find<QToolButton>(name);
        EXPECT_EQ(button->iconSize(), QSize(16, 16)) << name;
        // Below the glyph and its 4 px gap the caption has its whole height.
        EXPECT_GE(button->height() - (button->iconSize().height() + 4),
                  button->fontMetrics().height())
            << name;
    }
}

TEST(MainWindow, EveryControlUsesTheWindowFont) {
    WindowHarness w;
    const QFont font = w.window->font();
    EXPECT_EQ(font.pixelSize(), 14);
    for (QWidget* widget : w.window->findChildren<QWidget*>()) {
        if (widget->objectName().isEmpty() ||
            widget->objectName().startsWith(QLatin1String("qt_"))) {
            continue;
        }
        EXPECT_EQ(widget->font(), font) << widget->objectName().toStdString();
    }
    // The tool bar's buttons and label especially, which a style sheet used to cut off.
    for (QWidget* widget : w.Find<QToolBar>("RzToolbar1")->findChildren<QWidget*>()) {
        EXPECT_EQ(widget->font().pixelSize(), 14) << widget->objectName().toStdString();
        EXPECT_EQ(widget->font().family(), font.family()) << widget->objectName().toStdString();
    }
}

TEST(MainWindow, EveryTextFitsItsField) {
    WindowHarness w;
    QCoreApplication::processEvents();
    for (QLabel* label : w.window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(w.window.get()) || label->text().isEmpty()) {
            continue;
        }
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_LE(needed, label->contentsRect().width()) << Gbk(label->text());
    }
    for (QAbstractButton* button : w.window->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(w.window.get()) || button->text().isEmpty()) {
            continue;
        }
        const int needed = button->fontMetrics().horizontalAdvance(button->text());
        EXPECT_LE(needed + 8, button->width()) << Gbk(button->text());
    }
}

TEST(MainWindow, SpinEditsShowEveryValueWholeAndRefuseEveryPaste) {
    WindowHarness w;
    for (const auto* name : {"YmLenSp1", "YmLenSp2"}) {
        auto* spin = w.Find<TSpinEdit>(name);
        auto* edit = spin->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        for (int value : {0, 8, 10, 99, 100}) {
            spin->setValue(value);
            QCoreApplication::processEvents();
            const int needed = edit->fontMetrics().horizontalAdvance(edit->text());
            const QMargins margins = edit->textMargins();
            EXPECT_LE(needed + margins.left() + margins.right() + 4, edit->width())
                << name << " at " << value;
        }
        spin->setValue(5);
        QGuiApplication::clipboard()->setText(QStringLiteral("57"));
        if (QGuiApplication::clipboard()->supportsSelection()) {
            QGuiApplication::clipboard()->setText(QStringLiteral("57"), QClipboard::Selection);
        }
        spin->setFocus();
        QTest::mouseClick(edit, Qt::MiddleButton); // the X11 selection's paste
        QTest::keyClick(spin, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClicks(edit, QStringLiteral("7"));
        EXPECT_EQ(spin->value(), 5) << name;
        EXPECT_EQ(edit->text(), QStringLiteral("5")) << name;
    }
}

TEST(MainWindow, NoHorizontalScrollBarWhileTheColumnsFit) {
    WindowHarness w;
    w.Click("stBt1"); // the 484 default rows: more than fit, so a vertical bar shows
    QCoreApplication::processEvents();
    auto* list = w.Find<QTableView>("RzListView");
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    EXPECT_LE(list->horizontalHeader()->length(), list->viewport()->width())
        << "viewport " << list->viewport()->width() << ", sections " << list->columnWidth(0) << " "
        << list->columnWidth(1) << " " << list->columnWidth(2) << " " << list->columnWidth(3);
}

// The words column after 增加域名, with the box clear and ticked, and sorted.
TEST(MainWindow, TheWordsColumnTheWordsBoxAndTheSortByWords) {
    WhoisTestServer server;
    server.SetResponder([](const std::string& request) {
        const std::string name = WhoisTestServer::NameOf(request);
        return Reply{Reply::Mode::AnswerAndClose,
                     name.size() % 2 == 0 ? WhoisTestServer::RegisteredAnswer(name)
                                          : WhoisTestServer::NoMatchAnswer(name),
                     {},
                     0};
    });
    WindowHarness w(Against(server));
    auto* list = w.Find<QTableView>("RzListView");
    const auto cell = [&](int row, int column) {
        return list->model()->index(row, column).data().toString();
    };
    const auto rowOf = [&](const char* caption) {
        return w.Form().ResultList().FindCaption(caption);
    };
    w.Click("stBt1");
    ASSERT_EQ(w.Form().ResultList().Count(), 484);
    ASSERT_GE(rowOf("ShiJie.com"), 0);
    EXPECT_TRUE(cell(rowOf("ShiJie.com"), 4).startsWith(U("世界、")));
    EXPECT_EQ(cell(rowOf("AiBai.com"), 4), QString());
    EXPECT_EQ(cell(rowOf("ShiJie.com"), 1), QStringLiteral("*"));
    // Shown whole on hovering, however narrow the column.
    EXPECT_EQ(list->model()->index(rowOf("ShiJie.com"), 4).data(Qt::ToolTipRole).toString(),
              cell(rowOf("ShiJie.com"), 4));
    int withWords = 0;
    for (int row = 0; row < 484; ++row) {
        withWords += cell(row, 4).isEmpty() ? 0 : 1;
    }
    testing_support::Shot(w, "words-1-default-names");

    w.Click("stBt2");
    w.Find<QCheckBox>("YmCiYuChk")->click();
    w.Click("stBt1");
    EXPECT_EQ(w.Form().ResultList().Count(), withWords);
    EXPECT_EQ(w.Text("LabelCount"), CountLabelAfterGeneration(withWords));
    for (int row = 0; row < w.Form().ResultList().Count(); ++row) {
        ASSERT_FALSE(cell(row, 4).isEmpty()) << row;
    }
    testing_support::Shot(w, "words-2-words-only");

    // A click on the header: the most common first word on top.
    w.Click("stBt2");
    w.Find<QCheckBox>("YmCiYuChk")->click();
    w.Click("stBt1");
    list->horizontalHeader()->sectionClicked(4);
    EXPECT_EQ(w.Form().SortColumn(), 4);
    const auto& rows = w.Form().ResultList();
    for (int row = 1; row < rows.Count(); ++row) {
        ASSERT_LE(rows.Row(row - 1).WordRank, rows.Row(row).WordRank) << row;
    }
    EXPECT_FALSE(cell(0, 4).isEmpty());
    EXPECT_TRUE(cell(483, 4).isEmpty());
    EXPECT_EQ(cell(withWords, 0), QStringLiteral("AiBai.com")); // the first without words
    w.window->resize(layout::kClientWidth, layout::kClientHeight);
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.window->grab().save(
        QDir::current().absoluteFilePath(QStringLiteral("words-sorted.png"))));
    testing_support::Shot(w, "words-3-sorted");

    // A run of the names with words: the answers come, the words and the order stay.
    w.Click("stBt2");
    w.Click("stBt1");
    list->horizontalHeader()->sectionClicked(4);
    std::vector<std::pair<QString, QString>> before;
    for (int row = 0; row < rows.Count(); ++row) {
        before.emplace_back(cell(row, 0), cell(row, 4));
    }
    w.Click("xInquireBt");
    ASSERT_TRUE(WaitUntil([&] { return w.Status().rfind(G("总共个"), 0) == 0; }, 60000));
    for (int row = 0; row < rows.Count(); ++row) {
        ASSERT_EQ(std::make_pair(cell(row, 0), cell(row, 4)),
                  before[static_cast<std::size_t>(row)]);
        ASSERT_NE(cell(row, 1), QStringLiteral("*")) << row;
    }
    QCoreApplication::processEvents();
    ASSERT_TRUE(
        w.window->grab().save(QDir::current().absoluteFilePath(QStringLiteral("words-run.png"))));
    testing_support::Shot(w, "words-4-run");
}

TEST(MainWindow, TheCloseButtonWaitsItsWholeSecond) {
    WindowHarness w({}, true);
    QElapsedTimer timer;
    timer.start();
    w.Click("xCloseBt");
    EXPECT_GE(timer.elapsed(), 1000);
    EXPECT_FALSE(w.window->isVisible());
}

TEST(MainWindow, ClosingDoesNotWaitForAHangingHostLookup) {
    testing_support::HangingLookup lookup;
    TMainFormOptions options;
    options.Seek = TestConfig(WhoisTestServer::UnusedPort());
    options.Seek.Resolve = lookup.Resolver();
    WindowHarness w(options);
    w.SetMemo("ai bai bin du");
    w.Click("stBt1");
    w.Click("xInquireBt");
    ASSERT_TRUE(WaitUntil([&] { return lookup.Entered() == 8; }));
    QElapsedTimer timer;
    timer.start();
    w.window->close();
    w.window.reset();
    EXPECT_LT(timer.elapsed(), 1500);
}

TEST(MainWindow, RowsWhoseWhoisExchangeFailsShowTheRdapAnswer) {
    testing_support::TwoServiceRoad road;
    WindowHarness w(road.Options());
    w.SetMemo("ai bai cai dan");
    w.Click("stBt1");
    ASSERT_EQ(w.Form().ResultList().Count(), 16);
    w.Click("xInquireBt");
    ASSERT_TRUE(WaitUntil([&] { return w.Status().rfind(G("总共个"), 0) == 0; }, 30000));
    const auto refused = road.Refused();
    ASSERT_GE(refused.size(), 5u);
    EXPECT_EQ(road.rdap.NameRequests().size(), refused.size());
    const TResultList& list = w.Form().ResultList();
    for (int i = 0; i < list.Count(); ++i) {
        const auto& row = list.Row(i);
        const std::string name = row.Caption.substr(0, row.Caption.size() - 4);
        EXPECT_NE(row.Column(1), "!") << row.Caption;
        if (refused.count(name) != 0 && name.size() % 2 == 1) {
            EXPECT_EQ(row.Column(1), G("已注册")) << row.Caption;
            EXPECT_EQ(row.Column(2), "2012-04-01") << row.Caption;
            EXPECT_EQ(row.Column(3), "2027-04-01") << row.Caption; // 16:00 at +08:00 is 08:00 UTC
        }
    }
    const QString log = w.Find<QPlainTextEdit>("RzMemo1")->toPlainText();
    int rdapLines = 0;
    for (const QString& line : log.split(QLatin1Char('\n'))) {
        rdapLines += line.startsWith(QStringLiteral("RDAP "));
    }
    EXPECT_EQ(rdapLines, static_cast<int>(refused.size()));
    w.window->resize(739, 466);
    QCoreApplication::processEvents();
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("rdap-rows.png"));
    EXPECT_TRUE(w.window->grab().save(path));
}

TEST(MainWindow, NoRowIsFreeWhenWhoisRefusesAndEveryRdapPathAnswers404) {
    testing_support::TwoServiceRoad road;
    road.MakeStale();
    WindowHarness w(road.Options());
    w.SetMemo("ai bai cai dan");
    w.Click("stBt1");
    ASSERT_EQ(w.Form().ResultList().Count(), 16);
    w.Click("xInquireBt");
    ASSERT_TRUE(WaitUntil([&] { return w.Status().rfind(G("总共个"), 0) == 0; }, 30000));
    EXPECT_EQ(road.Refused().size(), 16u);
    const TResultList& list = w.Form().ResultList();
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(list.Row(i).Column(1), "!") << list.Row(i).Caption;
    }
    EXPECT_EQ(road.rdap.Requests().size() - road.rdap.NameRequests().size(), 1u); // one probe
    w.window->resize(739, 466);
    QCoreApplication::processEvents();
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("stale-rdap-rows.png"));
    EXPECT_TRUE(w.window->grab().save(path));
}
