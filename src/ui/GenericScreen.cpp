// GenericScreen's life and events: start and close, keys and focus, the F5 quick search,
// completion and rich-text formatting.

#include "ui/GenericScreen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QCompleter>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStringListModel>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <set>
#include <tuple>

#include "session/SearchList.h"
#include "ui/GenericScreenImpl.h"

namespace zelvo {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

bool isInput(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) != nullptr ||
           qobject_cast<const QTextEdit*>(w) != nullptr ||
           qobject_cast<const QComboBox*>(w) != nullptr ||
           qobject_cast<const QListWidget*>(w) != nullptr ||
           qobject_cast<const QSpinBox*>(w) != nullptr;
}

QStringList toList(const std::vector<std::string>& items) {
    QStringList out;
    for (const auto& s : items) {
        out << qs(s);
    }
    return out;
}

namespace {

std::string keyName(int key) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        return "F" + std::to_string(key - Qt::Key_F1 + 1);
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        return "Enter";
    }
    if (key == Qt::Key_Escape) {
        return "Escape";
    }
    return {};
}

}  // namespace

GenericScreen::GenericScreen(std::unique_ptr<ScreenLogic> logic, QWidget* parent)
    : QWidget(parent), m_logic(std::move(logic)) {
    setObjectName(qs(m_logic->layout().name));
    setWindowTitle(qs(m_logic->layout().title));
    // The screen itself can hold the focus, so that leaving a field need not enter another.
    setFocusPolicy(Qt::ClickFocus);
    build();
    m_logic->setRepaint([this] {
        applyChanges();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
}

void GenericScreen::reportFault(const char* what) {
    m_logic->sessionRef().dialogs().message(
        std::string("Errore interno del programma: ") + what +
            "\rL'operazione è stata interrotta; le registrazioni in "
            "corso non sono state effettuate.",
        "Zelvo", Icon::Critical);
}

GenericScreen::~GenericScreen() {
    if (!m_unloaded) {
        m_unloaded = true;
        m_logic->unload();
    }
}

void GenericScreen::formatRichText(const std::string& target, const std::string& action) {
    auto* t = qobject_cast<QTextEdit*>(control(target));
    if (t == nullptr) {
        return;
    }
    if (action == "left" || action == "center" || action == "right") {
        t->setAlignment(action == "left"     ? Qt::AlignLeft
                        : action == "center" ? Qt::AlignHCenter
                                             : Qt::AlignRight);
        return;
    }
    // Font, then colour of the selection; both dialogs open without waiting for them.
    QPointer<QTextEdit> edit(t);
    auto* fonts = new QFontDialog(t->currentFont(), this);
    fonts->setAttribute(Qt::WA_DeleteOnClose);
    connect(fonts, &QFontDialog::fontSelected, this, [this, edit](const QFont& font) {
        if (edit == nullptr) {
            return;
        }
        edit->setCurrentFont(font);
        auto* colours = new QColorDialog(edit->textColor(), this);
        colours->setAttribute(Qt::WA_DeleteOnClose);
        connect(colours, &QColorDialog::colorSelected, edit,
                [edit](const QColor& c) { edit->setTextColor(c); });
        colours->open();
    });
    fonts->open();
}

QWidget* GenericScreen::control(const std::string& name) const {
    auto it = m_controls.find(name);
    return it == m_controls.end() ? nullptr : it->second;
}

QWidget* GenericScreen::frame() {
    for (QWidget* p = this; p != nullptr; p = p->parentWidget()) {
        if (qobject_cast<QMdiSubWindow*>(p) != nullptr || p->isWindow()) {
            return p;
        }
    }
    return this;
}

void GenericScreen::start() {
    m_focusRequested = false;
    dispatch([](ScreenLogic& l) { l.load(); });
    // The first input takes the focus unless the screen asked for another.
    if (m_focusRequested) {
        return;
    }
    for (const ControlSpec& c : m_logic->layout().controls) {
        QWidget* w = control(c.name);
        if (c.kind == ControlKind::Grid && !m_grids[c.name].cells.empty()) {
            w = m_grids[c.name].cells.front().front();
        }
        if (w != nullptr && (isInput(w) || c.kind == ControlKind::Grid) && w->isEnabled()) {
            m_inEvent = true;
            w->setFocus(Qt::OtherFocusReason);
            m_inEvent = false;
            break;
        }
    }
}

void GenericScreen::pickItem(const std::string& name, int index, bool doubleClick) {
    dispatch([&name, index, doubleClick](ScreenLogic& l) {
        l.form().inputSelected(name, index);
        if (doubleClick) {
            l.doubleClick(name);
        } else {
            l.change(name);
        }
    });
}

void GenericScreen::updateCompletion(QWidget* w, const QString& typed) {
    auto* e = qobject_cast<QLineEdit*>(w);
    if (e == nullptr || e->completer() == nullptr) {
        return;
    }
    QStringList items = toList(m_logic->suggestions(nameOf(w), typed.toStdString(), false));
    static_cast<QStringListModel*>(e->completer()->model())->setStringList(items);
}

void GenericScreen::openSearch(const std::string& name) {
    QWidget* w = widgetFor(name);
    auto* e = qobject_cast<QLineEdit*>(w);
    ScreenHost* host = m_logic->host();
    if (e == nullptr || host == nullptr) {
        return;
    }
    std::vector<std::string> items = m_logic->suggestions(name, e->text().toStdString(), true);
    QPointer<QLineEdit> field(e);
    host->openScreen(std::make_unique<SearchList>(m_logic->sessionRef(), std::move(items),
                                                  [field](const std::string& chosen) {
                                                      if (field == nullptr) {
                                                          return;
                                                      }
                                                      field->setText(qs(chosen));
                                                      // Back in the field once the list has
                                                      // closed and its window is active again.
                                                      QTimer::singleShot(0, field, [field] {
                                                          field->window()->activateWindow();
                                                          field->setFocus(Qt::OtherFocusReason);
                                                      });
                                                  }),
                     true);
}

void GenericScreen::pressDefault(bool cancel) {
    // Escape works as the cancel button; on a screen that marks none, as its "Annulla".
    const ControlSpec* chosen = nullptr;
    for (const ControlSpec& c : m_logic->layout().controls) {
        if (c.kind != ControlKind::Button) {
            continue;
        }
        const auto& b = c.as<ButtonSettings>();
        if (cancel ? b.isCancel : b.isDefault) {
            chosen = &c;
            break;
        }
        if (cancel && chosen == nullptr && QString(qs(c.caption)).remove('&') == "Annulla") {
            chosen = &c;
        }
    }
    if (chosen == nullptr) {
        return;
    }
    if (auto* b = qobject_cast<QPushButton*>(control(chosen->name)); b && b->isEnabled()) {
        b->setFocus(Qt::OtherFocusReason);
        b->click();
    }
}

void GenericScreen::keyPressEvent(QKeyEvent* event) {
    // Escape from a place no field handles (the screen itself, a list, a tree).
    if (event->key() == Qt::Key_Escape && !m_inEvent) {
        pressDefault(true);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

namespace {

// The whole widget in sight, not only its text cursor as QScrollArea::ensureWidgetVisible
// would have it: a row shown by half is not a row the operator can read.
void scrollToWhole(QScrollArea* area, QWidget* w) {
    if (area == nullptr || area->widget() == nullptr || !area->widget()->isAncestorOf(w)) {
        return;
    }
    const QPoint centre = w->mapTo(area->widget(), QPoint(w->width() / 2, w->height() / 2));
    area->ensureVisible(centre.x(), centre.y(), w->width() / 2 + 2, w->height() / 2 + 2);
}

}  // namespace

void GenericScreen::showInView(QWidget* w) {
    const QVariant grid = w->property("gridName");
    if (grid.isValid()) {
        auto it = m_grids.find(grid.toString().toStdString());
        if (it != m_grids.end()) {
            scrollToWhole(it->second.rows, w);
            // The row in use is the grid's current row, marked until another takes its place.
            std::string column;
            int row = 0;
            if (ParseCell(nameOf(w), column, row)) {
                it->second.currentRow = row;
                markCurrentRow(it->second);
            }
        }
    }
    scrollToWhole(m_scroll, w);
}

QAbstractButton* GenericScreen::mnemonicButton(const QKeyEvent* ke) const {
    if (ke->modifiers() != Qt::AltModifier) {
        return nullptr;
    }
    for (const auto& [name, w] : m_controls) {
        auto* b = qobject_cast<QAbstractButton*>(w);
        if (b == nullptr || !b->isEnabled() || !b->isVisible()) {
            continue;
        }
        const QString text = b->text();
        const qsizetype amp = text.indexOf('&');
        if (amp >= 0 && amp + 1 < text.size() &&
            static_cast<int>(text[amp + 1].toUpper().unicode()) == ke->key()) {
            return b;
        }
    }
    return nullptr;
}

void GenericScreen::orderTabs() {
    // Screen order: the pages of the tab control in turn, then the rest below them; within
    // each, by row and column; a grid's cells row by row.
    std::map<std::string, int> pageIndex;
    std::vector<std::tuple<int, int, int, size_t, std::vector<QWidget*>>> stops;
    const auto& controls = m_logic->layout().controls;
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlSpec& c = controls[i];
        int page = static_cast<int>(controls.size());
        if (!c.tab.empty()) {
            page = pageIndex.emplace(c.tab, static_cast<int>(pageIndex.size())).first->second;
        }
        std::vector<QWidget*> widgets;
        if (c.kind == ControlKind::Grid) {
            for (const auto& row : m_grids[c.name].cells) {
                widgets.insert(widgets.end(), row.begin(), row.end());
            }
        } else if (QWidget* w = control(c.name)) {
            widgets.push_back(w);
        }
        stops.emplace_back(page, c.row, c.column, i, std::move(widgets));
    }
    std::sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a), std::get<2>(a), std::get<3>(a)) <
               std::tie(std::get<0>(b), std::get<1>(b), std::get<2>(b), std::get<3>(b));
    });
    QWidget* previous = nullptr;
    for (const auto& stop : stops) {
        for (QWidget* w : std::get<4>(stop)) {
            if ((w->focusPolicy() & Qt::TabFocus) == 0) {
                continue;
            }
            if (previous != nullptr) {
                setTabOrder(previous, w);
            }
            previous = w;
        }
    }
}

