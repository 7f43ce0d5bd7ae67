// The settlement arithmetic: rounding, the carried balance and its minimum, the periods,
// ventilation, and what a definitive settlement stores.

#include <gtest/gtest.h>

#include <set>

#include "VatBooksFixture.h"
#include "support/Child.h"
#include "vat/Settlement.h"
#include "vat/VatBalanceScreens.h"

namespace zelvo {
namespace {

struct Rounding {
    double vat;
    double rounded;
};
class RoundVatTest : public ::testing::TestWithParam<Rounding> {};
TEST_P(RoundVatTest, RoundsToThousandsWithAnExactHalfDown) {
    EXPECT_EQ(RoundVat(GetParam().vat), GetParam().rounded);
}
INSTANTIATE_TEST_SUITE_P(Table, RoundVatTest,
                         ::testing::Values(Rounding{1500, 1000}, Rounding{1600, 2000},
                                           Rounding{1501, 2000}, Rounding{499, 0}, Rounding{0, 0},
                                           Rounding{2500, 2000}, Rounding{123456789, 123457000}));

struct Carry {
    double result;
    bool stored;
};
class StoresResultTest : public ::testing::TestWithParam<Carry> {};
TEST_P(StoresResultTest, CreditsAndDebitsBelowTheMinimumAreCarried) {
    EXPECT_EQ(StoresResult(GetParam().result, 50000), GetParam().stored);
}
INSTANTIATE_TEST_SUITE_P(Table, StoresResultTest,
                         ::testing::Values(Carry{1, true}, Carry{900000, true}, Carry{0, true},
                                           Carry{-30000, true}, Carry{-49999, true},
                                           Carry{-50000, false}, Carry{-80000, false}));

struct PeriodCase {
    VatPeriod period;
    std::vector<std::string> months;
    int position;
    int previous;
};
class VatPeriodTest : public ::testing::TestWithParam<PeriodCase> {};
TEST_P(VatPeriodTest, CoversItsMonthsAndStartsFromThePeriodBefore) {
    const PeriodCase& c = GetParam();
    EXPECT_EQ(c.period.months(), c.months);
    EXPECT_EQ(c.period.position(), c.position);
    EXPECT_EQ(c.period.previousPosition(), c.previous);
}
INSTANTIATE_TEST_SUITE_P(
    Table, VatPeriodTest,
    ::testing::Values(PeriodCase{{VatPeriod::Month, 1}, {"01"}, 1, 13},
                      PeriodCase{{VatPeriod::Month, 12}, {"12"}, 12, 11},
                      PeriodCase{{VatPeriod::Quarter, 1}, {"01", "02", "03"}, 1, 13},
                      PeriodCase{{VatPeriod::Quarter, 4}, {"10", "11", "12"}, 4, 3},
                      PeriodCase{
                          {VatPeriod::Year, 0},
                          {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12"},
                          13,
                          13}));

class SettlementTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // March: sales 20% and 4%, purchases normal, non-deductible and exempt, a receipt.
        y.row(VatBook::Sales, "10/03/2026", "1", "20", 100000, 20000);
        y.row(VatBook::Sales, "10/03/2026", "1", "4", 50000, 2000);
        y.row(VatBook::Sales, "12/02/2026", "2", "20", 7000, 1400);
        y.row(VatBook::Sales, "20/03/2026", "3", "20", 1000, 200, "2");
        y.row(VatBook::Purchases, "05/03/2026", "1", "20", 40000, 8000);
        y.row(VatBook::Purchases, "05/03/2026", "1", "I20", 10000, 2000);
        y.row(VatBook::Purchases, "05/03/2026", "1", "E10", 3000, 0);
        y.row(VatBook::Purchases, "06/01/2026", "2", "4", 50000, 2000);
        y.row(VatBook::Receipts, "31/03/2026", "1", "10", 10000, 1000);
    }
    Settlement compute(SettlementRequest request) {
        auto s = ComputeSettlement(y.session(), request);
        EXPECT_TRUE(s.has_value());
        return s.value_or(Settlement{});
    }
    bool settle(const SettlementPrint& print) {
        TextReportSink sink((dir.path() / "liquidazione.txt").string());
        return RunSettlement(y.session(), sink, print);
    }
    test::TempDir dir;
    test::VatYear y{dir.prefix()};
};

TEST_F(SettlementTest, AMonthAddsItsRowsByRegisterAndRoundsEachVatTotal) {
    y.setBalance(2, 5000);
    const Settlement s = compute({.period = {VatPeriod::Month, 3}});
    // Sales 20,000 + 2,000 + 200 (section 2 too); purchases only the deductible 8,000.
    EXPECT_EQ(s.sales.vatTotal(), 22200);
    EXPECT_EQ(s.salesVat, 22000);
    EXPECT_EQ(s.purchases.vatTotal(), 10000);
    EXPECT_EQ(s.purchaseVat, 8000);
    EXPECT_EQ(s.receiptsVat, 1000);
    EXPECT_EQ(s.previous, 5000);
    EXPECT_EQ(s.result, 5000 + 8000 - 22000 - 1000);
}

TEST_F(SettlementTest, AQuarterAddsItsThreeMonthsAndStartsFromThePreviousYearsCredit) {
    y.setBalance(13, 40000);
    y.setBalance(3, 999);  // March's own balance is not where the first quarter starts
    const Settlement s = compute({.period = {VatPeriod::Quarter, 1}});
    EXPECT_EQ(s.previous, 40000);
    EXPECT_EQ(s.sales.vatTotal(), 23600);
    EXPECT_EQ(s.salesVat, 24000);
    EXPECT_EQ(s.purchaseVat, 10000);
    EXPECT_EQ(s.result, 40000 + 10000 - 24000 - 1000);
}

TEST_F(SettlementTest, OneSectionTakesOnlyItsRows) {
    const Settlement s = compute({.period = {VatPeriod::Month, 3}, .section = "2"});
    EXPECT_EQ(s.sales.vatTotal(), 200);
    EXPECT_EQ(s.purchases.vatTotal(), 0);
    EXPECT_EQ(s.receiptsVat, 0);
}

TEST_F(SettlementTest, VentilationSharesTheReceiptsByTheDeductiblePurchasesOfTheYearSoFar) {
    // Base: 20% 48,000 (March), 4% 52,000 (January); "E10" has no rate, "I20" is not
    // deductible. R = 100,000: 20% gets 48,000 -> 40,000 + 8,000; 4% 52,000 -> 50,000 + 2,000.
    const Settlement s =
        compute({.period = {VatPeriod::Month, 3}, .ventilation = true, .receiptsAmount = 100000});
    ASSERT_NE(s.ventilated.find("20"), nullptr);
    EXPECT_EQ(s.ventilated.find("20")->taxable, 40000);
    EXPECT_EQ(s.ventilated.find("20")->vat, 8000);
    EXPECT_EQ(s.ventilated.find("4")->vat, 2000);
    EXPECT_EQ(s.receiptsVat, 10000);
    // January's base holds only its own purchases; a code left out leaves the base.
    const Settlement jan = compute({.period = {VatPeriod::Month, 1},
                                    .ventilation = true,
                                    .receiptsAmount = 52000,
                                    .excludedCodes = {"20"}});
    EXPECT_EQ(jan.ventilated.find("4")->taxable, 50000);
    EXPECT_EQ(jan.ventilated.find("20")->taxable, 0);
}

TEST_F(SettlementTest, TheDefinitiveSettlementStoresCreditsAndSmallDebitsOnly) {
    // March: 8,000 - 22,000 - 1,000 = -15,000, below the minimum of 50,000: carried.
    y.session().values().minimumVatPayable = 50000;
    SettlementPrint print{.request = {.period = {VatPeriod::Month, 3}}};
    ASSERT_TRUE(settle(print));
    EXPECT_EQ(y.balance(3), 0) << "a trial settlement stores nothing";
    EXPECT_EQ(y.printedMonth("liqiva"), "?");
    print.definitive = true;
    ASSERT_TRUE(settle(print));
    EXPECT_EQ(y.balance(3), -15000);
    EXPECT_EQ(y.printedMonth("liqiva"), "03");
    // April starts from it; with a minimum of 10,000 its debit is to be paid, not stored,
    // and April is settled all the same.
    const Settlement april = compute({.period = {VatPeriod::Month, 4}});
    EXPECT_EQ(april.previous, -15000);
    y.session().values().minimumVatPayable = 10000;
    print.request.period = {VatPeriod::Month, 4};
    ASSERT_TRUE(settle(print));
    EXPECT_EQ(y.balance(4), 0);
    EXPECT_EQ(y.printedMonth("liqiva"), "04");
    EXPECT_TRUE(y.dialogs.boxes().empty());
}

// A period that ends at or before the month settled is refused, however it is asked for; a
// trial print of it is still free.
TEST_F(SettlementTest, APeriodAlreadySettledIsRefusedAndNothingChanges) {
    y.session().values().minimumVatPayable = 50000;
    ASSERT_TRUE(settle({.request = {.period = {VatPeriod::Month, 3}}, .definitive = true}));
    y.setBalance(3, 1234);
    for (const VatPeriod period : {VatPeriod{VatPeriod::Month, 3}, VatPeriod{VatPeriod::Month, 2},
                                   VatPeriod{VatPeriod::Quarter, 1}}) {
        y.dialogs.clear();
        EXPECT_FALSE(settle({.request = {.period = period}, .definitive = true}));
        ASSERT_EQ(y.dialogs.boxes().size(), 1u);
        EXPECT_EQ(y.dialogs.boxes()[0].text,
                  "La liquidazione iva è stata stampata al mese di Marzo");
        EXPECT_EQ(y.dialogs.boxes()[0].title, "ATTENZIONE");
    }
    EXPECT_EQ(y.balance(3), 1234);
    EXPECT_EQ(y.printedMonth("liqiva"), "03");
    EXPECT_TRUE(settle({.request = {.period = {VatPeriod::Month, 3}}}));
    // The second quarter ends in June: it goes on.
    EXPECT_TRUE(settle({.request = {.period = {VatPeriod::Quarter, 2}}, .definitive = true}));
    EXPECT_EQ(y.printedMonth("liqiva"), "06");
}

TEST_F(SettlementTest, ACancelledDocumentStoresNothing) {
    y.setBalance(2, 100000);
    TextReportSink sink((dir.path() / "missing" / "liquidazione.txt").string());
    SettlementPrint print{.request = {.period = {VatPeriod::Month, 3}}, .definitive = true};
    EXPECT_FALSE(RunSettlement(y.session(), sink, print));
    EXPECT_EQ(y.balance(3), 0);
    EXPECT_EQ(y.printedMonth("liqiva"), "?");
}

// Two stations settle March definitively while a third enters the previous year's credit:
// one settles, the other is told March is settled, and the credit written meanwhile is kept.
TEST_F(SettlementTest, TwoStationsSettlingOnePeriodSettleItOnceAndLoseNoBalanceChange) {
    std::vector<std::unique_ptr<test::Child>> stations;
    for (int i = 0; i < 3; ++i) {
        stations.push_back(std::make_unique<test::Child>([this, i](test::Child& child) {
            test::VatYear station(dir.prefix());
            station.session().values().minimumVatPayable = 50000;
            if (i == 2) {
                return SetVatBalance(station.archives(), 13, 7000) ? 0 : 1;
            }
            TextReportSink sink((dir.path() / ("s" + std::to_string(i) + ".txt")).string());
            SettlementPrint print{.request = {.period = {VatPeriod::Month, 3}}, .definitive = true};
            if (RunSettlement(station.session(), sink, print)) {
                child.tell(station.dialogs.boxes().empty() ? "settled" : "settled with a message");
            } else {
                const auto& boxes = station.dialogs.boxes();
                child.tell(boxes.size() == 1 ? boxes[0].text : "refused without the message");
            }
            return 0;
        }));
    }
    std::multiset<std::string> answers;
    for (int i = 0; i < 2; ++i) {
        answers.insert(stations[static_cast<size_t>(i)]->hear());
    }
    for (auto& s : stations) {
        EXPECT_EQ(s->wait(), 0);
    }
    EXPECT_EQ(answers, (std::multiset<std::string>{
                           "settled", "La liquidazione iva è stata stampata al mese di Marzo"}));
    EXPECT_EQ(y.balance(3), -15000);
    EXPECT_EQ(y.balance(13), 7000);
    EXPECT_EQ(y.printedMonth("liqiva"), "03");
}

}  // namespace
}  // namespace zelvo
