// GenericScreen's building of its widgets, tab pages and grids from the screen's form layout.

#include "ui/GenericScreen.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStringListModel>
#include <QTabWidget>
#include <QTextEdit>

#include "ui/GenericScreenImpl.h"

namespace zelvo {

namespace {

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

}  // namespace

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

}  // namespace zelvo
