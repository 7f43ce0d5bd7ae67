// GenericScreen's building of its widgets from the screen's layout: one small builder per
// kind of control, registered once in a table, and the tab pages that hold them.

#include "ui/GenericScreen.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStringListModel>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/AmountEdit.h"
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

// The kinds whose caption is a label beside the control rather than the control's own text.
bool labelledBeside(ControlKind kind) {
    switch (kind) {
        case ControlKind::Text:
        case ControlKind::Date:
        case ControlKind::Amount:
        case ControlKind::Account:
        case ControlKind::Combo:
        case ControlKind::List:
        case ControlKind::Spin:
            return true;
        default:
            return false;
    }
}

// A scroll area that asks for all of what it holds: a window opens at the screen's full size
// where there is room, and scrolls only where there is not.
class WholeArea : public QScrollArea {
  public:
    explicit WholeArea(QWidget* parent) : QScrollArea(parent) {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    QSize sizeHint() const override {
        if (widget() == nullptr) {
            return QScrollArea::sizeHint();
        }
        // Room for the vertical bar too, so that a screen shown whole never wraps sideways;
        // wrapped labels as tall as their width makes them.
        QSize s = widget()->sizeHint();
        if (widget()->hasHeightForWidth()) {
            s.setHeight(std::max(s.height(), widget()->heightForWidth(s.width())));
        }
        return s + QSize(verticalScrollBar()->sizeHint().width(), 0);
    }

  protected:
    // What it holds grew (polished in its style, a label filled): so does what it asks for.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget() && event->type() == QEvent::LayoutRequest) {
            updateGeometry();
        }
        return QScrollArea::eventFilter(watched, event);
    }
};

}  // namespace

const std::map<ControlKind, GenericScreen::Builder>& GenericScreen::builders() {
    static const std::map<ControlKind, Builder> table = {
        {ControlKind::Label, &GenericScreen::buildLabel},
        {ControlKind::Text, &GenericScreen::buildText},
        {ControlKind::Date, &GenericScreen::buildDate},
        {ControlKind::Amount, &GenericScreen::buildAmount},
        {ControlKind::Account, &GenericScreen::buildAccount},
        {ControlKind::Button, &GenericScreen::buildButton},
        {ControlKind::Check, &GenericScreen::buildCheck},
        {ControlKind::Option, &GenericScreen::buildOption},
        {ControlKind::List, &GenericScreen::buildList},
        {ControlKind::Combo, &GenericScreen::buildCombo},
        {ControlKind::Spin, &GenericScreen::buildSpin},
        {ControlKind::Grid, &GenericScreen::buildGrid},
        {ControlKind::RichText, &GenericScreen::buildRichText},
        {ControlKind::Tree, &GenericScreen::buildTree},
        {ControlKind::Progress, &GenericScreen::buildProgress},
        {ControlKind::Sheet, &GenericScreen::buildSheet},
    };
    return table;
}

QWidget* GenericScreen::buildLabel(const ControlSpec& c, QWidget* parent) {
    return new QLabel(qs(c.caption), parent);
}

QWidget* GenericScreen::buildText(const ControlSpec& c, QWidget* parent) {
    const auto& s = c.as<TextSettings>();
    auto* e = new QLineEdit(parent);
    restrictTo(e, s.allowed, s.pattern);
    if (s.maxLength > 0) {
        e->setMaxLength(s.maxLength);
    }
    e->setReadOnly(s.readOnly);
    return e;
}

QWidget* GenericScreen::buildDate(const ControlSpec& /*c*/, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setInputMask(qs(kDateMask));
    return e;
}

QWidget* GenericScreen::buildAmount(const ControlSpec& c, QWidget* parent) {
    const Amounts amounts = c.as<AmountSettings>().amounts;
    auto* e = new AmountEdit(amounts, parent);
    restrictTo(e, {}, AmountPattern(amounts));
    return e;
}

QWidget* GenericScreen::buildAccount(const ControlSpec& /*c*/, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    offerCompletion(e);
    return e;
}

void GenericScreen::offerCompletion(QLineEdit* e) {
    auto* completer = new QCompleter(new QStringListModel(e), e);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    e->setCompleter(completer);
    connect(e, &QLineEdit::textEdited, this,
            [this, e](const QString& typed) { updateCompletion(e, typed); });
}

