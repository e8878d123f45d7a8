// The Win32 window's result list used as a list: several rows selected with
// the mouse and the keyboard, copied to the clipboard, asked again and removed,
// by keys and by its context menu, the system's own popup menu answered from
// another thread as a user would answer it.
#include "Generator.h"
#include "WhoisTestServer.h"
#include "Win32Harness.h"
#include "Win32TestTools.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using testing_support::G;
using testing_support::PumpFor;
using testing_support::PumpUntil;
using testing_support::Reply;
using testing_support::Split;
using testing_support::WhoisTestServer;
using testing_support::Win32Harness;
using win32_test_tools::Shot;

namespace {

// Waits on its own thread for this process's popup menu (class #32768), reads
// its items (and calls whileShown with it, if given), then picks item (from 0) with the arrow keys
// and Enter, or closes it with Escape when item is -1.
class MenuAnswerer {
public:
    explicit MenuAnswerer(int item, std::function<void(HWND menu)> whileShown = {})
        : thread_([this, item, whileShown = std::move(whileShown)] {
              for (int i = 0; i < 200 && !done_; ++i) {
                  HWND menu = FindMenuWindow();
                  if (menu == nullptr) {
                      ::Sleep(25);
                      continue;
                  }
                  ::Sleep(150); // let it finish drawing
                  if (whileShown) {
                      whileShown(menu);
                  }
                  auto* items = reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0));
                  const int count = items != nullptr ? ::GetMenuItemCount(items) : 0;
                  for (int k = 0; k < count; ++k) {
                      wchar_t text[128] = {};
                      ::GetMenuStringW(items, static_cast<UINT>(k), text, 128, MF_BYPOSITION);
                      captions_.push_back(text);
                      enabled_.push_back(
                          (::GetMenuState(items, static_cast<UINT>(k), MF_BYPOSITION) &
                           (MF_GRAYED | MF_DISABLED)) == 0);
                  }
                  if (item < 0) {
                      ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                  } else {
                      for (int k = 0; k <= item; ++k) {
                          ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
                      }
                      ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
                  }
                  done_ = true;
              }
          }) {}
    ~MenuAnswerer() {
        done_ = true;
        Join();
    }
    // Once it was answered: the items' captions and whether each could be chosen.
    std::vector<std::wstring> Captions() {
        Join();
        return captions_;
    }
    std::vector<bool> Enabled() {
        Join();
        return enabled_;
    }
    bool Answered() {
        Join();
        return answered_;
    }

