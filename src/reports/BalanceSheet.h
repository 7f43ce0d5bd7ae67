#pragma once

#include <map>
#include <string>
#include <vector>

#include "session/PrintScreen.h"
#include "session/ReportSink.h"

namespace zelvo {

// One account of a statement: its code, name, the parent whose name heads its group, and
// its balance (debit minus credit).
struct BalanceEntry {
    std::string accountCode;
    std::string name;
    std::string parent;  // item number of the parent (the conto; the mastro of a party total)
    double balance = 0;
};

// The balances a balance sheet prints: the ordinary accounts of each nature by account code,
// and the customers', suppliers' and agents' accounts added up into one total each.
struct BalanceFigures {
    std::map<std::string, BalanceEntry> patrimonial;  // nature "p", by account code
    std::map<std::string, BalanceEntry> economic;     // nature "e", by account code
    double customers = 0;
    double suppliers = 0;
    double agents = 0;
};

// From the chart's running totals: every account's closing balance. False when a read
// failed (reported).
bool BalancesFromChart(Archives& archives, BalanceFigures& figures);
// From the journal: the movement lines of the year up to `to` (yyyymmdd), each counted for
// its account. False when a read failed (reported).
bool BalancesFromMovements(Archives& archives, const std::string& year, const std::string& to,
                           BalanceFigures& figures);

// One side of a statement as printed: its rows and the total they make.
struct BalanceSide {
    std::vector<BalanceEntry> rows;
    double total = 0;
};
// The two sides of the balance sheet (assets: debit balances and the customers' total;
// liabilities: credit balances as positive amounts and the suppliers' and agents' totals) or
// of the profit-and-loss statement (costs, revenues). A party total of the other sign goes
// to the other side. Accounts with a zero balance are left out.
std::pair<BalanceSide, BalanceSide> BalanceSheetSides(Archives& archives,
                                                      const BalanceFigures& figures);
std::pair<BalanceSide, BalanceSide> ProfitAndLossSides(const BalanceFigures& figures);

struct BalanceRequest {
    bool fromMovements = false;
    std::string to;  // yyyymmdd, with fromMovements
    bool euro = false;
    bool preview = false;
};

// The balance sheet ("SITUAZIONE PATRIMONIALE") followed on a new page by the
// profit-and-loss statement ("PROFITTI E PERDITE"), each closed by the year's result on its
// smaller side and "Totale a pareggio" on both. False when nothing was printed.
bool PrintBalanceSheet(Session& session, ReportSink& sink, const BalanceRequest& request);

// BIL, "Stampa Bilancio".
class BalanceSheetPrint : public PrintScreen {
  public:
    static constexpr const char* kFromChart = "Option1";
    static constexpr const char* kFromMovements = "Option2";
    static constexpr const char* kDate = "text1";
    static constexpr const char* kEuro = "Check1";

    explicit BalanceSheetPrint(Session& session);
    static FormSpec layout();
    void load() override;

  protected:
    void printRequested() override;
};

}  // namespace zelvo
