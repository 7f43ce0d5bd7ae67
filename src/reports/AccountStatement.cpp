#include "reports/AccountStatement.h"

#include <map>

#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/Chart.h"
#include "posting/JournalFields.h"
#include "reports/AccountCard.h"
#include "reports/JournalLayout.h"
#include "session/ReportPager.h"
#include "session/ReportRun.h"

namespace zelvo {

namespace {

constexpr int kStatementRead = 6321;
constexpr int kDescriptionWidth = 36;

std::vector<std::string> statementHeading(const std::string& today, const chart::Item& party,
                                          int page) {
    return {TitleLine(today, "ESTRATTO CONTO  ", page),
            (party.kind == chart::kCustomer ? "Cliente: " : "Fornitore: ") + party.description,
            Rule('-'), kStatementHeading, Rule('-')};
}

}  // namespace

std::string DocumentOf(const isam::Record& row) {
    return row.text(mcf::kDocDate) + row.text(mcf::kDocNumber);
}

bool OpenDocuments(Archives& a, const std::string& account, std::set<std::string>& open) {
    std::map<std::string, double> net;
    const bool complete = ForEachAccountMovement(
        a, account, "", "", kStatementRead, [&net](const std::string&, const isam::Record& r) {
            net[DocumentOf(r)] += r.number(mcf::kDebit) - r.number(mcf::kCredit);
            return true;
        });
    for (const auto& [document, balance] : net) {
        if (balance != 0) {
            open.insert(document);
        }
    }
    return complete;
}

std::string StatementRow(const isam::Record& row, const CardAmounts& amounts, double balance) {
    return DocumentColumns(row) + " " +
           PadRight(Utf8Left(row.text(mcf::kDescription), kDescriptionWidth), kDescriptionWidth) +
           amounts.row(row.number(mcf::kDebit)) + amounts.row(row.number(mcf::kCredit)) +
           amounts.balance(balance, 14);
}

bool PrintAccountStatement(Session& session, ReportSink& sink, const StatementRequest& request) {
    Archives& a = session.archives();
    const auto party = chart::ByNumber(a, request.account);
    if (!party) {
        return false;
    }
    ReportRun run(session, sink, request.preview, arc::kMc);
    if (!run.opened()) {
        return false;
    }
    std::set<std::string> open;
    if (request.openOnly && !OpenDocuments(a, party->number, open)) {
        return true;
    }
    const CardYear year = ReadCardYear(a, session.values().year);
    const CardAmounts amounts(request.euro, session.values().exchangeRate);
    ReportPager pager(
        sink, session.values().print.linesPerPage,
        [&](int page) { return statementHeading(session.values().today, *party, page); }, "");
    pager.start();
    CardBalance balance(year, party->openingBalance);
    const bool complete = ForEachAccountMovement(
        a, party->number, "", "", kStatementRead, [&](const std::string&, const isam::Record& r) {
            if (!request.openOnly || open.count(DocumentOf(r)) != 0) {
                pager.print(StatementRow(r, amounts, balance.add(r)));
                pager.breakIfFull();
            }
            return true;
        });
    if (complete) {
        pager.print(Rule('-'));
        pager.print("Saldo iniz. : " + amounts.total(party->openingBalance));
        pager.print("Prog. dare  : " + amounts.total(party->progressiveDebit));
        pager.print("Prog. Avere : " + amounts.total(party->progressiveCredit));
        pager.print("Saldo Finale: " + amounts.total(party->closingBalance));
    }
    return true;
}

AccountStatementPrint::AccountStatementPrint(Session& session) : PrintScreen(session, layout()) {}

FormSpec AccountStatementPrint::layout() {
    FormSpec f;
    f.name = "STEC";
    f.title = "Stampa estratto conto";
    f.account(kParty, "Cliente/Fornitore", 0);
    f.option(kOpenItems, "Partite aperte", "Movimenti", 1);
    f.option(kHistory, "&Storico", "Movimenti", 2);
    f.check(kEuro, "Importi in Euro", 3);
    addPrintControls(f, 4);
    return f;
}

void AccountStatementPrint::load() {
    form().setChecked(kOpenItems, true);
}

std::vector<std::string> AccountStatementPrint::suggestions(const std::string&,
                                                            const std::string& typed, bool full) {
    return chart::AccountSuggestions(archives(), session().values(), typed,
                                     {chart::kCustomer, chart::kSupplier, "ag"}, full);
}

void AccountStatementPrint::printRequested() {
    auto party = chart::ByDescription(archives(), text(kParty));
    if (!party || (party->kind != chart::kCustomer && party->kind != chart::kSupplier &&
                   party->kind != "ag")) {
        dialogs().beep();
        requestFocus(kParty);
        return;
    }
    StatementRequest request{party->number, !form().checked(kHistory), form().checked(kEuro),
                             preview()};
    printReport([&](ReportSink& sink) { return PrintAccountStatement(session(), sink, request); });
}

}  // namespace zelvo
