// The account card: its running balance (opening balance, movements before the range,
// the opening registration counted once), its printed layout, the selection of accounts,
// and the view's pages.

#include <gtest/gtest.h>

#include "base/NumberText.h"
#include "posting/YearFixture.h"
#include "reports/AccountCard.h"
#include "reports/AccountCardView.h"
#include "reports/CardLayout.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

std::string expected(const std::string& name) {
    return test::ReadFile(std::filesystem::path(ZELVO_REPORTS_EXPECTED) / name);
}

JournalEntry entry(const std::string& date, const std::string& causal,
                   std::vector<JournalLine> lines, const std::string& docNumber = "",
                   const std::string& docDate = "") {
    JournalEntry e;
    e.regDate = date;
    e.causal = causal;
    e.docNumber = docNumber;
    e.docDate = docDate;
    e.lines = std::move(lines);
    return e;
}

// "Crediti clienti ric. bancarie" (00022) starts the year with 1000 and moves in January,
// March and April; "Abbuoni su vendite" (00020) is its counterpart.
class AccountCardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session().values().today = "15/05/2026";
        setOpening("00022", 1000);
        post(entry("10/01/2026", "mg", {{"00022", 500, 0, "Gennaio"}, {"00020", 0, 500, "Gennaio"}},
                   "12", "09/01/2026"));
        post(entry("15/03/2026", "mg", {{"00022", 0, 200, "Marzo"}, {"00020", 200, 0, "Marzo"}}));
        post(entry("02/04/2026", "mg",
                   {{"00022", 3000, 0, "Aprile, una descrizione molto lunga che non ci sta"},
                    {"00020", 0, 3000, "Aprile"}},
                   "345", "01/04/2026"));
        year.dialogs.clear();
    }

    void setOpening(const std::string& number, double amount) {
        Archives& a = year.archives();
        ASSERT_EQ(a.getByKey(arc::kPc, number), 0);
        a.copyReadToWrite(arc::kPc);
        a.writeBuffer(arc::kPc).setNumber(chart::kOpeningBalance, amount);
        a.writeBuffer(arc::kPc).setNumber(chart::kClosingBalance, amount);
        ASSERT_EQ(a.put(arc::kPc, number, isam::mode::kRewrite), 0);
    }
    void post(const JournalEntry& e) { ASSERT_GT(PostingEngine(session()).post(e), 0); }
    void setYearRecord(const std::string& openingPosted, const std::string& openingDate) {
        Archives& a = year.archives();
        ASSERT_EQ(a.getByKey(arc::kCt, "1"), 0);
        a.copyReadToWrite(arc::kCt);
        a.writeBuffer(arc::kCt).setText(3, openingPosted);
        a.writeBuffer(arc::kCt).setText(5, openingDate);
        ASSERT_EQ(a.put(arc::kCt, "1", isam::mode::kRewrite), 0);
    }

    // The running balance after each movement of the account, from the first.
    std::vector<double> balances(const std::string& account) {
        const CardYear y = ReadCardYear(year.archives(), "2026");
        auto item = chart::ByNumber(year.archives(), account);
        CardBalance b(y, item->openingBalance);
        std::vector<double> out;
        ForEachAccountMovement(year.archives(), account, "", "", 1,
                               [&](const std::string&, const isam::Record& r) {
                                   out.push_back(b.add(r));
                                   return true;
                               });
        return out;
    }

    std::string print(const CardRequest& request, int linesPerPage = 60) {
        session().values().print.linesPerPage = linesPerPage;
        const auto path = dir.path() / "scheda.txt";
        TextReportSink sink(path.string());
        EXPECT_TRUE(PrintAccountCard(session(), sink, request));
        return test::ReadFile(path);
    }

    Session& session() { return year.session(); }
    test::TempDir dir;
    test::Year year{dir.prefix()};
};