QWidget* GenericScreen::buildButton(const ControlSpec& c, QWidget* parent) {
    const auto& s = c.as<ButtonSettings>();
    auto* b = new QPushButton(qs(c.caption), parent);
    b->setAutoDefault(false);
    if (!s.richAction.empty()) {
        connect(b, &QPushButton::clicked, this, [this, action = s.richAction, target = s.target] {
            formatRichText(target, action);
        });
    } else {
        connect(b, &QPushButton::clicked, this,
                [this, name = c.name] { dispatch([&name](ScreenLogic& l) { l.click(name); }); });
    }
    return b;
}

QWidget* GenericScreen::buildCheck(const ControlSpec& c, QWidget* parent) {
    auto* b = new QCheckBox(qs(c.caption), parent);
    connect(b, &QCheckBox::clicked, this,
            [this, name = c.name] { dispatch([&name](ScreenLogic& l) { l.change(name); }); });
    return b;
}

QWidget* GenericScreen::buildOption(const ControlSpec& c, QWidget* parent) {
    auto* b = new QRadioButton(qs(c.caption), parent);
    QButtonGroup*& group = m_optionGroups[c.as<OptionSettings>().group];
    if (group == nullptr) {
        group = new QButtonGroup(this);
    }
    group->addButton(b);
    connect(b, &QRadioButton::clicked, this,
            [this, name = c.name] { dispatch([&name](ScreenLogic& l) { l.change(name); }); });
    return b;
}

QWidget* GenericScreen::buildList(const ControlSpec& c, QWidget* parent) {
    auto* l = new QListWidget(parent);
    connect(l, &QListWidget::itemClicked, this,
            [this, name = c.name, l] { pickItem(name, l->currentRow(), false); });
    connect(l, &QListWidget::itemDoubleClicked, this,
            [this, name = c.name, l] { pickItem(name, l->currentRow(), true); });
    return l;
}

QWidget* GenericScreen::buildTree(const ControlSpec&, QWidget* parent) {
    auto* t = new QTreeWidget(parent);
    t->setHeaderHidden(true);
    t->setColumnCount(1);
    return t;
}

QWidget* GenericScreen::buildCombo(const ControlSpec& c, QWidget* parent) {
    auto* b = new QComboBox(parent);
    b->setEditable(c.as<ComboSettings>().editable);
    connect(b, &QComboBox::activated, this,
            [this, name = c.name](int index) { pickItem(name, index, false); });
    return b;
}

QWidget* GenericScreen::buildSpin(const ControlSpec& c, QWidget* parent) {
    const auto& s = c.as<SpinSettings>();
    auto* sp = new QSpinBox(parent);
    sp->setRange(s.minimum, s.maximum);
    connect(sp, &QSpinBox::valueChanged, this,
            [this, name = c.name] { dispatch([&name](ScreenLogic& l) { l.change(name); }); });
    return sp;
}

QWidget* GenericScreen::buildProgress(const ControlSpec& /*c*/, QWidget* parent) {
    auto* p = new QProgressBar(parent);
    p->setRange(0, 100);
    p->setValue(0);
    return p;
}

QWidget* GenericScreen::buildRichText(const ControlSpec& c, QWidget* parent) {
    auto* t = new QTextEdit(parent);
    t->setAcceptRichText(true);
    t->setReadOnly(c.as<RichTextSettings>().readOnly);
    return t;
}

