#include <gtest/gtest.h>

#include "YearFixture.h"
#include "posting/BalanceCheck.h"
#include "posting/DateChecks.h"

namespace zelvo {
namespace {

TEST(DateChecksTest, CalendarAndYearRange) {
    struct Case {
        const char* text;
        int minYear;
        int maxYear;
        bool valid;
    };
    // The days of movement_dates and the working year of journal_bad_input are the scripts'.
    const Case cases[] = {
        {"29/02/2024", 1950, 2050, true},  {"29/02/1900", 1900, 2050, false},
        {"30/02/2024", 1950, 2050, false}, {"30/04/2026", 1950, 2050, true},
        {"31/12/2026", 1950, 2050, true},  {"00/01/2026", 1950, 2050, false},
        {"01/13/2026", 1950, 2050, false}, {"01/01/1950", 1950, 2050, true},
        {"1/1/2026", 1950, 2050, false},   {"__/03/2026", 1950, 2050, false},
        {"", 1950, 2050, false},           {"aa/bb/cccc", 1950, 2050, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidDateText(c.text, c.minYear, c.maxYear), c.valid) << c.text;
    }
}

TEST(DateChecksTest, EmptyMasksAndZeroDatesAreClearedAndRefused) {
    test::DataPlace dir;
    test::Year year(dir.prefix());
    for (std::string text : {"__/__/____", "__/__/__", "00/00/0000", "0"}) {
        std::string t = text;
        year.dialogs.clear();
        EXPECT_FALSE(CheckDocumentDate(year.session(), t)) << text;
        EXPECT_EQ(t, "") << text;
        ASSERT_EQ(year.dialogs.boxes().size(), 1U);
        EXPECT_EQ(year.dialogs.boxes()[0].text, "La data inserita non è valida");
        EXPECT_EQ(year.dialogs.beeps(), 1);
    }
    std::string other = "10/03/2025";
    EXPECT_FALSE(CheckRegistrationDate(year.session(), other));
    std::string ours = "10/03/2026";
    EXPECT_TRUE(CheckRegistrationDate(year.session(), ours));
}

TEST(DateChecksTest, JournalPrintedWarnsOnAndBeforeTheLastPrintedDay) {
    test::DataPlace dir;
    test::Year year(dir.prefix());
    Archives& a = year.archives();
    a.clearWriteBuffer(arc::kPr);
    a.writeBuffer(arc::kPr).setText(prf::kText, "20260331");
    ASSERT_EQ(a.put(arc::kPr, "giornale", isam::mode::kWrite), 0);
    // The day printed and the day after are the journal_definitive script's.
    for (const auto& [date, warned] : {std::pair{"01/01/2026", true}}) {
        year.dialogs.clear();
        CheckJournalPrinted(year.session(), date);
        ASSERT_EQ(year.dialogs.boxes().size(), warned ? 1U : 0U) << date;
        if (warned) {
            EXPECT_EQ(year.dialogs.boxes()[0].text,
                      "Il giornale di contabilità è stato stampato al 31/03/2026");
            EXPECT_EQ(year.dialogs.boxes()[0].title, "ATTENZIONE");
        }
    }
}

TEST(DateChecksTest, APrintedPurchaseRegisterMonthOnlyWarns) {
    test::DataPlace dir;
    test::Year year(dir.prefix());
    year.session().values().monthNames[3] = "Marzo";
    Archives& a = year.archives();
    a.clearWriteBuffer(arc::kPr);
    a.writeBuffer(arc::kPr).setText(prf::kText, "03");
    ASSERT_EQ(a.put(arc::kPr, "regia2", isam::mode::kWrite), 0);
    // The month printed and the month after are the vat_purchase_register script's.
    for (const auto& [date, section, warned] :
         {std::tuple{"10/02/2026", "2", true}, std::tuple{"10/03/2026", "1", false}}) {
        year.dialogs.clear();
        CheckPurchaseRegisterPrinted(year.session(), date, section);
        ASSERT_EQ(year.dialogs.boxes().size(), warned ? 1U : 0U) << date << " " << section;
        if (warned) {
            EXPECT_EQ(year.dialogs.boxes()[0].text,
                      "Il registro iva acquisti è stato stampato al mese di Marzo");
        }
    }
}

struct BalanceCase {
    const char* name;
    std::vector<BalanceRow> rows;
    const char* message;  // nullptr: no message
    const char* title;
    int row;
    int column;
};

class BalanceTest : public ::testing::TestWithParam<BalanceCase> {};

TEST_P(BalanceTest, RowChecksComeInTheirOrderBeforeTheImbalance) {
    const BalanceCase& c = GetParam();
    ScriptedDialogs d;
    BalanceResult r = CheckBalance(d, c.rows);
    EXPECT_EQ(r.balanceError, c.message != nullptr);
    if (c.message == nullptr) {
        EXPECT_TRUE(d.events().empty());
        return;
    }
    ASSERT_EQ(d.boxes().size(), 1U);
    EXPECT_EQ(d.boxes()[0].text, c.message);
    EXPECT_EQ(d.boxes()[0].title, c.title);
    EXPECT_EQ(d.beeps(), 1);
    if (c.row >= 0) {
        EXPECT_EQ(r.errorRow, c.row);
        EXPECT_EQ(r.errorColumn, c.column);
    }
}

// One lira short and an amount without its account are generic_movement's and movement_rows'.
INSTANTIATE_TEST_SUITE_P(
    Grids, BalanceTest,
    ::testing::Values(
        BalanceCase{"balanced", {{"Cassa", 100, 0}, {"Banca", 0, 100}}, nullptr, nullptr, -1, 0},
        BalanceCase{
            "credit heavy", {{"Cassa", 100, 0}, {"Banca", 0, 150.5}}, " 50.5", "SBILANCIO", -1, 0},
        BalanceCase{"account without amount before both",
                    {{"Cassa", 5, 5}, {"Banca", 0, 0}},
                    "E' STATO INSERITO UN CONTO MA NON L'IMPORTO",
                    "Errore",
                    1,
                    2},
        BalanceCase{"both sides even when balanced",
                    {{"Cassa", 5, 5}, {"Banca", 0, 0}, {"", 0, 0}},
                    "E' STATO INSERITO UN CONTO MA NON L'IMPORTO",
                    "Errore",
                    1,
                    2},
        BalanceCase{"both sides",
                    {{"Cassa", 10, 0}, {"Banca", 3, 3}, {"Erario", 0, 10}},
                    "E' STATO INSERITO UN IMPORTO SIA IN DARE CHE IN AVERE",
                    "Errore",
                    1,
                    2}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n) {
            if (ch == ' ') {
                ch = '_';
            }
        }
        return n;
    });

}  // namespace
}  // namespace zelvo
