// The program entry: the window toolkit, the main window, the message loop.
#include "QtMainWindow.h"
#include "Version.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantreelv" VT_VERSION));
    // The menu entry's name and the icon theme's icon, as the package installs
    // them; a copy without them (a build tree) keeps the system's default.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.kestrova.Vantreel"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("example.kestrova.Vantreel")));
    TQtMainWindow mainForm;
    if (!mainForm.Form().Started()) {
        return 1; // the start was refused, and the box has said why
    }
    mainForm.show();
    return QApplication::exec();
}
