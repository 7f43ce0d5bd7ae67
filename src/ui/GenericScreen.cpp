#include "ui/GenericScreen.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QCompleter>
#include <QFontDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStringListModel>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

#include "session/SearchList.h"

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
           qobject_cast<const QTextEdit*>(w) != nullptr ||
           qobject_cast<const QComboBox*>(w) != nullptr ||
           qobject_cast<const QListWidget*>(w) != nullptr ||
           qobject_cast<const QSpinBox*>(w) != nullptr;
}

void restrictTo(QLineEdit* e, const std::string& allowed, const std::string& pattern) {
    QString expression;
    if (!pattern.empty()) {
        expression = qs(pattern);
    } else if (!allowed.empty()) {
        expression =
            QStringLiteral("[") + QRegularExpression::escape(qs(allowed)) + QStringLiteral("]*");
    } else {
        return;
    }
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(expression), e));
}

QStringList toList(const std::vector<std::string>& items) {
    QStringList out;
    for (const auto& s : items) {
        out << qs(s);
    }
    return out;
}

}  // namespace

GenericScreen::GenericScreen(std::unique_ptr<ScreenLogic> logic, QWidget* parent)
    : QWidget(parent), m_logic(std::move(logic)) {
    setObjectName(qs(m_logic->layout().name));
    setWindowTitle(qs(m_logic->layout().title));
    // The screen itself can hold the focus, so that leaving a field need not enter another.
    setFocusPolicy(Qt::ClickFocus);
    build();
}

GenericScreen::~GenericScreen() {
    if (!m_unloaded) {
        m_unloaded = true;
        m_logic->unload();
    }
}