TEST_F(AccountCardTest, TheRunningBalanceStartsFromTheOpeningBalance) {
    EXPECT_EQ(balances("00022"), (std::vector<double>{1500, 1300, 4300}));
    EXPECT_EQ(balances("00020"), (std::vector<double>{-500, -300, -3300}));
}

TEST_F(AccountCardTest, APostedOpeningRegistrationIsNotCountedTwice) {
    post(entry("01/01/2026", "ap", {{"00022", 1000, 0, "Apertura"}, {"00011", 0, 1000, "Ap"}}));
    // Not yet flagged as posted: the opening line adds to the opening balance.
    EXPECT_EQ(balances("00022"), (std::vector<double>{2000, 2500, 2300, 5300}));
    setYearRecord("n", "");
    EXPECT_EQ(balances("00022"), (std::vector<double>{1000, 1500, 1300, 4300}));
    // Only an "ap" line of the year's own opening date stands for the opening balance.
    setYearRecord("n", "20260102");
    EXPECT_EQ(balances("00022"), (std::vector<double>{2000, 2500, 2300, 5300}));
}

TEST_F(AccountCardTest, ACardFromMarchShowsOnlyItsRangeButItsBalanceHoldsTheYear) {
    // Nine lines a page: the heading and one row overflow it, so each row takes a page.
    EXPECT_EQ(print({CardAccounts::One, "00022", "20260301", "20260430"}, 9),
              expected("account_card_march.txt"));
}

TEST_F(AccountCardTest, EveryAccountOfTheChosenKindGetsItsOwnPagesAndZeroCardsCanBeLeftOut) {
    std::string out = print({CardAccounts::All, "", "20260101", "20261231"});
    // Two accounts moved; every other sottoconto prints an empty card.
    EXPECT_NE(out.find("Conto: 000010002100022 Crediti clienti ric. bancarie"), std::string::npos);
    EXPECT_NE(out.find("Conto: 000040001000020 Abbuoni su vendite"), std::string::npos);
    EXPECT_NE(out.find("Conto: 000020000800012 Iva vendite"), std::string::npos);
    out = print({CardAccounts::All, "", "20260101", "20261231", true});
    EXPECT_EQ(std::count(out.begin(), out.end(), '\f'), 1);
    EXPECT_EQ(out.find("Iva vendite"), std::string::npos);
    EXPECT_NE(out.find("Pag. 2"), std::string::npos);
    // No customer in the chart: the heading of an empty document only.
    out = print({CardAccounts::Customers, "", "20260101", "20261231", true});
    EXPECT_EQ(out.find("Totali periodo"), std::string::npos);
}

struct AmountCase {
    bool euro;
    double lire;
    const char* row;
    const char* balance;
};
class CardAmountsTest : public ::testing::TestWithParam<AmountCase> {};

TEST_P(CardAmountsTest, AmountsUseTheLireOrTheEuroMasks) {
    const CardAmounts amounts(GetParam().euro, 1936.27);
    EXPECT_EQ(amounts.row(GetParam().lire), GetParam().row);
    EXPECT_EQ(amounts.balance(GetParam().lire), GetParam().balance);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, CardAmountsTest,
    ::testing::Values(AmountCase{false, 0, "              ", "               0"},
                      AmountCase{false, -1234567, "    -1.234.567", "      -1.234.567"},
                      AmountCase{true, 0, "          0,00", "            0,00"},
                      AmountCase{true, 1936270, "      1.000,00", "        1.000,00"},
                      AmountCase{true, -1000, "         -0,52", "           -0,52"}));

