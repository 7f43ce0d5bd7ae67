// The open-item reference screen: which lines it lists, and that grouping and emptying
// change field 10 of exactly the selected lines, together or not at all.

#include "posting/OpenItemReference.h"

#include <gtest/gtest.h>

#include "YearFixture.h"
#include "support/Child.h"

namespace zelvo {
namespace {

using O = OpenItemReference;

class OpenItemReferenceTest : public ::testing::Test {
  protected:
    OpenItemReferenceTest() {
        year.addItem("00051", "Rossi Mario", "c");
        year.addItem("00052", "Bianchi Srl", "c");
        year.addItem("00053", "Cassa contanti", "s");
        // Rossi's invoice, a collection recorded against another document, a second invoice;
        // Bianchi's invoice.
        line("00000001", "00051", "000007", "20260110", "Fattura 7", 1000, 0);
        line("00000002", "00053", "000007", "20260110", "Fattura 7", 0, 1000);
        line("00000003", "00051", "000099", "20260220", "Incasso fattura 7", 0, 600);
        line("00000004", "00051", "000008", "20260115", "Fattura 8", 500, 0);
        line("00000005", "00052", "000009", "20260112", "Fattura 9", 300, 0);
        screen.load();
    }
    ~OpenItemReferenceTest() override { screen.unload(); }

    void line(const char* key, const std::string& account, const std::string& docNumber,
              const std::string& docDate, const char* description, double debit, double credit) {
        Archives& a = year.archives();
        a.clearWriteBuffer(arc::kMc);
        isam::Record& r = a.writeBuffer(arc::kMc);
        r.setText(mcf::kRegDate, docDate);
        r.setText(mcf::kDocNumber, docNumber);
        r.setText(mcf::kDocDate, docDate);
        r.setText(mcf::kAccount, account);
        r.setNumber(mcf::kDebit, debit);
        r.setNumber(mcf::kCredit, credit);
        r.setText(mcf::kDescription, description);
        r.setText(mcf::kAccountDocKey, account + docDate + docNumber);
        r.setText(mcf::kCausal, "mg");
        ASSERT_EQ(a.put(arc::kMc, key, isam::mode::kAdd), 0);
    }
    // Field 10 of every line, in line order.
    std::vector<std::string> references() {
        std::vector<std::string> out;
        for (const isam::Record& r : year.journal()) {
            out.push_back(r.text(mcf::kAccountDocKey));
        }
        return out;
    }
    std::vector<std::string> listedLines() {
        std::vector<std::string> out;
        for (const auto& l : screen.listed()) {
            out.push_back(l.line);
        }
        return out;
    }
    void choose(const std::string& name) {
        screen.form().input(O::kParty, name);
        screen.leave(O::kParty);
    }
    void select(std::initializer_list<int> rows) {
        for (int row : rows) {
            screen.form().inputChecked(CellName(O::kSelect, row), true);
        }
    }

    test::DataPlace dir;
    test::Year year{dir.prefix()};
    O screen{year.session()};
};

TEST_F(OpenItemReferenceTest, ListsThePartysLinesInReferenceOrder) {
    choose("rossi mario");
    EXPECT_EQ(listedLines(), (std::vector<std::string>{"00000001", "00000004", "00000003"}));
    EXPECT_EQ(screen.form().text(CellName(O::kDocNumber, 2)), "000099");
    EXPECT_EQ(screen.form().text(CellName(O::kDocDate, 2)), "20/02/2026");
    EXPECT_EQ(screen.form().text(CellName(O::kCredit, 2)), "600");
    EXPECT_EQ(screen.form().text(CellName(O::kDebit, 2)), "");
    // A sub-account is no party: nothing listed, the grid emptied.
    choose("Cassa contanti");
    EXPECT_TRUE(screen.listed().empty());
    EXPECT_EQ(screen.form().text(CellName(O::kDocNumber, 0)), "");
    EXPECT_EQ(year.dialogs.beeps(), 1);
}

TEST_F(OpenItemReferenceTest, GroupingGivesTheSelectedLinesTheFirstOnesReferenceOnly) {
    std::vector<std::string> expected = references();
    choose("Rossi Mario");
    select({0, 2});  // the invoice of 10/01 and the collection
    screen.click(O::kGroup);
    expected[2] = expected[0];
    EXPECT_EQ(references(), expected);
    EXPECT_EQ(listedLines(), (std::vector<std::string>{"00000001", "00000003", "00000004"}));
    // A single line selected keeps its reference; selection is cleared by the new listing.
    EXPECT_FALSE(screen.form().checked(CellName(O::kSelect, 0)));
    select({2});
    screen.click(O::kGroup);
    EXPECT_EQ(references(), expected);
    EXPECT_TRUE(year.dialogs.boxes().empty());
}

TEST_F(OpenItemReferenceTest, EmptyingAsksFirstAndTheLinesStay) {
    std::vector<std::string> expected = references();
    choose("Rossi Mario");
    select({1});
    year.dialogs.queueAnswer(Answer::No);
    screen.click(O::kRemove);
    EXPECT_EQ(references(), expected);
    year.dialogs.queueAnswer(Answer::Yes);
    screen.click(O::kRemove);
    ASSERT_EQ(year.dialogs.boxes().size(), 2U);
    EXPECT_EQ(year.dialogs.boxes()[0].text, "Eliminare le partite selezionate  ?");
    expected[3] = "";
    EXPECT_EQ(references(), expected);
    EXPECT_EQ(year.journal().size(), 5U);
    EXPECT_EQ(listedLines(), (std::vector<std::string>{"00000001", "00000003"}));
}

TEST_F(OpenItemReferenceTest, ALineChangedElsewhereLeavesEverySelectedLineAsItWas) {
    choose("Rossi Mario");
    test::Child other([this](test::Child&) {
        test::Year station(dir.prefix());
        return station.archives().update(
            arc::kMc, "00000003",
            [](isam::Record& r) { r.setText(mcf::kAccountDocKey, "0005120260115000008"); }, 1, 1);
    });
    ASSERT_EQ(other.wait(), 0);
    const std::vector<std::string> before = references();
    select({0, 1, 2});
    screen.click(O::kGroup);
    EXPECT_EQ(references(), before);
    ASSERT_EQ(year.dialogs.boxes().size(), 1U);
    EXPECT_EQ(year.dialogs.boxes()[0].title, "Attenzione");
}

}  // namespace
}  // namespace zelvo
