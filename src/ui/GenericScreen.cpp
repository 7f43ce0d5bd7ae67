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
#include <QSpinBox>
#include <QStringListModel>
#include <QTextEdit>
#include <QTimer>

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
    for (const ControlSpec& c : m_logic->layout().controls) {
        if (c.kind == ControlKind::Button &&
            (cancel ? c.as<ButtonSettings>().isCancel : c.as<ButtonSettings>().isDefault)) {
            if (auto* b = qobject_cast<QPushButton*>(control(c.name)); b && b->isEnabled()) {
                b->setFocus(Qt::OtherFocusReason);
                b->click();
            }
            return;
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
        case QEvent::KeyPress: {
            auto* ke = static_cast<QKeyEvent*>(event);
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
