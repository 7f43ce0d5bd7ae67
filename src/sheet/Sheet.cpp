#include "sheet/Sheet.h"

#include <algorithm>
#include <deque>
#include <unordered_set>

namespace zelvo::sheet {

namespace {

// Rows shown beyond the last one used, so that the operator can always type further down.
constexpr int kShownRows = 1000;
constexpr int kRowsBeyond = 50;
constexpr int kShownColumns = 26;
constexpr int kDefaultWidth = 10;

// The number an operand of + - * / stands for: an empty cell counts as zero, a text refuses.
bool AsNumber(const CellValue& v, SheetNumber& n, CellValue& failure) {
    switch (v.kind) {
        case CellValue::Kind::Empty:
            n = SheetNumber();
            return true;
        case CellValue::Kind::Number:
            n = v.number;
            return true;
        case CellValue::Kind::Text:
            failure = CellValue::error(kErrorValue);
            return false;
        case CellValue::Kind::Error:
            failure = v;
            return false;
    }
    return false;
}

CellValue NumberValue(const SheetNumber& n) {
    return {CellValue::Kind::Number, n, {}};
}

// Folds the numbers of a function's arguments: texts and empty cells of a range are passed
// over, an error stops the fold and is the result.
class Fold {
  public:
    explicit Fold(SheetFunction f) : m_function(f) {}

    bool take(const CellValue& v, bool fromRange) {
        if (v.kind == CellValue::Kind::Error) {
            m_result = v;
            return false;
        }
        if (v.kind != CellValue::Kind::Number) {
            if (fromRange || v.kind == CellValue::Kind::Empty) {
                return true;
            }
            m_result = CellValue::error(kErrorValue);
            return false;
        }
        if (!m_any) {
            m_value = v.number;
            m_any = true;
            return true;
        }
        switch (m_function) {
            case SheetFunction::Sum:
                if (!m_value.add(v.number)) {
                    m_result = CellValue::error(kErrorNumber);
                    return false;
                }
                break;
            case SheetFunction::Min:
                m_value = v.number.compare(m_value) < 0 ? v.number : m_value;
                break;
            case SheetFunction::Max:
                m_value = v.number.compare(m_value) > 0 ? v.number : m_value;
                break;
            case SheetFunction::Abs:
                break;
        }
        return true;
    }

    CellValue result() const {
        if (m_result.kind == CellValue::Kind::Error) {
            return m_result;
        }
        SheetNumber n = m_value;
        if (m_function == SheetFunction::Abs && n.compare(SheetNumber()) < 0) {
            n.negate();
        }
        return NumberValue(n);
    }

