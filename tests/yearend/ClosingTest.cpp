#include <gtest/gtest.h>

#include "YearendFixture.h"
#include "base/NumberText.h"
#include "yearend/NewYear.h"
#include "yearend/OpenItems.h"
#include "yearend/YearClosing.h"

namespace zelvo {
namespace {

using test::AddItem;
using test::Numbers;
using test::SetNumbers;
using test::Station;
using test::Year;

class ClosingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Archives& a = year.archives();
        AddItem(a, "00051", "Profitti e perdite", "s", "e");
        AddItem(a, "00052", "Bilancio di chiusura", "s", "p");
        PostingEngine engine(year.session());
        ASSERT_NE(engine.post(test::Movement("10/03/2026", {{"00011", 300, 0}, {"00016", 0, 300}})),
                  0);
        ASSERT_NE(engine.post(test::Movement("11/03/2026", {{"00020", 120, 0}, {"00012", 0, 120}})),
                  0);
    }
    std::vector<isam::Record> linesOf(const std::string& causal) {
        std::vector<isam::Record> out;
        for (const isam::Record& r : year.journal()) {
            if (r.text(mcf::kCausal) == causal) {
                out.push_back(r);
            }
        }
        return out;
    }
    std::unique_ptr<ClosingScreen> open(const ClosingKind& kind) {
        auto s = std::make_unique<ClosingScreen>(year.session(), kind);
        s->load();
        s->form().input(ClosingScreen::kRegDate, "31/12/2026");
        s->form().input(ClosingScreen::kDocNumber, "12");
        return s;
    }

    test::TempDir dir;
    Year year{dir.prefix()};
};

// The transit each screen proposes and the reminder of the profit entry are the
// year_closing script's.
TEST_F(ClosingTest, IncomeClosingMovesEveryIncomeBalanceToTheTransit) {
    auto s = open(IncomeClosing());
    s->click(ClosingScreen::kRun);
    EXPECT_TRUE(s->closeRequested());
    const auto lines = linesOf("ce");
    ASSERT_EQ(lines.size(), 4U);  // 00016 and 00020, in description order, each with its transit
    EXPECT_EQ(lines[0].text(mcf::kAccount), "00020");  // "Abbuoni su vendite"
    EXPECT_EQ(lines[0].number(mcf::kCredit), 120);
    EXPECT_EQ(lines[1].text(mcf::kAccount), "00051");
    EXPECT_EQ(lines[1].number(mcf::kDebit), 120);
    EXPECT_EQ(lines[2].text(mcf::kAccount), "00016");
    EXPECT_EQ(lines[2].number(mcf::kDebit), 300);
    EXPECT_EQ(lines[3].number(mcf::kCredit), 300);
    for (const isam::Record& l : lines) {
        EXPECT_EQ(l.text(mcf::kDocNumber), "000012");
        EXPECT_EQ(l.text(mcf::kDocDate), "20261231");
        EXPECT_EQ(l.text(mcf::kDescription), "Chiusura a profitti e perdite");
        EXPECT_EQ(l.text(mcf::kRegNumber), lines[0].text(mcf::kRegNumber));
    }
    EXPECT_EQ(Numbers(year.archives(), "00051")[3], -180);
    // The mastri follow their sub-accounts' lines.
    EXPECT_EQ(Numbers(year.archives(), "00003")[3], 0);
    EXPECT_EQ(Numbers(year.archives(), "00004")[3], 0);
    EXPECT_EQ(test::YearFlag(year.archives(), yearrec::kIncomeClosed), "n");
    EXPECT_EQ(test::YearFlag(year.archives(), yearrec::kBalanceClosed), "");
}

TEST_F(ClosingTest, BalanceSheetClosingSkipsItemsWithoutABalance) {
    auto s = open(BalanceSheetClosing());
    s->click(ClosingScreen::kRun);
    const auto lines = linesOf("cp");
    ASSERT_EQ(lines.size(), 4U);  // 00011 and 00012; 00013 and 00014 are at 0
    EXPECT_TRUE(year.dialogs.boxes().empty());
    EXPECT_EQ(Numbers(year.archives(), "00011")[3], 0);
    EXPECT_EQ(Numbers(year.archives(), "00012")[3], 0);
    EXPECT_EQ(Numbers(year.archives(), "00052")[3], 180);  // the income items are still open
    EXPECT_EQ(test::YearFlag(year.archives(), yearrec::kBalanceClosed), "n");
}

// A transit that is no sottoconto sends the focus back to it, without a message, and writes
// nothing: no line, no flag. A conto as transit, and a second run, are the year_closing
// script's.
class ClosingRefusalTest : public ClosingTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ClosingRefusalTest, WritesNothing) {
    const auto journal = year.journal();
    auto s = open(IncomeClosing());
    s->form().input(ClosingScreen::kTransit, GetParam());
    s->click(ClosingScreen::kRun);
    EXPECT_EQ(year.journal(), journal);
    EXPECT_FALSE(s->closeRequested());
    EXPECT_TRUE(year.dialogs.boxes().empty());
    EXPECT_EQ(s->takeFocusRequest(), ClosingScreen::kTransit);
    EXPECT_EQ(test::YearFlag(year.archives(), yearrec::kIncomeClosed), "");
}

// A mastro, and a name no item has.
INSTANTIATE_TEST_SUITE_P(Transits, ClosingRefusalTest, ::testing::Values("Ricavi", "Profitti"));

TEST_F(ClosingTest, NothingToCloseClosesTheScreenWithoutTheFlag) {
    SetNumbers(year.archives(), "00016", {0, 0, 0, 0});
    SetNumbers(year.archives(), "00020", {0, 0, 0, 0});
    auto s = open(IncomeClosing());
    s->click(ClosingScreen::kRun);
    EXPECT_TRUE(s->closeRequested());
    EXPECT_TRUE(linesOf("ce").empty());
    EXPECT_EQ(test::YearFlag(year.archives(), yearrec::kIncomeClosed), "");
}

