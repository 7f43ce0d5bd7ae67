// The balance sheet and profit-and-loss statement of a small hand-made year: which side
// each balance goes to, the result that balances both statements, and the two ways of
// reading the balances.

#include <gtest/gtest.h>

#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"
#include "posting/YearFixture.h"
#include "reports/BalanceSheet.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

std::string expected(const std::string& name) {
    return test::ReadFile(std::filesystem::path(ZELVO_REPORTS_EXPECTED) / name);
}

JournalEntry entry(const std::string& date, std::vector<JournalLine> lines) {
    JournalEntry e;
    e.regDate = date;
    e.causal = "mg";
    e.lines = std::move(lines);
    return e;
}

// A customer buys for 100 plus 22 of VAT in February (revenue "Abbuoni su acquisti", 00015);
// in April a cost of 80 ("Abbuoni su vendite", 00020) is paid from 00022.
class BalanceSheetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session().values().today = "31/12/2026";
        Archives& a = year.archives();
        customer = chart::AddItem(
            a, chart::kCustomer, "Rossi Mario",
            [](isam::Record& r, const std::string& number) {
                r.setText(chart::kMastroNumber, "00001");
                r.setText(chart::kContoNumber, "00005");
                r.setText(chart::kNature, "p");
                r.setText(chart::kAccountCode, "0000100005" + number);
            },
            1, 2);
        ASSERT_FALSE(customer.empty());
        PostingEngine engine(session());
        ASSERT_GT(engine.post(entry("10/02/2026", {{customer, 122, 0, "Fattura"},
                                                   {"00015", 0, 100, "Fattura"},
                                                   {"00012", 0, 22, "Fattura"}})),
                  0);
        ASSERT_GT(engine.post(
                      entry("10/04/2026", {{"00020", 80, 0, "Spesa"}, {"00022", 0, 80, "Spesa"}})),
                  0);
        year.dialogs.clear();
    }

    std::string print(const BalanceRequest& request) {
        session().values().print.linesPerPage = 60;
        const auto path = dir.path() / "bilancio.txt";
        TextReportSink sink(path.string());
        EXPECT_TRUE(PrintBalanceSheet(session(), sink, request));
        return test::ReadFile(path);
    }

    Session& session() { return year.session(); }
    test::TempDir dir;
    test::Year year{dir.prefix()};
    std::string customer;
};

TEST_F(BalanceSheetTest, TheProfitStandsAmongTheLiabilitiesAndTheCostsAndBothSidesBalance) {
    EXPECT_EQ(print({}), expected("balance_sheet.txt"));
}

TEST_F(BalanceSheetTest, ADateInMarchIgnoresLaterMovementsAndTheChartTakesItsTotalsAsTheyStand) {
    BalanceFigures march;
    ASSERT_TRUE(BalancesFromMovements(year.archives(), "2026", "20260331", march));
    auto [costs, revenues] = ProfitAndLossSides(march);
    EXPECT_TRUE(costs.rows.empty());
    ASSERT_EQ(revenues.rows.size(), 1u);
    EXPECT_EQ(revenues.total, 100);
    EXPECT_EQ(march.customers, 122);

    // An opening balance is in the chart's running totals, not among the movements.
    Archives& a = year.archives();
    ASSERT_EQ(a.getByKey(arc::kPc, "00022"), 0);
    a.copyReadToWrite(arc::kPc);
    a.writeBuffer(arc::kPc).setNumber(chart::kClosingBalance, 500);
    ASSERT_EQ(a.put(arc::kPc, "00022", isam::mode::kRewrite), 0);
    BalanceFigures chart, year;
    ASSERT_TRUE(BalancesFromChart(a, chart));
    ASSERT_TRUE(BalancesFromMovements(a, "2026", "20261231", year));
    EXPECT_EQ(chart.patrimonial.at("000010002100022").balance, 500);
    EXPECT_EQ(year.patrimonial.at("000010002100022").balance, -80);
    // Assets 122 + 500, liabilities 22: a profit of 600 on the liabilities side, where the
    // statement of income shows 20 - the books balance only with the opening entry posted.
    auto [assets, liabilities] = BalanceSheetSides(a, chart);
    EXPECT_EQ(assets.total, 622);
    EXPECT_EQ(liabilities.total, 22);
}

TEST_F(BalanceSheetTest, ACustomersTotalInCreditGoesToTheLiabilitiesAndZeroBalancesAreLeftOut) {
    BalanceFigures f;
    f.customers = -50;
    f.suppliers = 30;
    f.patrimonial["000010002100022"] = {"000010002100022", "Zero", "00021", 0};
    auto [assets, liabilities] = BalanceSheetSides(year.archives(), f);
    ASSERT_EQ(assets.rows.size(), 1u);
    EXPECT_EQ(assets.rows[0].name, "Debiti verso fornitori");
    ASSERT_EQ(liabilities.rows.size(), 1u);
    EXPECT_EQ(liabilities.rows[0].name, "Crediti clienti");
    EXPECT_EQ(liabilities.rows[0].balance, 50);
}

TEST_F(BalanceSheetTest, InEuroEveryAmountIsConvertedAndShownWithTwoDecimals) {
    session().values().exchangeRate = 2;
    const std::string out = print({false, "", true, false});
    EXPECT_NE(out.find("Abbuoni su acquisti                      50,00"), std::string::npos) << out;
    EXPECT_NE(out.find("Totale a pareggio                        61,00"), std::string::npos) << out;
}

}  // namespace
}  // namespace zelvo
