#include "masterdata/ChartPrint.h"

#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"
#include "session/ReportPager.h"
#include "session/ReportRun.h"

namespace zelvo {

namespace {

constexpr int kChartRead = 3251;
constexpr int kDescriptionWidth = 32;
constexpr const char* kColumns =
    "Descrizione                         Saldo iniz.    Progr. dare   Progr. avere    Saldo "
    "finale";
constexpr const char* kMask = "###,###,###,##0";

bool printed(const chart::Item& item, const ChartPrintRequest& request) {
    if (item.kind == chart::kCustomer) {
        return request.customers;
    }
    if (item.kind == chart::kSupplier || item.kind == "ag") {
        return request.suppliers;
    }
    return true;
}

std::string lead(const chart::Item& item, bool alphabetic) {
    if (alphabetic) {
        return item.kind == chart::kMastro ? "*" : "";
    }
    if (item.kind == chart::kMastro) {
        return "";
    }
    return item.kind == chart::kConto ? "  " : "    ";
}

std::string chartLine(const chart::Item& item, bool alphabetic) {
    const std::string name = lead(item, alphabetic) + item.description;
    return PadRight(Utf8Left(name, kDescriptionWidth), kDescriptionWidth) +
           PadLeft(Format(item.openingBalance, kMask), 15) +
           PadLeft(Format(item.progressiveDebit, kMask), 15) +
           PadLeft(Format(item.progressiveCredit, kMask), 15) +
           PadLeft(Format(item.closingBalance, kMask), 16);
}

}  // namespace

bool PrintChart(Session& session, ReportSink& sink, const ChartPrintRequest& request) {
    ReportRun run(session, sink, request.preview);
    if (!run.opened()) {
        return false;
    }
    ReportPager pager(
        sink, session.values().print.linesPerPage,
        [today = session.values().today](int page) {
            return std::vector<std::string>{TitleLine(today, "PIANO DEI CONTI", page), "", kColumns,
                                            Rule('-')};
        },
        "");
    pager.start();
    Archives& a = session.archives();
    isam::RecordManager& rm = a.recordManager();
    const std::int16_t handle = a.handle(arc::kPc);
    isam::Snapshot snapshot(rm, handle);
    const std::int16_t s =
        rm.scan(handle, request.alphabetic ? chart::kDescription : chart::kAccountCode, "",
                [&](const std::string& number, const isam::Record& r) {
                    const chart::Item item = chart::Item::fromRecord(number, r);
                    if (printed(item, request)) {
                        pager.print(chartLine(item, request.alphabetic));
                        pager.breakIfFull();
                    }
                    return true;
                });
    a.setStatus(s);
    if (s != isam::status::kOk) {
        a.report(opn::kRead, arc::kPc, kChartRead);
    }
    return true;
}

ChartPrint::ChartPrint(Session& session) : ScreenLogic(session, layout()) {
    on(Event::Click, kPrint, [this] {
        const ChartPrintRequest request{!form().checked(kByMastro), form().checked(kCustomers),
                                        form().checked(kSuppliers), form().checked(kPreview)};
        printReport([&](ReportSink& sink) { return PrintChart(this->session(), sink, request); });
    });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec ChartPrint::layout() {
    FormSpec f;
    f.name = "STPC";
    f.title = "Stampa Piano dei Conti";
    f.option(kAlphabetic, "Alfabetico", "Ordine", 0);
    f.option(kByMastro, "Per mastro", "Ordine", 1);
    f.check(kCustomers, "Clienti", 2);
    f.check(kSuppliers, "Fornitori", 3);
    f.check(kPreview, "Anteprima di stampa", 4);
    f.button(kPrint, "&Stampa", 5, 0, {.isDefault = true});
    f.button(kCancel, "&Annulla", 5, 1, {.isCancel = true});
    return f;
}

void ChartPrint::load() {
    form().setChecked(kAlphabetic, true);
}

}  // namespace zelvo
