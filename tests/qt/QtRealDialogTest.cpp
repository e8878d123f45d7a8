// The Qt window's real dialogs, with no script installed: the file dialog and
// the input box found among the top-level widgets and answered as a user
// would, with the keyboard.
#include "FileSystem.h"
#include "WhoisTestServer.h"
#include "WindowHarness.h"
#include "WorkerHarness.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using testing_support::G;
using testing_support::WaitUntil;
using testing_support::WindowHarness;

namespace {

// Answers the first visible dialog of type T that opens: answer gets it. The
// answer comes from the dialog's own event loop.
template <class T> class Answerer {
public:
    explicit Answerer(std::function<void(T*)> answer) : answer_(std::move(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<T*>(widget);
                if (dialog != nullptr && dialog->isVisible() && !answered_) {
                    answered_ = true;
                    title_ = dialog->windowTitle();
                    answer_(dialog);
                    return;
                }
            }
        });
        timer_.start(50);
    }
    bool Answered() const { return answered_; }
    QString Title() const { return title_; }

private:
    std::function<void(T*)> answer_;
    QTimer timer_;
    bool answered_ = false;
    QString title_;
};

// Chinese characters come through an input method, which hands the line edit
// whole characters; the keys QTest can press are ASCII ones.
void TypeAndPressEnter(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(edit, c.toLatin1());
        } else {
            edit->insert(QString(c));
        }
    }
    QTest::keyClick(edit, Qt::Key_Return);
}

// A program copy in folder with rows that can be registered.
struct ExportRig {
    testing_support::WhoisTestServer whois; // "No match" for every name
    std::unique_ptr<WindowHarness> w;

    explicit ExportRig(const std::filesystem::path& folder) {
        TMainFormOptions options;
        options.Seek = testing_support::TestConfig(whois.Port());
        options.ExecutablePath = testing_support::PathOf(folder / "dovrenta");
        options.IniPath = testing_support::PathOf(folder / "kestrova.ini");
        w = std::make_unique<WindowHarness>(options);
        dialogs::SetScript(nullptr); // the real dialogs from here on
        w->SetMemo("ai bai");
        w->Click("stBt1");
        w->Click("xInquireBt");
        EXPECT_TRUE(WaitUntil([&] { return w->Status().rfind(G("总共个"), 0) == 0; }, 20000));
    }
};

const char* const kExported = "AiAi.com\r\nAiBai.com\r\nBaiAi.com\r\nBaiBai.com\r\n";

std::filesystem::path DeepFolder(const std::filesystem::path& base) {
    std::filesystem::path path = base;
    for (int i = 0; path.string().size() < 310; ++i) {
        path /= "tiefer-ordner-" + std::to_string(i);
    }
    return path;
}

} // namespace

TEST(QtRealDialog, TheFileDialogOfACopyInAFolder300CharactersDeepExportsThere) {
    testing_support::TempDir dir;
    const auto deep = DeepFolder(dir.Path());
    std::filesystem::create_directories(deep);
    ExportRig rig(deep);
    Answerer<QFileDialog> answer([](QFileDialog* dialog) {
        TypeAndPressEnter(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                          QStringLiteral("result.txt"));
    });
    rig.w->Click("xExportBt");
    EXPECT_TRUE(answer.Answered());
    EXPECT_TRUE(rig.w->messages.empty());
    EXPECT_EQ(testing_support::ReadFile(deep / "result.txt"), kExported);
}

TEST(QtRealDialog, TheFileDialogOfACopyInAChineseFolderExportsThere) {
    testing_support::TempDir dir;
    const auto folder = dir.Path() / testing_support::FsName("域名工具 Björn");
    std::filesystem::create_directories(folder);
    ExportRig rig(folder);
    Answerer<QFileDialog> answer([](QFileDialog* dialog) {
        TypeAndPressEnter(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                          QString::fromUtf8("结果")); // the suffix is added
    });
    rig.w->Click("xExportBt");
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(testing_support::ReadFile(folder / testing_support::FsName("结果.txt")), kExported);
}

// The second file type takes the whole table; a name typed without an
// extension gets that type's.
TEST(QtRealDialog, TheFileDialogsSecondTypeWritesTheWholeTable) {
    testing_support::TempDir dir;
    ExportRig rig(dir.Path());
    QStringList offered;
    Answerer<QFileDialog> answer([&offered](QFileDialog* dialog) {
        offered = dialog->nameFilters();
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down); // as a user picks it from the list
        TypeAndPressEnter(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                          QStringLiteral("table"));
    });
    rig.w->Click("xExportBt");
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(offered, (QStringList{QString::fromUtf8("文本文件 (*.txt)"),
                                    QString::fromUtf8("全部结果 (*.csv)")}));
    EXPECT_TRUE(rig.w->messages.empty());
    const std::string table = testing_support::ReadFile(dir.Path() / "table.csv");
    EXPECT_EQ(table.rfind("\xEF\xBB\xBF"
                          "域名,状态,注册日期,过期日期,词语\r\nAiAi.com,可以注册,,,皑皑\r\n",
                          0),
              0u)
        << table;
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "table.txt"));
    // The first type stays the default: a bare name becomes a text file.
    Answerer<QFileDialog> plain([](QFileDialog* dialog) {
        TypeAndPressEnter(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                          QStringLiteral("names"));
    });
    rig.w->Click("xExportBt");
    EXPECT_TRUE(plain.Answered());
    EXPECT_EQ(testing_support::ReadFile(dir.Path() / "names.txt"), kExported);
}

TEST(QtRealDialog, ACancelledFileDialogWritesNothingAndSaysNothing) {
    testing_support::TempDir dir;
    ExportRig rig(dir.Path());
    Answerer<QFileDialog> answer(
        [](QFileDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    rig.w->Click("xExportBt");
    EXPECT_TRUE(answer.Answered());
    EXPECT_TRUE(rig.w->messages.empty());
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_NE(entry.path().extension(), ".txt") << entry.path();
    }
}

TEST(QtRealDialog, TheInputBoxSavesTheProfileTypedIntoIt) {
    testing_support::TempDir dir;
    ExportRig rig(dir.Path());
    Answerer<QDialog> answer([](QDialog* dialog) {
        TypeAndPressEnter(dialog->findChild<QLineEdit*>(), QString::fromUtf8("说明"));
    });
    rig.w->Click("stBt4");
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Title(), QString::fromUtf8("域名设置组合的名称"));
    const std::string ini = testing_support::ReadFile(dir.Path() / "kestrova.ini");
    EXPECT_EQ(ini.rfind("[" + G("说明") + "]\r\n", 0), 0u) << ini;
}
