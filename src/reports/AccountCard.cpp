#include "reports/AccountCard.h"

#include <algorithm>

#include "base/DateText.h"
#include "base/NumberText.h"
#include "base/Utf8.h"
#include "posting/JournalFields.h"
#include "reports/CardLayout.h"
#include "reports/JournalLayout.h"
#include "session/ReportPager.h"
#include "session/ReportRun.h"

namespace zelvo {

namespace {

// Fields of the year record.
constexpr int kOpeningPostedField = 3;
constexpr int kOpeningDateField = 5;
constexpr const char* kYearRecordKey = "1";
constexpr const char* kOpeningCausal = "ap";

// Report positions of the account card.
constexpr int kYearRead = 6301;
constexpr int kCardRead = 6302;

constexpr int kRuleWidth = 95;
constexpr int kDescriptionWidth = 36;
constexpr const char* kCardHeading1 = "Data reg.    N. e data doc.   Prot.";
constexpr const char* kCardHeading2 =
    "           Descrizione movimento                         Dare"
    "         Avere           Saldo";
constexpr const char* kFooterGap = "            ";

std::vector<std::string> cardHeading(const std::string& today, const CardRequest& request,
                                     const chart::Item& account, int page) {
    const std::string rule(kRuleWidth, '-');
    return {TitleLine(today, "SCHEDA CONTABILE", page),
            "Dalla data: " + ShownDate(request.from),
            "Alla  data: " + ShownDate(request.to),
            "Conto: " + account.accountCode + " " + account.description,
            rule,
            kCardHeading1,
            kCardHeading2,
            rule};
}

std::vector<std::string> cardFooter(const CardAmounts& amounts, const chart::Item& account,
                                    double debit, double credit) {
    return {"Totali periodo     ", "Saldo iniz. : " + amounts.balance(account.openingBalance),
            "Dare : " + amounts.balance(debit) + kFooterGap +
                "Prog. dare  : " + amounts.total(account.progressiveDebit),
            "Avere: " + amounts.balance(credit) + kFooterGap +
                "Prog. Avere : " + amounts.total(account.progressiveCredit),
            "Saldo: " + amounts.balance(debit - credit) + kFooterGap +
                "Saldo Finale: " + amounts.total(account.closingBalance)};
}

// One account's rows and footer; false when the reading failed.
bool printOneCard(Archives& a, ReportPager& pager, const CardYear& year, const CardRequest& request,
                  const CardAmounts& amounts, const chart::Item& account) {
    CardBalance balance(year, account.openingBalance);
    double debit = 0;
    double credit = 0;
    const bool complete = ForEachAccountMovement(
        a, account.number, "", "", kCardRead, [&](const std::string&, const isam::Record& row) {
            const std::string& date = row.text(mcf::kRegDate);
            if (date > request.to) {
                return false;
            }
            const double b = balance.add(row);
            if (date >= request.from) {
                debit += row.number(mcf::kDebit);
                credit += row.number(mcf::kCredit);
                pager.print(CardRowStart(row));
                pager.print(std::string(11, ' ') +
                            PadRight(Utf8Left(row.text(mcf::kDescription), kDescriptionWidth),
                                     kDescriptionWidth) +
                            amounts.row(row.number(mcf::kDebit)) +
                            amounts.row(row.number(mcf::kCredit)) + amounts.balance(b));
                pager.breakIfFull();
            }
            return true;
        });
    if (complete) {
        for (const std::string& l : cardFooter(amounts, account, debit, credit)) {
            pager.print(l);
        }
    }
    return complete;
}

}  // namespace

CardYear ReadCardYear(Archives& a, const std::string& year) {
    CardYear y;
    y.firstDay = year + "0101";
    y.openingDate = y.firstDay;
    if (a.getByKey(arc::kCt, kYearRecordKey) == 0) {
        const isam::Record& r = a.readBuffer(arc::kCt);
        y.openingPosted = r.text(kOpeningPostedField) == "n";
        if (r.text(kOpeningDateField).size() == 8) {
            y.openingDate = r.text(kOpeningDateField);
        }
    } else if (a.status() != isam::status::kNotFound) {
        a.report(opn::kRead, arc::kCt, kYearRead);
    }
    return y;
}

CardBalance::CardBalance(const CardYear& year, double openingBalance)
    : CardBalance(year, openingBalance, openingBalance, false) {}

CardBalance::CardBalance(const CardYear& year, double openingBalance, double balance,
                         bool openingTaken)
    : m_year(year), m_opening(openingBalance), m_balance(balance), m_openingTaken(openingTaken) {}

double CardBalance::add(const isam::Record& row) {
    const std::string& date = row.text(mcf::kRegDate);
    if (date < m_year.firstDay) {
        return m_balance;
    }
    m_balance += row.number(mcf::kDebit) - row.number(mcf::kCredit);
    if (m_year.openingPosted && !m_openingTaken && row.text(mcf::kCausal) == kOpeningCausal &&
        date == m_year.openingDate) {
        m_balance -= m_opening;
        m_openingTaken = true;
    }
    return m_balance;
}

bool ForEachAccountMovement(
    Archives& archives, const std::string& account, const std::string& fromDate,
    const std::string& afterLine, int position,
    const std::function<bool(const std::string& line, const isam::Record& row)>& row) {
    isam::RecordManager& rm = archives.recordManager();
    const std::int16_t handle = archives.handle(arc::kMc);
    isam::Snapshot snapshot(rm, handle);
    const std::string start = account + fromDate;
    auto own = [&](const std::string& line, const isam::Record& r) {
        return r.text(mcf::kAccount) == account && row(line, r);
    };
    // A resumed page seeks past the line it ended on: the lines of that date it showed are
    // not read again, however many there are.
    std::int16_t s = afterLine.empty()
                         ? rm.scan(handle, mcf::kAccountDateKey, start, own)
                         : rm.scanAfter(handle, mcf::kAccountDateKey, start, afterLine, own);
    archives.setStatus(s);
    if (s != isam::status::kOk) {
        archives.report(opn::kRead, arc::kMc, position);
        return false;
    }
    return true;
}

std::vector<chart::Item> CardAccountsOf(Archives& a, const CardRequest& request) {
    std::vector<chart::Item> items;
    if (request.accounts == CardAccounts::One) {
        if (auto item = chart::ByNumber(a, request.account)) {
            items.push_back(*item);
        }
        return items;
    }
    std::vector<std::string> kinds;
    switch (request.accounts) {
        case CardAccounts::Customers:
            kinds = {chart::kCustomer};
            break;
        case CardAccounts::Suppliers:
            kinds = {chart::kSupplier};
            break;
        default:
            kinds = {chart::kSottoconto, chart::kCustomer, chart::kSupplier, "ag"};
            break;
    }
    for (const std::string& kind : kinds) {
        std::vector<chart::Item> some = chart::ItemsOfKind(a, kind);
        items.insert(items.end(), some.begin(), some.end());
    }
    std::stable_sort(items.begin(), items.end(), [](const chart::Item& x, const chart::Item& y) {
        return x.accountCode < y.accountCode;
    });
    return items;
}

bool PrintAccountCard(Session& session, ReportSink& sink, const CardRequest& request) {
    Archives& a = session.archives();
    std::vector<chart::Item> accounts = CardAccountsOf(a, request);
    if (request.nonZeroOnly) {
        std::erase_if(accounts, [](const chart::Item& i) { return i.closingBalance == 0; });
    }
    const CardYear year = ReadCardYear(a, session.values().year);
    ReportRun run(session, sink, request.preview, arc::kMc);
    if (!run.opened()) {
        return false;
    }
    const CardAmounts amounts(request.euro, session.values().exchangeRate);
    const chart::Item none;
    const chart::Item* current = accounts.empty() ? &none : &accounts.front();
    ReportPager pager(
        sink, session.values().print.linesPerPage,
        [&](int page) { return cardHeading(session.values().today, request, *current, page); }, "");
    pager.start();
    for (const chart::Item& account : accounts) {
        if (&account != current) {
            current = &account;
            pager.newPage();
        }
        if (!printOneCard(a, pager, year, request, amounts, account)) {
            break;
        }
    }
    return true;
}

AccountCardPrint::AccountCardPrint(Session& session) : PrintScreen(session, layout()) {}

FormSpec AccountCardPrint::layout() {
    FormSpec f;
    f.name = "STSCHED";
    f.title = "Stampa scheda contabile";
    f.account(kAccount, "Sottoconto", 0);
    f.date(kFrom, "Dalla data:", 1);
    f.date(kTo, "Alla data:", 2);
    f.option(kOne, "Solo un sottoconto", "Sottoconti", 3);
    f.option(kAll, "Tutti i sottoconti", "Sottoconti", 4);
    f.option(kCustomers, "Tutti i clienti", "Sottoconti", 5);
    f.option(kSuppliers, "Tutti i fornitori", "Sottoconti", 6);
    f.check(kNonZero, "Solo se con saldo", 7);
    f.label("Label1", "finale diverso da zero", 7, 1);
    f.check(kEuro, "Importi in Euro", 8);
    addPrintControls(f, 9);
    return f;
}

void AccountCardPrint::load() {
    form().setChecked(kOne, true);
    form().setText(kFrom, session().values().yearStart);
    form().setText(kTo, "31/12/" + session().values().year);
}

std::vector<std::string> AccountCardPrint::suggestions(const std::string&, const std::string& typed,
                                                       bool full) {
    return chart::AccountSuggestions(archives(), session().values(), typed, {"s", "c", "f", "ag"},
                                     full);
}

void AccountCardPrint::printRequested() {
    CardRequest request;
    std::string focus;
    if (!ReadDateRange(session(), form(), kFrom, kTo, request.from, request.to, focus)) {
        requestFocus(focus);
        return;
    }
    if (form().checked(kAll)) {
        request.accounts = CardAccounts::All;
    } else if (form().checked(kCustomers)) {
        request.accounts = CardAccounts::Customers;
    } else if (form().checked(kSuppliers)) {
        request.accounts = CardAccounts::Suppliers;
    } else {
        auto item = chart::ByDescription(archives(), text(kAccount));
        if (!item) {
            dialogs().beep();
            requestFocus(kAccount);
            return;
        }
        request.account = item->number;
    }
    request.nonZeroOnly = form().checked(kNonZero);
    request.euro = form().checked(kEuro);
    request.preview = preview();
    printReport([&](ReportSink& sink) { return PrintAccountCard(session(), sink, request); });
}

}  // namespace zelvo
