// The general journal of a whole year (text, PDF, preview), the ledger program on the same
// year, and the start-up of the program. Every measured piece runs in a child process of its
// own, so that its peak memory is its own.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>

#include "archive/Archives.h"
#include "reports/GeneralJournal.h"
#include "tools/bench/Bench.h"
#include "ui/GenericScreen.h"
#include "ui/MainWindow.h"
#include "ui/Program.h"
#include "ui/ReportPages.h"
#include "ui/ReportPreview.h"

namespace zelvo::bench {

namespace {

// Collects what a report sends, as the preview and the PDF writer take it.
class DocumentSink : public ReportSink {
  public:
    explicit DocumentSink(std::shared_ptr<ReportDocument> d) : m_doc(std::move(d)) {}
    bool open(bool, const std::string& font, int size) override {
        m_doc->setFont(font, size);
        return true;
    }
    void line(const std::string& text) override { m_doc->line(text); }
    void newPage() override { m_doc->newPage(); }
    void close() override {}

  private:
    std::shared_ptr<ReportDocument> m_doc;
};

GeneralJournalRequest WholeYear(const std::string& year) {
    GeneralJournalRequest r;
    r.from = year + "0101";
    r.to = year + "1231";
    r.firstNumber = 1;
    return r;
}

// Lets Qt deliver what is pending: shows, layouts, paints.
void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

}  // namespace

int JournalChild(const std::string& what, const std::string& dataDir, const std::string& year,
                 const std::string& out) {
    if (what == "text") {
        Station st(dataDir, year);
        TextReportSink sink(out);
        const double t0 = Now();
        const bool ok = PrintGeneralJournal(*st.session, sink, WholeYear(year));
        std::printf("compose %.4f\n", Now() - t0);
        return ok && st.dialogs.events().empty() ? 0 : 1;
    }
    int argc = 1;
    char name[] = "zelvo-bench";
    char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    Station st(dataDir, year);
    auto doc = std::make_shared<ReportDocument>();
    DocumentSink sink(doc);
    const double t0 = Now();
    if (!PrintGeneralJournal(*st.session, sink, WholeYear(year))) {
        return 1;
    }
    const double t1 = Now();
    std::printf("compose %.4f\npages %d\n", t1 - t0, doc->pageCount());
    if (what == "pdf") {
        const bool ok = WritePdf(*doc, QString::fromStdString(out));
        std::printf("pdf %.4f\n", Now() - t1);
        return ok ? 0 : 1;
    }
    // The preview: from the finished document to its first page drawn.
    auto preview = std::make_unique<ReportPreview>(doc, st.dialogs, 100, nullptr);
    preview->show();
    Settle();
    QPixmap shot = preview->grab();
    std::printf("preview %.4f\n", Now() - t1);
    return shot.isNull() || preview->pageCount() != doc->pageCount() ? 1 : 0;
}

int JournalBench(const std::string& dataDir, const std::string& year, const std::string& ledgerFile,
                 int rounds, char** argv) {
    const std::string self = argv[0];
    const std::string tmp = std::filesystem::temp_directory_path() / "zelvo-bench-journal";
    std::vector<double> textWall, textRss, ledgerWall, ledgerRss, ratio, pdfWall, pdfRss, pdfOnly,
        previewFirst, composeDoc;
    int pages = 0;
    for (int round = 0; round < rounds; ++round) {
        // The two programs back to back in each round: their ratio sees the same machine.
        ChildResult t = Run({self, "journal-child", "text", dataDir, year, tmp + ".txt"}, false);
        ChildResult l = Run({"ledger", "-f", ledgerFile, "register"}, true);
        ChildResult p = Run({self, "journal-child", "pdf", dataDir, year, tmp + ".pdf"}, false);
        ChildResult v = Run({self, "journal-child", "preview", dataDir, year, "-"}, false);
        if (!t.ok || !l.ok || !p.ok || !v.ok) {
            std::cerr << "journal: a child failed (text " << t.ok << ", ledger " << l.ok << ", pdf "
                      << p.ok << ", preview " << v.ok << ")\n";
            return 1;
        }
        textWall.push_back(t.wall);
        textRss.push_back(t.maxRssMb);
        ledgerWall.push_back(l.wall);
        ledgerRss.push_back(l.maxRssMb);
        ratio.push_back(l.wall / t.wall);
        pdfWall.push_back(p.wall);
        pdfRss.push_back(p.maxRssMb);
        pdfOnly.push_back(p.said["pdf"]);
        previewFirst.push_back(v.said["preview"]);
        composeDoc.push_back(v.said["compose"]);
        pages = static_cast<int>(p.said["pages"]);
        std::cerr << "round " << round + 1 << ": text " << t.wall << " s, ledger " << l.wall
                  << " s, pdf " << p.wall << " s\n";
    }
    std::error_code ec;
    const auto textBytes = std::filesystem::file_size(tmp + ".txt", ec);
    std::printf("| Journal pages | %d (text %.1f MB) |\n", pages,
                static_cast<double>(textBytes) / 1e6);
    std::printf("| Journal to text, s (median of %d, whole child process) | %.2f |\n", rounds,
                Median(textWall));
    std::printf("| Journal to text, peak memory MB (target <= 100) | %.1f |\n", Median(textRss));
    std::printf("| `ledger register`, s (median) | %.2f |\n", Median(ledgerWall));
    std::printf("| `ledger register`, peak memory MB | %.1f |\n", Median(ledgerRss));
    std::printf("| Speed-up text vs ledger (median of per-round ratios; target >= 10) | %.2f |\n",
                Median(ratio));
    std::printf("| Journal to PDF, s (whole child; target <= 20) | %.2f |\n", Median(pdfWall));
    std::printf("| of which writing the PDF, s | %.2f |\n", Median(pdfOnly));
    std::printf("| Journal to PDF, peak memory MB | %.1f |\n", Median(pdfRss));
    std::printf("| Composing the journal into the preview's document, s | %.2f |\n",
                Median(composeDoc));
    std::printf("| Preview: document to first page drawn, s (target <= 1) | %.3f |\n",
                Median(previewFirst));
    std::filesystem::remove(tmp + ".txt", ec);
    std::filesystem::remove(tmp + ".pdf", ec);
    return 0;
}

int StartupChild(const std::string& dataDir, const std::string& year) {
    const double t0 = Now();
    int argc = 1;
    char name[] = "zelvo-bench";
    char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ScriptedDialogs dialogs;
    FixedClock clock("31/12/" + year);
    Program program(Program::Options{dataDir, &dialogs, &clock});
    program.start();
    Settle();
    const double t1 = Now();
    MainWindow* main = program.mainWindow();
    GenericScreen* choice = main == nullptr ? nullptr : main->screen("SCELTA");
    if (choice == nullptr || !choice->isVisible()) {
        std::cerr << "startup: no selection window\n";
        return 1;
    }
    std::printf("selection %.4f\n", t1 - t0);
    auto* company = qobject_cast<QComboBox*>(choice->control("Combo1"));
    auto* years = qobject_cast<QComboBox*>(choice->control("Combo2"));
    auto* ok = qobject_cast<QAbstractButton*>(choice->control("Command1"));
    if (company == nullptr || years == nullptr || ok == nullptr) {
        return 1;
    }
    auto pick = [choice](QComboBox* c, const std::string& text) {
        const int i = c->findText(QString::fromStdString(text));
        c->setCurrentIndex(i);
        choice->pickItem(c->objectName().toStdString(), i, false);
        Settle();
        return i >= 0;
    };
    if (!pick(company, "Azienda di prova") || !pick(years, year)) {
        std::cerr << "startup: company or year not offered\n";
        return 1;
    }
    ok->click();
    Settle();
    auto* action = main->findChild<QAction*>("mbb2");
    if (action == nullptr || !action->isEnabled()) {
        std::cerr << "startup: no sales invoice command\n";
        return 1;
    }
    const double t2 = Now();
    action->trigger();
    Settle();
    GenericScreen* screen = main->screen("mcfv");
    if (screen == nullptr || !screen->isVisible()) {
        std::cerr << "startup: the sales invoice screen did not open\n";
        return 1;
    }
    std::printf("invoice %.4f\n", Now() - t2);
    return dialogs.boxes().empty() ? 0 : 1;
}

int StartupBench(const std::string& dataDir, const std::string& year, int rounds, char** argv) {
    std::vector<double> process, selection, invoice;
    for (int round = 0; round < rounds; ++round) {
        ChildResult r = Run({argv[0], "startup-child", dataDir, year}, false);
        if (!r.ok) {
            std::cerr << "startup: the child failed\n";
            return 1;
        }
        process.push_back(r.wall);
        selection.push_back(r.said["selection"]);
        invoice.push_back(r.said["invoice"]);
    }
    std::printf("| Start-up to the selection window, ms (median of %d; target <= 300) | %.0f |\n",
                rounds, Median(selection) * 1000);
    std::printf("| Opening the sales invoice screen, ms (median; target <= 100) | %.0f |\n",
                Median(invoice) * 1000);
    std::printf("| Whole child process (exec to exit, all of the above), ms | %.0f |\n",
                Median(process) * 1000);
    return 0;
}

}  // namespace zelvo::bench
