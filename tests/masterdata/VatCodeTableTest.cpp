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

// An installed code typed again in other letters is the vat_table script's.
INSTANTIATE_TEST_SUITE_P(Cases, DuplicateTest,
                         ::testing::Values(
                             // Installed: "10" in row 1. Letter case does not make another code.
                             Duplicate{{{0, "10"}}, "Il codice 10 è stato inserito 2 volte"},
                             Duplicate{{{12, "iva"}, {20, "IVA"}, {24, "Iva"}},
                                       "Il codice iva è stato inserito 3 volte"},
                             Duplicate{{{15, "x"}, {16, "X"}, {17, "y"}, {18, "y"}},
                                       "Il codice x è stato inserito 2 volte"}));

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
