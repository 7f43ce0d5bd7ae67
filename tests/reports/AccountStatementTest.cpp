// A customer's statement: an invoice collected in full leaves the open items, one paid in
// part stays with its collection; the history shows every movement.

#include <gtest/gtest.h>

#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"
#include "posting/YearFixture.h"
#include "reports/AccountStatement.h"
#include "reports/AccountStatementView.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

std::string expected(const std::string& name) {
    return test::ReadFile(std::filesystem::path(ZELVO_REPORTS_EXPECTED) / name);
}

class AccountStatementTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session().values().today = "30/06/2026";
        customer = chart::AddItem(
            year.archives(), chart::kCustomer, "Bianchi Srl",
            [](isam::Record& r, const std::string& number) {
                r.setText(chart::kMastroNumber, "00001");
                r.setText(chart::kContoNumber, "00005");
                r.setText(chart::kNature, "p");
                r.setText(chart::kAccountCode, "0000100005" + number);
            },
            1, 2);
        ASSERT_FALSE(customer.empty());
        post("10/02/2026", "000001", "10/02/2026", 1220, 0, "Fattura 1");
        post("12/03/2026", "000002", "12/03/2026", 610, 0, "Fattura 2");
        post("15/04/2026", "000001", "10/02/2026", 0, 1220, "Incasso fattura 1");
        post("20/05/2026", "000002", "12/03/2026", 0, 300, "Acconto fattura 2");
        year.dialogs.clear();
    }

    void post(const std::string& date, const std::string& docNumber, const std::string& docDate,
              double debit, double credit, const std::string& description) {
        JournalEntry e;
        e.regDate = date;
        e.docNumber = docNumber;
        e.docDate = docDate;
        e.causal = "mg";
        e.lines = {{customer, debit, credit, description}, {"00022", credit, debit, description}};
        ASSERT_GT(PostingEngine(session()).post(e), 0);
    }

    std::string print(bool openOnly) {
        session().values().print.linesPerPage = 60;
        const auto path = dir.path() / "estratto.txt";
        TextReportSink sink(path.string());
        EXPECT_TRUE(PrintAccountStatement(session(), sink, {customer, openOnly, false, false}));
        return test::ReadFile(path);
    }

    Session& session() { return year.session(); }
    test::TempDir dir;
    test::Year year{dir.prefix()};
    std::string customer;
};

TEST_F(AccountStatementTest, OpenItemsLeaveOutTheInvoicesCollectedInFull) {
    EXPECT_EQ(print(true), expected("statement_open_items.txt"));
    const std::string history = print(false);
    EXPECT_NE(history.find("Incasso fattura 1"), std::string::npos);
    EXPECT_NE(history.find("Saldo Finale:              310"), std::string::npos);
}

// An account that is no party is left empty in the account_statement script.
TEST_F(AccountStatementTest, TheViewListsTheSameRows) {
    AccountStatementView view(session());
    view.load();
    view.form().input(AccountStatementView::kAccount, "Bianchi Srl");
    view.leave(AccountStatementView::kAccount);
    EXPECT_EQ(view.form().items(AccountStatementView::kRows).size(), 2u);
    view.form().inputChecked(AccountStatementView::kOpenItems, false);
    view.form().inputChecked(AccountStatementView::kHistory, true);
    view.change(AccountStatementView::kHistory);
    const auto rows = view.form().items(AccountStatementView::kRows);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[3].substr(rows[3].size() - 14), "           310");
    EXPECT_EQ(view.form().text(AccountStatementView::kClosing), "310");
}

}  // namespace
}  // namespace zelvo
