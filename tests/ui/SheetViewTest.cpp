// View wiring of the sheet control: the table view asks the screen only for the cells it
// paints, however many rows the sheet has, and a cell typed into the view reaches the
// screen's logic as typed.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTest>

#include "session/Session.h"
#include "sheet/SheetWindow.h"
#include "ui/GenericScreen.h"

namespace zelvo {
namespace {

// Ten thousand rows that count how often the view asks for them.
class CountingSheet : public ScreenLogic, private SheetSource {
  public:
    explicit CountingSheet(Session& s) : ScreenLogic(s, layout()) {
        onSheetEntry("F1Book1", [this](int row, int column, const std::string& text) {
            typed = std::to_string(row) + "," + std::to_string(column) + "=" + text;
        });
    }
    static FormSpec layout() {
        FormSpec f;
        f.name = "conta";
        f.sheet("F1Book1", 0);
        return f;
    }
    const SheetSource* sheetSource(const std::string&) const override { return this; }

    mutable int asked = 0;
    std::string typed;

  private:
    int rowCount() const override { return 10000; }
    int columnCount() const override { return 5; }
    std::string shownText(int row, int column) const override {
        ++asked;
        return std::to_string(row * 10 + column);
    }
    std::string enteredText(int row, int column) const override { return shownText(row, column); }
    SheetCellLook look(int, int) const override { return {}; }
    int columnWidth(int) const override { return 8; }
    std::string columnTitle(int column) const override { return std::string(1, 'A' + column); }
};

class SheetViewTest : public ::testing::Test {
  protected:
    SheetViewTest() : session(dialogs, clock) {}

    GenericScreen* show(std::unique_ptr<ScreenLogic> logic) {
        auto* screen = new GenericScreen(std::move(logic));
        main.setCentralWidget(area);
        QMdiSubWindow* sub = area->addSubWindow(screen);
        main.show();
        sub->show();
        main.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
        screen->start();
        QApplication::processEvents();
        return screen;
    }

    ScriptedDialogs dialogs;
    FixedClock clock{"15/03/2026"};
    Session session;
    QMainWindow main;
    QMdiArea* area = new QMdiArea;
};

TEST_F(SheetViewTest, OnlyTheCellsOnScreenAreAskedFor) {
    auto logic = std::make_unique<CountingSheet>(session);
    CountingSheet* sheet = logic.get();
    GenericScreen* screen = show(std::move(logic));
    auto* view = screen->findChild<QTableView*>("F1Book1");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->model()->rowCount(), 10000);
    EXPECT_GT(sheet->asked, 0);
    EXPECT_LT(sheet->asked, 2000);
    sheet->asked = 0;
    view->scrollToBottom();
    QApplication::processEvents();
    EXPECT_LT(sheet->asked, 2000);
    std::string shown;
    ASSERT_TRUE(screen->sheetCellText("c", 9999, shown));
    EXPECT_EQ(shown, "99992");
}

TEST_F(SheetViewTest, ACellTypedInTheViewReachesTheLogic) {
    auto logic = std::make_unique<CountingSheet>(session);
    CountingSheet* sheet = logic.get();
    GenericScreen* screen = show(std::move(logic));
    auto* view = screen->findChild<QTableView*>("F1Book1");
    const QModelIndex cell = view->model()->index(2, 1);
    view->setCurrentIndex(cell);
    view->edit(cell);
    QApplication::processEvents();
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "=a1+1");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(sheet->typed, "2,1==a1+1");
}

TEST_F(SheetViewTest, TheSpreadsheetWindowShowsWhatItsFormulasCompute) {
    GenericScreen* screen = show(std::make_unique<SheetWindow>(session));
    ASSERT_TRUE(screen->enterSheetCell("a", 0, "5"));
    ASSERT_TRUE(screen->enterSheetCell("b", 0, "=a1*2"));
    std::string shown;
    ASSERT_TRUE(screen->sheetCellText("b", 0, shown));
    EXPECT_EQ(shown, "10");
    ASSERT_TRUE(screen->enterSheetCell("A", 0, "7"));
    auto* view = screen->findChild<QTableView*>("F1Book1");
    EXPECT_EQ(view->model()->index(0, 1).data().toString(), "14");
    EXPECT_EQ(view->model()->index(0, 1).data(Qt::EditRole).toString(), "=a1*2");
    EXPECT_FALSE(screen->sheetCellText("1a", 0, shown));
    // Typing below the last row shown grows the sheet where the operator is.
    EXPECT_EQ(view->model()->rowCount(), 1000);
    ASSERT_TRUE(screen->enterSheetCell("a", 999, "=b1"));
    EXPECT_EQ(view->model()->rowCount(), 1050);
    EXPECT_EQ(view->currentIndex().row(), 999);
    EXPECT_EQ(view->model()->index(999, 0).data().toString(), "14");
}

}  // namespace
}  // namespace zelvo