void GenericScreen::build() {
    auto* outer = new QGridLayout(this);
    // Controls on tab pages go into the page's own grid; the others below the tabs.
    QTabWidget* tabs = nullptr;
    std::map<std::string, QGridLayout*> pages;
    auto layoutFor = [&](const ControlSpec& c) -> std::pair<QGridLayout*, QWidget*> {
        if (c.tab.empty()) {
            return {outer, this};
        }
        if (tabs == nullptr) {
            tabs = new QTabWidget(this);
            tabs->setObjectName("SSTab1");
            outer->addWidget(tabs, 0, 0, 1, 8);
        }
        QGridLayout*& page = pages[c.tab];
        if (page == nullptr) {
            auto* w = new QWidget(tabs);
            page = new QGridLayout(w);
            tabs->addTab(w, qs(c.tab));
        }
        return {page, page->parentWidget()};
    };
    std::map<std::string, QButtonGroup*> groups;
    const int charWidth = fontMetrics().averageCharWidth();
    for (const ControlSpec& c : m_logic->layout().controls) {
        QWidget* w = nullptr;
        QString caption = qs(c.caption);
        auto [grid, parent] = layoutFor(c);
        const int rowOffset = (tabs != nullptr && c.tab.empty()) ? 1 : 0;
        switch (c.kind) {
            case ControlKind::Label:
                w = new QLabel(caption, parent);
                break;
            case ControlKind::RichText: {
                auto* t = new QTextEdit(parent);
                t->setAcceptRichText(true);
                t->setReadOnly(c.readOnly);
                w = t;
                break;
            }
            case ControlKind::Text: {
                auto* e = new QLineEdit(parent);
                if (!c.mask.empty()) {
                    e->setInputMask(qs(c.mask));
                }
                restrictTo(e, c.allowed, c.pattern);
                if (c.maxLength > 0) {
                    e->setMaxLength(c.maxLength);
                }
                e->setReadOnly(c.readOnly);
                w = e;
                break;
            }
            case ControlKind::Button: {
                auto* b = new QPushButton(caption, parent);
                b->setAutoDefault(false);
                if (!c.richAction.empty()) {
                    connect(b, &QPushButton::clicked, this,
                            [this, action = c.richAction, target = c.target] {
                                formatRichText(target, action);
                            });
                } else {
                    connect(b, &QPushButton::clicked, this, [this, name = c.name] {
                        dispatch([&name](ScreenLogic& l) { l.click(name); });
                    });
                }
                w = b;
                break;
            }
            case ControlKind::Check: {
                auto* b = new QCheckBox(caption, parent);
                connect(b, &QCheckBox::clicked, this, [this, name = c.name] {
                    dispatch([&name](ScreenLogic& l) { l.change(name); });
                });
                w = b;
                break;
            }
            case ControlKind::Option: {
                auto* b = new QRadioButton(caption, parent);
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
                auto* l = new QListWidget(parent);
                connect(l, &QListWidget::itemClicked, this,
                        [this, name = c.name, l] { pickItem(name, l->currentRow(), false); });
                connect(l, &QListWidget::itemDoubleClicked, this,
                        [this, name = c.name, l] { pickItem(name, l->currentRow(), true); });
                w = l;
                break;
            }
            case ControlKind::Combo: {
                auto* b = new QComboBox(parent);
                b->setEditable(c.editable);
                connect(b, &QComboBox::activated, this,
                        [this, name = c.name](int index) { pickItem(name, index, false); });
                w = b;
                break;
            }
            case ControlKind::Spin: {
                auto* sp = new QSpinBox(parent);
                sp->setRange(c.minimum, c.maximum);
                connect(sp, &QSpinBox::valueChanged, this, [this, name = c.name] {
                    dispatch([&name](ScreenLogic& l) { l.change(name); });
                });
                w = sp;
                break;
            }
            case ControlKind::Grid:
                w = buildGrid(c);
                break;
        }
        w->setObjectName(qs(c.name));
        if (c.width > 0 && c.kind != ControlKind::Button && c.kind != ControlKind::Grid) {
            w->setMinimumWidth(charWidth * (c.width + 2));
        }
        if (c.account) {
            if (auto* e = qobject_cast<QLineEdit*>(w)) {
                auto* completer = new QCompleter(new QStringListModel(e), e);
                completer->setCaseSensitivity(Qt::CaseInsensitive);
                e->setCompleter(completer);
                connect(e, &QLineEdit::textEdited, this,
                        [this, e](const QString& typed) { updateCompletion(e, typed); });
            }
        }
        bool labelled =
            !caption.isEmpty() && (c.kind == ControlKind::Text || c.kind == ControlKind::Combo ||
                                   c.kind == ControlKind::List || c.kind == ControlKind::Spin);
        int col = c.column * 2;
        int row = c.row + rowOffset;
        if (labelled) {
            auto* label = new QLabel(caption, parent);
            label->setBuddy(w);
            grid->addWidget(label, row, col);
            grid->addWidget(w, row, col + 1, 1, c.columnSpan * 2 - 1);
        } else {
            grid->addWidget(w, row, col, 1, c.columnSpan * 2);
        }
        if (isInput(w) || qobject_cast<QAbstractButton*>(w) != nullptr) {
            w->installEventFilter(this);
        }
        m_controls[c.name] = w;
    }
    outer->setRowStretch(outer->rowCount(), 1);
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

QWidget* GenericScreen::buildGrid(const ControlSpec& c) {
    auto* box = new QWidget(this);
    auto* layout = new QGridLayout(box);
    layout->setSpacing(1);
    const int charWidth = fontMetrics().averageCharWidth();
    Grid& g = m_grids[c.name];
    g.layout = &c;
    for (size_t k = 0; k < c.columns.size(); ++k) {
        layout->addWidget(new QLabel(qs(c.columns[k].caption), box), 0, static_cast<int>(k));
    }
    g.cells.resize(static_cast<size_t>(c.pageRows));
    for (int r = 0; r < c.pageRows; ++r) {
        for (size_t k = 0; k < c.columns.size(); ++k) {
            const GridColumn& col = c.columns[k];
            QWidget* w = nullptr;
            if (col.label) {
                w = new QLabel(box);
            } else if (col.check) {
                auto* b = new QCheckBox(box);
                b->installEventFilter(this);
                connect(b, &QCheckBox::clicked, this, [this, b] {
                    std::string name = nameOf(b);
                    dispatch([&name](ScreenLogic& l) { l.change(name); });
                });
                w = b;
            } else {
                auto* e = new QLineEdit(box);
                restrictTo(e, col.allowed, col.pattern);
                e->installEventFilter(this);
                if (col.account) {
                    auto* completer = new QCompleter(new QStringListModel(e), e);
                    completer->setCaseSensitivity(Qt::CaseInsensitive);
                    e->setCompleter(completer);
                    connect(e, &QLineEdit::textEdited, this,
                            [this, e](const QString& typed) { updateCompletion(e, typed); });
                }
                w = e;
            }
            // Named like the rows of a control array: "conto(3)" is the fourth visible row.
            w->setObjectName(qs(col.name) + QStringLiteral("(%1)").arg(r));
            w->setProperty("gridName", qs(c.name));
            w->setProperty("gridColumn", qs(col.name));
            w->setProperty("gridRow", r);
            w->setMinimumWidth(charWidth * (col.width + 1));
            layout->addWidget(w, r + 1, static_cast<int>(k));
            g.cells[static_cast<size_t>(r)].push_back(w);
        }
    }
    return box;
}

std::string GenericScreen::nameOf(const QWidget* w) const {
    QVariant grid = w->property("gridName");
    if (grid.isValid()) {
        const Grid& g = m_grids.at(grid.toString().toStdString());
        int row = g.page * g.layout->pageRows + w->property("gridRow").toInt();
        return CellName(w->property("gridColumn").toString().toStdString(), row);
    }
    return w->objectName().toStdString();
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
    dispatch([&name, index, doubleClick](ScreenLogic& l) {
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
            sp->setValue(std::stoi("0" + f.text(name)));
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
    if (w == nullptr) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::FocusIn: {
            auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                std::string name = nameOf(w);
                dispatch([&name](ScreenLogic& l) { l.onFocus(name); });
            }
            break;
        }
        case QEvent::FocusOut: {
            // Leaving the window or opening a pop-up is not leaving the field.
            auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                isInput(w)) {
                std::string name = nameOf(w);
                dispatch([&name](ScreenLogic& l) { l.onLeave(name); });
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
