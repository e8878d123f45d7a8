// The Win32 window's real dialogs, with no script installed: the system's
// save dialog and the program's input box, found on the screen and answered
// from another thread as a user would answer them.
#include "Win32Dialogs.h"

#include "DeepFolder.h"
#include "Win32Harness.h"

#include "FileSystem.h"
#include "WhoisTestServer.h"
#include "WidePath.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using testing_support::G;
using testing_support::Win32Harness;

namespace {

constexpr int kFileTypeBox = 0x470; // cmb1, the save dialog's file types

// Waits on its own thread for a dialog (class #32770) of this process other
// than the main window, then types text into its edit box and presses OK, or
// presses Cancel when text is empty. With a file type (from 0), the save
// dialog's type is chosen first, as a user picks it from the list. found: the
// dialog's caption.
class DialogAnswerer {
public:
    DialogAnswerer(HWND mainWindow, std::wstring text, int editId, int fileType = -1)
        : thread_([this, mainWindow, text = std::move(text), editId, fileType] {
              for (int i = 0; i < 400 && !done_; ++i) {
                  HWND dialog = FindDialog(mainWindow);
                  if (dialog == nullptr) {
                      ::Sleep(50);
                      continue;
                  }
                  ::Sleep(1000); // let it finish laying itself out and filling its boxes
                  wchar_t caption[256] = {};
                  ::GetWindowTextW(dialog, caption, 256);
                  found_ = caption;
                  if (HWND types = ::GetDlgItem(dialog, kFileTypeBox); types != nullptr) {
                      const int count = static_cast<int>(::SendMessageW(types, CB_GETCOUNT, 0, 0));
                      for (int item = 0; item < count; ++item) {
                          const auto length = ::SendMessageW(types, CB_GETLBTEXTLEN, item, 0);
                          std::wstring type(static_cast<std::size_t>(length) + 1, L'\0');
                          ::SendMessageW(types, CB_GETLBTEXT, item,
                                         reinterpret_cast<LPARAM>(type.data()));
                          type.resize(static_cast<std::size_t>(length));
                          fileTypes_.push_back(type);
                      }
                      if (fileType >= 0) {
                          ::SendMessageW(types, CB_SETCURSEL, fileType, 0);
                          for (const WORD code : {WORD(CBN_SELENDOK), WORD(CBN_SELCHANGE)}) {
                              ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kFileTypeBox, code),
                                             reinterpret_cast<LPARAM>(types));
                          }
                      }
                  }
                  if (text.empty()) {
                      ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                  } else {
                      HWND edit = EditOf(dialog, editId);
                      typed_ = edit != nullptr;
                      // Typed, a character at a time, as the keyboard would.
                      ::SendMessageW(edit, WM_SETFOCUS, 0, 0);
                      for (const wchar_t c : text) {
                          ::SendMessageW(edit, WM_CHAR, c, 0);
                      }
                      ::SendMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
                  }
                  done_ = true;
              }
          }) {}
    ~DialogAnswerer() {
        done_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    bool Answered() const { return done_; }
    bool Typed() const { return typed_; }
    // The file types the save dialog offered, once it was answered.
    std::vector<std::wstring> FileTypes() const {
        return done_ ? fileTypes_ : std::vector<std::wstring>{};
    }
    // The dialog's caption, once it was answered.
    std::wstring Caption() {
        for (int i = 0; i < 400 && !done_; ++i) {
            ::Sleep(50);
        }
        return found_;
    }

private:
    static HWND FindDialog(HWND mainWindow) {
        struct Search {
            HWND main;
            HWND found = nullptr;
        } search{mainWindow};
        ::EnumWindows(
            [](HWND window, LPARAM lParam) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lParam);
                DWORD process = 0;
                ::GetWindowThreadProcessId(window, &process);
                wchar_t cls[64] = {};
                ::GetClassNameW(window, cls, 64);
                if (process == ::GetCurrentProcessId() && window != s->main &&
                    ::IsWindowVisible(window) && std::wstring(cls) == L"#32770") {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // The file-name box of the save dialog (a combo box's edit, or the old
    // edit), or the input box's edit.
    static HWND EditOf(HWND dialog, int editId) {
        HWND item = ::GetDlgItem(dialog, editId);
        if (item == nullptr) {
            return ::GetDlgItem(dialog, 0x480); // edt1
        }
        wchar_t cls[64] = {};
        ::GetClassNameW(item, cls, 64);
        if (std::wstring(cls) == L"Edit") {
            return item;
        }
        // A combo box (or an extended one around it): its edit, at any depth.
        HWND edit = nullptr;
        ::EnumChildWindows(
            item,
            [](HWND child, LPARAM lParam) -> BOOL {
                wchar_t childClass[64] = {};
                ::GetClassNameW(child, childClass, 64);
                if (std::wstring(childClass) == L"Edit") {
                    *reinterpret_cast<HWND*>(lParam) = child;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&edit));
        return edit;
    }

    std::atomic<bool> done_{false};
    std::atomic<bool> typed_{false};
    std::wstring found_;
    std::vector<std::wstring> fileTypes_;
    std::thread thread_;
};

constexpr int kFileNameBox = 0x47C; // cmb13, the file-name combo box
constexpr int kInputBox = 100;

// A program copy in folder, with rows whose names can be registered.
struct ExportRig {
    testing_support::WhoisTestServer whois; // "No match" for every name
    std::unique_ptr<Win32Harness> w;

    explicit ExportRig(const std::wstring& folder) {
        TMainFormOptions options;
        options.Seek = testing_support::TestConfig(whois.Port());
        options.ExecutablePath = platform::PathFromWide(folder + L"\\dovrenta.exe");
        options.IniPath = platform::PathFromWide(folder + L"\\kestrova.ini");
        w = std::make_unique<Win32Harness>(options);
        dialogs::SetScript(nullptr); // the real dialogs from here on
        w->SetText("YinjieMemo", "ai bai");
        w->Click("stBt1");
        w->ClickTool("xInquireBt");
        EXPECT_TRUE(testing_support::PumpUntil(
            [&] { return w->Status().rfind(G("总共个"), 0) == 0; }, 20000));
    }
};

std::string ReadLong(const std::wstring& path) {
    std::string contents;
    platform::ReadWholeFile(platform::PathFromWide(path), contents);
    return contents;
}

const char* const kExported = "AiAi.com\r\nAiBai.com\r\nBaiAi.com\r\nBaiBai.com\r\n";

} // namespace

TEST(Win32RealDialog, TheSaveDialogOfACopyInAFolder300CharactersDeepExportsThere) {
    testing_support::TempDir dir;
    const std::wstring deep = testing_support::DeepFolder(dir.Path().native());
    ASSERT_TRUE(platform::CreateFolders(platform::PathFromWide(deep)));
    ExportRig rig(deep);
    // The dialog opens in the copy's folder where it can take its short form,
    // else in its own default; the user picks a file by its whole name.
    const std::wstring picked = dir.Path().native() + L"\\result.txt";
    DialogAnswerer answer(rig.w->window->Handle(), picked, kFileNameBox);
    rig.w->ClickTool("xExportBt"); // no crash in the dialog, whatever its folder
    EXPECT_TRUE(answer.Answered());
    EXPECT_TRUE(answer.Typed());
    EXPECT_TRUE(rig.w->messages.empty());
    EXPECT_EQ(ReadLong(picked), kExported);
    // The next export offers the name the user picked.
    DialogAnswerer again(rig.w->window->Handle(), L"", kFileNameBox);
    rig.w->ClickTool("xExportBt");
    EXPECT_TRUE(again.Answered());
    testing_support::RemoveDeepFolder(dir.Path().native());
}

TEST(Win32RealDialog, TheSaveDialogOfACopyInAChineseFolderExportsThere) {
    testing_support::TempDir dir;
    const std::wstring folder = (dir.Path() / testing_support::FsName("域名工具 Björn")).native();
    ASSERT_TRUE(platform::CreateFolders(platform::PathFromWide(folder)));
    ExportRig rig(folder);
    DialogAnswerer answer(rig.w->window->Handle(), L"\u7ed3\u679c.txt", kFileNameBox); // 结果.txt
    rig.w->ClickTool("xExportBt");
    EXPECT_TRUE(answer.Typed());
    EXPECT_EQ(ReadLong(folder + L"\\\u7ed3\u679c.txt"), kExported);
}

// The second file type takes the whole table; a name typed without an
// extension gets that type's.
TEST(Win32RealDialog, TheSaveDialogsSecondTypeWritesTheWholeTable) {
    testing_support::TempDir dir;
    const std::wstring folder = dir.Path().native();
    ExportRig rig(folder);
    DialogAnswerer answer(rig.w->window->Handle(), L"table", kFileNameBox, 1);
    rig.w->ClickTool("xExportBt");
    EXPECT_TRUE(answer.Typed());
    EXPECT_EQ(answer.FileTypes(),
              (std::vector<std::wstring>{L"\u6587\u672c\u6587\u4ef6 (*.txt)",    // 文本文件
                                         L"\u5168\u90e8\u7ed3\u679c (*.csv)"})); // 全部结果
    EXPECT_TRUE(rig.w->messages.empty());
    const std::string table = ReadLong(folder + L"\\table.csv");
    EXPECT_EQ(table.rfind("\xEF\xBB\xBF"
                          "域名,状态,注册日期,过期日期,词语\r\nAiAi.com,可以注册,,,皑皑\r\n",
                          0),
              0u)
        << table;
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "table.txt"));
    // The first type stays the default: a bare name becomes a text file.
    DialogAnswerer plain(rig.w->window->Handle(), L"names", kFileNameBox);
    rig.w->ClickTool("xExportBt");
    EXPECT_TRUE(plain.Typed());
    EXPECT_EQ(ReadLong(folder + L"\\names.txt"), kExported);
}

