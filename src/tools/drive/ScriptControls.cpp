// ScriptRunner's finding of controls and the commands that act on them as the operator would.

#include "tools/drive/ScriptRunner.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "tools/drive/ScriptHelpers.h"
#include "ui/AmountEdit.h"
#include "ui/GenericScreen.h"
#include "ui/MainWindow.h"
#include "ui/Program.h"

namespace zelvo::drive {

namespace {

std::string withoutAmpersand(const QString& caption) {
    QString c = caption;
    c.remove(QLatin1Char('&'));
    return c.toStdString();
}

GenericScreen* screenOf(QWidget* w) {
    for (QWidget* p = w; p != nullptr; p = p->parentWidget()) {
        if (auto* s = qobject_cast<GenericScreen*>(p)) {
            return s;
        }
    }
    return nullptr;
}

}  // namespace

std::string widgetText(QWidget* w) {
    // An amount reads as the logic has it, not with the mask it shows once left.
    if (auto* a = qobject_cast<AmountEdit*>(w)) {
        return a->value().toStdString();
    }
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        return e->displayText().toStdString();
    }
    if (auto* l = qobject_cast<QLabel*>(w)) {
        return l->text().toStdString();
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        return c->currentText().toStdString();
    }
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        return l->currentItem() != nullptr ? l->currentItem()->text().toStdString() : "";
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        return withoutAmpersand(b->text());
    }
    if (auto* sp = qobject_cast<QSpinBox*>(w)) {
        return std::to_string(sp->value());
    }
    if (auto* p = qobject_cast<QProgressBar*>(w)) {
        return std::to_string(p->value());
    }
    return w->windowTitle().toStdString();
}

std::vector<std::string> widgetItems(QWidget* w) {
    std::vector<std::string> items;
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        for (int i = 0; i < c->count(); ++i) {
            items.push_back(c->itemText(i).toStdString());
        }
    } else if (auto* l = qobject_cast<QListWidget*>(w)) {
        for (int i = 0; i < l->count(); ++i) {
            items.push_back(l->item(i)->text().toStdString());
        }
    } else if (auto* t = qobject_cast<QTreeWidget*>(w)) {
        // The nodes in pre-order, indented as the screen's items are (TreeItem).
        for (QTreeWidgetItemIterator it(t); *it != nullptr; ++it) {
            int depth = 0;
            for (QTreeWidgetItem* p = (*it)->parent(); p != nullptr; p = p->parent()) {
                ++depth;
            }
            items.push_back(TreeItem(depth, (*it)->text(0).toStdString()));
        }
    }
    return items;
}

QWidget* ScriptRunner::find(const std::string& name) const {
    if (m_program == nullptr || m_program->mainWindow() == nullptr) {
        return nullptr;
    }
    MainWindow* main = m_program->mainWindow();
    QWidget* active = main->activeScreen();
    QString n = qs(name);
    for (QWidget* scope : {active, static_cast<QWidget*>(main)}) {
        if (scope == nullptr) {
            continue;
        }
        if (scope->objectName() == n) {
            return scope;
        }
        if (auto* w = scope->findChild<QWidget*>(n)) {
            return w;
        }
    }
    // By caption: a button, check box or option, or the label of a field.
    if (active != nullptr) {
        for (auto* b : active->findChildren<QAbstractButton*>()) {
            // Scripts may also write the caption as the program does, with its "&".
            if (withoutAmpersand(b->text()) == name || b->text() == n) {
                return b;
            }
        }
        for (auto* l : active->findChildren<QLabel*>()) {
            if (withoutAmpersand(l->text()) == name && l->buddy() != nullptr) {
                return l->buddy();
            }
        }
    }
    return nullptr;
}

QWidget* ScriptRunner::gridCell(const std::string& column, const std::string& row) {
    if (m_program == nullptr || m_program->mainWindow() == nullptr) {
        return nullptr;
    }
    auto* screen = qobject_cast<GenericScreen*>(m_program->mainWindow()->activeScreen());
    if (screen == nullptr || row.empty() ||
        row.find_first_not_of("0123456789") != std::string::npos) {
        return nullptr;
    }
    QWidget* cell = screen->cell(column, std::stoi(row));
    settle();
    return cell;
}

