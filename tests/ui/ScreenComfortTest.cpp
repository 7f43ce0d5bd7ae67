// The view's comfort for a day of data entry, the same on every screen: a window that fits
// in the main window, a grid that scrolls under its totals, the keyboard.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <tuple>

#include "session/ScreenRegistry.h"
#include "session/Session.h"
#include "ui/GenericScreen.h"
#include "ui/MainWindow.h"

namespace zelvo {
namespace {

// An entry screen taller than the window: four fields, a grid of twenty rows, a total under
// it. Its fields are declared out of screen order, as a screen may. No button is marked as
// the cancel button; one button has no accelerator of its own.
class LongEntry : public ScreenLogic {
  public:
    explicit LongEntry(Session& s) : ScreenLogic(s, layout()) {
        on(Event::Click, "Command1", [this] { clicks.push_back("Registra"); });
        on(Event::Click, "Command2", [this] { clicks.push_back("Ricalcola"); });
        on(Event::Click, "Command3", [this] {
            clicks.push_back("Annulla");
            requestClose();
        });
    }
    static FormSpec layout() {
        FormSpec f;
        f.name = "LUNGA";
        f.text("text2", "Numero:", 1, 8);
        f.date("text1", "Data:", 0);
        f.text("text3", "Descrizione:", 2, 40);
        f.text("text4", "Note:", 3, 40);
        f.grid("Grid1", 4,
               {.columns = {TextColumn("conto", "Sottoconto", 28),
                            AmountColumn("dare", "Dare", 15, Amounts::Lire)},
                .rows = 20,
                .pageRows = 20});
        f.amount("text5", "Totale:", 5, 16, Amounts::Lire);
        f.button("Command1", "Registra", 6, 0);
        f.button("Command2", "Ricalcola", 6, 1);
        f.button("Command3", "&Annulla", 6, 2);
        return f;
    }
    std::vector<std::string> clicks;
};

// A modal screen whose load fills a label far longer than its empty caption.
class LoadedNote : public ScreenLogic {
  public:
    explicit LoadedNote(Session& s) : ScreenLogic(s, layout()) {}
    static FormSpec layout() {
        FormSpec f;
        f.name = "NOTA";
        f.label("Label1", "", 0);
        f.button("Command1", "&Ok", 1, 0);
        return f;
    }
    void load() override {
        form().setText("Label1", "Aggiornamento dei saldi iniziali dall'anno 2025 all'anno 2026");
    }
};

// Amounts of every kind, in fields and in a grid; the logic notes what it reads when each
// is left, and its load writes one amount bare and one already formatted.
class AmountEntry : public ScreenLogic {
  public:
    explicit AmountEntry(Session& s) : ScreenLogic(s, layout()) {
        for (const char* field : {"text1", "text2", "text3", "text4"}) {
            on(Event::Leave, field, [this, field] { seen.push_back(text(field)); });
        }
        onCell(Event::Leave, "importo",
               [this](int row) { seen.push_back(text(CellName("importo", row))); });
    }
    static FormSpec layout() {
        FormSpec f;
        f.name = "IMPORTI";
        f.amount("text1", "Lire:", 0, 16, Amounts::Lire);
        f.amount("text2", "Euro:", 1, 16, Amounts::Euro);
        f.amount("text3", "Differenza:", 2, 16, Amounts::SignedLire);
        f.amount("text4", "Totale:", 3, 16, Amounts::Lire);
        f.grid("Grid1", 4,
               {.columns = {TextColumn("conto", "Sottoconto", 20),
                            AmountColumn("importo", "Importo", 15, Amounts::Lire)},
                .rows = 4,
                .pageRows = 4});
        return f;
    }
    void load() override {
        form().setText("text4", "2000000");
        form().setText(CellName("importo", 3), "1.234");
    }
    std::vector<std::string> seen;
};

class ScreenComfortTest : public ::testing::Test {
  protected:
    ScreenComfortTest() : session(dialogs, clock), main(session, screens) {
        main.resize(800, 480);
        main.show();
        main.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
        auto logic = std::make_unique<LongEntry>(session);
        entry = logic.get();
        main.openScreen(std::move(logic), false);
        screen = main.screen("LUNGA");
        QApplication::processEvents();
    }

    QWidget* cell(const char* column, int row) { return screen->cell(column, row); }
    QWidget* control(const char* name) { return screen->control(name); }
    // Whether the operator sees the whole widget now.
    static bool inSight(QWidget* w) {
        return w->visibleRegion().boundingRect().size() == w->size();
    }

    ScriptedDialogs dialogs;
    FixedClock clock{"15/03/2026"};
    Session session;
    ScreenRegistry screens;  // none by name: the screen is handed over built
    MainWindow main;
    LongEntry* entry = nullptr;
    GenericScreen* screen = nullptr;
};

TEST_F(ScreenComfortTest, TheWindowFitsTheMainWindowAndTheGridScrollsUnderItsTotal) {
    ASSERT_NE(screen, nullptr);
    const QRect room = main.mdiArea()->viewport()->rect();
    const QRect window = screen->frame()->geometry();
    EXPECT_TRUE(room.contains(window)) << window.height() << " in " << room.height();
    EXPECT_LT(window.height(), screen->sizeHint().height());
    // The total and the buttons stay in sight; the grid's last rows wait below.
    for (const char* name : {"text1", "text4", "text5", "Command1", "Command3"}) {
        EXPECT_TRUE(inSight(control(name))) << name;
    }
    EXPECT_FALSE(inSight(cell("dare", 19)));
    // The row in use scrolls into sight, the total still there.
    cell("dare", 19)->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(inSight(cell("dare", 19)));
    EXPECT_TRUE(inSight(control("text5")));
    EXPECT_FALSE(inSight(cell("dare", 0)));
}

TEST_F(ScreenComfortTest, TabFollowsTheScreenRowsAndAmountsReadFromTheRight) {
    control("text1")->setFocus();
    const std::vector<QWidget*> order = {control("text2"), control("text3"), control("text4"),
                                         cell("conto", 0), cell("dare", 0),  cell("conto", 1)};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), cell("dare", 0));
    for (QWidget* w : {control("text5"), cell("dare", 7)}) {
        EXPECT_TRUE(static_cast<QLineEdit*>(w)->alignment() & Qt::AlignRight);
    }
    EXPECT_TRUE(static_cast<QLineEdit*>(control("text3"))->alignment() & Qt::AlignLeft);
}

