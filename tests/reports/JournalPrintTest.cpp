// The general journal and the prima nota prints of a small hand-made book, compared whole
// with the texts their layouts give.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/CompanyRegister.h"
#include "posting/YearFixture.h"
#include "reports/GeneralJournal.h"
#include "reports/JournalPrint.h"

#include "support/TempDir.h"

namespace zelvo {
namespace {

std::string expected(const std::string& name) {
    return test::ReadFile(std::filesystem::path(ZELVO_REPORTS_EXPECTED) / name);
}

JournalEntry entry(const std::string& date, const std::string& docNumber,
                   const std::string& docDate, const std::string& protocol,
                   std::vector<JournalLine> lines) {
    JournalEntry e;
    e.regDate = date;
    e.docNumber = docNumber;
    e.docDate = docDate;
    e.protocol = protocol;
    e.causal = protocol.empty() ? "mg" : "fa";
    e.lines = std::move(lines);
    return e;
}

// Lines 1-2 in January, 3-6 in two registrations of 10 March, 7-9 on 20 April, 10-11 in
// May. The April registration does not balance, so that debit and credit totals differ
// and a swap between them shows.
class JournalPrintTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session().values().today = "15/03/2026";
        Archives& a = year.archives();
        ASSERT_EQ(a.getByKey(arc::kDataz, "AB"), 0);
        a.copyReadToWrite(arc::kDataz);
        isam::Record& r = a.writeBuffer(arc::kDataz);
        r.setText(companyreg::kCompanyAddress, "Via Roma 1");
        r.setText(companyreg::kCompanyCity, "10100 Torino");
        r.setText(companyreg::kCompanyVatNumber, "01234567890");
        ASSERT_EQ(a.put(arc::kDataz, "AB", isam::mode::kRewrite), 0);

        PostingEngine engine(session());
        const std::string payment = "Pagamento fornitore";
        const std::string invoice = "Fattura di acquisto materiali di consumo";
        const std::string refund = "Storno anticipo Società Rossi";
        ASSERT_EQ(engine.post(entry("05/01/2026", "3", "04/01/2026", "",
                                    {{"00011", 1000, 0, payment}, {"00015", 0, 1000, payment}})),
                  1);
        ASSERT_EQ(
            engine.post(entry("10/03/2026", "123456", "09/03/2026", "12",
                              {{"00011", 1234567, 0, invoice}, {"00020", 0, 1234567, invoice}})),
            3);
        ASSERT_EQ(engine.post(entry("10/03/2026", "", "", "",
                                    {{"00022", 2500000000, 0, "Giroconto"},
                                     {"00012", 0, 2500000000, "Giroconto"}})),
                  5);
        ASSERT_EQ(
            engine.post(entry(
                "20/04/2026", "7", "18/04/2026", "",
                {{"00011", 600, 0, refund}, {"00015", 0, 300, refund}, {"00020", 0, 200, refund}})),
            7);
        ASSERT_EQ(engine.post(entry(
                      "15/05/2026", "8", "15/05/2026", "",
                      {{"00012", 50, 0, "Arrotondamento"}, {"00020", 0, 50, "Arrotondamento"}})),
                  10);
        year.dialogs.clear();
    }

    Session& session() { return year.session(); }

    template <typename Print>
    std::string print(int linesPerPage, Print&& run) {
        session().values().print.linesPerPage = linesPerPage;
        const auto path = dir.path() / "stampa.txt";
        TextReportSink sink(path.string());
        EXPECT_TRUE(run(sink));
        return test::ReadFile(path);
    }

    std::pair<double, std::string> journalCounter() {
        Archives& a = year.archives();
        EXPECT_EQ(a.getByKey(arc::kPr, "giornale"), 0);
        return {a.readBuffer(arc::kPr).number(prf::kValue),
                a.readBuffer(arc::kPr).text(prf::kText)};
    }

    test::TempDir dir;
    test::Year year{dir.prefix()};
};

TEST_F(JournalPrintTest, ADefinitivePrintNumbersTheRangeKeepsMovementsWholeAndRecordsWhereItEnded) {
    // Four lines were printed before. Sixteen lines a page: the March registrations fill the
    // first page to 14 lines, so the rule of the next one takes it to 17 before the break,
    // which waits for the second line of the movement; the second page breaks after line 11.
    GeneralJournalRequest request{"20260301", "20260430", 5, true, false, true};
    EXPECT_EQ(print(16, [&](ReportSink& s) { return PrintGeneralJournal(session(), s, request); }),
              expected("journal_definitive.txt"));
    EXPECT_TRUE(year.dialogs.boxes().empty());
    // The next print's screen starting from there is the journal_definitive script's.
    EXPECT_EQ(journalCounter(), std::make_pair(11.0, std::string("20260430")));
}

TEST_F(JournalPrintTest,
       ATrialPrintOfARangeWithoutMovementsShowsTheTotalsUpToItsEndAndRecordsNothing) {
    GeneralJournalRequest request{"20260201", "20260228", 3, false, false, false};
    EXPECT_EQ(print(16, [&](ReportSink& s) { return PrintGeneralJournal(session(), s, request); }),
              expected("journal_empty_range.txt"));
    EXPECT_EQ(journalCounter(), std::make_pair(0.0, std::string()));
}

TEST_F(JournalPrintTest, ThePrimaNotaHasPeriodAndProgressiveTotalsAndNoRowNumbers) {
    EXPECT_EQ(print(12,
                    [&](ReportSink& s) {
                        return PrintJournalEntries(session(), s, "20260310", "20260430", false);
                    }),
              expected("prima_nota.txt"));
    EXPECT_EQ(journalCounter(), std::make_pair(0.0, std::string()));
}

TEST_F(JournalPrintTest, TheControlPrintGoesInLineOrderFromTheGivenLineToTheLast) {
    EXPECT_EQ(print(20, [&](ReportSink& s) { return PrintJournalControl(session(), s, 4, false); }),
              expected("prima_nota_control.txt"));
}

}  // namespace
}  // namespace zelvo
