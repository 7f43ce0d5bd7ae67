// GenericScreen's keeping of widgets and logic in step: the operator's input into the form
// before an event, the form's changes, grid pages and focus requests back after it.

#include "ui/GenericScreen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextEdit>

#include "base/NumberText.h"
#include "ui/GenericScreenImpl.h"

namespace zelvo {

std::string GenericScreen::nameOf(const QWidget* w) const {
    QVariant grid = w->property("gridName");
    if (grid.isValid()) {
        const Grid& g = m_grids.at(grid.toString().toStdString());
        int row = g.page * g.layout->pageRows + w->property("gridRow").toInt();
        return CellName(w->property("gridColumn").toString().toStdString(), row);
    }
    return w->objectName().toStdString();
}

QWidget* GenericScreen::cell(const std::string& column, int row) {
    const ControlSpec* gs = m_logic->layout().gridOf(column);
    if (gs == nullptr || row < 0 || row >= gs->rows) {
        return nullptr;
    }
    Grid& g = m_grids[gs->name];
    int page = row / gs->pageRows;
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
    size_t k = 0;
    while (k < gs->columns.size() && gs->columns[k].name != column) {
        ++k;
    }
    return g.cells[static_cast<size_t>(row % gs->pageRows)][k];
}

void GenericScreen::refreshGrid(const std::string& name) {
    Grid& g = m_grids[name];
    FormState& f = m_logic->form();
    for (int r = 0; r < g.layout->pageRows; ++r) {
        int row = g.page * g.layout->pageRows + r;
        for (size_t k = 0; k < g.layout->columns.size(); ++k) {
            QWidget* w = g.cells[static_cast<size_t>(r)][k];
            QSignalBlocker block(w);
            const std::string cell = CellName(g.layout->columns[k].name, row);
            if (auto* b = qobject_cast<QCheckBox*>(w)) {
                b->setChecked(f.checked(cell));
            } else {
                setWidgetText(w, f.text(cell));
            }
        }
    }
}

void GenericScreen::setWidgetText(QWidget* w, const std::string& text) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
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
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
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
                if (auto* e = qobject_cast<QLineEdit*>(w)) {
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
    if (!ParseCell(name, column, row)) {
        return nullptr;
    }
    const ControlSpec* gs = m_logic->layout().gridOf(column);
    if (gs == nullptr || row < 0 || row >= gs->rows) {
        return nullptr;
    }
    Grid& g = m_grids[gs->name];
    if (row / gs->pageRows != g.page) {
        return nullptr;  // not shown: it reaches the screen when its page does
    }
    size_t k = 0;
    while (k < gs->columns.size() && gs->columns[k].name != column) {
        ++k;
    }
    return g.cells[static_cast<size_t>(row % gs->pageRows)][k];
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
        } else if (auto* t = qobject_cast<QTextEdit*>(w)) {
            t->setHtml(qs(f.text(name)));
        }
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
