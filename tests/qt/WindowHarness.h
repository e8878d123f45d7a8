#pragma once

#include "DialogScript.h"
#include "QtMainWindow.h"
#include "QtText.h"
#include "TestUtil.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableView>
#include <QThread>
#include <QToolButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <memory>

#include "SpinEdit.h"

namespace testing_support {

// Pumps the event loop until pred holds or timeoutMs pass.
inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 15000) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// The real main window with a scripted stand-in for its boxes and dialogs, a
// temporary home (so no desktop shortcut lands anywhere real) and a temporary
// folder for the executable's files.
class WindowHarness : public DialogScript {
public:
    TempDir home;
    TempDir folder;
    std::unique_ptr<TQtMainWindow> window;

    // The stop's pause is shortened unless keepStopPause.
    explicit WindowHarness(TMainFormOptions options = {}, bool keepStopPause = false) {
        savedHome_ = std::getenv("HOME") ? std::getenv("HOME") : "";
        ::setenv("HOME", home.Path().c_str(), 1);
        // Given a program's path, the settings file is the one beside it.
        if (options.ExecutablePath.empty()) {
            options.ExecutablePath = folder.File("dovrenta");
            if (options.IniPath.empty()) {
                options.IniPath = folder.File("kestrova.ini");
            }
        }
        if (options.StopPauseMs == TRunController::kStopPauseMs && !keepStopPause) {
            options.StopPauseMs = 10;
        }
        window = std::make_unique<TQtMainWindow>(options);
        window->show();
    }
    ~WindowHarness() {
        window.reset();
        ::setenv("HOME", savedHome_.c_str(), 1);
    }

    TMainForm& Form() const { return window->Form(); }

    template <class T> T* Find(const char* name) const {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Click(const char* name) const {
        QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton);
    }
    std::string Text(const char* labelName) const { return Gbk(Find<QLabel>(labelName)->text()); }
    std::string Status() const { return Text("RzStatusPane"); }
    void SetMemo(const char* utf8) const {
        Find<QPlainTextEdit>("YinjieMemo")->setPlainText(U(utf8));
    }

private:
    std::string savedHome_;
};

// A look at the window for whoever runs the test with VANTREEL_SHOTS set to a
// folder: the window as it stands, saved there as name.png.
inline void Shot(const WindowHarness& w, const char* name) {
    if (const char* folder = std::getenv("VANTREEL_SHOTS"); folder != nullptr) {
        QCoreApplication::processEvents();
        w.window->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/") +
                              QString::fromLatin1(name) + QStringLiteral(".png"));
    }
}

} // namespace testing_support