TEST_F(AccountCardTest, TheViewReadsOnePageAtATimeAndCarriesTheBalanceAcrossPages) {
    for (int i = 0; i < 45; ++i) {
        post(entry("20/04/2026", "mg", {{"00012", 10, 0, "Riga"}, {"00020", 0, 10, "Riga"}}));
    }
    AccountCardView view(session());
    view.load();
    view.form().input(AccountCardView::kAccount, "iva vendite");
    view.leave(AccountCardView::kAccount);
    auto rows = view.form().items(AccountCardView::kRows);
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[19].substr(rows[19].size() - 16), "             200");
    EXPECT_TRUE(view.form().enabled(AccountCardView::kNext));
    EXPECT_EQ(view.form().text(AccountCardView::kClosing), "450");
    view.click(AccountCardView::kNext);
    view.click(AccountCardView::kNext);
    rows = view.form().items(AccountCardView::kRows);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[4].substr(rows[4].size() - 16), "             450");
    EXPECT_FALSE(view.form().enabled(AccountCardView::kNext));
    view.click(AccountCardView::kPrevious);
    EXPECT_EQ(view.form().items(AccountCardView::kRows)[0].substr(rows[4].size() - 16),
              "             210");

    // From April the first row already holds the earlier months; an unknown name shows
    // nothing.
    AccountCardView other(session(), "Crediti clienti ric. bancarie");
    other.load();
    EXPECT_EQ(other.layout().name, "visched1");
    ASSERT_EQ(other.form().items(AccountCardView::kRows).size(), 3u);
    other.form().input(AccountCardView::kFrom, "01/04/2026");
    other.leave(AccountCardView::kFrom);
    rows = other.form().items(AccountCardView::kRows);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], AccountCardView::cardRow(year.journal()[4], 4300));
    other.form().input(AccountCardView::kAccount, "Nessuno");
    other.leave(AccountCardView::kAccount);
    EXPECT_TRUE(other.form().items(AccountCardView::kRows).empty());
    EXPECT_EQ(other.form().text(AccountCardView::kOpening), "");
}

// A long card is read a page at a time: opening it reads its first page (and the row that
// tells there is more), every "Avanti" only the next, even where one date holds hundreds of
// movements; walking every page shows every movement once, with the running balance.
TEST_F(AccountCardTest, TheViewReadsOnlyThePageItShows) {
    constexpr int kSameDay = 240;
    constexpr int kMovements = kSameDay + 60;
    for (int i = 0; i < kMovements; ++i) {
        const std::string date =
            i < kSameDay ? "20/04/2026" : Format(1 + i % 28, "00") + "/05/2026";
        post(entry(date, "mg", {{"00012", 1, 0, "Riga"}, {"00020", 0, 1, "Riga"}}));
    }
    isam::RecordManager& rm = year.archives().recordManager();
    AccountCardView view(session());
    view.load();
    view.form().input(AccountCardView::kAccount, "iva vendite");
    std::uint64_t before = rm.recordsRead();
    view.leave(AccountCardView::kAccount);
    // The chart item and the card's rows: nothing of the pages after the first.
    EXPECT_LE(rm.recordsRead() - before, std::uint64_t{AccountCardView::kPageRows + 3});
    std::vector<std::string> shown = view.form().items(AccountCardView::kRows);
    int pages = 1;
    while (view.form().enabled(AccountCardView::kNext)) {
        before = rm.recordsRead();
        view.click(AccountCardView::kNext);
        EXPECT_LE(rm.recordsRead() - before, std::uint64_t{AccountCardView::kPageRows + 1})
            << "page " << pages + 1;
        const auto rows = view.form().items(AccountCardView::kRows);
        shown.insert(shown.end(), rows.begin(), rows.end());
        ++pages;
    }
    EXPECT_EQ(pages, kMovements / AccountCardView::kPageRows);
    ASSERT_EQ(shown.size(), static_cast<size_t>(kMovements));
    for (size_t i = 0; i < shown.size(); ++i) {
        ASSERT_EQ(shown[i].substr(shown[i].size() - 16),
                  PadLeft(Format(static_cast<double>(i + 1), "##,###,###,##0"), 16))
            << "row " << i;
    }
}

}  // namespace
}  // namespace zelvo
