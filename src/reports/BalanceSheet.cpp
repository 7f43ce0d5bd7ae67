#include "reports/BalanceSheet.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "base/DateText.h"
#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"
#include "posting/DateChecks.h"
#include "posting/EuroConversion.h"
#include "posting/JournalFields.h"
#include "reports/JournalLayout.h"
#include "session/ReportPager.h"
#include "session/ReportRun.h"

namespace zelvo {

namespace {

// Report positions of the balance sheet.
constexpr int kChartRead = 6401;
constexpr int kMovementRead = 6402;

// Where the party totals stand: the conti of customers, suppliers and agents.
constexpr const char* kCustomersCode = "000010000500000";
constexpr const char* kSuppliersCode = "000020000600000";
constexpr const char* kAgentsCode = "000020000700000";
constexpr const char* kAgent = "ag";

constexpr int kNameWidth = 30;
constexpr int kAmountWidth = 16;
constexpr const char* kProfit = "Utile d'esercizio             ";
constexpr const char* kLoss = "Perdita d'esercizio           ";
constexpr const char* kBalancing = "Totale a pareggio             ";

void classify(const chart::Item& item, double balance, BalanceFigures& f) {
    if (item.kind == chart::kCustomer) {
        f.customers += balance;
    } else if (item.kind == chart::kSupplier) {
        f.suppliers += balance;
    } else if (item.kind == kAgent) {
        f.agents += balance;
    } else if (item.kind == chart::kSottoconto && (item.nature == "p" || item.nature == "e")) {
        auto& table = item.nature == "p" ? f.patrimonial : f.economic;
        BalanceEntry& e = table[item.accountCode];
        e.accountCode = item.accountCode;
        e.name = item.description;
        e.parent = item.contoNumber;
        e.balance += balance;
    }
}

// A party total as a row of the conto that holds the parties, headed by its mastro.
std::optional<BalanceEntry> partyEntry(Archives& a, const char* code, double balance) {
    if (balance == 0) {
        return std::nullopt;
    }
    BalanceEntry e{code, code, "", balance};
    if (auto conto = chart::ByAccountCode(a, code)) {
        e.name = conto->description;
        e.parent = conto->mastroNumber;
    }
    return e;
}

void place(std::optional<BalanceEntry> e, BalanceSide& debit, BalanceSide& credit) {
    if (!e) {
        return;
    }
    if (e->balance > 0) {
        debit.rows.push_back(*e);
    } else {
        e->balance = -e->balance;
        credit.rows.push_back(*e);
    }
}

std::pair<BalanceSide, BalanceSide> sides(const std::map<std::string, BalanceEntry>& table,
                                          std::vector<std::optional<BalanceEntry>> parties) {
    BalanceSide debit, credit;
    for (const auto& [code, e] : table) {
        if (e.balance != 0) {
            place(e, debit, credit);
        }
    }
    for (auto& p : parties) {
        place(std::move(p), debit, credit);
    }
    for (BalanceSide* s : {&debit, &credit}) {
        std::stable_sort(s->rows.begin(), s->rows.end(),
                         [](const BalanceEntry& x, const BalanceEntry& y) {
                             return x.accountCode < y.accountCode;
                         });
        for (const BalanceEntry& e : s->rows) {
            s->total += e.balance;
        }
    }
    return {std::move(debit), std::move(credit)};
}

// Prints one statement: its two sections one after the other, the result on the smaller
// side and "Totale a pareggio" on both. `debitResult`: the caption the debit side gets when
// it is the smaller one (the balance sheet's loss, the profit-and-loss statement's profit).
class StatementPrinter {
  public:
    StatementPrinter(Session& session, ReportSink& sink, bool euro)
        : m_archives(session.archives()),
          m_euro(euro),
          m_rate(session.values().exchangeRate),
          m_pager(
              sink, session.values().print.linesPerPage,
              [this, today = session.values().today](int page) {
                  return std::vector<std::string>{"Data: " + today + std::string(m_gap, ' ') +
                                                      m_title + std::string(29, ' ') + "Pag. " +
                                                      std::to_string(page),
                                                  "", m_section, ""};
              },
              "") {}

    // `gap`: the blanks between the date and the title. Page numbers go on from the
    // statement before.
    void print(const std::pair<BalanceSide, BalanceSide>& s, const char* title, int gap,
               const char* debitSection, const char* creditSection, const char* debitResult,
               const char* creditResult, bool first) {
        const double result = s.first.total - s.second.total;
        const double balancing = std::max(s.first.total, s.second.total);
        m_title = title;
        m_gap = gap;
        m_section = debitSection;
        if (first) {
            m_pager.start();
        } else {
            m_pager.newPage();
        }
        side(s.first, result < 0 ? debitResult : nullptr, -result, balancing);
        m_section = creditSection;
        m_pager.print("");
        m_pager.print(m_section);
        m_pager.print("");
        side(s.second, result > 0 ? creditResult : nullptr, result, balancing);
    }

