#pragma once

#include <QModelIndex>
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "session/ScreenLogic.h"

class QAbstractButton;
class QButtonGroup;
class QKeyEvent;
class QLineEdit;
class QScrollArea;
class QTabWidget;

namespace zelvo {

class SheetTableModel;

// The one view of every screen: builds the controls a screen's logic describes, names each
// widget after its control, copies the operator's input into the logic before every event
// and the logic's changes, focus and close requests back after it. No rule lives here.
class GenericScreen : public QWidget {
    Q_OBJECT
  public:
    explicit GenericScreen(std::unique_ptr<ScreenLogic> logic, QWidget* parent = nullptr);
    ~GenericScreen() override;

    ScreenLogic& logic() { return *m_logic; }
    // Runs the logic's load event and puts the focus on the first input.
    void start();
    QWidget* control(const std::string& name) const;

    // The frame the screen lives in: its child window inside the main window, or itself
    // when it is a window of its own.
    QWidget* frame();
    // Entry points for events that do not come from a widget signal.
    void pickItem(const std::string& control, int index, bool doubleClick);
    // The widget of a grid cell, after showing the page that holds its row; nullptr when
    // the screen has no such cell.
    QWidget* cell(const std::string& column, int row);
    // The control name an input widget stands for: its own, or a cell's "column:row".
    std::string nameOf(const QWidget* w) const;
    // A cell of the screen's sheet control, by column letters ("c") and row from 0: typing
    // into it as the operator's editing does, and the text it shows. False when the screen
    // has no sheet or no such cell.
    bool enterSheetCell(const std::string& column, int row, const std::string& text);
    bool sheetCellText(const std::string& column, int row, std::string& text) const;

  signals:
    void closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    template <typename F>
    void dispatch(F&& event);
    // An exception that escaped the logic's event: told to the operator, never rethrown.
    void reportFault(const char* what);
    // One builder per kind of control: the widget, its settings and its signals.
    using Builder = QWidget* (GenericScreen::*)(const ControlSpec&, QWidget* parent);
    static const std::map<ControlKind, Builder>& builders();
    QWidget* buildLabel(const ControlSpec& c, QWidget* parent);
    QWidget* buildText(const ControlSpec& c, QWidget* parent);
    QWidget* buildDate(const ControlSpec& c, QWidget* parent);
    QWidget* buildAmount(const ControlSpec& c, QWidget* parent);
    QWidget* buildAccount(const ControlSpec& c, QWidget* parent);
    QWidget* buildButton(const ControlSpec& c, QWidget* parent);
    QWidget* buildCheck(const ControlSpec& c, QWidget* parent);
    QWidget* buildOption(const ControlSpec& c, QWidget* parent);
    QWidget* buildList(const ControlSpec& c, QWidget* parent);
    QWidget* buildCombo(const ControlSpec& c, QWidget* parent);
    QWidget* buildSpin(const ControlSpec& c, QWidget* parent);
    QWidget* buildGrid(const ControlSpec& c, QWidget* parent);
    QWidget* buildRichText(const ControlSpec& c, QWidget* parent);
    QWidget* buildTree(const ControlSpec& c, QWidget* parent);
    QWidget* buildProgress(const ControlSpec& c, QWidget* parent);
    QWidget* buildSheet(const ControlSpec& c, QWidget* parent);
    QWidget* buildCell(const GridColumn& column, QWidget* parent);
    // A page of the screen's tab control, made when its first control comes.
    QWidget* buildTabPage(const std::string& caption);
    // An account field completes what is typed from the screen's suggestions.
    void offerCompletion(QLineEdit* e);
    void build();
    // Comfort for a day at the keyboard, the same on every screen: Tab follows the screen's
    // rows and columns, every button has an accelerator, the field in use is scrolled into
    // view and a grid's row in use is marked.
    void orderTabs();
    void giveAccelerators();
    void showInView(QWidget* w);
    // The enabled button of this screen whose accelerator the key is (Alt and its letter).
    QAbstractButton* mnemonicButton(const QKeyEvent* ke) const;
    void readInputs();
    void applyChanges();
    void applyFocus();
    void pressDefault(bool cancel);
    void refreshGrid(const std::string& grid);
    struct Grid;
    // The grid's current row tinted on its page, the others plain.
    static void markCurrentRow(const Grid& g);
    // The widget showing the cell when its page is the one shown, else nullptr.
    QWidget* shownCell(const Grid& g, const std::string& column, int row) const;
    QWidget* widgetFor(const std::string& name);
    void setWidgetText(QWidget* w, const std::string& text);
    void openSearch(const std::string& name);
    void updateCompletion(QWidget* w, const QString& typed);
    void formatRichText(const std::string& target, const std::string& action);

    struct Grid {
        const GridSettings* settings = nullptr;
        QScrollArea* rows = nullptr;  // the cells scroll under the column captions
        int page = 0;
        int currentRow = -1;  // the absolute row the focus was last in
        // cells[visibleRow][column]
        std::vector<std::vector<QWidget*>> cells;
    };

    std::unique_ptr<ScreenLogic> m_logic;
    std::map<std::string, QWidget*> m_controls;
    std::map<std::string, Grid> m_grids;
    std::map<std::string, QButtonGroup*> m_optionGroups;
    std::map<std::string, SheetTableModel*> m_sheets;
    // The sheet's index of a cell named by column letters and row; invalid when none.
    QModelIndex sheetIndex(const std::string& column, int row) const;
    // The sheet's column widths, whenever they differ from those last applied.
    void sizeSheetColumns(const std::string& name);
    QTabWidget* m_tabs = nullptr;
    // Everything the screen holds, scrolling when its window is smaller than the screen.
    QScrollArea* m_scroll = nullptr;
    QWidget* m_body = nullptr;
    bool m_inEvent = false;
    bool m_focusRequested = false;
    bool m_closeApproved = false;
    bool m_unloaded = false;
};

}  // namespace zelvo