TEST(Win32RealDialog, ACancelledSaveDialogWritesNothingAndSaysNothing) {
    testing_support::TempDir dir;
    const std::wstring folder = dir.Path().native();
    ExportRig rig(folder);
    DialogAnswerer answer(rig.w->window->Handle(), L"", kFileNameBox);
    rig.w->ClickTool("xExportBt");
    EXPECT_TRUE(answer.Answered());
    EXPECT_TRUE(rig.w->messages.empty());
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        files += entry.path().extension() == ".txt" ? 1 : 0;
    }
    EXPECT_EQ(files, 0);
}

TEST(Win32RealDialog, TheInputBoxSavesTheProfileTypedIntoIt) {
    testing_support::TempDir dir;
    const std::wstring folder = dir.Path().native();
    ExportRig rig(folder);
    DialogAnswerer answer(rig.w->window->Handle(), L"\u8bf4\u660e", kInputBox); // 说明
    rig.w->Click("stBt4");
    EXPECT_EQ(answer.Caption(),
              L"\u57df\u540d\u8bbe\u7f6e\u7ec4\u5408\u7684\u540d\u79f0"); // 域名设置组合的名称
    const std::string ini = ReadLong(folder + L"\\kestrova.ini");
    EXPECT_EQ(ini.rfind("[" + G("说明") + "]\r\n", 0), 0u) << ini;
}

TEST(Win32RealDialog, AFolderTheDialogCannotTakeIsGivenInItsShortFormOrNotAtAll) {
    EXPECT_EQ(win32dialogs::DialogFolder(L"C:\\short"), L"C:\\short");
    EXPECT_EQ(win32dialogs::DialogFolder(L""), L"");
    testing_support::TempDir dir;
    const std::wstring deep = testing_support::DeepFolder(dir.Path().native());
    ASSERT_TRUE(platform::CreateFolders(platform::PathFromWide(deep)));
    const std::wstring given = win32dialogs::DialogFolder(deep);
    EXPECT_LT(given.size(), static_cast<std::size_t>(MAX_PATH));
    if (!given.empty()) {
        // It names the same folder.
        EXPECT_NE(::GetFileAttributesW(given.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    // A folder that does not exist has no short form: none.
    EXPECT_EQ(win32dialogs::DialogFolder(testing_support::DeepFolder(L"C:\\no-such-folder")), L"");
    testing_support::RemoveDeepFolder(dir.Path().native());
}
