#include "reports/JournalPrint.h"

#include <functional>
#include <vector>

#include "base/NumberText.h"
#include "posting/JournalFields.h"
#include "reports/JournalLayout.h"
#include "session/ReportPager.h"
#include "session/ReportRun.h"

namespace zelvo {

namespace {

// Report positions of the two prints.
constexpr int kEntriesRead = 4901;
constexpr int kControlRead = 4911;

// The primary key of a movement line: its number with eight digits.
constexpr const char* kLineKeyMask = "00000000";

std::vector<std::string> heading(const std::string& today, const std::string& title,
                                 const std::string& numberCaption, int page) {
    return {TitleLine(today, title, page), "", numberCaption + kMovementHeading1,
            kMovementHeading2};
}

// The frame both prints share: the archive and the document opened, the pages with their
// heading, `body` printing the movements, and the closing rule. False when nothing was
// printed.
bool printMovements(Session& session, ReportSink& sink, bool preview, const std::string& title,
                    const std::string& numberCaption,
                    const std::function<void(ReportPager&, MovementPrinter&)>& body) {
    ReportRun run(session, sink, preview, arc::kMc);
    if (!run.opened()) {
        return false;
    }
    ReportPager pager(
        sink, session.values().print.linesPerPage,
        [today = session.values().today, &title, &numberCaption](int page) {
            return heading(today, title, numberCaption, page);
        },
        Rule('-'));
    pager.start();
    MovementPrinter printer(pager, session.archives());
    body(pager, printer);
    pager.print(Rule('-'));
    return true;
}

}  // namespace

bool PrintJournalEntries(Session& session, ReportSink& sink, const std::string& from,
                         const std::string& to, bool preview) {
    return printMovements(
        session, sink, preview, "PRIMA NOTA", "",
        [&](ReportPager& pager, MovementPrinter& printer) {
            JournalTotals progressive;
            JournalTotals period;
            const bool complete = ForEachMovementByDate(session.archives(), to, kEntriesRead,
                                                        [&](const isam::Record& row) {
                                                            progressive.add(row);
                                                            if (row.text(mcf::kRegDate) < from) {
                                                                return;
                                                            }
                                                            printer.print(row);
                                                            period.add(row);
                                                        });
            // Totals of a reading cut short would be wrong: the print then just closes.
            if (complete) {
                for (const std::string& l : TotalsLines("Totali periodo     ", period)) {
                    pager.print(l);
                }
                for (const std::string& l : TotalsLines("Totali progressivi ", progressive)) {
                    pager.print(l);
                }
            }
        });
}

bool PrintJournalControl(Session& session, ReportSink& sink, std::int64_t firstLine, bool preview) {
    return printMovements(
        session, sink, preview, "CONTROLLO PRIMA NOTA", "N.    ",
        [&](ReportPager&, MovementPrinter& printer) {
            Archives& a = session.archives();
            // The line number goes out as the eight-digit key the operator starts from. It is
            // wider than the "N.    " of its heading, so the line's dates stand three columns
            // to the right of theirs: cutting or shortening the number would make it differ
            // from the key.
            std::int16_t s = a.get(arc::kMc, 0, isam::op::kFind,
                                   Format(static_cast<double>(firstLine), kLineKeyMask));
            // A start on a number no line has (a deleted one) goes on from the next line.
            if (s == isam::status::kNotFound) {
                s = a.get(arc::kMc, 0, isam::op::kNext, "");
            }
            while (s == 0) {
                printer.print(a.readBuffer(arc::kMc), a.primaryKey(arc::kMc) + " ");
                s = a.get(arc::kMc, 0, isam::op::kNext, "");
            }
            if (s != isam::status::kEndOfIndex) {
                a.report(opn::kRead, arc::kMc, kControlRead);
            }
        });
}

JournalEntriesPrint::JournalEntriesPrint(Session& session) : PrintScreen(session, layout()) {}

FormSpec JournalEntriesPrint::layout() {
    FormSpec f;
    f.name = "STMC";
    f.title = "Stampa prima nota";
    AddDateRangeFields(f);
    addPrintControls(f, 2);
    return f;
}

void JournalEntriesPrint::printRequested() {
    std::string from, to, focus;
    if (!ReadDateRange(session(), form(), from, to, focus)) {
        requestFocus(focus);
        return;
    }
    printReport([&](ReportSink& sink) {
        return PrintJournalEntries(session(), sink, from, to, preview());
    });
}

JournalControlPrint::JournalControlPrint(Session& session) : PrintScreen(session, layout()) {}

FormSpec JournalControlPrint::layout() {
    FormSpec f;
    f.name = "STMC1";
    f.title = "Stampa controllo prima nota";
    f.text(kFirstLine, "Dalla riga numero:", 0, 10, {.allowed = kDigits, .maxLength = 8});
    addPrintControls(f, 1);
    return f;
}

void JournalControlPrint::printRequested() {
    printReport([this](ReportSink& sink) {
        return PrintJournalControl(session(), sink, WholeVal(text(kFirstLine)), preview());
    });
}

}  // namespace zelvo
