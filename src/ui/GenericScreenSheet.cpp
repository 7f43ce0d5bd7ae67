// GenericScreen's sheet control: a table view over a model that asks the screen's
// SheetSource for the cells it paints, and hands each edited cell to the logic.

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>

#include "ui/GenericScreen.h"
#include "ui/GenericScreenImpl.h"

namespace zelvo {

SheetTableModel::SheetTableModel(Source source, Enter enter, QObject* parent)
    : QAbstractTableModel(parent), m_source(std::move(source)), m_enter(std::move(enter)) {
    if (const SheetSource* s = m_source()) {
        m_rows = s->rowCount();
        m_columns = s->columnCount();
    }
}

int SheetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int SheetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant SheetTableModel::data(const QModelIndex& index, int role) const {
    const SheetSource* s = m_source();
    if (s == nullptr || !index.isValid()) {
        return {};
    }
    const int r = index.row();
    const int c = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return qs(s->shownText(r, c));
        case Qt::EditRole:
            return qs(s->enteredText(r, c));
        case Qt::FontRole: {
            const SheetCellLook look = s->look(r, c);
            if (look.family.empty() && look.size == 0 && !look.bold) {
                return {};
            }
            QFont f;
            if (!look.family.empty()) {
                f.setFamily(qs(look.family));
            }
            if (look.size > 0) {
                f.setPointSize(look.size);
            }
            f.setBold(look.bold);
            return f;
        }
        case Qt::TextAlignmentRole:
            return s->look(r, c).right ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
        default:
            return {};
    }
}

QVariant SheetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const SheetSource* s = m_source();
    if (role != Qt::DisplayRole || s == nullptr) {
        return {};
    }
    return orientation == Qt::Horizontal ? qs(s->columnTitle(section)) : QVariant(section + 1);
}

Qt::ItemFlags SheetTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable
                           : Qt::NoItemFlags;
}

bool SheetTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    m_enter(index.row(), index.column(), value.toString());
    return true;
}

void SheetTableModel::refresh() {
    const SheetSource* s = m_source();
    if (s == nullptr) {
        return;
    }
    const int rows = s->rowCount();
    const int columns = s->columnCount();
    if (rows < m_rows || columns < m_columns) {
        beginResetModel();
        m_rows = rows;
        m_columns = columns;
        endResetModel();
        return;
    }
    // A sheet that grew as the operator typed keeps its place and current cell.
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    }
    if (columns > m_columns) {
        beginInsertColumns({}, m_columns, columns - 1);
        m_columns = columns;
        endInsertColumns();
    }
    if (m_rows > 0 && m_columns > 0) {
        emit dataChanged(index(0, 0), index(m_rows - 1, m_columns - 1));
    }
}

QWidget* GenericScreen::buildSheet(const ControlSpec& c, QWidget* parent) {
    auto* view = new QTableView(parent);
    const std::string name = c.name;
    auto* model = new SheetTableModel(
        [this, name] { return m_logic->sheetSource(name); },
        [this, name](int row, int column, const QString& text) {
            const std::string typed = text.toStdString();
            dispatch([&](ScreenLogic& l) { l.enterSheetCell(name, row, column, typed); });
        },
        view);
    view->setModel(model);
    // Rows of one height: the view then places any row by arithmetic, however many there are.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // A label longer than its column is cut, as on the printed page; it never wraps.
    view->setWordWrap(false);
    view->setMinimumSize(fontMetrics().averageCharWidth() * 100, fontMetrics().height() * 25);
    m_sheets[name] = model;
    return view;
}

void GenericScreen::sizeSheetColumns(const std::string& name) {
    const SheetSource* source = m_logic->sheetSource(name);
    auto* view = qobject_cast<QTableView*>(control(name));
    if (source == nullptr || view == nullptr) {
        return;
    }
    std::vector<int> widths;
    for (int c = 0; c < source->columnCount(); ++c) {
        widths.push_back(source->columnWidth(c));
    }
    // Only when the sheet's own widths change: a column the operator widened stays so.
    std::vector<int>& applied = m_sheets.at(name)->appliedWidths;
    if (widths == applied) {
        return;
    }
    applied = widths;
    // Widths count characters of a fixed-pitch font, the font of the sheets' amounts and of
    // the printed page.
    const int charWidth = QFontMetrics(QFontDatabase::systemFont(QFontDatabase::FixedFont))
                              .horizontalAdvance(QLatin1Char('0'));
    for (size_t c = 0; c < widths.size(); ++c) {
        view->setColumnWidth(static_cast<int>(c), charWidth * (widths[c] + 2));
    }
}

QModelIndex GenericScreen::sheetIndex(const std::string& column, int row) const {
    if (m_sheets.empty() || column.empty() || column.size() > 3) {
        return {};
    }
    int c = 0;
    for (char ch : column) {
        const char lower = static_cast<char>(ch | 0x20);
        if (lower < 'a' || lower > 'z') {
            return {};
        }
        c = c * 26 + (lower - 'a' + 1);
    }
    return m_sheets.begin()->second->index(row, c - 1);
}

bool GenericScreen::enterSheetCell(const std::string& column, int row, const std::string& text) {
    const QModelIndex i = sheetIndex(column, row);
    if (!i.isValid()) {
        return false;
    }
    auto* view = qobject_cast<QTableView*>(control(m_sheets.begin()->first));
    view->setCurrentIndex(i);
    view->scrollTo(i);
    return m_sheets.begin()->second->setData(i, qs(text), Qt::EditRole);
}

bool GenericScreen::sheetCellText(const std::string& column, int row, std::string& text) const {
    const QModelIndex i = sheetIndex(column, row);
    if (!i.isValid()) {
        return false;
    }
    text = i.data(Qt::DisplayRole).toString().toStdString();
    return true;
}

}  // namespace zelvo
