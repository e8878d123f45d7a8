// The program entry: the window toolkit, the main window, the message loop.
#include "Main.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantreelv1.08"));
    TMainForm mainForm;
    mainForm.show();
    return QApplication::exec();
}
