#include "ui/GenericScreen.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

namespace zelvo {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

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

bool isInput(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) != nullptr ||
           qobject_cast<const QComboBox*>(w) != nullptr ||
           qobject_cast<const QListWidget*>(w) != nullptr;
}

}  // namespace

GenericScreen::GenericScreen(std::unique_ptr<ScreenLogic> logic, QWidget* parent)
    : QWidget(parent), m_logic(std::move(logic)) {
    setObjectName(qs(m_logic->spec().name));
    setWindowTitle(qs(m_logic->spec().title));
    build();
}

GenericScreen::~GenericScreen() {
    if (!m_unloaded) {
        m_unloaded = true;
        m_logic->unload();
    }
}

void GenericScreen::build() {
    auto* grid = new QGridLayout(this);
    std::map<std::string, QButtonGroup*> groups;
    const int charWidth = fontMetrics().averageCharWidth();
    for (const ControlSpec& c : m_logic->spec().controls) {
        QWidget* w = nullptr;
        QLabel* label = nullptr;
        QString caption = qs(c.caption);
        switch (c.kind) {
            case ControlKind::Label:
                w = new QLabel(caption, this);
                break;
            case ControlKind::Text: {
                auto* e = new QLineEdit(this);
                if (!c.mask.empty()) {
                    e->setInputMask(qs(c.mask));
                }
                if (!c.allowed.empty()) {
                    QString set = QRegularExpression::escape(qs(c.allowed));
                    e->setValidator(new QRegularExpressionValidator(
                        QRegularExpression(QStringLiteral("[") + set + QStringLiteral("]*")), e));
                }
                if (c.maxLength > 0) {
                    e->setMaxLength(c.maxLength);
                }
                e->setReadOnly(c.readOnly);
                w = e;
                break;
            }
            case ControlKind::Button: {
                auto* b = new QPushButton(caption, this);
                b->setAutoDefault(false);
                connect(b, &QPushButton::clicked, this, [this, name = c.name] {
                    dispatch([&name](ScreenLogic& l) { l.click(name); });
                });
                w = b;
                break;
            }
            case ControlKind::Check: {
                auto* b = new QCheckBox(caption, this);
                connect(b, &QCheckBox::clicked, this, [this, name = c.name] {
                    dispatch([&name](ScreenLogic& l) { l.change(name); });
                });
                w = b;
                break;
            }
            case ControlKind::Option: {
                auto* b = new QRadioButton(caption, this);
                auto& group = groups[c.group];
                if (group == nullptr) {
                    group = new QButtonGroup(this);
                }
                group->addButton(b);
                connect(b, &QRadioButton::clicked, this, [this, name = c.name] {
                    dispatch([&name](ScreenLogic& l) { l.change(name); });
                });
                w = b;
                break;
            }
            case ControlKind::List: {
                auto* l = new QListWidget(this);
                connect(l, &QListWidget::itemClicked, this,
                        [this, name = c.name, l] { pickItem(name, l->currentRow(), false); });
                connect(l, &QListWidget::itemDoubleClicked, this,
                        [this, name = c.name, l] { pickItem(name, l->currentRow(), true); });
                w = l;
                break;
            }
            case ControlKind::Combo: {
                auto* b = new QComboBox(this);
                b->setEditable(c.editable);
                connect(b, &QComboBox::activated, this,
                        [this, name = c.name](int index) { pickItem(name, index, false); });
                w = b;
                break;
            }
        }
        w->setObjectName(qs(c.name));
        if (c.width > 0 && c.kind != ControlKind::Button) {
            w->setMinimumWidth(charWidth * (c.width + 2));
        }
        bool labelled =
            !caption.isEmpty() && (c.kind == ControlKind::Text || c.kind == ControlKind::Combo ||
                                   c.kind == ControlKind::List);
        int col = c.column * 2;
        if (labelled) {
            label = new QLabel(caption, this);
            label->setBuddy(w);
            grid->addWidget(label, c.row, col);
            grid->addWidget(w, c.row, col + 1, 1, c.columnSpan * 2 - 1);
        } else {
            grid->addWidget(w, c.row, col, 1, c.columnSpan * 2);
        }
        if (isInput(w) || qobject_cast<QAbstractButton*>(w) != nullptr) {
            w->installEventFilter(this);
        }
        m_controls[c.name] = w;
    }
    grid->setRowStretch(grid->rowCount(), 1);
}