private:
    void Join() {
        if (thread_.joinable()) {
            thread_.join();
            answered_ = !captions_.empty();
        }
    }
    static HWND FindMenuWindow() {
        HWND found = nullptr;
        ::EnumWindows(
            [](HWND window, LPARAM lParam) -> BOOL {
                DWORD process = 0;
                ::GetWindowThreadProcessId(window, &process);
                wchar_t cls[64] = {};
                ::GetClassNameW(window, cls, 64);
                if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window) &&
                    std::wstring(cls) == L"#32768") {
                    *reinterpret_cast<HWND*>(lParam) = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    std::atomic<bool> done_{false};
    bool answered_ = false;
    std::vector<std::wstring> captions_;
    std::vector<bool> enabled_;
    std::thread thread_;
};

struct ListRig {
    WhoisTestServer server;
    std::unique_ptr<Win32Harness> w;
    HWND list = nullptr;

    // "ai bai" asked: 已注册, 可以注册, 可以注册, "!".
    ListRig() {
        server.SetResponder(WhoisTestServer::WholeRoadReply);
        TMainFormOptions options;
        options.Seek = testing_support::TestConfig(server.Port());
        w = std::make_unique<Win32Harness>(options);
        list = w->Find("RzListView");
        w->SetText("YinjieMemo", "ai bai");
        w->Click("stBt1");
        w->ClickTool("xInquireBt");
        EXPECT_TRUE(PumpUntil([&] { return w->Status().rfind(G("总共个"), 0) == 0; }));
    }
    POINT RowPoint(int row) const {
        RECT r{};
        r.left = LVIR_BOUNDS;
        ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&r));
        return POINT{r.left + 30, (r.top + r.bottom) / 2};
    }
    // With Shift or Ctrl held (MK_SHIFT, MK_CONTROL), as the keyboard's state
    // says while the mouse is clicked.
    void ClickRow(int row, WPARAM keys = 0) const {
        const POINT at = RowPoint(row);
        const LPARAM where = MAKELPARAM(at.x, at.y);
        Held held(keys);
        ::SetFocus(list);
        ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, where);
        ::SendMessageW(list, WM_LBUTTONUP, keys, where);
        PumpFor(20);
    }
    void Key(WORD key, WPARAM keys = 0) const {
        Held held(keys);
        ::SetFocus(list);
        ::SendMessageW(list, WM_KEYDOWN, key, 0);
        ::SendMessageW(list, WM_KEYUP, key, 0);
        PumpFor(20);
    }
    // A right click on row (-1: below the rows): the list hands the window the
    // menu's question with the point clicked, as it does after its own right
    // click (which waits for the real mouse button to come up).
    void RightClick(int row) const {
        POINT at = row >= 0 ? RowPoint(row) : POINT{30, ClientHeight() - 5};
        ::SetFocus(list);
        ::ClientToScreen(list, &at);
        ::SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list),
                       MAKELPARAM(at.x, at.y));
        PumpFor(20);
    }
    int ClientHeight() const {
        RECT r{};
        ::GetClientRect(list, &r);
        return r.bottom;
    }
    std::vector<int> Selected() const {
        std::vector<int> rows;
        for (int row = -1;;) {
            row = static_cast<int>(
                ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
            if (row < 0) {
                return rows;
            }
            rows.push_back(row);
        }
    }
    std::vector<std::string> Captions() const { return w->Form().ResultList().Captions(); }

private:
    // Holds Shift and Ctrl down in this thread's keyboard state, as a user's
    // fingers would while the list reads it.
    class Held {
    public:
        explicit Held(WPARAM keys) {
            ::GetKeyboardState(saved_);
            BYTE state[256];
            std::copy(std::begin(saved_), std::end(saved_), state);
            if ((keys & MK_SHIFT) != 0) {
                state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
            }
            if ((keys & MK_CONTROL) != 0) {
                state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
            }
            ::SetKeyboardState(state);
        }
        ~Held() { ::SetKeyboardState(saved_); }
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;

    private:
        BYTE saved_[256] = {};
    };
};

std::string Clipboard() {
    std::string text;
    if (!::OpenClipboard(nullptr)) {
        return "(clipboard not open)";
    }
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto* wide = static_cast<const wchar_t*>(::GlobalLock(data)); wide != nullptr) {
            text = win32text::Gbk(wide);
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

void PutOnClipboard(const wchar_t* text) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    const std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(::GlobalLock(memory), text, bytes);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
}

} // namespace

TEST(Win32ResultListUse, ShiftCtrlAndCtrlASelectRowsAndCtrlCCopiesThemAsUnicodeText) {
    ListRig rig;
    rig.ClickRow(0);
    rig.ClickRow(2, MK_SHIFT);
    EXPECT_EQ(rig.Selected(), (std::vector<int>{0, 1, 2}));
    rig.ClickRow(1, MK_CONTROL);
    EXPECT_EQ(rig.Selected(), (std::vector<int>{0, 2}));
    PutOnClipboard(L"before");
    rig.Key('C', MK_CONTROL);
    EXPECT_EQ(Clipboard(), G("AiAi.com\t已注册\t1997-09-15\t2028-09-14\t皑皑\r\n"
                             "BaiAi.com\t可以注册\t\t\t\r\n"));
    rig.Key('A', MK_CONTROL);
    EXPECT_EQ(rig.Selected(), (std::vector<int>{0, 1, 2, 3}));
    rig.Key('C', MK_CONTROL);
    EXPECT_EQ(Clipboard(), G("AiAi.com\t已注册\t1997-09-15\t2028-09-14\t皑皑\r\n"
                             "AiBai.com\t可以注册\t\t\t\r\n"
                             "BaiAi.com\t可以注册\t\t\t\r\n"
                             "BaiBai.com\t!\t\t\t白白、摆摆、拜拜、掰掰\r\n"));
    // A letter still finds a row by its caption.
    rig.ClickRow(0);
    ::SendMessageW(rig.list, WM_CHAR, L'b', 1); // one key press
    PumpFor(20);
    EXPECT_EQ(rig.Selected(), (std::vector<int>{2}));
    EXPECT_TRUE(rig.w->messages.empty());
}

