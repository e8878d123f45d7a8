// The Win32 main window, built for real and driven through its controls: the
// layout, the spin edits, the whole road against a loopback WHOIS server, the
// About box, notifications during modal loops, and the end.
#include "Layout.h"
#include "TwoServiceRoad.h"
#include "WebLink.h"
#include "WhoisTestServer.h"
#include "Win32Harness.h"
#include "Win32TestTools.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using testing_support::G;
using testing_support::PumpFor;
using testing_support::PumpUntil;
using testing_support::ReadFile;
using testing_support::Reply;
using testing_support::TestConfig;
using testing_support::WhoisTestServer;
using testing_support::Win32Harness;

using namespace win32_test_tools;

TEST(Win32Window, EveryControlStandsUnderItsNameWithItsCaptionHintAndSize) {
    Win32Harness w;
    HWND window = w.window->Handle();
    EXPECT_EQ(win32text::WindowTextGbk(window),
              G("Vantreel v1.08 - Kestrova软件 https://kestrova.example"));
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_EQ(WindowSize(window).cx, layout::kOuterWidth);
    EXPECT_EQ(WindowSize(window).cy, layout::kOuterHeight);

    // The tool bar: seven 60 x 40 buttons, 清空 hidden.
    HWND bar = w.Find("RzToolbar1");
    const auto buttonSize = ::SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0);
    EXPECT_EQ(LOWORD(buttonSize), 60);
    EXPECT_EQ(HIWORD(buttonSize), 40);
    EXPECT_EQ(WindowSize(bar).cy, 44);
    for (const layout::ToolButton& tool : layout::kToolButtons) {
        EXPECT_EQ(ToolText(w, tool.name), G(tool.caption)) << tool.name;
        EXPECT_EQ(ToolHint(w, tool.name), G(tool.hint)) << tool.name;
        const bool hidden = ::SendMessageW(
            bar, TB_ISBUTTONHIDDEN, static_cast<WPARAM>(w.window->ToolCommand(tool.name)), 0);
        EXPECT_EQ(!hidden, tool.visible) << tool.name;
    }
    EXPECT_EQ(w.Text("SupportLbl"), G("在线客服：support@kestrova.example"));

    // The filter group, control by control, with the window's font.
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(w.Find("stBt1"), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW logFont{};
    ::GetObjectW(font, sizeof logFont, &logFont);
    EXPECT_EQ(logFont.lfHeight, -14);
    EXPECT_EQ(std::wstring(logFont.lfFaceName), L"SimSun");
    for (const layout::Control& c : layout::kFilterControls) {
        if (*c.name == '\0') {
            continue;
        }
        HWND control = w.Find(c.name);
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(::IsWindowVisible(control) != FALSE, c.visible) << c.name;
        EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), font)
            << c.name;
        if (*c.hint != '\0') {
            EXPECT_EQ(Hint(w, c.name), G(c.hint)) << c.name;
        }
        if (c.kind == layout::Kind::Button) {
            EXPECT_EQ(w.Text(c.name), G(c.text)) << c.name;
            EXPECT_EQ(WindowSize(control).cx, 66) << c.name;
            EXPECT_LE(TextWidth(control, win32text::U(c.text)) + 8, WindowSize(control).cx);
        }
        if (c.kind == layout::Kind::Label && ::IsWindowVisible(control)) {
            EXPECT_LE(TextWidth(control, win32text::U(c.text)), ClientSize(control).cx) << c.name;
        }
    }
    EXPECT_EQ(w.Text("YmCiYuChk"), G("只要词语"));
    EXPECT_EQ(::SendMessageW(w.Find("YmCiYuChk"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(w.Text("YmPiPeiEd"), "z*s");
    EXPECT_EQ(w.Spin("YmLenSp1"), 2);
    EXPECT_EQ(w.Spin("YmLenSp2"), 10);
    EXPECT_EQ(w.Text("LabelCount"), G("共0000个域名"));
    EXPECT_FALSE(::IsWindowVisible(w.Find("RzMemo1")));
    EXPECT_EQ(w.Status(), G("欢迎使用免费软件..."));
    EXPECT_EQ(w.Text("RzProgressBar"), "0%");
    EXPECT_EQ(w.Text("SettinGbx"), G("域名组合设置："));
    EXPECT_EQ(w.Text("YinJieGbx"), G("使用汉语音节："));
    EXPECT_NE(w.Text("YinjieMemo").find("ai  bai   bin"), std::string::npos);

    // The list: five columns, the last (the words) stretching to the right edge.
    HWND list = w.Find("RzListView");
    const auto listStyle = static_cast<DWORD>(::GetWindowLongPtrW(list, GWL_STYLE));
    EXPECT_TRUE(listStyle & LVS_OWNERDATA);
    EXPECT_EQ(listStyle & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    int total = 0;
    for (int column = 0; column < 5; ++column) {
        wchar_t title[32] = {};
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.pszText = title;
        info.cchTextMax = 32;
        ::SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                       reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(win32text::Gbk(title), G(layout::kColumns[column].title));
        if (column < 4) {
            EXPECT_EQ(info.cx, layout::kColumns[column].width);
        } else {
            EXPECT_GE(info.cx, layout::kColumns[column].width);
        }
        total += info.cx;
    }
    EXPECT_EQ(total, ClientSize(list).cx);

    // Eight parked workers; no settings file appeared.
    ASSERT_EQ(w.Form().Workers().size(), 8u);
    EXPECT_FALSE(std::filesystem::exists(w.folder.Path() / "kestrova.ini"));
    EXPECT_TRUE(w.messages.empty());
}

TEST(Win32Window, SpinEditsShowOneHundredWholeAndChangeOnlyByStepping) {
    Win32Harness w;
    HWND edit = w.Find("YmLenSp1");
    HWND upDown = w.Find("YmLenSp1.UpDown");
    ::SendMessageW(upDown, UDM_SETPOS32, 0, 100);
    EXPECT_EQ(w.Text("YmLenSp1"), "100");
    RECT format{};
    ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_LE(TextWidth(edit, L"100"), format.right - format.left);

    ::SendMessageW(upDown, UDM_SETPOS32, 0, 5);
    ::SendMessageW(edit, WM_CHAR, L'7', 0);
    ::SendMessageW(edit, WM_PASTE, 0, 0);
    ::SendMessageW(edit, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(w.Spin("YmLenSp1"), 5);
    EXPECT_EQ(w.Text("YmLenSp1"), "5");
    ::SendMessageW(edit, WM_KEYDOWN, VK_PRIOR, 0);
    EXPECT_EQ(w.Spin("YmLenSp1"), 15);
    ::SendMessageW(edit, WM_KEYDOWN, VK_NEXT, 0);
    ::SendMessageW(edit, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(w.Spin("YmLenSp1"), 0);
    ::SendMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(w.Spin("YmLenSp1"), 1);
    EXPECT_EQ(w.Form().RunController().InProgress(), false);
}

TEST(Win32Window, TheWholeRoadFromSyllablesToClose) {
    WhoisTestServer server;
    server.SetResponder(WhoisTestServer::WholeRoadReply);
    Win32Harness w(Against(server), true);

    // 1. Syllables, then 增加域名.
    w.SetText("YinjieMemo", "ai bai");
    w.Click("stBt1");
    ASSERT_EQ(w.Rows(), 4);
    EXPECT_EQ(w.Cell(0, 0), "AiAi.com");
    EXPECT_EQ(w.Cell(3, 0), "BaiBai.com");
    EXPECT_EQ(w.Cell(0, 1), "*");
    EXPECT_EQ(w.Text("LabelCount"), G("共  4个域名"));

    // 2.-4. 查询 against the loopback server, until the end text.
    w.ClickTool("xInquireBt");
    EXPECT_EQ(w.Status(), G("开始查询域名..."));
    ASSERT_TRUE(PumpUntil([&] { return w.Status().rfind(G("总共个"), 0) == 0; }));
    EXPECT_EQ(w.Status(), G("总共个4域名查询完毕!"));
    EXPECT_EQ(w.Cell(0, 1), G("已注册"));
    EXPECT_EQ(w.Cell(0, 2), "1997-09-15");
    EXPECT_EQ(w.Cell(0, 3), "2028-09-14");
    EXPECT_EQ(w.Cell(1, 1), G("可以注册"));
    EXPECT_EQ(w.Cell(2, 1), G("可以注册"));
    EXPECT_EQ(w.Cell(3, 1), "!");
    EXPECT_EQ(w.Cell(0, 4), G("皑皑")); // the words stay through the answers
    EXPECT_EQ(w.Cell(1, 4), "");
    EXPECT_EQ(w.Text("RzProgressBar"), "0%");
    const std::string log = w.Text("RzMemo1");
    EXPECT_NE(log.find("BakOnSeekActOnce"), std::string::npos);

    // A click on the status column sorts by it: "!" first.
    NMLISTVIEW click{};
    click.hdr.hwndFrom = w.Find("RzListView");
    click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(w.Find("RzListView")));
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = 1;
    ::SendMessageW(w.window->Handle(), WM_NOTIFY, click.hdr.idFrom,
                   reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(w.Cell(0, 1), "!");
    EXPECT_EQ(w.Cell(3, 1), G("已注册"));
    EXPECT_EQ(w.Form().SortColumn(), 1);

    // 5. 导出: the available names, in list order, CR LF.
    w.saves.push_back({true, w.folder.File("result")});
    w.ClickTool("xExportBt");
    ASSERT_EQ(w.saveOptions.size(), 1u);
    EXPECT_EQ(w.saveOptions[0].filterPattern, "*.txt");
    EXPECT_EQ(ReadFile(w.folder.Path() / "result.txt"), "AiBai.com\r\nBaiAi.com\r\n");

    // 6. 保存设置: the eight keys under the typed name, then the words box.
    ::SendMessageW(w.Find("YmLenSp1.UpDown"), UDM_SETPOS32, 0, 4);
    ::SendMessageW(w.Find("YmCiYuChk"), BM_CLICK, 0, 0);
    w.SetText("YmHanEd", "ai");
    w.SetText("PrevKeyEd", G("好"));
    w.inputs.push_back({true, G("短名")});
    w.Click("stBt4");
    EXPECT_EQ(ReadFile(w.folder.Path() / "kestrova.ini"),
              "[" + G("短名") +
                  "]\r\nYmLenSp1=4\r\nYmLenSp2=10\r\nYmHanEd=ai\r\nYmPaiEd=\r\n"
                  "YmPiPeiEd=z*s\r\nDuplicationChk=0\r\nPrevKeyEd=" +
                  G("好") + "\r\nLastKeyEd=\r\nYmCiYuChk=1\r\n");
    HWND combo = w.Find("SettingCbb");
    EXPECT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    w.Click("stBt3");
    EXPECT_EQ(w.Spin("YmLenSp1"), 2);
    EXPECT_EQ(w.Text("YmHanEd"), "");
    EXPECT_EQ(::SendMessageW(w.Find("YmCiYuChk"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), -1);
    ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
    ::SendMessageW(w.window->Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(w.Spin("YmLenSp1"), 4);
    EXPECT_EQ(w.Text("PrevKeyEd"), G("好"));
    EXPECT_EQ(::SendMessageW(w.Find("YmCiYuChk"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(w.messages.empty());

    // 7. 关闭: the stop with its whole second, then the window goes (the bound
    // leaves room for a loaded machine; a second pause would pass it).
    const auto start = std::chrono::steady_clock::now();
    w.ClickTool("xCloseBt");
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_GE(ms, 1000);
    EXPECT_LT(ms, 1900);
    EXPECT_FALSE(::IsWindow(w.window->Handle()));
    EXPECT_EQ(w.Status(), std::string()); // the bar went with the window
}

// The words column after 增加域名, the box ticked, and a click on its header.
TEST(Win32Window, TheWordsColumnTheWordsBoxAndTheSortByWords) {
    WhoisTestServer server;
    server.SetResponder([](const std::string& request) {
        const std::string name = WhoisTestServer::NameOf(request);
        return Reply{Reply::Mode::AnswerAndClose,
                     name.size() % 2 == 0 ? WhoisTestServer::RegisteredAnswer(name)
                                          : WhoisTestServer::NoMatchAnswer(name),
                     {},
                     0};
    });
    Win32Harness w(Against(server));
    w.Click("stBt1");
    ASSERT_EQ(w.Rows(), 484);
    const int shiJie = w.Form().ResultList().FindCaption("ShiJie.com");
    ASSERT_GE(shiJie, 0);
    EXPECT_EQ(w.Cell(shiJie, 4).rfind(G("世界、"), 0), 0u) << w.Cell(shiJie, 4);
    EXPECT_EQ(w.Cell(w.Form().ResultList().FindCaption("AiBai.com"), 4), "");
    int withWords = 0;
    for (int row = 0; row < 484; ++row) {
        withWords += w.Cell(row, 4).empty() ? 0 : 1;
    }
    ASSERT_GT(withWords, 100);
    Shot(w.window->Handle(), "words-1-default-names");

    w.Click("stBt2");
    ::SendMessageW(w.Find("YmCiYuChk"), BM_CLICK, 0, 0);
    w.Click("stBt1");
    ASSERT_EQ(w.Rows(), withWords);
    for (int row = 0; row < withWords; ++row) {
        ASSERT_NE(w.Cell(row, 4), "") << row;
    }
    Shot(w.window->Handle(), "words-2-words-only");

    w.Click("stBt2");
    ::SendMessageW(w.Find("YmCiYuChk"), BM_CLICK, 0, 0);
    w.Click("stBt1");
    NMLISTVIEW click{};
    click.hdr.hwndFrom = w.Find("RzListView");
    click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(w.Find("RzListView")));
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = 4;
    ::SendMessageW(w.window->Handle(), WM_NOTIFY, click.hdr.idFrom,
                   reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(w.Form().SortColumn(), 4);
    for (int row = 1; row < 484; ++row) {
        ASSERT_LE(w.Form().ResultList().Row(row - 1).WordRank,
                  w.Form().ResultList().Row(row).WordRank)
            << row;
    }
    EXPECT_NE(w.Cell(0, 4), "");
    EXPECT_EQ(w.Cell(withWords, 0), "AiBai.com"); // the first without words, in its order
    EXPECT_EQ(w.Cell(483, 4), "");
    Shot(w.window->Handle(), "words-3-sorted");

    // A run: the answers come, the words and the order stay.
    std::vector<std::pair<std::string, std::string>> before;
    for (int row = 0; row < w.Rows(); ++row) {
        before.emplace_back(w.Cell(row, 0), w.Cell(row, 4));
    }
    w.ClickTool("xInquireBt");
    ASSERT_TRUE(PumpUntil([&] { return w.Status().rfind(G("总共个"), 0) == 0; }, 60000));
    for (int row = 0; row < w.Rows(); ++row) {
        ASSERT_EQ(std::make_pair(w.Cell(row, 0), w.Cell(row, 4)),
                  before[static_cast<std::size_t>(row)]);
        ASSERT_NE(w.Cell(row, 1), "*") << row;
    }
    Shot(w.window->Handle(), "words-4-run");
}

// 重查 after a run with a "!" row asks only that name; the answered rows keep
// their answers; with nothing left it says so in the status pane.
TEST(Win32Window, AskingAgainAsksOnlyTheRowsWithoutAResult) {
    WhoisTestServer server;
    server.SetResponder(WhoisTestServer::WholeRoadReply);
    Win32Harness w(Against(server));
    w.SetText("YinjieMemo", "ai bai");
    w.Click("stBt1");
    w.ClickTool("xInquireBt");
    ASSERT_TRUE(PumpUntil([&] { return w.Status().rfind(G("总共个"), 0) == 0; }));
    ASSERT_EQ(w.Cell(3, 1), "!");
    const std::size_t asked = server.Connections().size();
    server.SetResponder([](const std::string& request) {
        return Reply{Reply::Mode::AnswerAndClose,
                     WhoisTestServer::NoMatchAnswer(WhoisTestServer::NameOf(request)),
                     {},
                     0};
    });
    w.ClickTool("xReInquireBt");
    ASSERT_TRUE(PumpUntil([&] { return w.Status().rfind(G("总共个"), 0) == 0; }));
    EXPECT_EQ(w.Status(), G("总共个1域名查询完毕!"));
    ASSERT_EQ(server.Connections().size(), asked + 1);
    EXPECT_EQ(WhoisTestServer::NameOf(server.Connections().back().request), "BaiBai");
    EXPECT_EQ(w.Cell(3, 1), G("可以注册"));
    EXPECT_EQ(w.Cell(0, 1), G("已注册"));
    EXPECT_EQ(w.Cell(0, 2), "1997-09-15");
    w.ClickTool("xReInquireBt");
    EXPECT_EQ(w.Status(), G("没有需要重查的域名：每个域名都已经有结果了。"));
    EXPECT_TRUE(w.messages.empty());
}

TEST(Win32Window, NoHorizontalScrollBarWithTheDefaultRows) {
    Win32Harness w;
    w.Click("stBt1");
    ASSERT_EQ(w.Rows(), 484);
    PumpFor(50);
    HWND list = w.Find("RzListView");
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(list, GWL_STYLE));
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_FALSE(style & WS_HSCROLL);
    EXPECT_EQ(w.Cell(483, 0), "YouYou.com");
}

TEST(Win32Window, TheAboutBoxShowsItsTextsWholeAndNotificationsGoOnMeanwhile) {
    WhoisTestServer server;
    server.SetResponder([](const std::string& request) {
        return WhoisTestServer::InTwoPieces(
            WhoisTestServer::NoMatchAnswer(WhoisTestServer::NameOf(request)), 100);
    });
    Win32Harness w(Against(server));
    w.SetText("YinjieMemo", "ai bai");
    w.Click("stBt1");
    w.ClickTool("xInquireBt");
    int boxes = 0;
    std::string statusWhileOpen;
    WhenDialogShows(G("关于"), [&](HWND box) {
        ++boxes;
        EXPECT_EQ(ClientSize(box).cx, 415);
        EXPECT_EQ(ClientSize(box).cy, 165);
        std::vector<std::string> labels;
        for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            labels.push_back(win32text::WindowTextGbk(child));
            RECT r{};
            ::GetWindowRect(child, &r);
            POINT right{r.right, r.top};
            ::ScreenToClient(box, &right);
            EXPECT_LE(right.x, 415) << labels.back();
            const std::wstring wide = win32text::W(labels.back());
            if (!wide.empty()) {
                EXPECT_LE(TextWidth(child, wide), ClientSize(child).cx) << labels.back();
            }
        }
        for (const char* expected :
             {"Vantreel", "发行版本:1.08", "发行日期:2009年02月出品", "https://kestrova.example",
              "本软件为免费软件，欢迎传播。", "关闭"}) {
            EXPECT_NE(std::find(labels.begin(), labels.end(), G(expected)), labels.end())
                << expected;
        }
        // Centred on the screen.
        RECT r{};
        ::GetWindowRect(box, &r);
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_LE(std::abs((r.left + r.right) / 2 - (work.left + work.right) / 2), 2);
        // The run goes on while the box's own loop runs.
        PumpUntil([&] { return w.Status().rfind(G("总共个"), 0) == 0; });
        statusWhileOpen = w.Status();
    });
    w.ClickTool("xAboutBt");
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(statusWhileOpen, G("总共个4域名查询完毕!"));
    EXPECT_EQ(FindDialog(G("关于")), nullptr); // destroyed when it closed
}

TEST(Win32Window, ClosingDoesNotWaitForAHangingLookup) {
    testing_support::HangingLookup lookup;
    TMainFormOptions options;
    options.Seek = TestConfig(WhoisTestServer::UnusedPort());
    options.Seek.Resolve = lookup.Resolver();
    Win32Harness w(options);
    w.SetText("YinjieMemo", "ai bai bin du");
    w.Click("stBt1");
    w.ClickTool("xInquireBt");
    ASSERT_TRUE(PumpUntil([&] { return lookup.Entered() == 8; }));
    const auto start = std::chrono::steady_clock::now();
    ::SendMessageW(w.window->Handle(), WM_CLOSE, 0, 0);
    w.window.reset();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - start)
                  .count(),
              1500);
}

TEST(Win32Window, RowsWhoseWhoisExchangeFailsShowTheRdapAnswer) {
    testing_support::TwoServiceRoad road;
    Win32Harness w(road.Options());
    w.SetText("YinjieMemo", "ai bai cai dan");
    w.Click("stBt1");
    ASSERT_EQ(w.Rows(), 16);
    w.ClickTool("xInquireBt");
    ASSERT_TRUE(PumpUntil([&] { return w.Status().rfind(G("总共个"), 0) == 0; }, 30000));
    const auto refused = road.Refused();
    ASSERT_GE(refused.size(), 5u);
    EXPECT_EQ(road.rdap.NameRequests().size(), refused.size());
    for (int i = 0; i < w.Rows(); ++i) {
        const std::string caption = w.Cell(i, 0);
        const std::string name = caption.substr(0, caption.size() - 4);
        EXPECT_NE(w.Cell(i, 1), "!") << caption;
        if (refused.count(name) != 0 && name.size() % 2 == 1) {
            EXPECT_EQ(w.Cell(i, 1), G("已注册")) << caption;
            EXPECT_EQ(w.Cell(i, 2), "2012-04-01") << caption;
            EXPECT_EQ(w.Cell(i, 3), "2027-04-01") << caption;
        }
    }
    // For a look at the rows from outside (a screenshot of the virtual screen).
    if (const char* hold = std::getenv("VANTREEL_HOLD_MS")) {
        PumpFor(std::atoi(hold));
    }
}

TEST(Win32Window, NoRowIsFreeWhenWhoisRefusesAndEveryRdapPathAnswers404) {
    testing_support::TwoServiceRoad road;
    road.MakeStale();
    Win32Harness w(road.Options());
    w.SetText("YinjieMemo", "ai bai cai dan");
    w.Click("stBt1");
    ASSERT_EQ(w.Rows(), 16);
    w.ClickTool("xInquireBt");
    ASSERT_TRUE(PumpUntil([&] { return w.Status().rfind(G("总共个"), 0) == 0; }, 30000));
    EXPECT_EQ(road.Refused().size(), 16u);
    for (int i = 0; i < w.Rows(); ++i) {
        EXPECT_EQ(w.Cell(i, 1), "!") << w.Cell(i, 0);
    }
    EXPECT_EQ(road.rdap.Requests().size() - road.rdap.NameRequests().size(), 1u); // one probe
    if (const char* hold = std::getenv("VANTREEL_HOLD_MS")) {
        PumpFor(std::atoi(hold));
    }
}

// The program in a folder named in Chinese and with a letter GBK lacks, on an
// English or a Chinese Windows alike: the settings file beside it, two profiles
// whose names differ only in a second byte's letter case, an export to a name
// outside GBK, and the help page's address.
TEST(Win32Window, AProgramFolderNamedInAnyScriptKeepsItsFilesBesideIt) {
    testing_support::TempDir root;
    const std::filesystem::path folder = root.Path() / testing_support::FsName("域名工具 Björn");
    std::filesystem::create_directory(folder);
    TMainFormOptions options;
    options.ExecutablePath = testing_support::PathOf(folder / "dovrenta.exe");
    Win32Harness w(options);
    HWND combo = w.Find("SettingCbb");

    w.SetText("YmHanEd", "shuo");
    w.inputs.push_back({true, G("說明")});
    w.Click("stBt4");
    w.SetText("YmHanEd", "kua");
    w.inputs.push_back({true, G("誇明")});
    w.Click("stBt4");
    EXPECT_TRUE(w.messages.empty()) << (w.messages.empty() ? "" : w.messages[0].text);
    const std::string ini = ReadFile(folder / "kestrova.ini");
    EXPECT_NE(ini.find("[" + G("說明") + "]\r\nYmLenSp1=2"), std::string::npos);
    EXPECT_NE(ini.find("[" + G("誇明") + "]\r\nYmLenSp1=2"), std::string::npos);
    EXPECT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
    ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
    ::SendMessageW(w.window->Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(w.Text("YmHanEd"), "shuo");

    w.saves.push_back({true, testing_support::PathOf(folder / testing_support::FsName("Lösung"))});
    w.ClickTool("xExportBt");
    EXPECT_TRUE(w.messages.empty()) << (w.messages.empty() ? "" : w.messages[0].text);
    EXPECT_TRUE(std::filesystem::exists(folder / testing_support::FsName("Lösung.txt")));
    EXPECT_EQ(w.saveOptions.at(0).initialFolder, testing_support::PathOf(folder).Join(""));

    std::vector<std::string> opened;
    platform::SetWebAddressHandler([&](const std::string& address) { opened.push_back(address); });
    w.ClickTool("xHelpBt");
    platform::SetWebAddressHandler(nullptr);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].rfind("file:///C:/", 0), 0u) << opened[0];
    const std::string tail = "/%E5%9F%9F%E5%90%8D%E5%B7%A5%E5%85%B7%20Bj%C3%B6rn/help/index.html";
    EXPECT_EQ(opened[0].substr(opened[0].size() - tail.size()), tail) << opened[0];

    // A new start lists both again, from the same file.
    w.window.reset();
    Win32Harness again(options);
    EXPECT_EQ(::SendMessageW(again.Find("SettingCbb"), CB_GETCOUNT, 0, 0), 2);
}
