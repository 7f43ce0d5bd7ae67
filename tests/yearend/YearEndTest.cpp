#include <gtest/gtest.h>

#include <map>
#include <random>

#include "YearendFixture.h"
#include "base/NumberText.h"
#include "yearend/NewYear.h"
#include "yearend/OpenItems.h"
#include "yearend/RunningTotals.h"
#include "yearend/YearClosing.h"

namespace zelvo {
namespace {

using test::AddItem;
using test::Numbers;
using test::Station;

// Items the year end needs beside the predefined chart.
constexpr const char* kProfitAndLoss = "00051";
constexpr const char* kClosingBalanceSheet = "00052";
constexpr const char* kOpeningBalanceSheet = "00053";
constexpr const char* kProfit = "00054";
constexpr const char* kCash = "00055";
const std::vector<std::string> kCustomers = {"00056", "00057", "00058"};

void AddYearEndItems(Archives& a) {
    AddItem(a, kProfitAndLoss, "Profitti e perdite", "s", "e", "00009", "00003");
    AddItem(a, kClosingBalanceSheet, "Bilancio di chiusura", "s", "p", "00008", "00002");
    AddItem(a, kOpeningBalanceSheet, "Bilancio di apertura", "s", "p", "00008", "00002");
    AddItem(a, kProfit, "Utile d'esercizio", "s", "p", "00008", "00002");
    AddItem(a, kCash, "Cassa", "s", "p", "00021", "00001");
    for (size_t i = 0; i < kCustomers.size(); ++i) {
        AddItem(a, kCustomers[i], "Cliente " + std::to_string(i), "c", "p", "00005", "00001");
    }
}

JournalEntry Entry(const std::string& date, const std::string& doc,
                   std::vector<JournalLine> lines) {
    JournalEntry e;
    e.regDate = date;
    e.docNumber = doc;
    e.docDate = date;
    e.causal = "mg";
    e.lines = std::move(lines);
    return e;
}

// A year of invoices to customers, some paid in full, some in part, some not at all, and of
// costs paid in cash. The balances of the items whose documents stay open, by item.
std::map<std::string, double> GenerateYear(Session& s) {
    std::mt19937 random(19);
    PostingEngine engine(s);
    std::map<std::string, double> open;
    for (int doc = 1; doc <= 90; ++doc) {
        const std::string& customer = kCustomers[random() % kCustomers.size()];
        const double amount = 1000 + random() % 90000;
        const std::string date =
            Format(1 + doc % 28, "00") + "/" + Format(1 + doc % 11, "00") + "/2026";
        const std::string number = std::to_string(doc);
        engine.post(Entry(date, number,
                          {{customer, amount, 0, "Fattura"}, {"00016", 0, amount, "Fattura"}}));
        const double paid = doc % 3 == 0 ? 0 : doc % 3 == 1 ? amount : amount / 2;
        if (paid != 0) {
            // Same document: the payment carries the invoice's date and number.
            engine.post(
                Entry(date, number, {{kCash, paid, 0, "Incasso"}, {customer, 0, paid, "Incasso"}}));
        }
        open[customer] += amount - paid;
        const double cost = 500 + random() % 20000;
        engine.post(
            Entry(date, "9" + number, {{"00020", cost, 0, "Spesa"}, {kCash, 0, cost, "Spesa"}}));
    }
    return open;
}

void RunClosing(Session& s, const ClosingKind& kind, const std::string& date,
                const std::string& transit = {}) {
    ClosingScreen screen(s, kind);
    screen.load();
    screen.form().input(ClosingScreen::kRegDate, date);
    if (!transit.empty()) {
        screen.form().input(ClosingScreen::kTransit, transit);
    }
    screen.form().input(ClosingScreen::kDocNumber, "1");
    screen.click(ClosingScreen::kRun);
    EXPECT_TRUE(screen.closeRequested()) << kind.screen;
    screen.unload();
}

// Every item's closing balance, by number.
std::map<std::string, double> Balances(Archives& a, bool subAccountsOnly) {
    std::map<std::string, double> out;
    a.scan(arc::kPc, 0, "", [&](const std::string& key, const isam::Record& r) {
        const std::string& kind = r.text(chart::kKind);
        if (!subAccountsOnly || (kind != "m" && kind != "cc")) {
            out[key] = r.number(chart::kClosingBalance);
        }
        return true;
    });
    return out;
}

std::string NatureOf(Archives& a, const std::string& item) {
    EXPECT_EQ(a.getByKey(arc::kPc, item), 0);
    return a.readBuffer(arc::kPc).text(chart::kNature);
}

std::map<std::string, std::pair<double, double>> Totals(Archives& a) {
    std::map<std::string, std::pair<double, double>> out;
    a.scan(arc::kPc, 0, "", [&](const std::string& key, const isam::Record& r) {
        out[key] = {r.number(chart::kProgressiveDebit), r.number(chart::kProgressiveCredit)};
        return true;
    });
    return out;
}

// A whole year through its end: closing of the income statement, the profit to its item,
// the new year, the closing of the balance sheet, the opening registration and the open items.
TEST(YearEnd, AGeneratedYearClosesAndOpensWithEqualBalances) {
    test::TempDir dir;
    test::Year old(dir.prefix());
    AddYearEndItems(old.archives());
    const std::map<std::string, double> open = GenerateYear(old.session());
    Archives& a = old.archives();
    const double revenue = -Numbers(a, "00016")[3];
    const double costs = Numbers(a, "00020")[3];

    RunClosing(old.session(), IncomeClosing(), "31/12/2026");
    ASSERT_EQ(old.dialogs.boxes().size(), 1U);  // the reminder of the profit entry
    for (const auto& [item, balance] : Balances(a, true)) {
        if (item != kProfitAndLoss && NatureOf(a, item) == "e") {
            EXPECT_EQ(balance, 0) << item;
        }
    }
    EXPECT_EQ(Numbers(a, kProfitAndLoss)[3], -(revenue - costs));
    EXPECT_EQ(test::YearFlag(a, yearrec::kIncomeClosed), "n");
    const double profit = revenue - costs;
    PostingEngine(old.session())
        .post(Entry("31/12/2026", "2",
                    {{kProfitAndLoss, profit, 0, "Utile"}, {kProfit, 0, profit, "Utile"}}));
    const std::map<std::string, double> closing = Balances(a, false);

    ASSERT_EQ(OpenNextYear(old.session(), false), YearOpening::Opened);
    RunClosing(old.session(), BalanceSheetClosing(), "31/12/2026");
    for (const auto& [item, balance] : Balances(a, true)) {
        EXPECT_EQ(balance, 0) << item;  // the balance sheet balances: the transit ends at 0
    }

    Station next(dir.prefix(), "2027");
    Archives& n = next.archives();
    for (const auto& [item, balance] : closing) {
        EXPECT_EQ(Numbers(n, item)[0], NatureOf(a, item) == "e" ? 0 : balance) << item;
    }
    EXPECT_EQ(Numbers(n, kProfit)[0], -profit);
    EXPECT_EQ(Numbers(n, "00016")[0], 0);

    RunClosing(next.session(), OpeningEntry(), "01/01/2027", "Bilancio di apertura");
    EXPECT_TRUE(RebuildRunningTotals(n, "2027").done);
    for (const auto& [item, balance] : Balances(n, false)) {
        EXPECT_EQ(balance, Numbers(n, item)[0]) << item;
    }
    EXPECT_EQ(Numbers(n, kOpeningBalanceSheet)[3], 0);
    EXPECT_EQ(test::YearFlag(n, yearrec::kOpeningPosted), "n");

    const auto totals = Totals(n);
    const TransferResult moved = TransferOpenItems(next.session());
    EXPECT_TRUE(moved.done);
    EXPECT_GT(moved.lines, 0);
    EXPECT_EQ(Totals(n), totals);  // no running total moves
    std::map<std::string, double> carried;
    n.scan(arc::kMc, 0, "", [&](const std::string&, const isam::Record& r) {
        if (r.text(mcf::kRegDate).compare(0, 4, "2026") == 0) {
            carried[r.text(mcf::kAccount)] += r.number(mcf::kDebit) - r.number(mcf::kCredit);
        }
        return true;
    });
    for (const std::string& customer : kCustomers) {
        EXPECT_EQ(carried[customer], open.at(customer)) << customer;
        EXPECT_EQ(carried[customer], Numbers(n, customer)[0]) << customer;
    }
    EXPECT_EQ(carried.count(kCash), 0U);
    EXPECT_EQ(test::YearFlag(n, yearrec::kOpenItemsMoved), "n");
}

}  // namespace
}  // namespace zelvo