TEST(Win32ResultListUse, TheContextMenuCopiesAsksAgainAndRemovesTheSelectedRows) {
    ListRig rig;
    // On a row outside the selection, the menu takes that row alone.
    rig.ClickRow(0);
    {
        MenuAnswerer answer(0);
        rig.RightClick(1);
        ASSERT_TRUE(answer.Answered());
        EXPECT_EQ(answer.Captions(),
                  (std::vector<std::wstring>{L"\u590d\u5236\tCtrl+C",             // 复制
                                             L"\u91cd\u67e5\u6240\u9009",         // 重查所选
                                             L"\u5220\u9664\u6240\u9009\tDel"})); // 删除所选
        EXPECT_EQ(answer.Enabled(), (std::vector<bool>{true, true, true}));
    }
    PumpFor(50);
    EXPECT_EQ(rig.Selected(), (std::vector<int>{1}));
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
    rig.ClickRow(3, MK_CONTROL);
    {
        MenuAnswerer answer(1);
        rig.RightClick(3);
        ASSERT_TRUE(answer.Answered());
    }
    ASSERT_TRUE(PumpUntil([&] { return rig.w->Status().rfind(G("总共个"), 0) == 0; }));
    EXPECT_EQ(rig.w->Status(), G("总共个2域名查询完毕!"));
    ASSERT_EQ(rig.server.Connections().size(), asked + 2);
    std::vector<std::string> names;
    for (std::size_t i = asked; i < rig.server.Connections().size(); ++i) {
        names.push_back(WhoisTestServer::NameOf(rig.server.Connections()[i].request));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"AiAi", "BaiBai"}));
    EXPECT_EQ(rig.w->Cell(0, 1), G("可以注册"));
    EXPECT_EQ(rig.w->Cell(3, 1), G("可以注册"));

    // 删除所选 removes them, and the count label follows.
    {
        MenuAnswerer answer(2);
        rig.RightClick(0);
        ASSERT_TRUE(answer.Answered());
    }
    PumpFor(50);
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"AiBai.com", "BaiAi.com"}));
    EXPECT_EQ(rig.w->Rows(), 2);
    EXPECT_EQ(rig.w->Text("LabelCount"), CountLabelAfterGeneration(2));

    // Below the rows with nothing selected, nothing can be chosen.
    ListView_SetItemState(rig.list, -1, 0, LVIS_SELECTED);
    {
        MenuAnswerer answer(-1);
        rig.RightClick(-1);
        EXPECT_EQ(answer.Enabled(), (std::vector<bool>{false, false, false}));
    }
    EXPECT_EQ(rig.w->Rows(), 2);
    EXPECT_TRUE(rig.w->messages.empty());
}

TEST(Win32ResultListUse, TheDeleteKeyRemovesTheSelectedRowsButNotDuringARun) {
    ListRig rig;
    rig.ClickRow(1);
    rig.ClickRow(2, MK_SHIFT);
    rig.Key(VK_DELETE);
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"AiAi.com", "BaiBai.com"}));
    EXPECT_EQ(rig.w->Rows(), 2);
    EXPECT_EQ(rig.w->Cell(1, 0), "BaiBai.com");
    EXPECT_EQ(rig.w->Text("LabelCount"), CountLabelAfterGeneration(2));
    EXPECT_TRUE(rig.w->messages.empty());

    // A run's rows stay while it goes on, by the key and by the menu.
    rig.server.SetResponder([](const std::string&) {
        return Reply{Reply::Mode::Silent, {}, {}, 0};
    });
    rig.w->ClickTool("xInquireBt");
    rig.ClickRow(0);
    rig.Key(VK_DELETE);
    {
        MenuAnswerer answer(2);
        rig.RightClick(0);
        ASSERT_TRUE(answer.Answered());
    }
    PumpFor(50);
    ASSERT_EQ(rig.w->messages.size(), 2u);
    EXPECT_EQ(rig.w->messages[0].text, G("正在进行域名查询...\r\n\r\n请先停止再做这个操作。"));
    EXPECT_EQ(rig.w->messages[1].text, rig.w->messages[0].text);
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"AiAi.com", "BaiBai.com"}));
    rig.w->ClickTool("xStopBt");
    rig.ClickRow(0);
    rig.Key(VK_DELETE);
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"BaiBai.com"}));
}