void GenericScreen::giveAccelerators() {
    // A button whose caption marks no letter gets the first free one, a word's first letter
    // where possible, so that every button is reached with Alt and a letter.
    std::set<QChar> used;
    std::vector<QAbstractButton*> unmarked;
    for (const ControlSpec& c : m_logic->layout().controls) {
        auto* b = qobject_cast<QAbstractButton*>(control(c.name));
        if (b == nullptr) {
            continue;
        }
        const QString text = b->text();
        const qsizetype amp = text.indexOf('&');
        if (amp >= 0 && amp + 1 < text.size()) {
            used.insert(text[amp + 1].toLower());
        } else if (qobject_cast<QPushButton*>(b) != nullptr && !text.isEmpty()) {
            unmarked.push_back(b);
        }
    }
    for (QAbstractButton* b : unmarked) {
        const QString text = b->text();
        qsizetype pick = -1;
        for (int pass = 0; pass < 2 && pick < 0; ++pass) {
            for (qsizetype i = 0; i < text.size(); ++i) {
                const bool wordStart = i == 0 || !text[i - 1].isLetterOrNumber();
                if (text[i].isLetterOrNumber() && (pass == 1 || wordStart) &&
                    used.count(text[i].toLower()) == 0) {
                    pick = i;
                    break;
                }
            }
        }
        if (pick >= 0) {
            used.insert(text[pick].toLower());
            b->setText(text.left(pick) + '&' + text.mid(pick));
        }
    }
}