QWidget* GenericScreen::buildGrid(const ControlSpec& c, QWidget* parent) {
    const auto& s = c.as<GridSettings>();
    // The column captions stay in place over the rows, which scroll on their own when the
    // window is short: the fields and totals around the grid stay in sight. Captions and cells
    // share fixed column widths so that they line up across the two.
    auto* box = new QWidget(parent);
    auto* outer = new QVBoxLayout(box);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(1);
    auto* captions = new QGridLayout();
    captions->setSpacing(1);
    outer->addLayout(captions);
    Grid& g = m_grids[c.name];
    g.settings = &s;
    g.rows = new WholeArea(box);
    g.rows->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g.rows->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* cells = new QWidget(g.rows);
    auto* layout = new QGridLayout(cells);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    const int charWidth = fontMetrics().averageCharWidth();
    const int columns = static_cast<int>(s.columns.size());
    for (int k = 0; k < columns; ++k) {
        auto* caption = new QLabel(qs(s.columns[static_cast<size_t>(k)].caption), box);
        caption->setFixedWidth(charWidth * (s.columns[static_cast<size_t>(k)].width + 1));
        captions->addWidget(caption, 0, k);
    }
    // The bar's width, so that the last caption sits over its column.
    captions->setColumnMinimumWidth(columns, g.rows->verticalScrollBar()->sizeHint().width());
    captions->setColumnStretch(columns + 1, 1);
    g.cells.resize(static_cast<size_t>(s.pageRows));
    for (int r = 0; r < s.pageRows; ++r) {
        for (size_t k = 0; k < s.columns.size(); ++k) {
            QWidget* w = buildCell(s.columns[k], cells);
            // Named after the cell it shows, like every other control; refreshGrid renames
            // it when the page changes.
            w->setObjectName(qs(CellName(s.columns[k].name, r)));
            w->setProperty("gridName", qs(c.name));
            w->setFixedWidth(charWidth * (s.columns[k].width + 1));
            layout->addWidget(w, r, static_cast<int>(k));
            g.cells[static_cast<size_t>(r)].push_back(w);
        }
    }
    g.rows->setWidget(cells);
    // The bar stays beside the last column rather than at the window's far edge.
    g.rows->setMaximumWidth(cells->sizeHint().width() +
                            g.rows->verticalScrollBar()->sizeHint().width());
    // However short the window, a few rows stay on show.
    const int rowHeight = cells->sizeHint().height() / std::max(1, s.pageRows);
    g.rows->setMinimumHeight(rowHeight * std::min(s.pageRows, 4) + 2);
    outer->addWidget(g.rows, 1);
    box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    return box;
}

QWidget* GenericScreen::buildCell(const GridColumn& column, QWidget* parent) {
    switch (column.kind) {
        case ColumnKind::Label:
            return new QLabel(parent);
        case ColumnKind::Check: {
            auto* b = new QCheckBox(parent);
            b->installEventFilter(this);
            connect(b, &QCheckBox::clicked, this, [this, b] {
                std::string name = nameOf(b);
                dispatch([&name](ScreenLogic& l) { l.change(name); });
            });
            return b;
        }
        case ColumnKind::Text:
        case ColumnKind::Amount:
        case ColumnKind::Account:
            break;
    }
    QLineEdit* e = nullptr;
    if (column.kind == ColumnKind::Amount) {
        e = new AmountEdit(column.amounts, parent);
        restrictTo(e, {}, AmountPattern(column.amounts));
    } else {
        e = new QLineEdit(parent);
        restrictTo(e, {}, column.pattern);
    }
    e->installEventFilter(this);
    if (column.kind == ColumnKind::Account) {
        offerCompletion(e);
    }
    return e;
}

QWidget* GenericScreen::buildTabPage(const std::string& caption) {
    if (m_tabs == nullptr) {
        m_tabs = new QTabWidget(m_body);
        m_tabs->setObjectName("SSTab1");
        static_cast<QGridLayout*>(m_body->layout())->addWidget(m_tabs, 0, 0, 1, 8);
    }
    auto* page = new QWidget(m_tabs);
    new QGridLayout(page);
    m_tabs->addTab(page, qs(caption));
    return page;
}

void GenericScreen::build() {
    auto* frameLayout = new QVBoxLayout(this);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new WholeArea(this);
    m_body = new QWidget(m_scroll);
    auto* outer = new QGridLayout(m_body);
    std::map<std::string, QWidget*> pages;
    const int charWidth = fontMetrics().averageCharWidth();
    for (const ControlSpec& c : m_logic->layout().controls) {
        // Controls on tab pages go into the page's own grid; the others below the tabs.
        QWidget* parent = m_body;
        if (!c.tab.empty()) {
            QWidget*& page = pages[c.tab];
            if (page == nullptr) {
                page = buildTabPage(c.tab);
            }
            parent = page;
        }
        auto* grid = static_cast<QGridLayout*>(parent->layout());
        QWidget* w = (this->*builders().at(c.kind))(c, parent);
        w->setObjectName(qs(c.name));
        if (c.width > 0 && c.kind != ControlKind::Button && c.kind != ControlKind::Grid) {
            w->setMinimumWidth(charWidth * (c.width + 2));
        }
        const int col = c.column * 2;
        const int row = c.row + ((m_tabs != nullptr && c.tab.empty()) ? 1 : 0);
        if (labelledBeside(c.kind) && !c.caption.empty()) {
            auto* label = new QLabel(qs(c.caption), parent);
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
    m_scroll->setWidget(m_body);
    frameLayout->addWidget(m_scroll);
    orderTabs();
    giveAccelerators();
}

}  // namespace zelvo