  private:
    std::string amount(double lire) const {
        if (!m_euro) {
            return PadLeft(Format(lire, "###,###,###,###"), kAmountWidth);
        }
        return PadLeft(Format(LireToEuro(lire, m_rate), "###,###,###,##0.00"), kAmountWidth);
    }
    void row(const std::string& name, double value) {
        m_pager.print(PadRight(Utf8Left(name, kNameWidth), kNameWidth) + amount(value));
        m_pager.breakIfFull();
    }
    const std::string& parentName(const std::string& number) {
        auto known = m_parents.find(number);
        if (known == m_parents.end()) {
            auto item = chart::ByNumber(m_archives, number);
            known = m_parents.emplace(number, item ? item->description : std::string()).first;
        }
        return known->second;
    }
    void side(const BalanceSide& s, const char* result, double amountOfResult, double balancing) {
        std::string parent = "\x01";
        for (const BalanceEntry& e : s.rows) {
            if (e.parent != parent) {
                parent = e.parent;
                m_pager.print(parentName(parent));
            }
            row(e.name, e.balance);
        }
        m_pager.print("");
        if (result != nullptr) {
            row(result, amountOfResult);
        }
        row(kBalancing, balancing);
    }

    Archives& m_archives;
    bool m_euro;
    double m_rate;
    std::string m_title;
    int m_gap = 0;
    std::string m_section;
    ReportPager m_pager;
    std::map<std::string, std::string> m_parents;
};

}  // namespace

bool BalancesFromChart(Archives& a, BalanceFigures& figures) {
    isam::RecordManager& rm = a.recordManager();
    const std::int16_t handle = a.handle(arc::kPc);
    isam::Snapshot snapshot(rm, handle);
    const std::int16_t s =
        rm.scan(handle, 0, "", [&](const std::string& number, const isam::Record& r) {
            const chart::Item item = chart::Item::fromRecord(number, r);
            classify(item, item.closingBalance, figures);
            return true;
        });
    a.setStatus(s);
    if (s != isam::status::kOk) {
        a.report(opn::kRead, arc::kPc, kChartRead);
        return false;
    }
    return true;
}

bool BalancesFromMovements(Archives& a, const std::string& year, const std::string& to,
                           BalanceFigures& figures) {
    // Every line's balance, by account first: the chart is read once per account.
    std::map<std::string, double> byAccount;
    const bool complete = ForEachMovementByDate(a, to, kMovementRead, [&](const isam::Record& r) {
        if (r.text(mcf::kRegDate).compare(0, 4, year) == 0) {
            byAccount[r.text(mcf::kAccount)] += r.number(mcf::kDebit) - r.number(mcf::kCredit);
        }
    });
    if (!complete) {
        return false;
    }
    for (const auto& [number, balance] : byAccount) {
        if (auto item = chart::ByNumber(a, number)) {
            classify(*item, balance, figures);
        }
    }
    return true;
}

std::pair<BalanceSide, BalanceSide> BalanceSheetSides(Archives& a, const BalanceFigures& f) {
    return sides(f.patrimonial, {partyEntry(a, kCustomersCode, f.customers),
                                 partyEntry(a, kSuppliersCode, f.suppliers),
                                 partyEntry(a, kAgentsCode, f.agents)});
}

std::pair<BalanceSide, BalanceSide> ProfitAndLossSides(const BalanceFigures& f) {
    return sides(f.economic, {});
}

bool PrintBalanceSheet(Session& session, ReportSink& sink, const BalanceRequest& request) {
    ReportRun run(session, sink, request.preview, request.fromMovements ? arc::kMc : -1);
    if (!run.opened()) {
        return false;
    }
    Archives& a = session.archives();
    BalanceFigures figures;
    const bool read = request.fromMovements
                          ? BalancesFromMovements(a, session.values().year, request.to, figures)
                          : BalancesFromChart(a, figures);
    if (!read) {
        return true;
    }
    StatementPrinter printer(session, sink, request.euro);
    printer.print(BalanceSheetSides(a, figures), "SITUAZIONE PATRIMONIALE", 20, "A T T I V I T A'",
                  "P A S S I V I T A'", kLoss, kProfit, true);
    printer.print(ProfitAndLossSides(figures), "PROFITTI E PERDITE", 24, "C O S T I", "R I C A V I",
                  kProfit, kLoss, false);
    return true;
}

BalanceSheetPrint::BalanceSheetPrint(Session& session) : PrintScreen(session, layout()) {
    on(Event::Change, kFromChart, [this] { form().setEnabled(kDate, false); });
    on(Event::Change, kFromMovements, [this] { form().setEnabled(kDate, true); });
}

FormSpec BalanceSheetPrint::layout() {
    FormSpec f;
    f.name = "BIL";
    f.title = "Stampa Bilancio";
    f.option(kFromChart, "Dal piano dei conti", "Lettura dati", 0);
    f.option(kFromMovements, "Dai movimenti contabili fino", "Lettura dati", 1);
    f.date(kDate, "alla data:", 2);
    f.check(kEuro, "Importi in Euro", 3);
    addPrintControls(f, 4);
    return f;
}

void BalanceSheetPrint::load() {
    form().setChecked(kFromChart, true);
    form().setText(kDate, session().values().yearDateMask);
    form().setEnabled(kDate, false);
}

void BalanceSheetPrint::printRequested() {
    BalanceRequest request;
    request.fromMovements = form().checked(kFromMovements);
    if (request.fromMovements) {
        std::string date = text(kDate);
        if (!CheckRegistrationDate(session(), date)) {
            requestFocus(kDate);
            return;
        }
        request.to = ToKeyDate(date);
    }
    request.euro = form().checked(kEuro);
    request.preview = preview();
    printReport([&](ReportSink& sink) { return PrintBalanceSheet(session(), sink, request); });
}

}  // namespace zelvo