TEST_F(ScreenComfortTest, EveryButtonHasItsOwnAcceleratorAndEscapeIsAnnulla) {
    auto caption = [this](const char* name) {
        return static_cast<QAbstractButton*>(control(name))->text().toStdString();
    };
    EXPECT_EQ(caption("Command1"), "&Registra");
    EXPECT_EQ(caption("Command2"), "R&icalcola");
    EXPECT_EQ(caption("Command3"), "&Annulla");
    // Alt and the letter press the button, though the main window's "I&va" menu shares it.
    control("text3")->setFocus();
    QTest::keyClick(control("text3"), Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(entry->clicks, std::vector<std::string>{"Ricalcola"});

    cell("conto", 3)->setFocus();
    QTest::keyClick(cell("conto", 3), Qt::Key_Escape);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(entry->clicks.back(), "Annulla");
    EXPECT_EQ(main.screen("LUNGA"), nullptr);
}

// The window takes the size of the screen as loaded, not of its empty layout.
TEST_F(ScreenComfortTest, AWindowIsSizedForWhatItsLoadFilledIn) {
    main.openScreen(std::make_unique<LoadedNote>(session), true);
    GenericScreen* note = main.screen("NOTA");
    ASSERT_NE(note, nullptr);
    QWidget* label = note->control("Label1");
    EXPECT_GE(label->width(), label->sizeHint().width());
    EXPECT_TRUE(inSight(label));
}

// Typed bare, read with the mask once left; the logic, and an operator script, only ever see
// what was typed.
TEST_F(ScreenComfortTest, AnAmountShowsItsMaskWhenLeftAndItsDigitsWhileTyped) {
    auto logic = std::make_unique<AmountEntry>(session);
    AmountEntry* amounts = logic.get();
    main.openScreen(std::move(logic), false);
    GenericScreen* s = main.screen("IMPORTI");
    ASSERT_NE(s, nullptr);
    auto edit = [s](const char* name) {
        std::string column;
        int row = 0;
        return static_cast<QLineEdit*>(ParseCell(name, column, row) ? s->cell(column, row)
                                                                    : s->control(name));
    };
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"text1", "1500000", "1.500.000"},
        {"importo:1", "1500000", "1.500.000"},
        {"text2", "1234,5", "1.234,50"},
        {"text2", "1500", "1.500,00"},
        {"text3", "-2500", "-2.500"},
        {"text3", "-", "-"},
        {"importo:2", "", ""},
    };
    for (const auto& [name, typed, shown] : cases) {
        QLineEdit* e = edit(name);
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, typed);
        EXPECT_EQ(e->displayText().toStdString(), typed) << name;
        s->setFocus();  // left, as a click on the window's background leaves it
        QApplication::processEvents();
        EXPECT_EQ(e->displayText().toStdString(), shown) << name;
        EXPECT_EQ(amounts->seen.back(), typed) << name;
        EXPECT_EQ(s->logic().form().text(name), typed) << name;
        // Back in it, the operator edits the digits he typed.
        e->setFocus();
        EXPECT_EQ(e->displayText().toStdString(), typed) << name;
        s->setFocus();
    }
    // What the logic wrote: a bare amount shows masked and reads back bare; a text it
    // formatted itself is left alone.
    EXPECT_EQ(edit("text4")->displayText(), "2.000.000");
    EXPECT_EQ(edit("importo:3")->displayText(), "1.234");
    edit("text4")->setFocus();
    edit("importo:3")->setFocus();
    s->setFocus();
    QApplication::processEvents();
    const std::vector<std::string> last(amounts->seen.end() - 2, amounts->seen.end());
    EXPECT_EQ(last, (std::vector<std::string>{"2000000", "1.234"}));
}

// The operator sees which row of a grid he is in, after he has moved to a field outside it
// too, until another row takes its place.
TEST_F(ScreenComfortTest, TheGridRowInUseIsMarked) {
    const auto wash = [this](const char* column, int row) {
        return cell(column, row)->palette().color(QPalette::Base);
    };
    cell("conto", 3)->setFocus();
    QApplication::processEvents();
    EXPECT_NE(wash("dare", 3), wash("dare", 4));
    EXPECT_EQ(wash("conto", 3), wash("dare", 3));
    EXPECT_EQ(wash("dare", 2), wash("dare", 4));
    cell("dare", 5)->setFocus();
    control("text3")->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(wash("dare", 3), wash("dare", 4));
    EXPECT_NE(wash("conto", 5), wash("conto", 4));
}

}  // namespace
}  // namespace zelvo
