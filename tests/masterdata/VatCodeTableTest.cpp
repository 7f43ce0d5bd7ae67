#include "masterdata/VatCodeTable.h"

#include <gtest/gtest.h>

#include "ChartFixture.h"
#include "masterdata/VatCodeFields.h"

namespace zelvo {
namespace {

using test::ChartFixture;
using Mode = VatCodeTable::Mode;

class VatCodeTableTest : public ChartFixture {
  protected:
    void SetUp() override {
        ChartFixture::SetUp();
        ASSERT_TRUE(archives().open(arc::kCiva));
    }
    std::unique_ptr<VatCodeTable> open(Mode mode) {
        auto screen = std::make_unique<VatCodeTable>(session, mode);
        screen->load();
        return screen;
    }
    // Types into a cell and leaves it, as the operator does.
    static void cell(VatCodeTable& screen, const char* column, int row, const std::string& text) {
        const std::string name = CellName(column, row);
        screen.form().input(name, text);
        screen.leave(name);
    }
    std::vector<isam::Record> slots() {
        std::vector<isam::Record> all;
        for (int slot = 0; slot < vatcode::kSlots; ++slot) {
            EXPECT_EQ(archives().getByKey(arc::kCiva, vatcode::SlotKey(slot)), 0) << slot;
            all.push_back(archives().readBuffer(arc::kCiva));
        }
        return all;
    }
};

TEST_F(VatCodeTableTest, LoadingShowsTheUsedSlots) {
    auto edit = open(Mode::Registration);
    auto view = open(Mode::View);
    for (VatCodeTable* s : {edit.get(), view.get()}) {
        EXPECT_EQ(s->form().text("codice:6"), "I20");
        EXPECT_EQ(s->form().text("aliquota:6"), "20,0");
        EXPECT_EQ(s->form().text("descrizione:6"), "Indetraibile 20%");
        EXPECT_EQ(s->form().text("aliquota:3"), "0,0");
        EXPECT_EQ(s->form().text("codice:7"), "");
        EXPECT_EQ(s->form().text("aliquota:7"), "");
    }
    EXPECT_TRUE(edit->form().checked("indetraibile:6"));
    EXPECT_FALSE(edit->form().checked("indetraibile:0"));
    EXPECT_EQ(view->form().text("indetraibile:6"), "Sì");
    EXPECT_EQ(view->form().text("indetraibile:0"), "");
}

struct Duplicate {
    std::vector<std::pair<int, const char*>> codes;  // typed over the installed table
    const char* message;
};

class DuplicateTest : public VatCodeTableTest, public ::testing::WithParamInterface<Duplicate> {};

TEST_P(DuplicateTest, IsRefusedWithTheFirstRowsCodeAndNothingIsWritten) {
    const std::vector<isam::Record> before = slots();
    auto screen = open(Mode::Registration);
    for (const auto& [row, code] : GetParam().codes) {
        cell(*screen, VatCodeTable::kCode, row, code);
        cell(*screen, VatCodeTable::kRate, row, "7");
    }
    dialogs.clear();
    screen->click("Command1");
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(dialogs.boxes()[0].text, GetParam().message);
    EXPECT_EQ(dialogs.boxes()[0].title, "Errore");
    EXPECT_EQ(slots(), before);
    EXPECT_FALSE(screen->closeRequested());
}

INSTANTIATE_TEST_SUITE_P(Cases, DuplicateTest,
                         ::testing::Values(
                             // Installed: "E10" in row 3. Letter case does not make another code.
                             Duplicate{{{9, "e10"}}, "Il codice E10 è stato inserito 2 volte"},
                             Duplicate{{{0, "10"}}, "Il codice 10 è stato inserito 2 volte"},
                             Duplicate{{{12, "iva"}, {20, "IVA"}, {24, "Iva"}},
                                       "Il codice iva è stato inserito 3 volte"},
                             Duplicate{{{15, "x"}, {16, "X"}, {17, "y"}, {18, "y"}},
                                       "Il codice x è stato inserito 2 volte"}));

TEST_F(VatCodeTableTest, RegisteringRewritesEverySlotAndACleanedCodeIsFoundNoMore) {
    // A slot missing altogether is written again like any other.
    ASSERT_EQ(archives().remove(arc::kCiva, "24"), 0);
    auto screen = open(Mode::Registration);
    cell(*screen, VatCodeTable::kCode, 3, "");
    cell(*screen, VatCodeTable::kCode, 9, "V22");
    cell(*screen, VatCodeTable::kRate, 9, "22,5");
    screen->form().inputChecked("indetraibile:9", true);
    cell(*screen, VatCodeTable::kDescription, 9, "Aliquota 22%");
    // A rate of 0 with the box clear is an exempt code.
    cell(*screen, VatCodeTable::kCode, 10, "ES");
    cell(*screen, VatCodeTable::kRate, 10, "0");
    screen->click("Command1");
    EXPECT_TRUE(dialogs.events().empty());

    EXPECT_EQ(count(arc::kCiva), vatcode::kSlots);
    EXPECT_EQ(archives().getIdentical(arc::kCiva, vatcode::kVatCode, "E10"),
              isam::status::kNotFound);
    const std::vector<isam::Record> all = slots();
    EXPECT_EQ(all[9].text(vatcode::kVatCode), "V22");
    EXPECT_EQ(all[9].number(vatcode::kVatRate), 22.5);
    EXPECT_EQ(all[9].number(vatcode::kNonDeductiblePercent), 100);
    EXPECT_EQ(all[9].text(vatcode::kVatDescription), "Aliquota 22%");
    EXPECT_EQ(all[10].text(vatcode::kVatCode), "ES");
    EXPECT_EQ(all[10].number(vatcode::kVatRate), 0);
    EXPECT_EQ(all[10].number(vatcode::kNonDeductiblePercent), 0);
    EXPECT_EQ(all[6].number(vatcode::kNonDeductiblePercent), 100);
    EXPECT_EQ(all[24].text(vatcode::kVatCode), "");
    ASSERT_EQ(archives().getIdentical(arc::kCiva, vatcode::kVatCode, "v22"), 0);
    EXPECT_EQ(archives().primaryKey(arc::kCiva), "09");
}

TEST_F(VatCodeTableTest, ALeftRateShowsOneDecimal) {
    auto screen = open(Mode::Registration);
    for (auto [typed, shown] :
         {std::pair{"4", "4,0"}, {"22,", "22,0"}, {"10,5", "10,5"}, {"0", "0,0"}, {"", ""}}) {
        cell(*screen, VatCodeTable::kRate, 11, typed);
        EXPECT_EQ(screen->form().text("aliquota:11"), shown) << typed;
    }
}

}  // namespace
}  // namespace zelvo