QWidget* GenericScreen::frame() {
    for (QWidget* p = this; p != nullptr; p = p->parentWidget()) {
        if (qobject_cast<QMdiSubWindow*>(p) != nullptr || p->isWindow()) {
            return p;
        }
    }
    return this;
}

QWidget* GenericScreen::control(const std::string& name) const {
    auto it = m_controls.find(name);
    return it == m_controls.end() ? nullptr : it->second;
}

void GenericScreen::start() {
    dispatch([](ScreenLogic& l) { l.load(); });
    // The first input takes the focus unless the screen asked otherwise.
    if (QApplication::focusWidget() == nullptr || !isAncestorOf(QApplication::focusWidget())) {
        for (const ControlSpec& c : m_logic->spec().controls) {
            QWidget* w = control(c.name);
            if (w != nullptr && isInput(w) && w->isEnabled()) {
                m_inEvent = true;
                w->setFocus(Qt::OtherFocusReason);
                m_inEvent = false;
                break;
            }
        }
    }
}

template <typename F>
void GenericScreen::dispatch(F&& event) {
    if (m_inEvent || m_unloaded) {
        return;
    }
    m_inEvent = true;
    readInputs();
    event(*m_logic);
    applyChanges();
    applyFocus();
    m_inEvent = false;
    if (m_logic->closeRequested() && !m_closeApproved) {
        m_closeApproved = true;
        frame()->close();
    }
}

void GenericScreen::pickItem(const std::string& name, int index, bool doubleClick) {
    dispatch([this, &name, index, doubleClick](ScreenLogic& l) {
        l.form().inputSelected(name, index);
        if (doubleClick) {
            l.doubleClick(name);
        } else {
            l.change(name);
        }
    });
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
        }
    }
}

void GenericScreen::applyChanges() {
    FormState& f = m_logic->form();
    for (const std::string& name : f.takeDirty()) {
        QWidget* w = control(name);
        if (w == nullptr) {
            continue;
        }
        QSignalBlocker block(w);
        w->setEnabled(f.enabled(name));
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            if (e->text() != qs(f.text(name)) || !e->inputMask().isEmpty()) {
                e->setText(qs(f.text(name)));
            }
        } else if (auto* lb = qobject_cast<QLabel*>(w)) {
            lb->setText(qs(f.text(name)));
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (b->isCheckable()) {
                b->setChecked(f.checked(name));
            }
        } else if (auto* l = qobject_cast<QListWidget*>(w)) {
            QStringList items;
            for (const auto& s : f.items(name)) {
                items << qs(s);
            }
            l->clear();
            l->addItems(items);
            l->setCurrentRow(f.selected(name));
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            QStringList items;
            for (const auto& s : f.items(name)) {
                items << qs(s);
            }
            c->clear();
            c->addItems(items);
            c->setCurrentIndex(f.selected(name));
            if (c->isEditable() && f.selected(name) < 0) {
                c->setEditText(qs(f.text(name)));
            }
        }
    }
}

void GenericScreen::applyFocus() {
    std::string name = m_logic->takeFocusRequest();
    if (QWidget* w = control(name)) {
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
}

void GenericScreen::pressDefault(bool cancel) {
    for (const ControlSpec& c : m_logic->spec().controls) {
        if (c.kind == ControlKind::Button && (cancel ? c.isCancel : c.isDefault)) {
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
    std::string name = w != nullptr ? w->objectName().toStdString() : std::string();
    switch (event->type()) {
        case QEvent::FocusIn: {
            auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                dispatch([&name](ScreenLogic& l) { l.focus(name); });
            }
            break;
        }
        case QEvent::FocusOut: {
            // Leaving the window or opening a pop-up is not leaving the field.
            auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                isInput(w)) {
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
            bool used = false;
            dispatch([&](ScreenLogic& l) { used = l.key(name, key); });
            if (used) {
                return true;
            }
            if (key == "Escape") {
                pressDefault(true);
                return true;
            }
            if (key == "Enter" && isInput(w)) {
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
