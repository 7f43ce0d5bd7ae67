#include <QApplication>

#include "ui/MainWindow.h"
#include "ui/Program.h"
#include "ui/QtDialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    zelvo::QtDialogs dialogs;
    zelvo::SystemClock clock;
    zelvo::Program program(
        {QCoreApplication::applicationDirPath().toStdString() + "/", &dialogs, &clock});
    program.start();
    if (program.ended()) {
        return 0;
    }
    dialogs.setParent(program.mainWindow());
    QObject::connect(program.mainWindow(), &zelvo::MainWindow::programEnded, &app,
                     &QApplication::quit, Qt::QueuedConnection);
    return QApplication::exec();
}