// The opening registration puts each opening balance on its own side.
TEST_F(ClosingTest, OpeningEntryPostsOpeningBalancesOnTheirOwnSide) {
    SetNumbers(year.archives(), "00013", {1000, 0, 0, 1000});
    SetNumbers(year.archives(), "00014", {-400, 0, 0, -400});
    auto s = open(OpeningEntry());
    s->form().input(ClosingScreen::kTransit, "Bilancio di chiusura");
    s->click(ClosingScreen::kRun);
    const auto lines = linesOf("ap");
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_EQ(lines[0].text(mcf::kAccount), "00013");  // "Iva corrispettivi"
    EXPECT_EQ(lines[0].number(mcf::kDebit), 1000);
    EXPECT_EQ(lines[1].number(mcf::kCredit), 1000);
    EXPECT_EQ(lines[2].text(mcf::kAccount), "00014");
    EXPECT_EQ(lines[2].number(mcf::kCredit), 400);
    EXPECT_EQ(lines[3].text(mcf::kDescription), "Bilancio apertura");
    EXPECT_EQ(test::YearFlag(year.archives(), yearrec::kOpeningPosted), "n");
    EXPECT_TRUE(year.dialogs.boxes().empty());
}

// The open-item transfer, from 2026 into 2027.
class TransferTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Archives& a = old.archives();
        AddItem(a, "00051", "Rossi", "c", "p");
        AddItem(a, "00052", "Bianchi", "f", "p");
        PostingEngine engine(old.session());
        auto doc = [&](const char* date, const char* number, const std::string& account,
                       double debit, double credit) {
            JournalEntry e =
                test::Movement(date, {{account, debit, credit}, {"00016", credit, debit}});
            e.docNumber = number;
            ASSERT_NE(engine.post(e), 0);
        };
        doc("10/03/2026", "1", "00051", 1000, 0);  // paid in full below
        doc("10/03/2026", "1", "00051", 0, 1000);
        doc("11/03/2026", "2", "00051", 500, 0);  // paid in part
        doc("11/03/2026", "2", "00051", 0, 200);
        doc("12/03/2026", "3", "00052", 0, 700);  // supplier, unpaid
        doc("13/03/2026", "4", "00011", 900, 0);  // a sub-account: never an open item
        ASSERT_TRUE(a.open(arc::kSd, 1));
        for (const char* settled : {"", "00000007"}) {
            a.clearWriteBuffer(arc::kSd);
            a.writeBuffer(arc::kSd).setText(1, "20260410");
            a.writeBuffer(arc::kSd).setText(6, settled);
            a.writeBuffer(arc::kSd).setText(9, "non riportato");
            ASSERT_EQ(a.put(arc::kSd, settled[0] == 0 ? "00000001" : "00000002", 0), 0);
        }
        a.close(arc::kSd);
        ASSERT_EQ(OpenNextYear(old.session(), false), YearOpening::Opened);
    }

    test::TempDir dir;
    Year old{dir.prefix()};
};

// The screen's labels, and the message that refuses a second run, are the year_closing
// script's.
TEST_F(TransferTest, CarriesOpenDocumentsAndUnpaidInstalmentsOnce) {
    Station next(dir.prefix(), "2027");
    OpenItemTransfer screen(next.session());
    screen.load();
    screen.click(OpenItemTransfer::kRun);
    EXPECT_TRUE(screen.closeRequested());
    screen.unload();
    std::vector<isam::Record> lines;
    next.archives().scan(arc::kMc, 0, "", [&](const std::string& key, const isam::Record& r) {
        EXPECT_EQ(key, Format(std::stoi(r.text(mcf::kRegNumber)), "00000000"));
        lines.push_back(r);
        return true;
    });
    ASSERT_EQ(lines.size(), 3U);  // document 2 with both lines, document 3
    EXPECT_EQ(lines[0].text(mcf::kAccount), "00051");
    EXPECT_EQ(lines[0].number(mcf::kDebit), 500);
    EXPECT_EQ(lines[1].number(mcf::kCredit), 200);
    EXPECT_EQ(lines[1].text(mcf::kRegDate), "20260311");
    EXPECT_EQ(lines[2].text(mcf::kAccount), "00052");
    EXPECT_EQ(Numbers(next.archives(), "00051"), (std::array<double, 4>{300, 0, 0, 300}));
    Archives& a = next.archives();
    ASSERT_TRUE(a.open(arc::kSd, 1));
    std::int64_t instalments = 0;
    ASSERT_EQ(a.count(arc::kSd, instalments), 0);
    EXPECT_EQ(instalments, 1);
    ASSERT_EQ(a.getByKey(arc::kSd, "00000001"), 0);
    EXPECT_EQ(a.readBuffer(arc::kSd).text(1), "20260410");
    EXPECT_EQ(a.readBuffer(arc::kSd).text(9), "");
    a.close(arc::kSd);

    OpenItemTransfer again(next.session());
    again.load();
    again.click(OpenItemTransfer::kRun);
    std::int64_t count = 0;
    ASSERT_EQ(a.count(arc::kMc, count), 0);
    EXPECT_EQ(count, 3);
}

TEST_F(TransferTest, WithoutThePreviousYearNothingMoves) {
    OpenItemTransfer screen(old.session());
    screen.load();
    screen.click(OpenItemTransfer::kRun);
    auto boxes = old.dialogs.boxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, "Archivi anno precedente non presenti");
    EXPECT_EQ(test::YearFlag(old.archives(), yearrec::kOpenItemsMoved), "");
}

}  // namespace
}  // namespace zelvo
