// The view's comfort for a day of data entry, the same on every screen: a window that fits
// in the main window, a grid that scrolls under its totals, the keyboard.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

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

}  // namespace
}  // namespace zelvo
