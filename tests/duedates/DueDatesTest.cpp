#include "duedates/DueDates.h"

#include <gtest/gtest.h>

#include "../posting/YearFixture.h"
#include "duedates/DueDateFields.h"

namespace zelvo {
namespace {

struct SplitCase {
    const char* name;
    InstalmentTerms terms;
    double total;
    const char* invoiceDate;
    std::vector<std::pair<double, std::string>> expected;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, AmountsAndDueDates) {
    const SplitCase& c = GetParam();
    auto got = SplitInstalments(c.terms, c.total, c.invoiceDate);
    ASSERT_EQ(got.size(), c.expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].amount, c.expected[i].first) << i;
        EXPECT_EQ(got[i].dueDate, c.expected[i].second) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitTest,
    ::testing::Values(
        SplitCase{"remainder on the first",
                  {3, 1, 0, 0, 0},
                  1000000,
                  "20260115",
                  {{333334, "20260215"}, {333333, "20260315"}, {333333, "20260415"}}},
        SplitCase{"small remainder",
                  {3, 1, 0, 0, 0},
                  100,
                  "20260115",
                  {{34, "20260215"}, {33, "20260315"}, {33, "20260415"}}},
        SplitCase{"at sight", {0, 0, 0, 0, 0}, 500, "20260310", {{500, "20260310"}}},
        SplitCase{"31 January plus 30 days",
                  {2, 1, 0, 0, 0},
                  200,
                  "20260131",
                  {{100, "20260228"}, {100, "20260331"}}},
        SplitCase{
            "31 January in a leap year", {1, 1, 0, 0, 0}, 200, "20240131", {{200, "20240229"}}},
        SplitCase{"al 10 after the 10th",
                  {2, 1, 10, 0, 0},
                  200,
                  "20260325",
                  {{100, "20260510"}, {100, "20260610"}}},
        SplitCase{"al 15 before the 15th", {1, 1, 15, 0, 0}, 50, "20260305", {{50, "20260415"}}},
        SplitCase{"end of month",
                  {3, 1, 30, 0, 0},
                  300,
                  "20260110",
                  {{100, "20260228"}, {100, "20260331"}, {100, "20260430"}}},
        SplitCase{"skip August",
                  {2, 1, 0, 0, 1},
                  200,
                  "20260715",
                  {{100, "20260915"}, {100, "20261015"}}},
        SplitCase{"August at month end", {1, 1, 0, 1, 0}, 100, "20260705", {{100, "20260831"}}},
        SplitCase{"August and December to the 15th",
                  {2, 1, 0, 2, 0},
                  200,
                  "20261031",
                  {{100, "20261130"}, {100, "20270115"}}},
        SplitCase{"crossing the year",
                  {2, 2, 0, 0, 0},
                  200,
                  "20261120",
                  {{100, "20270120"}, {100, "20270220"}}}));

class GenerateTest : public ::testing::Test {
  protected:
    GenerateTest() {
        // A customer and a supplier with terms of the installation.
        party("00051", "Rossi Mario", "c", "Ricevuta bancaria 30-60 gg f.m.");
        party("00052", "Bianchi Srl", "f", "Rimessa diretta 30 gg d.f.");
        party("00053", "Verdi Luca", "c", "Rimessa diretta a vista");
        party("00054", "Neri Spa", "c", "");
        party("00055", "Gialli Sas", "c", "Solo descrizione");
        party("00056", "Blu Snc", "c", "Condizioni sparite");
    }
    void party(const char* number, const char* name, const char* kind, const char* terms) {
        Archives& a = year.archives();
        a.clearWriteBuffer(arc::kPc);
        isam::Record& r = a.writeBuffer(arc::kPc);
        r.setText(chart::kDescription, name);
        r.setText(chart::kKind, kind);
        r.setText(chart::kPaymentTerms, terms);
        ASSERT_EQ(a.put(arc::kPc, number, isam::mode::kAdd), 0);
    }
    std::vector<isam::Record> records(int archive) {
        Archives& a = year.archives();
        std::vector<isam::Record> out;
        a.open(archive);
        a.bof(archive, 0);
        while (a.get(archive, 0, isam::op::kNext, "") == 0) {
            out.push_back(a.readBuffer(archive));
        }
        a.close(archive);
        return out;
    }

    test::TempDir dir;
    test::Year year{dir.prefix()};
};

TEST_F(GenerateTest, EachPartyAndTypeGoesToItsArchive) {
    GenerateDueDates(year.session(), "Rossi Mario", 1000, "7", "20260131");
    GenerateDueDates(year.session(), "Bianchi Srl", 500, "A12", "20260210");
    GenerateDueDates(year.session(), "Verdi Luca", 300, "8", "20260215");
    auto st = records(arc::kSt);
    ASSERT_EQ(st.size(), 2U);
    EXPECT_EQ(st[0].text(duef::kDueDate), "20260228");
    EXPECT_EQ(st[1].text(duef::kDueDate), "20260331");
    EXPECT_EQ(st[0].text(duef::kPartyNumber), "00051");
    EXPECT_EQ(st[0].text(duef::kPartyDueKey), "");
    auto sf = records(arc::kSf);
    ASSERT_EQ(sf.size(), 1U);
    EXPECT_EQ(sf[0].text(duef::kPaymentType), "rd");
    EXPECT_EQ(sf[0].text(duef::kPartyDueKey), "0005220260310");
    EXPECT_EQ(sf[0].text(duef::kInvoiceNumber), "A12");
    auto sd = records(arc::kSd);
    ASSERT_EQ(sd.size(), 1U);
    EXPECT_EQ(sd[0].number(duef::kAmount), 300);
    EXPECT_EQ(sd[0].text(duef::kDueDate), "20260215");
    // The counters moved by the records written.
    ASSERT_EQ(year.archives().getByKey(arc::kPr, "scaclitr"), 0);
    EXPECT_EQ(year.archives().readBuffer(arc::kPr).number(prf::kValue), 2);
    EXPECT_TRUE(year.dialogs.events().empty());
}

TEST_F(GenerateTest, NegativeTotalsAreOneRemittanceAtSight) {
    GenerateDueDates(year.session(), "Rossi Mario", -400, "9", "20260301");
    EXPECT_TRUE(records(arc::kSt).empty());
    auto sd = records(arc::kSd);
    ASSERT_EQ(sd.size(), 1U);
    EXPECT_EQ(sd[0].number(duef::kAmount), -400);
    EXPECT_EQ(sd[0].text(duef::kDueDate), "20260301");
}

TEST_F(GenerateTest, NoTermsOrDescriptionOnlyTermsWriteNothingAndLostTermsAreReported) {
    GenerateDueDates(year.session(), "Neri Spa", 100, "1", "20260301");
    GenerateDueDates(year.session(), "Gialli Sas", 100, "2", "20260301");
    EXPECT_TRUE(year.dialogs.events().empty());
    GenerateDueDates(year.session(), "Blu Snc", 100, "3", "20260301");
    ASSERT_EQ(year.dialogs.boxes().size(), 1U);
    EXPECT_EQ(year.dialogs.boxes()[0].text,
              "La condizione di pagamento Condizioni sparite non risulta più registrata");
    EXPECT_TRUE(records(arc::kSd).empty());
    EXPECT_TRUE(records(arc::kSt).empty());
}

}  // namespace
}  // namespace zelvo
