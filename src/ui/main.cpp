#include <QApplication>
#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "base/Version.h"
#include "ui/MainWindow.h"
#include "ui/Program.h"
#include "ui/QtDialogs.h"

int main(int argc, char** argv) {
    // Read before the window system starts, so that --version and --help answer without a
    // display.
    const zelvo::CommandLine line =
        zelvo::CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
        case zelvo::CommandLine::Action::Version:
            std::cout << zelvo::CommandLine::VersionText();
            return 0;
        case zelvo::CommandLine::Action::Help:
            std::cout << zelvo::CommandLine::HelpText();
            return 0;
        case zelvo::CommandLine::Action::Refused:
            std::cerr << line.refusal;
            return 2;
        case zelvo::CommandLine::Action::Run:
            break;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("zelvo");
    QApplication::setApplicationVersion(zelvo::kProgramVersion);
    // The desktop entry the window belongs to, for its icon in the task bar.
    QGuiApplication::setDesktopFileName("zelvo");
    zelvo::QtDialogs dialogs;
    zelvo::SystemClock clock;
    zelvo::Program program({QCoreApplication::applicationDirPath().toStdString() + "/", &dialogs,
                            &clock, line.dataDirectory});
    program.start();
    if (program.ended()) {
        return 0;
    }
    dialogs.setParent(program.mainWindow());
    QObject::connect(program.mainWindow(), &zelvo::MainWindow::programEnded, &app,
                     &QApplication::quit, Qt::QueuedConnection);
    return QApplication::exec();
}
