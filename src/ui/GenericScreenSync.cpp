// GenericScreen's keeping of widgets and logic in step: the operator's input into the form
// before an event, the form's changes, grid pages and focus requests back after it.

#include "ui/GenericScreen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextEdit>
#include <QTreeWidget>
#include <algorithm>
#include <stdexcept>

#include "base/NumberText.h"
#include "ui/AmountEdit.h"
#include "ui/GenericScreenImpl.h"

namespace zelvo {

namespace {

// The tree again from its items: each hangs under the last node one level up.
void fillTree(QTreeWidget* t, const std::vector<std::string>& items) {
    t->clear();
    std::vector<QTreeWidgetItem*> parents;
    for (const std::string& item : items) {
        std::string text;
        const size_t depth = std::min(static_cast<size_t>(TreeDepth(item, text)), parents.size());
        parents.resize(depth);
        auto* node = depth == 0 ? new QTreeWidgetItem(t) : new QTreeWidgetItem(parents.back());
        node->setText(0, qs(text));
        parents.push_back(node);
    }
    t->expandAll();
}

}  // namespace

std::string GenericScreen::nameOf(const QWidget* w) const {
    // Grid cells carry the name of the cell their row shows now, like any other control.
    return w->objectName().toStdString();
}

QWidget* GenericScreen::cell(const std::string& column, int row) {
    const ControlSpec* gs = m_logic->layout().gridOf(column);
    if (gs == nullptr || row < 0 || row >= gs->as<GridSettings>().rows) {
        return nullptr;
    }
    Grid& g = m_grids[gs->name];
    const int page = row / g.settings->pageRows;
    if (page != g.page) {
        std::string grid = gs->name;
        // The screen hears of the page change as from its page control.
        dispatch([&grid, page](ScreenLogic& l) {
            l.form().inputSelected(grid, page);
            l.change(grid);
        });
        g.page = page;
        refreshGrid(grid);
    }
    return shownCell(g, column, row);
}

QWidget* GenericScreen::shownCell(const Grid& g, const std::string& column, int row) const {
    const int pageRows = g.settings->pageRows;
    if (row / pageRows != g.page) {
        return nullptr;
    }
    const auto& columns = g.settings->columns;
    for (size_t k = 0; k < columns.size(); ++k) {
        if (columns[k].name == column) {
            return g.cells[static_cast<size_t>(row % pageRows)][k];
        }
    }
    return nullptr;
}

void GenericScreen::refreshGrid(const std::string& name) {
    Grid& g = m_grids[name];
    FormState& f = m_logic->form();
    const auto& columns = g.settings->columns;
    for (int r = 0; r < g.settings->pageRows; ++r) {
        const int row = g.page * g.settings->pageRows + r;
        for (size_t k = 0; k < columns.size(); ++k) {
            QWidget* w = g.cells[static_cast<size_t>(r)][k];
            QSignalBlocker block(w);
            const std::string cell = CellName(columns[k].name, row);
            w->setObjectName(qs(cell));
            if (auto* b = qobject_cast<QCheckBox*>(w)) {
                b->setChecked(f.checked(cell));
            } else {
                setWidgetText(w, f.text(cell));
            }
        }
    }
    markCurrentRow(g);
}

namespace {

// A light wash of the selection colour over the cell's background: the text stays readable.
void tint(QWidget* w, bool on) {
    if (w->property("currentRow").toBool() == on) {
        return;
    }
    w->setProperty("currentRow", on);
    QPalette p;
    if (on) {
        const QColor base = w->palette().color(QPalette::Base);
        const QColor mark = w->palette().color(QPalette::Highlight);
        const auto mix = [](int a, int b) { return (a * 3 + b) / 4; };
        const QColor wash(mix(base.red(), mark.red()), mix(base.green(), mark.green()),
                          mix(base.blue(), mark.blue()));
        p.setColor(QPalette::Base, wash);
        p.setColor(QPalette::Window, wash);
    }
    // An empty palette gives the cell back the one it inherits.
    w->setPalette(p);
    // Labels and check boxes paint no background of their own.
    w->setAutoFillBackground(on && qobject_cast<QLineEdit*>(w) == nullptr);
}

}  // namespace

void GenericScreen::markCurrentRow(const Grid& g) {
    for (size_t r = 0; r < g.cells.size(); ++r) {
        const bool current = g.page * g.settings->pageRows + static_cast<int>(r) == g.currentRow;
        for (QWidget* w : g.cells[r]) {
            tint(w, current);
        }
    }
}

void GenericScreen::setWidgetText(QWidget* w, const std::string& text) {
    if (auto* a = qobject_cast<AmountEdit*>(w)) {
        a->setValue(qs(text));
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != qs(text) || !e->inputMask().isEmpty()) {
            e->setText(qs(text));
        }
    } else if (auto* lb = qobject_cast<QLabel*>(w)) {
        lb->setText(qs(text));
    }
}

