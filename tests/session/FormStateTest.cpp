#include "session/Form.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

#include "session/ScreenLogic.h"

namespace zelvo {
namespace {

// A list refilled by the logic, then read back from the view as the operator left it: what
// the logic reads as the list's text must be what the list shows.
TEST(FormStateTest, AListShowsAndReadsOnlyWhatItOffers) {
    FormState f;
    f.setItems("Combo2", {"2025", "2026"});
    f.setSelected("Combo2", 1);
    EXPECT_EQ(f.text("Combo2"), "2026");

    // Refilled for another company: nothing is chosen and nothing reads as chosen.
    f.setItems("Combo2", {"2031"});
    EXPECT_EQ(f.selected("Combo2"), -1);
    EXPECT_EQ(f.text("Combo2"), "");

    // The view reports no current entry: the text follows, even after an earlier choice.
    f.inputSelected("Combo2", 0);
    EXPECT_EQ(f.text("Combo2"), "2031");
    f.inputSelected("Combo2", -1);
    EXPECT_EQ(f.text("Combo2"), "");
    f.setItems("Combo2", {});
    f.inputSelected("Combo2", -1);
    EXPECT_EQ(f.text("Combo2"), "");

    // An editable combo's typed text arrives after its selection and is kept.
    f.setItems("Combo3", {"a"});
    f.inputSelected("Combo3", -1);
    f.input("Combo3", "typed");
    EXPECT_EQ(f.text("Combo3"), "typed");
}

FormSpec Layout() {
    FormSpec f;
    f.name = "prova";
    f.date("TEXT1", "Data:", 0);
    f.account("text5", "Cliente:", 1);
    f.grid("Griglia", 2,
           {.columns = {AccountColumn("conto", "Sottoconto", 20), AmountColumn("dare", "Dare", 15)},
            .rows = 40,
            .pageRows = 20});
    f.button("Command1", "&Registra", 3, 0);
    return f;
}

TEST(FormStateTest, EveryNameMustBeAControlOrACellOfTheLayout) {
    const FormSpec layout = Layout();
    FormState f(&layout);
    f.setText("TEXT1", "10/03/2026");
    f.input("conto:39", "Cassa");
    f.setSelected("Griglia", 1);
    EXPECT_EQ(f.text("conto:39"), "Cassa");
    for (const char* wrong : {"text1", "TEXT2", "conto:40", "conto(3)", "avere:0", "conto"}) {
        EXPECT_THROW(f.text(wrong), std::logic_error) << wrong;
        EXPECT_THROW(f.setText(wrong, "x"), std::logic_error) << wrong;
        EXPECT_THROW(f.input(wrong, "x"), std::logic_error) << wrong;
    }
    EXPECT_EQ(f.takeDirty(), (std::set<std::string>{"TEXT1", "Griglia"}));
}

TEST(FormStateTest, CellNamesAreParsedStrictly) {
    const std::tuple<const char*, bool, const char*, int> cases[] = {
        {"conto:25", true, "conto", 25}, {"dare:0", true, "dare", 0},
        {"conto:", false, "", 0},        {":3", false, "", 0},
        {"conto:3a", false, "", 0},      {"conto:-1", false, "", 0},
        {"conto:1234567", false, "", 0}, {"text5", false, "", 0},
    };
    for (const auto& [name, ok, column, row] : cases) {
        std::string c;
        int r = -1;
        EXPECT_EQ(ParseCell(name, c, r), ok) << name;
        if (ok) {
            EXPECT_EQ(c, column);
            EXPECT_EQ(r, row);
            EXPECT_EQ(CellName(c, r), name);
        }
    }
}

// An amount not being typed shows with the mask of its kind; anything that is not a whole
// amount of that kind shows as it is, so that nothing the logic would refuse looks accepted.
TEST(FormStateTest, AnAmountShowsWithItsMaskOnlyWhenItIsANumberOfItsKind) {
    const std::tuple<const char*, Amounts, const char*> cases[] = {
        {"1500000", Amounts::Lire, "1.500.000"},
        {"999999999999999", Amounts::Lire, "999.999.999.999.999"},
        {"9999999999999999", Amounts::Lire, "9999999999999999"},
        {"-2500", Amounts::SignedLire, "-2.500"},
        {"007", Amounts::Lire, "7"},
        {"0", Amounts::Lire, "0"},
        {"1234,5", Amounts::Euro, "1.234,50"},
        {"1500", Amounts::Euro, "1.500,00"},
        {"0,05", Amounts::Euro, "0,05"},
        {"-1234567,89", Amounts::SignedEuro, "-1.234.567,89"},
        {"12,", Amounts::Euro, "12,"},
        {"1,234", Amounts::Euro, "1,234"},
        {"12,5", Amounts::Lire, "12,5"},
        {"1.500.000", Amounts::Lire, "1.500.000"},
        {"", Amounts::Lire, ""},
        {"-", Amounts::SignedEuro, "-"},
        {"12a", Amounts::Lire, "12a"},
    };
    for (const auto& [typed, amounts, shown] : cases) {
        EXPECT_EQ(ShownAmount(typed, amounts), shown) << typed;
    }
}

TEST(FormSpecTest, ALayoutWithATwiceUsedNameOrABrokenGridIsRefused) {
    FormSpec twice = Layout();
    twice.text("text5", "Altro:", 4);
    EXPECT_THROW(twice.validate(), std::logic_error);
    FormSpec column = Layout();
    column.text("dare", "Dare:", 4);  // a field named like a grid column
    EXPECT_THROW(column.validate(), std::logic_error);
    FormSpec grid = Layout();
    grid.grid("Griglia2", 5, {.columns = {TextColumn("x", "X", 3)}, .rows = 30, .pageRows = 20});
    EXPECT_THROW(grid.validate(), std::logic_error);
    EXPECT_NO_THROW(Layout().validate());
    EXPECT_TRUE(Layout().isAccountField("text5"));
    EXPECT_TRUE(Layout().isAccountField("conto:7"));
    EXPECT_FALSE(Layout().isAccountField("dare:7"));
}

// A screen whose events land in a log through its handler table.
class TableScreen : public ScreenLogic {
  public:
    explicit TableScreen(Session& s) : ScreenLogic(s, Layout()) {
        on(Event::Leave, "TEXT1", [this] { log.push_back("date"); });
        on(Event::Click, "Command1", [this] { log.push_back("confirm"); });
        onCell(Event::Leave, "dare",
               [this](int row) { log.push_back("dare " + std::to_string(row)); });
        onKey("text5", [this](const std::string& key) {
            log.push_back("key " + key);
            return key == "F6";
        });
    }
    void registerFor(const char* control) {
        on(Event::Click, control, [] {});
    }
    void registerCell(const char* column) {
        onCell(Event::Leave, column, [](int) {});
    }
    void focusOn(const char* control) { requestFocus(control); }
    std::vector<std::string> log;
};

TEST(ScreenLogicTest, EventsReachTheirHandlersAndUnknownNamesAreRefused) {
    ScriptedDialogs dialogs;
    FixedClock clock{"15/03/2026"};
    Session session(dialogs, clock);
    TableScreen s(session);
    s.leave("TEXT1");
    s.click("Command1");
    s.leave("dare:37");
    s.leave("conto:2");  // no handler: nothing happens
    s.click("TEXT1");
    EXPECT_TRUE(s.key("text5", "F6"));
    EXPECT_FALSE(s.key("text5", "F5"));
    EXPECT_FALSE(s.key("TEXT1", "F6"));
    EXPECT_EQ(s.log, (std::vector<std::string>{"date", "confirm", "dare 37", "key F6", "key F5"}));
    // The account field's hint in the status bar is the account_search script's.
    EXPECT_THROW(s.leave("text1"), std::logic_error);
    EXPECT_THROW(s.click("Command9"), std::logic_error);
    EXPECT_THROW(s.leave("dare:40"), std::logic_error);
    EXPECT_THROW(s.registerFor("Command2"), std::logic_error);
    EXPECT_THROW(s.registerCell("avere"), std::logic_error);
    EXPECT_THROW(s.focusOn("text6"), std::logic_error);
}

// A tree's items carry their level as leading blanks: what the logic writes, the view and
// the scripts read back at the same level, and a text with blanks of its own stays put.
struct TreeCase {
    int depth;
    const char* text;
    const char* item;
    const char* readBack;
};
class TreeItemTest : public ::testing::TestWithParam<TreeCase> {};

TEST_P(TreeItemTest, ALevelAndTextMakeOneItemAndComeBackFromIt) {
    const TreeCase& c = GetParam();
    EXPECT_EQ(TreeItem(c.depth, c.text), c.item);
    std::string text;
    EXPECT_EQ(TreeDepth(c.item, text), c.depth);
    EXPECT_EQ(text, c.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, TreeItemTest,
    ::testing::Values(TreeCase{0, "Piano dei conti", "Piano dei conti", "Piano dei conti"},
                      TreeCase{2, "Crediti", "    Crediti", "Crediti"},
                      TreeCase{1, "   Spazi", "  Spazi", "Spazi"}, TreeCase{3, "", "      ", ""}));

TEST(TreeItemTest, ATreeIsAControlOfTheLayoutLikeAnyOther) {
    FormSpec f;
    f.tree("TreeView1", 0);
    f.validate();
    FormState s(&f);
    s.setItems("TreeView1", {TreeItem(0, "Radice"), TreeItem(1, "Figlio")});
    EXPECT_EQ(s.items("TreeView1").size(), 2u);
    EXPECT_EQ(f.find("TreeView1")->kind, ControlKind::Tree);
    f.tree("TreeView1", 1);
    EXPECT_THROW(f.validate(), std::logic_error);
}

// A sheet control: cells typed into it reach the handler of that sheet only, and only a
// sheet takes such a handler.
class SheetScreen : public ScreenLogic {
  public:
    explicit SheetScreen(Session& s) : ScreenLogic(s, layout()) {
        onSheetEntry("F1Book1", [this](int row, int column, const std::string& text) {
            log.push_back(std::to_string(row) + "," + std::to_string(column) + " " + text);
        });
    }
    static FormSpec layout() {
        FormSpec f;
        f.name = "foglio";
        f.sheet("F1Book1", 0);
        f.sheet("F1Book2", 1);
        f.button("Command1", "&Salva", 2, 0);
        return f;
    }
    void registerSheet(const char* control) {
        onSheetEntry(control, [](int, int, auto&) {});
    }
    std::vector<std::string> log;
};

TEST(SheetControlTest, TypedCellsReachTheirSheetsHandlerAndOnlySheetsTakeOne) {
    ScriptedDialogs dialogs;
    FixedClock clock{"15/03/2026"};
    Session session(dialogs, clock);
    SheetScreen s(session);
    s.enterSheetCell("F1Book1", 5, 2, "=c6-c7");
    s.enterSheetCell("F1Book2", 0, 0, "nessuno");  // no handler: nothing happens
    EXPECT_EQ(s.log, std::vector<std::string>{"5,2 =c6-c7"});
    EXPECT_EQ(s.sheetSource("F1Book1"), nullptr);
    EXPECT_THROW(s.enterSheetCell("F1Book3", 0, 0, "x"), std::logic_error);
    EXPECT_THROW(s.registerSheet("Command1"), std::logic_error);
    EXPECT_THROW(s.registerSheet("F1Book9"), std::logic_error);
    EXPECT_EQ(SheetScreen::layout().find("F1Book2")->kind, ControlKind::Sheet);
}

}  // namespace
}  // namespace zelvo
