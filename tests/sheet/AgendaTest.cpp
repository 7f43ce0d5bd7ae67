#include "sheet/Agenda.h"

#include <gtest/gtest.h>

#include <set>

#include "SheetFixture.h"
#include "sheet/AgendaBook.h"
#include "support/Child.h"

namespace zelvo {
namespace {

using test::SheetFixture;

AgendaNote Note(const std::string& date, int number, bool done = false,
                const std::string& text = "x") {
    return {date, number, done, "amministratore", text};
}

TEST(AgendaNoteTest, KeysCarryDateNumberAndDoneMark) {
    struct Case {
        AgendaNote note;
        std::string key;
    };
    const Case cases[] = {
        {Note("20260315", 1), "20260315000001"},
        {Note("20261231", 123456, true), "20261231123456n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.note.key(), c.key);
        auto back = AgendaNote::fromKey(c.key);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->date, c.note.date);
        EXPECT_EQ(back->number, c.note.number);
        EXPECT_EQ(back->done, c.note.done);
    }
    for (const char* bad : {"", "2026031500000", "20260315000001x", "2026031500000a", "1"}) {
        EXPECT_FALSE(AgendaNote::fromKey(bad)) << bad;
    }
}

// The line of each kind of note, overdue, today's, coming and done, is the agenda script's.
TEST(AgendaNoteTest, OverdueAndTodayFirstThenComingThenDoneLatestFirst) {
    const std::string today = "20260315";
    std::vector<AgendaNote> notes = {
        Note("20260320", 1), Note("20260315", 2), Note("20260301", 3, true),
        Note("20260310", 4), Note("20260316", 5), Note("20260314", 6, true),
        Note("20260310", 7), Note("20260101", 8),
    };
    SortForAgenda(notes, today);
    std::vector<int> order;
    for (const AgendaNote& n : notes) {
        order.push_back(n.number);
    }
    EXPECT_EQ(order, (std::vector<int>{8, 4, 7, 2, 5, 1, 6, 3}));
}

class AgendaBookTest : public SheetFixture {
  protected:
    void SetUp() override {
        SheetFixture::SetUp();
        ASSERT_TRUE(archives().open(arc::kGg));
    }
    void TearDown() override { archives().close(arc::kGg); }
};

TEST_F(AgendaBookTest, AddChangeMarkDoneAndRemoveKeepTheNumber) {
    AgendaBook book(archives());
    AgendaNote a = Note("20260320", 0, false, "Versamento IVA");
    AgendaNote b = Note("20260310", 0, false, "Telefonare al commercialista");
    ASSERT_EQ(book.add(a), AgendaBook::Result::Done);
    ASSERT_EQ(book.add(b), AgendaBook::Result::Done);
    EXPECT_EQ(a.number, 1);
    EXPECT_EQ(b.number, 2);
    EXPECT_EQ(book.notes("amministratore"), (std::vector<AgendaNote>{b, a}));

    AgendaNote moved = a;
    moved.date = "20260301";
    moved.done = true;
    ASSERT_EQ(book.change(a, moved), AgendaBook::Result::Done);
    EXPECT_EQ(book.notes({}), (std::vector<AgendaNote>{moved, b}));
    EXPECT_NE(archives().getByKey(arc::kGg, a.key()), 0);

    // What was read before the change is no longer there: nothing is written.
    AgendaNote stale = a;
    stale.text = "altro";
    EXPECT_EQ(book.change(a, stale), AgendaBook::Result::Changed);
    EXPECT_EQ(book.remove(a), AgendaBook::Result::Changed);
    EXPECT_EQ(book.notes({}).size(), 2U);

    ASSERT_EQ(book.remove(moved), AgendaBook::Result::Done);
    EXPECT_EQ(book.notes({}), (std::vector<AgendaNote>{b}));
    AgendaNote c = Note("20260401", 0);
    ASSERT_EQ(book.add(c), AgendaBook::Result::Done);
    EXPECT_EQ(c.number, 3);  // numbers are never given twice
}

TEST_F(AgendaBookTest, EachOperatorSeesOwnNotes) {
    AgendaBook book(archives());
    AgendaNote mine = Note("20260320", 0);
    AgendaNote theirs = Note("20260320", 0);
    theirs.user = "contabile";
    ASSERT_EQ(book.add(mine), AgendaBook::Result::Done);
    ASSERT_EQ(book.add(theirs), AgendaBook::Result::Done);
    EXPECT_EQ(book.notes("amministratore"), std::vector<AgendaNote>{mine});
    EXPECT_EQ(book.notes("contabile"), std::vector<AgendaNote>{theirs});
}

TEST_F(AgendaBookTest, TwoStationsAddingAtOnceNeverShareANumber) {
    constexpr int kEach = 15;
    const std::string dir = this->dir.prefix();
    test::Child other([dir](test::Child& self) {
        ScriptedDialogs d;
        FixedClock c("15/03/2026");
        Session s(d, c);
        s.setDataDirectory(dir);
        if (!s.archives().open(arc::kGg)) {
            return 1;
        }
        self.tell("ready");
        AgendaBook book(s.archives());
        for (int i = 0; i < kEach; ++i) {
            AgendaNote n = Note("20260320", 0, false, "altra");
            if (book.add(n) != AgendaBook::Result::Done) {
                return 2;
            }
        }
        return 0;
    });
    ASSERT_EQ(other.hear(), "ready");
    AgendaBook book(archives());
    for (int i = 0; i < kEach; ++i) {
        AgendaNote n = Note("20260320", 0, false, "questa");
        ASSERT_EQ(book.add(n), AgendaBook::Result::Done);
    }
    ASSERT_EQ(other.wait(), 0);
    std::set<int> numbers;
    for (const AgendaNote& n : book.notes({})) {
        numbers.insert(n.number);
    }
    EXPECT_EQ(numbers.size(), 2U * kEach);
    EXPECT_EQ(*numbers.rbegin(), 2 * kEach);
}

class AgendaScreenTest : public SheetFixture {
  protected:
    void SetUp() override {
        SheetFixture::SetUp();
        screen = std::make_unique<Agenda>(session);
        screen->load();
    }
    void TearDown() override { screen->unload(); }
    void typeNote(const std::string& date, const std::string& text) {
        screen->form().input(Agenda::kDate, date);
        screen->form().input(Agenda::kText, text);
    }
    std::unique_ptr<Agenda> screen;
};

// The list's order and each change, and the other refusals, are the operator script's
// (agenda); these are the ones it does not make.
TEST_F(AgendaScreenTest, BadNotesAreRefusedAndNothingIsWritten) {
    typeNote("__/__/____", "Versamento");
    screen->click(Agenda::kAdd);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Non è stata inserita la data"});
    EXPECT_EQ(screen->takeFocusRequest(), Agenda::kDate);
    typeNote("15/03/2026", "   ");
    screen->click(Agenda::kAdd);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Non è stato inserito il testo della nota"});
    for (const char* button : {Agenda::kDone, Agenda::kRemove}) {
        screen->click(button);
        EXPECT_EQ(boxTexts(), std::vector<std::string>{"Non è stata selezionata nessuna nota"});
    }
    EXPECT_EQ(count(arc::kGg), 0);
}

TEST_F(AgendaScreenTest, AnInstallationWithoutAnAgendaGetsOne) {
    screen->unload();
    ASSERT_TRUE(archives().kill(arc::kGg, "", "", 1));
    screen = std::make_unique<Agenda>(session);
    screen->load();
    typeNote("16/03/2026", "Inventario");
    screen->click(Agenda::kAdd);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{});
    EXPECT_EQ(screen->form().items(Agenda::kList),
              std::vector<std::string>{"16/03/2026 - Inventario"});
}

}  // namespace
}  // namespace zelvo
