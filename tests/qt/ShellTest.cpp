#include "AboutUs.h"
#include "WebLink.h"
#include "WindowHarness.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

using testing_support::G;

using testing_support::WindowHarness;

namespace {

// Takes the addresses the program opens instead of a browser.
class UrlCatcher {
public:
    UrlCatcher() {
        platform::SetWebAddressHandler(
            [this](const std::string& address) { opened.push_back(address); });
    }
    ~UrlCatcher() { platform::SetWebAddressHandler({}); }
    std::vector<std::string> opened;
};

} // namespace

TEST(Shell, HelpOpensTheBundledPageBesideTheExecutable) {
    UrlCatcher catcher;
    WindowHarness w;
    w.Click("xHelpBt");
    ASSERT_EQ(catcher.opened.size(), 1u);
    EXPECT_EQ(catcher.opened[0], "file://" + w.folder.File("help/index.html").Native());
    // The page and its screenshot ship beside the built program.
    const std::filesystem::path help = std::filesystem::path(VANTREEL_APP_DIR) / "help";
    EXPECT_TRUE(std::filesystem::exists(help / "index.html"));
    EXPECT_TRUE(std::filesystem::exists(help / "screenshot.png"));
    EXPECT_TRUE(std::filesystem::exists(help / "screenshot-windows.png"));
    EXPECT_TRUE(std::filesystem::exists(help / "screenshot-list.png"));
    const std::string page = testing_support::ReadFile(help / "index.html");
    for (const char* topic :
         {"增加域名", "查询", "可以注册", "已注册", "2 秒", "导出", "kestrova.ini"}) {
        EXPECT_NE(page.find(topic), std::string::npos) << topic;
    }
}

TEST(Shell, ThePublisherLinksOfTheAboutBoxOpenItsPage) {
    UrlCatcher catcher;
    WindowHarness w;
    QTimer::singleShot(0, [] {
        auto check = std::make_shared<std::function<void()>>();
        *check = [check] {
            auto* box = qobject_cast<TAboutForm*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                QTimer::singleShot(10, *check);
                return;
            }
            QTest::mouseClick(box->findChild<QLabel*>(QStringLiteral("WebSiteLbl")),
                              Qt::LeftButton);
            QTest::mouseClick(box->findChild<QLabel*>(QStringLiteral("CompanyImg")),
                              Qt::LeftButton);
            box->reject();
        };
        (*check)();
    });
    w.Click("xAboutBt");
    ASSERT_EQ(catcher.opened.size(), 2u);
    EXPECT_EQ(catcher.opened[0], "https://kestrova.example");
    EXPECT_EQ(catcher.opened[1], catcher.opened[0]);
}

TEST(Shell, EveryStartLaysDownTheDesktopShortcutAgain) {
    testing_support::TempDir home;
    const auto desktop = home.Path() / "Desktop";
    std::filesystem::create_directories(desktop);
    std::filesystem::create_directories(home.Path() / ".config");
    testing_support::WriteFile(home.Path() / ".config" / "user-dirs.dirs",
                               "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n");
    const auto link = desktop / "Vantreelv1.08.desktop";
    for (int start = 0; start < 2; ++start) {
        WindowHarness w;
        // The harness gives each window a fresh home; point it at this one.
        ::setenv("HOME", home.Path().c_str(), 1);
        w.window.reset();
        w.window = std::make_unique<TQtMainWindow>([&] {
            TMainFormOptions options;
            options.IniPath = w.folder.File("kestrova.ini");
            options.ExecutablePath = w.folder.File("dovrenta");
            return options;
        }());
        ASSERT_TRUE(std::filesystem::exists(link)) << "start " << start;
        const std::string entry = testing_support::ReadFile(link);
        EXPECT_NE(entry.find("Exec=\"" + w.folder.File("dovrenta").Native() + "\"\n"),
                  std::string::npos);
        EXPECT_NE(
            entry.find("Comment=免费专业域名分析软件，欢迎到kestrova.example下载最新版本。\n"),
            std::string::npos);
        EXPECT_TRUE(w.messages.empty());
        std::filesystem::remove(link); // the user deletes it; the next start brings it back
    }
}

// A program folder whose UTF-8 name GBK cannot hold: the settings file, the
// export and the help page are found by the folder's own bytes.
TEST(Shell, AProgramFolderNamedOutsideGbkKeepsItsFilesBesideIt) {
    testing_support::TempDir root;
    const std::filesystem::path folder = root.Path() / "域名工具 Björn";
    std::filesystem::create_directory(folder);
    TMainFormOptions options;
    options.ExecutablePath = testing_support::PathOf(folder / "dovrenta");
    UrlCatcher catcher;
    WindowHarness w(options);
    w.Find<QLineEdit>("YmHanEd")->setText(QStringLiteral("shuo"));
    w.inputs.push_back({true, G("說明")});
    w.Click("stBt4");
    w.Find<QLineEdit>("YmHanEd")->setText(QStringLiteral("kua"));
    w.inputs.push_back({true, G("誇明")});
    w.Click("stBt4");
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(w.Find<QComboBox>("SettingCbb")->count(), 2);
    const std::string ini = testing_support::ReadFile(folder / "kestrova.ini");
    EXPECT_NE(ini.find("[" + G("誇明") + "]\r\nYmLenSp1=2"), std::string::npos);

    w.saves.push_back({true, testing_support::PathOf(folder / "Lösung")});
    w.Click("xExportBt");
    EXPECT_TRUE(w.messages.empty());
    EXPECT_TRUE(std::filesystem::exists(folder / "Lösung.txt"));

    w.Click("xHelpBt");
    ASSERT_EQ(catcher.opened.size(), 1u);
    const std::string tail = "/%E5%9F%9F%E5%90%8D%E5%B7%A5%E5%85%B7%20Bj%C3%B6rn/help/index.html";
    EXPECT_EQ(catcher.opened[0].substr(catcher.opened[0].size() - tail.size()), tail);
}