bool GenericScreen::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w == nullptr) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::FocusIn: {
            showInView(w);
            auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                std::string name = nameOf(w);
                dispatch([&name](ScreenLogic& l) { l.focus(name); });
            }
            break;
        }
        case QEvent::FocusOut: {
            // Leaving the window or opening a pop-up is not leaving the field.
            auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                isInput(w)) {
                std::string name = nameOf(w);
                dispatch([&name](ScreenLogic& l) { l.leave(name); });
            }
            break;
        }
        case QEvent::ShortcutOverride:
            // The screen's own accelerators come before the main window's menus while the
            // operator works in it ("&Annulla" and "&Azienda" share their letter).
            if (mnemonicButton(static_cast<QKeyEvent*>(event)) != nullptr) {
                event->accept();
                return true;
            }
            break;
        case QEvent::KeyPress: {
            auto* ke = static_cast<QKeyEvent*>(event);
            if (QAbstractButton* b = mnemonicButton(ke); b != nullptr && !m_inEvent) {
                b->setFocus(Qt::ShortcutFocusReason);
                b->click();
                return true;
            }
            std::string key = keyName(ke->key());
            if (key.empty() || m_inEvent) {
                break;
            }
            std::string name = nameOf(w);
            bool used = false;
            dispatch([&](ScreenLogic& l) { used = l.key(name, key); });
            if (used) {
                return true;
            }
            if (key == "F1" && m_logic->host() != nullptr) {
                m_logic->host()->showHelp(m_logic->layout().name);
                return true;
            }
            if (key == "F5" && m_logic->layout().isAccountField(name)) {
                openSearch(name);
                return true;
            }
            if (key == "Escape") {
                pressDefault(true);
                return true;
            }
            if (key == "Enter" && isInput(w) && qobject_cast<QTextEdit*>(w) == nullptr) {
                // Keyboard first: Enter moves on to the next field.
                focusNextChild();
                return true;
            }
            if (key == "Enter" && qobject_cast<QPushButton*>(w) != nullptr) {
                static_cast<QPushButton*>(w)->click();
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void GenericScreen::closeEvent(QCloseEvent* event) {
    if (!m_closeApproved) {
        bool allowed = true;
        if (!m_inEvent) {
            m_inEvent = true;
            readInputs();
            allowed = m_logic->queryClose();
            applyChanges();
            m_inEvent = false;
        }
        if (!allowed) {
            event->ignore();
            return;
        }
        m_closeApproved = true;
    }
    if (!m_unloaded) {
        m_unloaded = true;
        m_logic->unload();
    }
    event->accept();
    emit closed();
}

}  // namespace zelvo
