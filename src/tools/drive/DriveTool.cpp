// zelvo-drive SCRIPT: runs an operator script against the real program with no display.

#include <QApplication>
#include <cstdlib>
#include <iostream>

#include "tools/drive/ScriptRunner.h"

namespace {

// The offscreen platform's remarks about window hints and runtime folders say nothing about
// the script; everything else Qt reports still reaches the terminal.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("This plugin does not support")) ||
        message.contains(QLatin1String("XDG_RUNTIME_DIR"))) {
        return;
    }
    std::cerr << qPrintable(qFormatLogMessage(type, context, message)) << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietHandler);
    if (argc != 2) {
        std::cerr << "usage: zelvo-drive SCRIPT\n";
        return 2;
    }
    // Scripts never need a screen; the offscreen platform also keeps runs reproducible.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    zelvo::drive::ScriptRunner runner(argv[1]);
    return runner.run();
}
