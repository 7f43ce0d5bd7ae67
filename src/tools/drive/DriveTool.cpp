// zelvo-drive [--output DIR] SCRIPT: runs an operator script against the real program with no
// display.

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string>

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
    // Where relative report, file and screenshot paths land: --output DIR, else
    // ZELVO_DRIVE_OUTPUT, else a fresh temporary folder. Never the script's folder, which is
    // part of the source tree.
    std::string output;
    const char* fromEnvironment = std::getenv("ZELVO_DRIVE_OUTPUT");
    if (fromEnvironment != nullptr) {
        output = fromEnvironment;
    }
    int first = 1;
    if (argc == 4 && std::string(argv[1]) == "--output") {
        output = argv[2];
        first = 3;
    }
    if (argc != first + 1) {
        std::cerr << "usage: zelvo-drive [--output DIR] SCRIPT\n";
        return 2;
    }
    // Scripts never need a screen; the offscreen platform also keeps runs reproducible.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    zelvo::drive::ScriptRunner runner(argv[first], output);
    return runner.run();
}
