#include "masterdata/ChartRegistration.h"

#include <gtest/gtest.h>

#include "ChartFixture.h"

namespace zelvo {
namespace {

using test::ChartFixture;

// What the operator does on the screen before "&Registra".
struct Input {
    const char* description;
    const char* level;        // "Option1", "Option2" or "Option3"
    const char* parent = "";  // the entry chosen in the level's list; "" none
    const char* balance = "";
    bool economic = false;
};

class ChartRegistrationTest : public ChartFixture {
  protected:
    void SetUp() override {
        ChartFixture::SetUp();
        screen = std::make_unique<ChartRegistration>(session);
        screen->load();
    }
    void choose(const char* option) {
        for (const char* o : {"Option1", "Option2", "Option3"}) {
            screen->form().inputChecked(o, std::string(o) == option);
        }
        screen->change(option);
    }
    void enter(const Input& in) {
        FormState& f = screen->form();
        f.input("text1", in.description);
        choose(in.level);
        f.inputChecked("Option5", !in.economic);
        f.inputChecked("Option6", in.economic);
        const std::string list = std::string(in.level) == "Option2" ? "List1" : "List2";
        const auto& items = f.items(list);
        const auto it = std::find(items.begin(), items.end(), std::string(in.parent));
        f.inputSelected(list, it == items.end() ? -1 : static_cast<int>(it - items.begin()));
        f.input("text2", in.balance);
        dialogs.clear();
        screen->click("Command1");
    }
    std::unique_ptr<ChartRegistration> screen;
};

struct Registered {
    Input input;
    const char* kind;
    const char* nature;
    const char* mastro;
    const char* conto;
    const char* accountCode;
    const char* kindKey;
    double balance;
};

void PrintTo(const Registered& r, std::ostream* os) {
    *os << r.input.description;
}

class RegistrationTest : public ChartRegistrationTest,
                         public ::testing::WithParamInterface<Registered> {};

TEST_P(RegistrationTest, WritesTheItemUnderTheNextNumber) {
    const Registered& e = GetParam();
    enter(e.input);
    EXPECT_TRUE(dialogs.events().empty());
    ASSERT_EQ(archives().getByKey(arc::kPc, "00051"), 0);
    const isam::Record& r = archives().readBuffer(arc::kPc);
    // Every field is written: the buffer is cleared before the item's own are set.
    isam::Record expected = r;
    expected.clear();
    expected.setText(chart::kDescription, e.input.description);
    expected.setText(chart::kKind, e.kind);
    expected.setText(chart::kNature, e.nature);
    expected.setText(chart::kMastroNumber, e.mastro);
    expected.setText(chart::kContoNumber, e.conto);
    expected.setText(chart::kAccountCode, e.accountCode);
    expected.setNumber(chart::kOpeningBalance, e.balance);
    expected.setNumber(chart::kClosingBalance, e.balance);
    expected.setText(chart::kKindKey, e.kindKey);
    expected.setText(chart::kGroupKey, std::string("ss") + e.input.description);
    EXPECT_EQ(r, expected);
    EXPECT_EQ(counterValue("conto"), 51);
    EXPECT_EQ(screen->form().text("text1"), "");
    EXPECT_EQ(screen->form().text("text2"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistrationTest,
    ::testing::Values(
        // An economic mastro and a description that only begins like a registered one are the
        // chart_first_item and chart_duplicates scripts'.
        Registered{{"Mutui", "Option1", "", "-250000"},
                   "m",
                   "p",
                   "00051",
                   "",
                   "000510000000000",
                   "xMutui",
                   -250000},
        Registered{{"Cassa", "Option2", "Debiti"},
                   "cc",
                   "p",
                   "00002",
                   "00051",
                   "000020005100000",
                   "xCassa",
                   0},
        Registered{{"Iva differita", "Option3", "Imposta Valore Aggiunto", "1200"},
                   "s",
                   "p",
                   "00002",
                   "00008",
                   "000020000800051",
                   "sIva differita",
                   1200},
        Registered{{"Vendite estero", "Option3", "Ricavi diversi"},
                   "s",
                   "e",
                   "00003",
                   "00009",
                   "000030000900051",
                   "sVendite estero",
                   0}));

// Blanks, tabs and line breaks are no description: an item named so could never be typed
// again in an entry screen. Nothing and three blanks are the chart_duplicates script's.
class BlankDescriptionTest : public ChartRegistrationTest,
                             public ::testing::WithParamInterface<const char*> {};

TEST_P(BlankDescriptionTest, IsRefusedAsNoDescriptionAndNothingIsWritten) {
    enter({GetParam(), "Option1"});
    auto boxes = dialogs.boxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, "Non è stata inserita nessuna descrizione");
    EXPECT_EQ(archives().getByKey(arc::kPc, "00051"), isam::status::kNotFound);
    EXPECT_EQ(counterValue("conto"), 50);
}

INSTANTIATE_TEST_SUITE_P(Blanks, BlankDescriptionTest,
                         ::testing::Values(" ", "\t", "\r\n", " \t\n "));

}  // namespace
}  // namespace zelvo
