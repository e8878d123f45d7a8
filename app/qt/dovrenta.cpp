// The program entry: the window toolkit, the main window, the message loop.
#include "QtMainWindow.h"
#include "Version.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantreelv" VT_VERSION));
    TQtMainWindow mainForm;
    mainForm.show();
    return QApplication::exec();
}