void GenericScreen::readInputs() {
    FormState& f = m_logic->form();
    for (const auto& [name, w] : m_controls) {
        if (auto* a = qobject_cast<AmountEdit*>(w)) {
            f.input(name, a->value().toStdString());
        } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
            // A masked field reads as displayed, so an untouched date is "__/__/____".
            f.input(name, (e->inputMask().isEmpty() ? e->text() : e->displayText()).toStdString());
        } else if (auto* b = qobject_cast<QCheckBox*>(w)) {
            f.inputChecked(name, b->isChecked());
        } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
            f.inputChecked(name, r->isChecked());
        } else if (auto* l = qobject_cast<QListWidget*>(w)) {
            f.inputSelected(name, l->currentRow());
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            f.inputSelected(name, c->currentIndex());
            if (c->isEditable()) {
                f.input(name, c->currentText().toStdString());
            }
        } else if (auto* sp = qobject_cast<QSpinBox*>(w)) {
            f.input(name, std::to_string(sp->value()));
        } else if (auto* t = qobject_cast<QTextEdit*>(w)) {
            f.input(name, t->document()->isEmpty() ? std::string() : t->toHtml().toStdString());
        }
    }
    for (auto& [name, g] : m_grids) {
        f.inputSelected(name, g.page);
        for (const auto& row : g.cells) {
            for (QWidget* w : row) {
                if (auto* a = qobject_cast<AmountEdit*>(w)) {
                    f.input(nameOf(w), a->value().toStdString());
                } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
                    f.input(nameOf(w), e->text().toStdString());
                } else if (auto* b = qobject_cast<QCheckBox*>(w)) {
                    f.inputChecked(nameOf(w), b->isChecked());
                }
            }
        }
    }
}

QWidget* GenericScreen::widgetFor(const std::string& name) {
    if (QWidget* w = control(name)) {
        return w;
    }
    std::string column;
    int row = 0;
    const ControlSpec* gs =
        ParseCell(name, column, row) ? m_logic->layout().gridOf(column) : nullptr;
    if (gs == nullptr) {
        // The form state lets no unknown name through; one here is the view's own mistake.
        throw std::logic_error("screen " + m_logic->layout().name + " shows no control \"" + name +
                               "\"");
    }
    // A cell of another page has no widget now: it reaches the screen when its page does.
    return shownCell(m_grids[gs->name], column, row);
}

void GenericScreen::applyChanges() {
    FormState& f = m_logic->form();
    std::set<std::string> dirty = f.takeDirty();
    // Page changes first, so that the cells changed with them land on the right page.
    for (const std::string& name : dirty) {
        auto g = m_grids.find(name);
        if (g != m_grids.end()) {
            g->second.page = std::max(0, f.selected(name));
            refreshGrid(name);
        }
    }
    for (const std::string& name : dirty) {
        if (m_grids.count(name) > 0) {
            continue;
        }
        QWidget* w = widgetFor(name);
        if (w == nullptr) {
            continue;
        }
        QSignalBlocker block(w);
        if (control(name) != nullptr) {
            w->setEnabled(f.enabled(name));
        }
        if (qobject_cast<QLineEdit*>(w) != nullptr || qobject_cast<QLabel*>(w) != nullptr) {
            setWidgetText(w, f.text(name));
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (b->isCheckable()) {
                b->setChecked(f.checked(name));
            }
        } else if (auto* t = qobject_cast<QTreeWidget*>(w)) {
            fillTree(t, f.items(name));
        } else if (auto* l = qobject_cast<QListWidget*>(w)) {
            l->clear();
            l->addItems(toList(f.items(name)));
            l->setCurrentRow(f.selected(name));
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            c->clear();
            c->addItems(toList(f.items(name)));
            c->setCurrentIndex(f.selected(name));
            if (c->isEditable() && f.selected(name) < 0) {
                c->setEditText(qs(f.text(name)));
            }
        } else if (auto* sp = qobject_cast<QSpinBox*>(w)) {
            sp->setValue(WholeVal(f.text(name), sp->minimum(), sp->maximum()));
        } else if (auto* p = qobject_cast<QProgressBar*>(w)) {
            p->setValue(WholeVal(f.text(name), 0, 100));
        } else if (auto* t = qobject_cast<QTextEdit*>(w)) {
            t->setHtml(qs(f.text(name)));
        }
    }
    // A sheet has no state in the form: any event may have changed any of its cells.
    for (const auto& [name, model] : m_sheets) {
        model->refresh();
        sizeSheetColumns(name);
    }
}

void GenericScreen::applyFocus() {
    std::string name = m_logic->takeFocusRequest();
    if (name.empty()) {
        return;
    }
    std::string column;
    int row = 0;
    QWidget* w = ParseCell(name, column, row) ? cell(column, row) : control(name);
    if (w == nullptr) {
        return;
    }
    m_focusRequested = true;
    w->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        // Back in a refused field the operator types it again: a masked date from its
        // first position, any other text over the old one.
        if (e->inputMask().isEmpty()) {
            e->selectAll();
        } else {
            e->setCursorPosition(0);
        }
    }
}

}  // namespace zelvo