// A long run as a user lives it: 80 names, a server that refuses every fifth,
// 重查 once it answers again, the whole table exported, three rows copied and
// pasted.
TEST(Win32ResultListUse, ALongRunIsAskedAgainExportedAndCopied) {
    ListRig rig; // the rig's own four names go first
    rig.w->Click("stBt2");
    std::atomic<int> asked{0};
    rig.server.SetResponder([&asked](const std::string& request) {
        if (++asked % 5 == 0) {
            return Reply{Reply::Mode::CloseSilently, {}, {}, 0};
        }
        return WhoisTestServer::WholeRoadReply(request);
    });
    rig.w->SetText("YinjieMemo", "ai bai cai dan fang gan hao li mei");
    rig.w->Click("stBt1");
    ASSERT_EQ(rig.w->Rows(), 81);
    ::SendMessageW(rig.list, LVM_ENSUREVISIBLE, 80, FALSE);
    rig.ClickRow(80);
    rig.Key(VK_DELETE);
    ASSERT_EQ(rig.w->Rows(), 80);
    ::SendMessageW(rig.list, LVM_ENSUREVISIBLE, 0, FALSE);
    rig.w->ClickTool("xInquireBt");
    ASSERT_TRUE(PumpUntil([&] { return rig.w->Status().rfind(G("总共个"), 0) == 0; }, 60000));
    EXPECT_EQ(rig.w->Status(), G("总共个80域名查询完毕!"));
    int failed = 0;
    for (int row = 0; row < 80; ++row) {
        failed += rig.w->Cell(row, 1) == "!" ? 1 : 0;
    }
    EXPECT_GE(failed, 16); // every fifth name, and WholeRoadReply's own "!"
    Shot(rig.w->window->Handle(), "long-run-1-refused");

    rig.server.SetResponder([](const std::string& request) {
        return Reply{Reply::Mode::AnswerAndClose,
                     WhoisTestServer::NoMatchAnswer(WhoisTestServer::NameOf(request)),
                     {},
                     0};
    });
    const std::size_t before = rig.server.Connections().size();
    rig.w->ClickTool("xReInquireBt");
    ASSERT_TRUE(PumpUntil([&] { return rig.w->Status().rfind(G("总共个"), 0) == 0; }, 60000));
    EXPECT_EQ(rig.w->Status(), G("总共个") + std::to_string(failed) + G("域名查询完毕!"));
    EXPECT_EQ(rig.server.Connections().size(), before + static_cast<std::size_t>(failed));
    for (int row = 0; row < 80; ++row) {
        EXPECT_NE(rig.w->Cell(row, 1), "!") << row;
    }
    Shot(rig.w->window->Handle(), "long-run-2-asked-again");

    rig.w->saves.push_back({true, rig.w->folder.File("all.csv")});
    rig.w->ClickTool("xExportBt");
    const std::string csv = testing_support::ReadFile(rig.w->folder.Path() / "all.csv");
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF", 0), 0u);
    const std::vector<std::string> lines = Split(csv.substr(3), "\r\n");
    ASSERT_EQ(lines.size(), 82u); // the header, 80 rows, the empty rest after the last CR LF
    EXPECT_EQ(lines[0], "域名,状态,注册日期,过期日期,词语");
    for (int row = 0; row < 80; ++row) {
        const std::vector<std::string> cells = Split(lines[static_cast<std::size_t>(row) + 1], ",");
        ASSERT_EQ(cells.size(), 5u) << row;
        EXPECT_EQ(cells[0], rig.w->Cell(row, 0));
        EXPECT_TRUE(cells[1] == "可以注册" || cells[1] == "已注册") << cells[1];
    }

    rig.ClickRow(0);
    rig.ClickRow(2, MK_SHIFT);
    rig.Key('C', MK_CONTROL);
    HWND memo = rig.w->Find("YinjieMemo");
    ::SetWindowTextW(memo, L"");
    ::SetFocus(memo);
    ::SendMessageW(memo, WM_PASTE, 0, 0);
    const std::vector<std::string> pasted = Split(rig.w->Text("YinjieMemo"), "\r\n");
    ASSERT_EQ(pasted.size(), 4u);
    for (std::size_t row = 0; row < 3; ++row) {
        ASSERT_EQ(Split(pasted[row], "\t").size(), 5u) << pasted[row];
        EXPECT_EQ(Split(pasted[row], "\t")[0], rig.w->Cell(static_cast<int>(row), 0));
    }
    Shot(rig.w->window->Handle(), "long-run-3-pasted");

    // The menu on the three rows, for a look at the screen as it stands.
    {
        MenuAnswerer answer(
            -1, [&rig](HWND menu) { Shot(rig.w->window->Handle(), "long-run-4-menu", menu); });
        rig.RightClick(1);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(rig.Selected(), (std::vector<int>{0, 1, 2}));
}
