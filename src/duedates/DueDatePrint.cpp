#include "duedates/DueDatePrint.h"

#include "base/NumberText.h"
#include "duedates/DuePartyField.h"
#include "session/ReportPager.h"
#include "session/ReportRun.h"

namespace zelvo {

using duedates::Book;

namespace {

std::vector<std::string> heading(const duedates::BookInfo& info, const std::string& columns,
                                 const std::string& today, int page) {
    return {PadRight(info.printTitle, 60) + PadRight("Data: " + today, 25) +
                PadLeft("Pag. " + std::to_string(page), 12),
            "", columns, Rule('-')};
}

}  // namespace

bool PrintDueDates(Session& session, ReportSink& sink, bool preview, Book book,
                   const duedates::DueFilter& filter) {
    const duedates::BookInfo& info = duedates::InfoOf(book);
    ReportRun run(session, sink, preview, info.archive);
    if (!run.opened()) {
        return false;
    }
    const ProgramValues& v = session.values();
    const std::string columns = duedates::Heading(DueDatePrint::kCustomerHeading, info.suppliers);
    ReportPager pager(
        sink, v.print.linesPerPage,
        [&info, &columns, today = v.today](int page) {
            return heading(info, columns, today, page);
        },
        Rule('-'));
    pager.start();
    duedates::PartyNames names(session.archives());
    const duedates::InstalmentLines line(columns);
    double total = 0;
    duedates::ReadOpenInstalments(
        session.archives(), book, filter,
        [&](const duedates::OpenInstalment& i) {
            pager.print(line(i, names.of(i.partyNumber)));
            total += i.amount;
            pager.breakIfFull();
            return true;
        },
        DueDatePrint::kReadPosition);
    pager.print(Rule('-'));
    pager.print("Totale importo: " + Format(total, duedates::kAmountMask));
    return true;
}

DueDatePrint::DueDatePrint(Session& session) : PrintScreen(session, layout()) {}

FormSpec DueDatePrint::layout() {
    FormSpec f;
    f.name = "STSCAD";
    f.title = "Stampa scadenzario";
    duedates::AddBookOptions(f, 0);
    f.date(kFrom, "Dalla scadenza:", 3);
    f.date(kTo, "Alla scadenza:", 4);
    f.account(kParty, "Cliente/Fornitore:", 5);
    addPrintControls(f, 6);
    return f;
}

std::vector<std::string> DueDatePrint::suggestions(const std::string& control,
                                                   const std::string& typed, bool full) {
    return control == kParty
               ? duedates::PartySuggestions(session(), duedates::CheckedBook(form()), typed, full)
               : std::vector<std::string>{};
}

void DueDatePrint::printRequested() {
    const Book book = duedates::CheckedBook(form());
    duedates::DueFilter filter;
    if (!duedates::DueDateKey(session(), text(kFrom), filter.from)) {
        requestFocus(kFrom);
        return;
    }
    if (!duedates::DueDateKey(session(), text(kTo), filter.to)) {
        requestFocus(kTo);
        return;
    }
    if (!filter.to.empty() && filter.to < filter.from) {
        inputError("La data finale è minore della data iniziale", kTo);
        return;
    }
    if (!duedates::PartyOfBook(session(), book, text(kParty), filter.partyNumber)) {
        inputError("NON E' STATO INSERITO IL CLIENTE", kParty);
        return;
    }
    printReport(
        [&](ReportSink& sink) { return PrintDueDates(session(), sink, preview(), book, filter); });
}

}  // namespace zelvo
