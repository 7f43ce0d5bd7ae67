// The account card and the balance sheet on a year posted through the entry screens: every
// card ends on its account's running totals, and the balance sheet adds up the sottoconti.

#include <gtest/gtest.h>

#include "masterdata/Chart.h"
#include "posting/YearFixture.h"
#include "reports/AccountCard.h"
#include "reports/BalanceSheet.h"
#include "support/TempDir.h"
#include "tools/bench/YearGenerator.h"

namespace zelvo {
namespace {

class GeneratedYearTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir = new test::TempDir;
        std::string error;
        ASSERT_TRUE(bench::GenerateDataDirectory(dir->prefix(), "2026", 3000, 23, error)) << error;
    }
    static void TearDownTestSuite() { delete dir; }

    static test::TempDir* dir;
    test::Year year{dir->prefix()};
};
test::TempDir* GeneratedYearTest::dir = nullptr;

TEST_F(GeneratedYearTest, EveryCardEndsOnItsAccountsRunningTotals) {
    Archives& a = year.archives();
    const CardYear y = ReadCardYear(a, "2026");
    CardRequest all{CardAccounts::All};
    int moved = 0;
    for (const chart::Item& item : CardAccountsOf(a, all)) {
        CardBalance balance(y, item.openingBalance);
        double debit = 0, credit = 0;
        ASSERT_TRUE(ForEachAccountMovement(a, item.number, "", "", 1,
                                           [&](const std::string&, const isam::Record& r) {
                                               balance.add(r);
                                               debit += r.number(mcf::kDebit);
                                               credit += r.number(mcf::kCredit);
                                               return true;
                                           }));
        moved += debit != 0 || credit != 0;
        EXPECT_EQ(balance.balance(), item.closingBalance) << item.description;
        EXPECT_EQ(debit, item.progressiveDebit) << item.description;
        EXPECT_EQ(credit, item.progressiveCredit) << item.description;
    }
    EXPECT_GT(moved, 20);
}

TEST_F(GeneratedYearTest, TheBalanceSheetAddsUpTheSottocontiAndBothStatementsBalance) {
    Archives& a = year.archives();
    BalanceFigures chart;
    ASSERT_TRUE(BalancesFromChart(a, chart));
    // Every ledger account by kind and nature, straight from the chart.
    double patrimonial = 0, economic = 0, parties = 0;
    for (const char* kind : {chart::kSottoconto, chart::kCustomer, chart::kSupplier, "ag"}) {
        for (const chart::Item& i : chart::ItemsOfKind(a, kind)) {
            if (i.kind != chart::kSottoconto) {
                parties += i.closingBalance;
            } else {
                (i.nature == "p" ? patrimonial : economic) += i.closingBalance;
            }
        }
    }
    auto [assets, liabilities] = BalanceSheetSides(a, chart);
    auto [costs, revenues] = ProfitAndLossSides(chart);
    EXPECT_EQ(assets.total - liabilities.total, patrimonial + parties);
    EXPECT_EQ(costs.total - revenues.total, economic);
    EXPECT_GT(assets.total, 0);
    EXPECT_GT(revenues.total, 0);
    // Double entry: the year's profit on one statement is its profit on the other.
    EXPECT_EQ(assets.total - liabilities.total, revenues.total - costs.total);

    // Read from the movements up to the last day, the figures are the chart's.
    BalanceFigures movements;
    ASSERT_TRUE(BalancesFromMovements(a, "2026", "20261231", movements));
    EXPECT_EQ(movements.customers, chart.customers);
    EXPECT_EQ(movements.suppliers, chart.suppliers);
    auto [massets, mliabilities] = BalanceSheetSides(a, movements);
    EXPECT_EQ(massets.total, assets.total);
    EXPECT_EQ(mliabilities.total, liabilities.total);
}

}  // namespace
}  // namespace zelvo
