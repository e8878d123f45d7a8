// The Qt window's result list used as a list: several rows selected with the
// mouse and the keyboard, copied, asked again and removed, by keys and by its
// context menu.
#include "Generator.h"
#include "WhoisTestServer.h"
#include "WindowHarness.h"
#include "WorkerHarness.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>

#include <atomic>
#include <cstdlib>

#include <gtest/gtest.h>

using testing_support::G;
using testing_support::Reply;
using testing_support::Shot;
using testing_support::Split;
using testing_support::WaitUntil;
using testing_support::WhoisTestServer;
using testing_support::WindowHarness;

namespace {

struct ListRig {
    WhoisTestServer server;
    std::unique_ptr<WindowHarness> w;
    QTableView* list = nullptr;

    // "ai bai" asked: 已注册, 可以注册, 可以注册, "!".
    ListRig() {
        server.SetResponder(WhoisTestServer::WholeRoadReply);
        TMainFormOptions options;
        options.Seek = testing_support::TestConfig(server.Port());
        w = std::make_unique<WindowHarness>(options);
        list = w->Find<QTableView>("RzListView");
        w->SetMemo("ai bai");
        w->Click("stBt1");
        w->Click("xInquireBt");
        EXPECT_TRUE(WaitUntil([&] { return w->Status().rfind(G("总共个"), 0) == 0; }));
    }
    QPoint RowPoint(int row) const {
        return list->visualRect(list->model()->index(row, 0)).center();
    }
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) const {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, RowPoint(row));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = {}) const {
        list->setFocus();
        QTest::keyClick(list, static_cast<Qt::Key>(key), modifiers);
    }
    std::vector<int> Selected() const {
        std::vector<int> rows;
        for (const QModelIndex& index : list->selectionModel()->selectedRows()) {
            rows.push_back(index.row());
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    std::vector<std::string> Captions() const { return w->Form().ResultList().Captions(); }

    // A right click on row (-1: below the rows), then a click on the menu item
    // named item ("" closes the menu with Escape). captions: what the menu
    // showed, enabled: which of its items could be chosen.
    void UseMenu(int row, const char* item, QStringList* captions = nullptr,
                 std::vector<bool>* enabled = nullptr,
                 const std::function<void(QMenu*)>& whileShown = {}) const {
        bool answered = false;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* menu = qobject_cast<QMenu*>(widget);
                if (menu == nullptr || !menu->isVisible() || answered) {
                    continue;
                }
                answered = true;
                if (whileShown) {
                    whileShown(menu);
                }
                for (QAction* action : menu->actions()) {
                    if (captions != nullptr) {
                        captions->push_back(action->text());
                    }
                    if (enabled != nullptr) {
                        enabled->push_back(action->isEnabled());
                    }
                }
                QAction* chosen =
                    *item == '\0' ? nullptr : menu->findChild<QAction*>(QString::fromLatin1(item));
                if (chosen == nullptr) {
                    QTest::keyClick(menu, Qt::Key_Escape);
                } else {
                    QTest::mouseClick(menu, Qt::LeftButton, {},
                                      menu->actionGeometry(chosen).center());
                }
                return;
            }
        });
        timer.start(30);
        const QPoint at = row >= 0 ? RowPoint(row) : QPoint(10, list->viewport()->height() - 5);
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &event);
        EXPECT_TRUE(answered);
    }
};

std::string Clipboard() {
    return Gbk(QGuiApplication::clipboard()->text());
}

} // namespace

TEST(ResultListUse, ShiftCtrlAndCtrlASelectRowsAndCtrlCCopiesThemAsTabbedLines) {
    ListRig rig;
    rig.ClickRow(0);
    rig.ClickRow(2, Qt::ShiftModifier);
    EXPECT_EQ(rig.Selected(), (std::vector<int>{0, 1, 2}));
    rig.ClickRow(1, Qt::ControlModifier);
    EXPECT_EQ(rig.Selected(), (std::vector<int>{0, 2}));
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    rig.Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), G("AiAi.com\t已注册\t1997-09-15\t2028-09-14\t皑皑\r\n"
                             "BaiAi.com\t可以注册\t\t\t\r\n"));
    rig.Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(rig.Selected(), (std::vector<int>{0, 1, 2, 3}));
    rig.Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), G("AiAi.com\t已注册\t1997-09-15\t2028-09-14\t皑皑\r\n"
                             "AiBai.com\t可以注册\t\t\t\r\n"
                             "BaiAi.com\t可以注册\t\t\t\r\n"
                             "BaiBai.com\t!\t\t\t白白、摆摆、拜拜、掰掰\r\n"));
    // Sorting keeps the list's keys working on the rows as they now stand.
    rig.w->Form().RzListViewColumnClick(1);
    rig.ClickRow(0);
    rig.Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), G("BaiBai.com\t!\t\t\t白白、摆摆、拜拜、掰掰\r\n"));
    EXPECT_TRUE(rig.w->messages.empty());
}

