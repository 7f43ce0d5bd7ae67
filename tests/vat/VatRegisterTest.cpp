// The VAT registers compared whole with their layouts, their numbering check, and the
// definitive print state: left as it was by a print that fails, and won by one of two
// stations printing at once. (Storing the month and refusing it again are the operator
// scripts' vat_sales_register and vat_purchase_register.)

#include <gtest/gtest.h>

#include "VatBooksFixture.h"
#include "support/Child.h"
#include "vat/VatRegister.h"

namespace zelvo {
namespace {

std::string expected(const std::string& name) {
    return test::ReadFile(std::filesystem::path(ZELVO_VAT_EXPECTED) / name);
}

class VatRegisterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Purchases of March in section 1: protocol 1 with three codes, 2, then 4 (a gap);
        // one of February and one of section 2 stay out.
        y.row(VatBook::Purchases, "05/03/2026", "1", "20", 100000, 20000, "1", "00011");
        y.row(VatBook::Purchases, "05/03/2026", "1", "I20", 10000, 2000, "1", "00011");
        y.row(VatBook::Purchases, "05/03/2026", "1", "E10", 3000, 0, "1", "00011");
        y.row(VatBook::Purchases, "09/03/2026", "2", "4", 50000, 2000, "1", "00015");
        y.row(VatBook::Purchases, "28/03/2026", "4", "20", 1234567, 246913, "1", "00015");
        y.row(VatBook::Purchases, "28/02/2026", "3", "20", 1, 1);
        y.row(VatBook::Purchases, "28/03/2026", "3", "20", 1, 1, "2");
        y.row(VatBook::Sales, "10/03/2026", "7", "10", 20000, 2000, "1", "00020");
        y.row(VatBook::Sales, "11/03/2026", "8", "XX", 5000, 1000, "1", "00020");
        y.row(VatBook::Receipts, "31/03/2026", "1", "10", 10000, 1000);
        y.row(VatBook::Receipts, "31/03/2026", "1", "4", 500, 20);
    }
    std::string print(const VatRegisterRequest& request, int linesPerPage = 60) {
        y.session().values().print.linesPerPage = linesPerPage;
        const auto path = dir.path() / "registro.txt";
        TextReportSink sink(path.string());
        EXPECT_TRUE(RunVatRegister(y.session(), sink, request));
        return test::ReadFile(path);
    }
    std::string printedMonth(const std::string& key) { return y.printedMonth(key); }
    test::TempDir dir;
    test::VatYear y{dir.prefix()};
};

TEST_F(VatRegisterTest, ThePurchaseRegisterBreaksPagesBetweenDocumentsAndSumsByTable) {
    // Seventeen lines a page: the five skipped lines and the heading leave room for the first
    // document only; the totals go on over a third page.
    VatRegisterRequest request{.book = VatBook::Purchases, .month = 3, .skipLines = 5};
    EXPECT_EQ(print(request, 17), expected("purchases_march.txt"));
    ASSERT_EQ(y.dialogs.boxes().size(), 1u);
    EXPECT_EQ(y.dialogs.boxes()[0].text, "Salto protocollo dal numero: 2- 4");
    EXPECT_EQ(y.dialogs.boxes()[0].icon, Icon::Information);
}

TEST_F(VatRegisterTest, SalesAndReceiptsRegistersFollowTheirLayouts) {
    EXPECT_EQ(print({.book = VatBook::Sales, .month = 3}), expected("sales_march.txt"));
    // The unknown code is told and its row still printed; 7 and 8 follow each other.
    ASSERT_EQ(y.dialogs.boxes().size(), 1u);
    EXPECT_EQ(y.dialogs.boxes()[0].text,
              "Il codice iva XX non risulta più registrato nella tabella iva. Il registro non "
              "sarà stampato correttamente.");
    EXPECT_EQ(print({.book = VatBook::Receipts, .month = 3}), expected("receipts_march.txt"));
}

TEST_F(VatRegisterTest, ACancelledDefinitivePrintLeavesTheStateAsItWas) {
    TextReportSink sink((dir.path() / "missing" / "registro.txt").string());
    EXPECT_FALSE(RunVatRegister(y.session(), sink,
                                {.book = VatBook::Purchases, .month = 3, .definitive = true}));
    EXPECT_EQ(printedMonth("regia1"), "");
}

// Each station prints March definitively; it tells "printed" or "refused".
int printMarch(const std::string& dataDir, const std::string& out, test::Child& child) {
    test::VatYear station(dataDir);
    TextReportSink sink(out);
    const bool printed = RunVatRegister(
        station.session(), sink, {.book = VatBook::Purchases, .month = 3, .definitive = true});
    child.tell(printed ? "printed" : "refused");
    return 0;
}

TEST_F(VatRegisterTest, TwoStationsPrintingOneMonthDefinitivelyPrintItOnce) {
    std::vector<std::unique_ptr<test::Child>> stations;
    for (int i = 0; i < 2; ++i) {
        const std::string out = (dir.path() / ("station" + std::to_string(i) + ".txt")).string();
        stations.push_back(std::make_unique<test::Child>(
            [this, out](test::Child& c) { return printMarch(dir.prefix(), out, c); }));
    }
    std::multiset<std::string> answers;
    for (auto& s : stations) {
        answers.insert(s->hear());
        EXPECT_EQ(s->wait(), 0);
    }
    EXPECT_EQ(answers, (std::multiset<std::string>{"printed", "refused"}));
    EXPECT_EQ(printedMonth("regia1"), "03");
}

}  // namespace
}  // namespace zelvo