  private:
    SheetFunction m_function;
    SheetNumber m_value;
    bool m_any = false;
    CellValue m_result;
};

bool Arithmetic(FormulaStep::Kind kind, SheetNumber& a, const SheetNumber& b) {
    switch (kind) {
        case FormulaStep::Kind::Add:
            return a.add(b);
        case FormulaStep::Kind::Subtract:
            return a.subtract(b);
        case FormulaStep::Kind::Multiply:
            return a.multiply(b);
        default:
            return a.divide(b);
    }
}

}  // namespace

// A value on the evaluation stack: a value, or a range handed to a function.
struct Sheet::Operand {
    CellValue value;
    bool isRange = false;
    CellRange range;
};

Sheet::Sheet() = default;

int Sheet::rows() const {
    return std::min(kMaxRows, std::max(kShownRows, m_lastRow + 1 + kRowsBeyond));
}

int Sheet::columns() const {
    return std::min(kMaxColumns, std::max(kShownColumns, m_lastColumn + 2));
}

Sheet::Cell& Sheet::touch(CellRef c) {
    m_lastRow = std::max(m_lastRow, c.row);
    m_lastColumn = std::max(m_lastColumn, c.column);
    return m_cells[keyOf(c)];
}

const std::string& Sheet::entry(CellRef cell) const {
    static const std::string kNone;
    auto it = m_cells.find(keyOf(cell));
    return it == m_cells.end() ? kNone : it->second.entry;
}

const CellValue& Sheet::value(CellRef cell) const {
    static const CellValue kEmpty;
    auto it = m_cells.find(keyOf(cell));
    return it == m_cells.end() ? kEmpty : it->second.value;
}

bool Sheet::isFormula(CellRef cell) const {
    return entry(cell).starts_with("=");
}

std::string Sheet::shown(CellRef cell) const {
    const CellValue& v = value(cell);
    switch (v.kind) {
        case CellValue::Kind::Number:
            return FormatNumber(v.number, format(cell));
        case CellValue::Kind::Text:
        case CellValue::Kind::Error:
            return v.text;
        case CellValue::Kind::Empty:
            break;
    }
    return {};
}

void Sheet::setFormat(const CellRange& range, const std::string& mask) {
    for (int r = range.first.row; r <= range.last.row; ++r) {
        for (int c = range.first.column; c <= range.last.column; ++c) {
            touch({r, c}).format = mask;
        }
    }
}

const std::string& Sheet::format(CellRef cell) const {
    static const std::string kNone;
    auto it = m_cells.find(keyOf(cell));
    return it == m_cells.end() ? kNone : it->second.format;
}

void Sheet::setFont(const CellRange& range, const CellFont& font) {
    auto known = std::find(m_fonts.begin(), m_fonts.end(), font);
    const int index = static_cast<int>(known - m_fonts.begin());
    if (known == m_fonts.end()) {
        m_fonts.push_back(font);
    }
    for (int r = range.first.row; r <= range.last.row; ++r) {
        for (int c = range.first.column; c <= range.last.column; ++c) {
            touch({r, c}).font = index;
        }
    }
}

CellFont Sheet::font(CellRef cell) const {
    auto it = m_cells.find(keyOf(cell));
    if (it == m_cells.end() || it->second.font < 0) {
        return m_defaultFont;
    }
    return m_fonts[static_cast<size_t>(it->second.font)];
}

void Sheet::setColumnWidth(int column, int characters) {
    m_widths[column] = characters;
}

int Sheet::columnWidth(int column) const {
    auto it = m_widths.find(column);
    return it == m_widths.end() ? kDefaultWidth : it->second;
}

void Sheet::link(Key cell, const Formula& f) {
    for (CellRef r : f.refs) {
        m_refDependants[keyOf(r)].push_back(cell);
    }
    for (const CellRange& r : f.ranges) {
        m_rangeDependants.emplace_back(r, cell);
    }
}

void Sheet::unlink(Key cell, const Formula& f) {
    for (CellRef r : f.refs) {
        auto it = m_refDependants.find(keyOf(r));
        if (it != m_refDependants.end()) {
            auto& list = it->second;
            list.erase(std::find(list.begin(), list.end(), cell));
            if (list.empty()) {
                m_refDependants.erase(it);
            }
        }
    }
    if (!f.ranges.empty()) {
        std::erase_if(m_rangeDependants, [cell](const auto& d) { return d.second == cell; });
    }
}

void Sheet::setEntry(CellRef cell, const std::string& entry) {
    const Key key = keyOf(cell);
    Cell& c = touch(cell);
    if (c.formula) {
        unlink(key, *c.formula);
        c.formula.reset();
    }
    c.entry = entry;
    c.value = {};
    if (entry.starts_with("=")) {
        auto f = std::make_shared<Formula>(CompileFormula(std::string_view(entry).substr(1)));
        if (f->valid) {
            link(key, *f);
            c.formula = std::move(f);
        } else {
            c.value = CellValue::error(kErrorSyntax);
        }
    } else if (entry.starts_with("'")) {
        c.value = {CellValue::Kind::Text, {}, entry.substr(1)};
    } else if (auto n = SheetNumber::parse(entry)) {
        c.value = NumberValue(*n);
    } else if (!entry.empty()) {
        c.value = {CellValue::Kind::Text, {}, entry};
    }
    if (!m_batch) {
        recompute(affectedBy(key));
    }
}

void Sheet::endBatch() {
    m_batch = false;
    std::vector<Key> formulas;
    for (const auto& [key, cell] : m_cells) {
        if (cell.formula) {
            formulas.push_back(key);
        }
    }
    recompute(formulas);
}

std::vector<Sheet::Key> Sheet::affectedBy(Key changed) const {
    std::vector<Key> out;
    std::unordered_set<Key> seen{changed};
    std::deque<Key> queue{changed};
    while (!queue.empty()) {
        const Key k = queue.front();
        queue.pop_front();
        auto cell = m_cells.find(k);
        if (cell != m_cells.end() && cell->second.formula) {
            out.push_back(k);
        }
        auto visit = [&](Key d) {
            if (seen.insert(d).second) {
                queue.push_back(d);
            }
        };
        if (auto it = m_refDependants.find(k); it != m_refDependants.end()) {
            for (Key d : it->second) {
                visit(d);
            }
        }
        const CellRef at = refOf(k);
        for (const auto& [range, d] : m_rangeDependants) {
            if (range.contains(at)) {
                visit(d);
            }
        }
    }
    return out;
}

std::vector<Sheet::Key> Sheet::precedentsAmong(const Cell& c,
                                               const std::unordered_map<Key, size_t>& among) const {
    std::vector<Key> out;
    for (CellRef r : c.formula->refs) {
        if (among.count(keyOf(r)) > 0) {
            out.push_back(keyOf(r));
        }
    }
    for (const CellRange& range : c.formula->ranges) {
        // Whichever is smaller: the range's cells, or the formulas being recomputed.
        if (range.area() <= static_cast<long long>(among.size())) {
            for (int r = range.first.row; r <= range.last.row; ++r) {
                for (int col = range.first.column; col <= range.last.column; ++col) {
                    if (among.count(keyOf({r, col})) > 0) {
                        out.push_back(keyOf({r, col}));
                    }
                }
            }
        } else {
            for (const auto& [k, index] : among) {
                if (range.contains(refOf(k))) {
                    out.push_back(k);
                }
            }
        }
    }
    return out;
}

void Sheet::recompute(const std::vector<Key>& formulas) {
    m_lastRecomputed = formulas.size();
    std::unordered_map<Key, size_t> index;
    for (size_t i = 0; i < formulas.size(); ++i) {
        index.emplace(formulas[i], i);
    }
    // Every formula after the formulas it reads (Kahn's order); what is left over reads
    // itself through a cycle, or reads a cell that does.
    std::vector<size_t> waiting(formulas.size(), 0);
    std::vector<std::vector<size_t>> readers(formulas.size());
    for (size_t i = 0; i < formulas.size(); ++i) {
        for (Key p : precedentsAmong(m_cells.at(formulas[i]), index)) {
            readers[index.at(p)].push_back(i);
            ++waiting[i];
        }
    }
    std::vector<size_t> ready;
    for (size_t i = 0; i < formulas.size(); ++i) {
        if (waiting[i] == 0) {
            ready.push_back(i);
        }
    }
    while (!ready.empty()) {
        const size_t i = ready.back();
        ready.pop_back();
        Cell& c = m_cells.at(formulas[i]);
        c.value = evaluate(*c.formula);
        for (size_t r : readers[i]) {
            if (--waiting[r] == 0) {
                ready.push_back(r);
            }
        }
    }
    for (size_t i = 0; i < formulas.size(); ++i) {
        if (waiting[i] > 0) {
            m_cells.at(formulas[i]).value = CellValue::error(kErrorCycle);
        }
    }
}

CellValue Sheet::evaluate(const Formula& f) const {
    using K = FormulaStep::Kind;
    std::vector<Operand> stack;
    stack.reserve(f.steps.size());
    for (const FormulaStep& s : f.steps) {
        switch (s.kind) {
            case K::Number:
                stack.push_back({NumberValue(s.number)});
                break;
            case K::Ref:
                stack.push_back({value(s.range.first)});
                break;
            case K::Range:
                stack.push_back({{}, true, s.range});
                break;
            case K::Negate: {
                SheetNumber n;
                CellValue failure;
                if (!AsNumber(stack.back().value, n, failure)) {
                    return failure;
                }
                n.negate();
                stack.back().value = NumberValue(n);
                break;
            }
            case K::Call: {
                const size_t first = stack.size() - static_cast<size_t>(s.arguments);
                CellValue v = call(static_cast<SheetFunction>(s.function), stack.data() + first,
                                   stack.data() + stack.size());
                stack.resize(first);
                if (v.kind == CellValue::Kind::Error) {
                    return v;
                }
                stack.push_back({v});
                break;
            }
            default: {
                SheetNumber a;
                SheetNumber b;
                CellValue failure;
                if (!AsNumber(stack[stack.size() - 2].value, a, failure) ||
                    !AsNumber(stack.back().value, b, failure)) {
                    return failure;
                }
                if (!Arithmetic(s.kind, a, b)) {
                    return CellValue::error(s.kind == K::Divide && b.isZero() ? kErrorDivide
                                                                              : kErrorNumber);
                }
                stack.pop_back();
                stack.back().value = NumberValue(a);
            }
        }
    }
    const CellValue& v = stack.back().value;
    // A formula that only names an empty cell shows zero, as in every office suite.
    return v.kind == CellValue::Kind::Empty ? NumberValue(SheetNumber()) : v;
}

CellValue Sheet::call(SheetFunction function, const Operand* first, const Operand* last) const {
    Fold fold(function);
    for (auto it = first; it != last; ++it) {
        if (!it->isRange) {
            if (!fold.take(it->value, false)) {
                return fold.result();
            }
            continue;
        }
        const CellRange& r = it->range;
        bool going = true;
        // A range larger than the cells in use is read through the cells in use.
        if (r.area() > static_cast<long long>(m_cells.size())) {
            std::vector<Key> inside;
            for (const auto& [key, cell] : m_cells) {
                if (r.contains(refOf(key))) {
                    inside.push_back(key);
                }
            }
            for (size_t i = 0; i < inside.size() && going; ++i) {
                going = fold.take(m_cells.at(inside[i]).value, true);
            }
        } else {
            for (int row = r.first.row; row <= r.last.row && going; ++row) {
                for (int col = r.first.column; col <= r.last.column && going; ++col) {
                    going = fold.take(value({row, col}), true);
                }
            }
        }
        if (!going) {
            return fold.result();
        }
    }
    return fold.result();
}

void Sheet::forEachCell(const std::function<void(CellRef, const std::string& entry)>& visit) const {
    std::vector<Key> keys;
    keys.reserve(m_cells.size());
    for (const auto& [key, cell] : m_cells) {
        keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    for (Key k : keys) {
        visit(refOf(k), m_cells.at(k).entry);
    }
}

}  // namespace zelvo::sheet
