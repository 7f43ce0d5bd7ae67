#include "reports/CompanyListPrint.h"

#include "base/NumberText.h"
#include "base/Utf8.h"
#include "session/ReportPager.h"
#include "session/ReportRun.h"

namespace zelvo {

namespace {

// Fields of the company register record (the register's own layout, kept by the start-up
// code above this library); the primary key is the company code.
constexpr int kName = 1;
constexpr int kCity = 3;
constexpr int kVatNumber = 4;

// Report position of a failed read of the register while listing it.
constexpr int kListReadPosition = 7001;

// Columns: code, name, city, VAT number; the widths include the gap to the next column.
constexpr int kCodeColumn = 6;
constexpr int kNameColumn = 42;
constexpr int kNameWidth = 40;
constexpr int kCityColumn = 32;
constexpr int kCityWidth = 30;
constexpr int kVatWidth = 17;

std::string companyLine(const std::string& code, const isam::Record& r) {
    return RightTrim(PadRight(code, kCodeColumn) +
                     PadRight(Utf8Left(r.text(kName), kNameWidth), kNameColumn) +
                     PadRight(Utf8Left(r.text(kCity), kCityWidth), kCityColumn) +
                     Utf8Left(r.text(kVatNumber), kVatWidth));
}

std::vector<std::string> heading(const std::string& today, int page) {
    // The title sits in the middle of the 97 columns, the page number at the right edge.
    return {PadRight("Data: " + today, 41) + PadRight("ELENCO AZIENDE", 42) +
                PadLeft("Pag. " + std::to_string(page), 14),
            "",
            PadRight("Cod.", kCodeColumn) + PadRight("Ragione sociale", kNameColumn) +
                PadRight("Città", kCityColumn) + "Partita IVA",
            Rule('-')};
}

}  // namespace

bool PrintCompanyList(Session& session, ReportSink& sink, bool preview) {
    ReportRun run(session, sink, preview, arc::kDataz);
    if (!run.opened()) {
        return false;
    }
    Archives& a = session.archives();
    const ProgramValues& v = session.values();
    ReportPager pager(
        sink, v.print.linesPerPage, [today = v.today](int page) { return heading(today, page); },
        Rule('-'));
    pager.start();
    int companies = 0;
    std::int16_t s = a.bof(arc::kDataz, 0);
    while (s == 0) {
        s = a.get(arc::kDataz, 0, isam::op::kNext, "");
        if (s != 0) {
            break;
        }
        const isam::Record& r = a.readBuffer(arc::kDataz);
        // Free slots have no name: they are not companies.
        if (r.text(kName).empty()) {
            continue;
        }
        pager.print(companyLine(a.primaryKey(arc::kDataz), r));
        ++companies;
        pager.breakIfFull();
    }
    if (s != isam::status::kEndOfIndex) {
        // The print ends here; what was read so far still goes out, closed as a document.
        a.report(opn::kRead, arc::kDataz, kListReadPosition);
    }
    pager.print(Rule('-'));
    pager.print("Totale aziende: " + std::to_string(companies));
    return true;
}

CompanyListPrint::CompanyListPrint(Session& session) : PrintScreen(session, layout()) {}

FormSpec CompanyListPrint::layout() {
    FormSpec f;
    f.name = "STAZ";
    f.title = "Stampa elenco aziende";
    addPrintControls(f, 0);
    return f;
}

void CompanyListPrint::printRequested() {
    printReport([this](ReportSink& sink) { return PrintCompanyList(session(), sink, preview()); });
}

}  // namespace zelvo