TEST(ResultListUse, TheContextMenuCopiesAsksAgainAndRemovesTheSelectedRows) {
    ListRig rig;
    // On a row outside the selection, the menu takes that row alone.
    rig.ClickRow(0);
    QStringList captions;
    std::vector<bool> enabled;
    rig.UseMenu(1, "CopyMi", &captions, &enabled);
    EXPECT_EQ(captions, (QStringList{U("复制"), U("重查所选"), U("删除所选")}));
    EXPECT_EQ(enabled, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(Clipboard(), G("AiBai.com\t可以注册\t\t\t\r\n"));

    // 重查所选 asks the selected rows, and only them, whatever they hold.
    rig.server.SetResponder([](const std::string& request) {
        return Reply{Reply::Mode::AnswerAndClose,
                     WhoisTestServer::NoMatchAnswer(WhoisTestServer::NameOf(request)),
                     {},
                     0};
    });
    const std::size_t asked = rig.server.Connections().size();
    rig.ClickRow(0);
    rig.ClickRow(3, Qt::ControlModifier);
    rig.UseMenu(3, "ReInquireMi");
    ASSERT_TRUE(WaitUntil([&] { return rig.w->Status().rfind(G("总共个"), 0) == 0; }));
    EXPECT_EQ(rig.w->Status(), G("总共个2域名查询完毕!"));
    ASSERT_EQ(rig.server.Connections().size(), asked + 2);
    std::vector<std::string> names;
    for (std::size_t i = asked; i < rig.server.Connections().size(); ++i) {
        names.push_back(WhoisTestServer::NameOf(rig.server.Connections()[i].request));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"AiAi", "BaiBai"}));
    EXPECT_EQ(rig.w->Form().ResultList().Row(3).Column(1), G("可以注册"));
    EXPECT_EQ(rig.w->Form().ResultList().Row(0).Column(1), G("可以注册"));

    // 删除所选 removes them, and the count label follows.
    rig.UseMenu(0, "DeleteMi");
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"AiBai.com", "BaiAi.com"}));
    EXPECT_EQ(rig.w->Text("LabelCount"), CountLabelAfterGeneration(2));

    // Below the rows with nothing selected, nothing can be chosen.
    rig.list->clearSelection();
    enabled.clear();
    rig.UseMenu(-1, "", nullptr, &enabled);
    EXPECT_EQ(enabled, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(rig.Captions().size(), 2u);
    EXPECT_TRUE(rig.w->messages.empty());
}

TEST(ResultListUse, TheDeleteKeyRemovesTheSelectedRowsButNotDuringARun) {
    ListRig rig;
    rig.ClickRow(1);
    rig.ClickRow(2, Qt::ShiftModifier);
    rig.Key(Qt::Key_Delete);
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"AiAi.com", "BaiBai.com"}));
    EXPECT_EQ(rig.w->Text("LabelCount"), CountLabelAfterGeneration(2));
    EXPECT_TRUE(rig.w->messages.empty());

    // A run's rows stay while it goes on, by the key and by the menu.
    rig.server.SetResponder([](const std::string&) {
        return Reply{Reply::Mode::Silent, {}, {}, 0};
    });
    rig.w->Click("xInquireBt");
    rig.ClickRow(0);
    rig.Key(Qt::Key_Delete);
    rig.UseMenu(0, "DeleteMi");
    ASSERT_EQ(rig.w->messages.size(), 2u);
    EXPECT_EQ(rig.w->messages[0].text, G("正在进行域名查询...\r\n\r\n请先停止再做这个操作。"));
    EXPECT_EQ(rig.w->messages[1].text, rig.w->messages[0].text);
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"AiAi.com", "BaiBai.com"}));
    // So is asking again: a second run cannot start inside the first.
    rig.UseMenu(0, "ReInquireMi");
    ASSERT_EQ(rig.w->messages.size(), 3u);
    EXPECT_EQ(rig.w->messages[2].text, G("正在进行查询域名工作，请先停止，然后再点击开始。"));
    rig.w->Click("xStopBt");
    rig.ClickRow(0);
    rig.Key(Qt::Key_Delete);
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"BaiBai.com"}));
}

