// The spreadsheet window at the size the operator may give it: a chain of formulas down
// ten thousand rows with a total over them, recomputed whole, after a change at its top and
// after a change only the total reads; the sheet file and the workbook written; the window
// opened on the sheet and scrolled to its last row.

#include <QApplication>
#include <QTableView>
#include <cstdio>
#include <iostream>

#include "sheet/SheetFile.h"
#include "sheet/SheetWindow.h"
#include "tools/bench/Bench.h"
#include "ui/GenericScreen.h"

namespace zelvo::bench {

namespace {

sheet::Sheet Chain(int rows) {
    sheet::Sheet s;
    s.beginBatch();
    s.setEntry({0, 0}, "1");
    for (int r = 1; r < rows; ++r) {
        s.setEntry({r, 0}, "=a" + std::to_string(r) + "+" + std::to_string(r % 997));
        s.setEntry({r, 1}, std::to_string(r * 1000));
    }
    s.setEntry({0, 2}, "=sum(b1:b" + std::to_string(rows) + ")");
    return s;
}

void Row(const char* figure, double value) {
    std::printf("| %s | %.3f |\n", figure, value);
}

}  // namespace

int SheetBench(const std::string& workDir, int rows, int rounds, int argc, char** argv) {
    std::vector<double> full, top, one, plain, files, workbook, window;
    const std::string zfg = workDir + "chain.zfg";
    const std::string xlsx = workDir + "chain.xlsx";
    for (int round = 0; round < rounds; ++round) {
        sheet::Sheet s = Chain(rows);
        double t = Now();
        s.endBatch();
        full.push_back(Now() - t);
        t = Now();
        s.setEntry({0, 0}, std::to_string(round + 2));
        top.push_back(Now() - t);
        t = Now();
        s.setEntry({rows / 2, 1}, "0");
        one.push_back(Now() - t);
        // The same chain as whole numbers in a plain loop: what any evaluation must do.
        t = Now();
        volatile long long v = round + 2;
        for (int r = 1; r < rows; ++r) {
            v = v + r % 997;
        }
        plain.push_back(Now() - t);
        t = Now();
        sheet::Sheet back;
        if (!sheet::SaveSheet(s, zfg) || !sheet::OpenSheet(zfg, back)) {
            std::cerr << "zelvo-bench sheet: cannot write " << zfg << "\n";
            return 1;
        }
        files.push_back(Now() - t);
        t = Now();
        sheet::ExportXlsx(s, xlsx);
        workbook.push_back(Now() - t);
    }
    QApplication app(argc, argv);
    // The window needs no archives: a session without a data directory will do.
    ScriptedDialogs dialogs;
    FixedClock clock("15/03/2026");
    Session session(dialogs, clock);
    for (int round = 0; round < rounds; ++round) {
        sheet::Sheet s = Chain(rows);
        s.endBatch();
        const double t = Now();
        auto* screen = new GenericScreen(std::make_unique<SheetWindow>(session, s));
        screen->show();
        screen->start();
        Settle();
        screen->findChild<QTableView*>(SheetWindow::kSheet)->scrollToBottom();
        Settle();
        window.push_back(Now() - t);
        delete screen;
    }
    std::remove(zfg.c_str());
    std::remove(xlsx.c_str());
    Row("Whole sheet computed (ms)", Median(full) * 1e3);
    Row("Change at the top of the chain, every formula recomputed (ms)", Median(top) * 1e3);
    Row("Change read only by the total, one formula recomputed (ms)", Median(one) * 1e3);
    Row("The chain as a plain loop of whole numbers (ms)", Median(plain) * 1e3);
    Row("Ratio: change at the top / plain loop", Median(top) / Median(plain));
    Row("Sheet file saved and opened again (ms)", Median(files) * 1e3);
    Row("Workbook (XLSX) written (ms)", Median(workbook) * 1e3);
    Row("Window opened and scrolled to the last row (ms)", Median(window) * 1e3);
    std::printf("| Rows, rounds | %d, %d |\n", rows, rounds);
    return 0;
}

}  // namespace zelvo::bench