bool ScriptRunner::sheetCell(const std::string& column, const std::string& row,
                             const std::string* text, std::string* shown) {
    auto* screen = m_program != nullptr && m_program->mainWindow() != nullptr
                       ? qobject_cast<GenericScreen*>(m_program->mainWindow()->activeScreen())
                       : nullptr;
    if (screen == nullptr || row.empty() || row.size() > 6 ||
        row.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const bool done = text != nullptr ? screen->enterSheetCell(column, std::stoi(row), *text)
                                      : screen->sheetCellText(column, std::stoi(row), *shown);
    settle();
    return done;
}

void ScriptRunner::focusWidget(QWidget* w) {
    QWidget* win = w->window();
    if (!win->isActiveWindow()) {
        win->activateWindow();
        QApplication::setActiveWindow(win);
        settle();
    }
    if (QApplication::focusWidget() != w) {
        w->setFocus(Qt::OtherFocusReason);
        settle();
    }
}

std::string ScriptRunner::leave() {
    QWidget* w = QApplication::focusWidget();
    if (w == nullptr) {
        return "no control has the focus";
    }
    // The focus moves to the screen itself, as when the operator clicks on its background:
    // the field's leave checks run, and no other field's entry does.
    if (GenericScreen* screen = screenOf(w)) {
        screen->setFocus(Qt::OtherFocusReason);
    } else {
        w->clearFocus();
    }
    settle();
    return {};
}

std::string ScriptRunner::setText(QWidget* w, const std::string& text) {
    focusWidget(w);
    if (auto* c = qobject_cast<QComboBox*>(w); c != nullptr && !c->isEditable()) {
        return pick(w, text);
    }
    QLineEdit* e = qobject_cast<QLineEdit*>(w);
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        e = c->lineEdit();
    }
    if (e == nullptr) {
        return "control " + w->objectName().toStdString() + " takes no text";
    }
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    e->home(false);
    // QTest only knows ASCII keys; other letters arrive as key events carrying their text,
    // which is what a keyboard with those letters sends.
    for (QChar c : qs(text)) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
            QTest::keyClick(e, static_cast<char>(c.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Press, e, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, e, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    // A completion list that opened while typing is not part of what the script typed.
    for (QWidget* p = QApplication::activePopupWidget(); p != nullptr;
         p = QApplication::activePopupWidget()) {
        p->close();
    }
    settle();
    // Closing it leaves no window active: the screen's window takes the keyboard again.
    focusWidget(e);
    return {};
}

std::string ScriptRunner::pick(QWidget* w, const std::string& text) {
    std::vector<std::string> items = widgetItems(w);
    auto it = std::find(items.begin(), items.end(), text);
    if (it == items.end()) {
        return "no entry " + inQuotes(text) + " in " + w->objectName().toStdString();
    }
    int index = static_cast<int>(it - items.begin());
    focusWidget(w);
    GenericScreen* screen = screenOf(w);
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->setCurrentIndex(index);
    } else if (auto* l = qobject_cast<QListWidget*>(w)) {
        l->setCurrentRow(index);
    }
    if (screen != nullptr) {
        std::string name = w->objectName().toStdString();
        const ControlSpec* layout = screen->logic().layout().find(name);
        screen->pickItem(name, index,
                         layout != nullptr && layout->kind == ControlKind::List &&
                             layout->as<ListSettings>().pickByDoubleClick);
        settle();
    }
    return {};
}

std::string ScriptRunner::click(QWidget* w) {
    auto* b = qobject_cast<QAbstractButton*>(w);
    if (b == nullptr) {
        return "control " + w->objectName().toStdString() + " is not a button";
    }
    if (!b->isEnabled()) {
        return "control " + w->objectName().toStdString() + " is disabled";
    }
    // Pressing a button first takes the focus from the field being left; a field that
    // refuses to be left keeps it, and the button is not pressed.
    QPointer<QAbstractButton> guard(b);
    focusWidget(b);
    if (guard == nullptr || QApplication::focusWidget() != b) {
        return {};
    }
    b->click();
    settle();
    return {};
}

}  // namespace zelvo::drive