// A long run as a user lives it: 80 names, a server that refuses every fifth,
// 重查 once it answers again, the whole table exported, three rows copied and
// pasted.
TEST(ResultListUse, ALongRunIsAskedAgainExportedAndCopied) {
    ListRig rig; // the rig's own four names go first
    rig.w->Click("stBt2");
    std::atomic<int> asked{0};
    rig.server.SetResponder([&asked](const std::string& request) {
        if (++asked % 5 == 0) {
            return Reply{Reply::Mode::CloseSilently, {}, {}, 0};
        }
        return WhoisTestServer::WholeRoadReply(request);
    });
    rig.w->SetMemo("ai bai cai dan fang gan hao li mei");
    rig.w->Click("stBt1");
    ASSERT_EQ(rig.w->Form().ResultList().Count(), 81);
    rig.ClickRow(80);
    rig.Key(Qt::Key_Delete);
    ASSERT_EQ(rig.w->Form().ResultList().Count(), 80);
    rig.w->Click("xInquireBt");
    ASSERT_TRUE(WaitUntil([&] { return rig.w->Status().rfind(G("总共个"), 0) == 0; }, 60000));
    EXPECT_EQ(rig.w->Status(), G("总共个80域名查询完毕!"));
    int failed = 0;
    for (int row = 0; row < 80; ++row) {
        failed += rig.w->Form().ResultList().Row(row).Column(1) == "!" ? 1 : 0;
    }
    EXPECT_GE(failed, 16); // every fifth name, and WholeRoadReply's own "!"
    Shot(*rig.w, "long-run-1-refused");

    rig.server.SetResponder([](const std::string& request) {
        return Reply{Reply::Mode::AnswerAndClose,
                     WhoisTestServer::NoMatchAnswer(WhoisTestServer::NameOf(request)),
                     {},
                     0};
    });
    const std::size_t before = rig.server.Connections().size();
    rig.w->Click("xReInquireBt");
    ASSERT_TRUE(WaitUntil([&] { return rig.w->Status().rfind(G("总共个"), 0) == 0; }, 60000));
    EXPECT_EQ(rig.w->Status(), G("总共个") + std::to_string(failed) + G("域名查询完毕!"));
    EXPECT_EQ(rig.server.Connections().size(), before + static_cast<std::size_t>(failed));
    for (int row = 0; row < 80; ++row) {
        EXPECT_NE(rig.w->Form().ResultList().Row(row).Column(1), "!") << row;
    }
    Shot(*rig.w, "long-run-2-asked-again");

    rig.w->saves.push_back({true, rig.w->folder.File("all.csv")});
    rig.w->Click("xExportBt");
    const std::string csv = testing_support::ReadFile(rig.w->folder.Path() / "all.csv");
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF", 0), 0u);
    const std::vector<std::string> lines = Split(csv.substr(3), "\r\n");
    ASSERT_EQ(lines.size(), 82u); // the header, 80 rows, the empty rest after the last CR LF
    EXPECT_EQ(lines[0], "域名,状态,注册日期,过期日期,词语");
    EXPECT_EQ(lines[81], "");
    for (int row = 0; row < 80; ++row) {
        const std::vector<std::string> cells = Split(lines[static_cast<std::size_t>(row) + 1], ",");
        ASSERT_EQ(cells.size(), 5u) << row;
        EXPECT_EQ(cells[0], rig.w->Form().ResultList().Row(row).Caption);
        EXPECT_TRUE(cells[1] == "可以注册" || cells[1] == "已注册") << cells[1];
    }

    rig.ClickRow(0);
    rig.ClickRow(2, Qt::ShiftModifier);
    rig.Key(Qt::Key_C, Qt::ControlModifier);
    auto* memo = rig.w->Find<QPlainTextEdit>("YinjieMemo");
    memo->clear();
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    const std::vector<std::string> pasted = Split(Gbk(memo->toPlainText()), "\n");
    ASSERT_EQ(pasted.size(), 4u);
    for (std::size_t row = 0; row < 3; ++row) {
        EXPECT_EQ(Split(pasted[row], "\t").size(), 5u) << pasted[row];
        EXPECT_EQ(Split(pasted[row], "\t")[0],
                  rig.w->Form().ResultList().Row(static_cast<int>(row)).Caption);
    }
    Shot(*rig.w, "long-run-3-pasted");

    // The menu on the three rows, for a look at the screen as it stands.
    rig.UseMenu(1, "", nullptr, nullptr, [&rig](QMenu* menu) {
        if (const char* folder = std::getenv("VANTREEL_SHOTS"); folder != nullptr) {
            QTest::qWait(100);
            const QRect frame = rig.w->window->frameGeometry().united(menu->geometry());
            QGuiApplication::primaryScreen()
                ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                .save(QString::fromLocal8Bit(folder) + QStringLiteral("/long-run-4-menu.png"));
        }
    });
    EXPECT_EQ(rig.Selected(), (std::vector<int>{0, 1, 2}));
}
