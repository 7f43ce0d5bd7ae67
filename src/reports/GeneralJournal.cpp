#include "reports/GeneralJournal.h"

#include <vector>

#include "base/DateText.h"
#include "base/NumberText.h"
#include "posting/JournalFields.h"
#include "reports/JournalLayout.h"
#include "session/ReportPager.h"
#include "session/ReportRun.h"

namespace zelvo {

namespace {

constexpr const char* kJournalCounter = "giornale";

// Report positions of the general journal.
constexpr int kCounterRead = 6201;
constexpr int kCompanyRead = 6202;
constexpr int kMovementRead = 6203;
constexpr int kCounterWrite = 6204;

std::vector<std::string> heading(Session& session, bool company) {
    const std::vector<std::string> block = CompanyHeading(session, company, kCompanyRead);
    return {OverlineRule(),   std::string(37, ' ') + "GIORNALE CONTABILITA'",
            block[0],         block[1],
            block[2],         block[3],
            OverlineRule(),   std::string("Numero  ") + kMovementHeading1,
            kMovementHeading2};
}

}  // namespace

bool PrintGeneralJournal(Session& session, ReportSink& sink, const GeneralJournalRequest& request) {
    ReportRun run(session, sink, request.preview, arc::kMc);
    if (!run.opened()) {
        return false;
    }
    Archives& a = session.archives();
    const ProgramValues& v = session.values();
    std::int32_t n = request.firstNumber - 1;
    // Built once: the heading carries no page number or date of its own.
    const std::vector<std::string> lines = heading(session, request.companyHeading);
    ReportPager pager(
        sink, v.print.linesPerPage, [&lines](int) { return lines; }, OverlineRule());
    pager.start();
    MovementPrinter printer(pager, a);
    // The period totals are those of the printed lines; the book shows only the progressive
    // ones, which also count every line before the start date.
    JournalTotals progressive;
    JournalTotals period;
    const bool complete =
        ForEachMovementByDate(a, request.to, kMovementRead, [&](const isam::Record& row) {
            progressive.add(row);
            if (row.text(mcf::kRegDate) < request.from) {
                return;
            }
            ++n;
            printer.print(row, Format(n, "0000000") + " ");
            period.add(row);
        });
    // Totals of a reading cut short would be wrong: the book then just closes.
    if (complete) {
        for (const std::string& l : TotalsLines("Totali progressivi ", progressive)) {
            pager.print(l);
        }
    }
    pager.print(OverlineRule());
    if (request.definitive && complete) {
        a.clearWriteBuffer(arc::kPr);
        isam::Record& r = a.writeBuffer(arc::kPr);
        r.setNumber(prf::kValue, n);
        r.setText(prf::kText, request.to);
        if (a.putReported(arc::kPr, kJournalCounter, isam::mode::kWrite, kCounterWrite) == 0 &&
            a.flush(arc::kPr) != 0) {
            a.report(opn::kWrite, arc::kPr, kCounterWrite);
        }
    }
    return true;
}

GeneralJournal::GeneralJournal(Session& session) : PrintScreen(session, layout()) {}

FormSpec GeneralJournal::layout() {
    FormSpec f;
    f.name = "STGC";
    f.title = "Stampa giornale di contabilità";
    AddDateRangeFields(f);
    // Nine digits always fit the 32-bit number the counter keeps.
    f.text(kFirstNumber, "Numero progr.:", 2, 10, {.allowed = kDigits, .maxLength = 9});
    f.label(kLastPrintCaption, "Data ultima stampa:", 3, 0);
    f.label(kLastPrint, "", 3, 1);
    f.check(kCompanyHeading, "Intestazione azienda", 4);
    // The definitive print's check box stands between the preview and the buttons.
    f.check(kPreview, "Anteprima di stampa", 5);
    f.check(kDefinitive, "Stampa definitiva", 6);
    f.button(kPrint, "&Stampa", 7, 0, {.isDefault = true});
    f.button(kCancel, "&Annulla", 7, 1, {.isCancel = true});
    return f;
}

void GeneralJournal::load() {
    showLastPrint();
}

void GeneralJournal::showLastPrint() {
    Archives& a = archives();
    if (a.getByKeyReported(arc::kPr, kJournalCounter, kCounterRead) != 0) {
        return;
    }
    const isam::Record& r = a.readBuffer(arc::kPr);
    form().setText(kLastPrint, ShownDate(r.text(prf::kText)));
    form().setText(kFirstNumber, Format(r.number(prf::kValue) + 1, "0"));
}

void GeneralJournal::printRequested() {
    GeneralJournalRequest request;
    std::string focus;
    if (!ReadDateRange(session(), form(), request.from, request.to, focus)) {
        requestFocus(focus);
        return;
    }
    request.firstNumber = WholeVal(text(kFirstNumber));
    request.companyHeading = form().checked(kCompanyHeading);
    request.preview = preview();
    request.definitive = form().checked(kDefinitive);
    const bool printed = printReport(
        [&](ReportSink& sink) { return PrintGeneralJournal(session(), sink, request); });
    if (printed && request.definitive) {
        showLastPrint();
    }
}

}  // namespace zelvo
