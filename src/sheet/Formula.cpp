#include "sheet/Formula.h"

#include <array>
#include <cctype>

namespace zelvo::sheet {

namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

constexpr std::array<const char*, 4> kFunctionNames = {"sum", "min", "max", "abs"};
// Deeper nesting than this is a formula nobody writes: refused rather than followed.
constexpr int kMaxDepth = 100;

using K = FormulaStep::Kind;

class Compiler {
  public:
    explicit Compiler(std::string_view text) : m_text(text) {}

    Formula run() {
        Formula f;
        m_out = &f;
        f.valid = expression(0) && (skip(), m_pos == m_text.size());
        if (!f.valid) {
            f = Formula{};
        }
        return f;
    }

  private:
    void skip() {
        while (m_pos < m_text.size() && m_text[m_pos] == ' ') {
            ++m_pos;
        }
    }
    bool eat(char c) {
        skip();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    void emit(K kind) {
        FormulaStep s;
        s.kind = kind;
        m_out->steps.push_back(s);
    }

    bool expression(int depth) {
        if (depth > kMaxDepth || !term(depth)) {
            return false;
        }
        for (;;) {
            if (eat('+')) {
                if (!term(depth)) {
                    return false;
                }
                emit(K::Add);
            } else if (eat('-')) {
                if (!term(depth)) {
                    return false;
                }
                emit(K::Subtract);
            } else {
                return true;
            }
        }
    }

    bool term(int depth) {
        if (!unary(depth)) {
            return false;
        }
        for (;;) {
            if (eat('*')) {
                if (!unary(depth)) {
                    return false;
                }
                emit(K::Multiply);
            } else if (eat('/')) {
                if (!unary(depth)) {
                    return false;
                }
                emit(K::Divide);
            } else {
                return true;
            }
        }
    }

    bool unary(int depth) {
        if (depth > kMaxDepth) {
            return false;
        }
        if (eat('-')) {
            if (!unary(depth + 1)) {
                return false;
            }
            emit(K::Negate);
            return true;
        }
        if (eat('+')) {
            return unary(depth + 1);
        }
        return primary(depth);
    }

    bool primary(int depth) {
        skip();
        if (eat('(')) {
            return expression(depth + 1) && eat(')');
        }
        if (m_pos < m_text.size() && (IsDigit(m_text[m_pos]) || m_text[m_pos] == '.')) {
            return number();
        }
        const size_t start = m_pos;
        while (m_pos < m_text.size() && (IsLetter(m_text[m_pos]) || IsDigit(m_text[m_pos]))) {
            ++m_pos;
        }
        const std::string_view word = m_text.substr(start, m_pos - start);
        if (word.empty()) {
            return false;
        }
        if (eat('(')) {
            return call(word, depth);
        }
        CellRef cell;
        if (!ParseCellLabel(word, cell)) {
            return false;
        }
        FormulaStep s;
        s.kind = K::Ref;
        s.range = {cell, cell};
        m_out->steps.push_back(s);
        m_out->refs.push_back(cell);
        return true;
    }

    bool number() {
        const size_t start = m_pos;
        while (m_pos < m_text.size() && (IsDigit(m_text[m_pos]) || m_text[m_pos] == '.')) {
            ++m_pos;
        }
        std::string digits(m_text.substr(start, m_pos - start));
        // A formula's decimal separator is the point: "1.5" is one and a half.
        const size_t point = digits.find('.');
        if (point != std::string::npos) {
            digits[point] = ',';
        }
        const auto n = SheetNumber::parse(digits);
        if (!n) {
            return false;
        }
        FormulaStep s;
        s.number = *n;
        m_out->steps.push_back(s);
        return true;
    }

    // A range "d3:d12" as an argument, or an expression.
    bool argument(int depth) {
        skip();
        const size_t start = m_pos;
        while (m_pos < m_text.size() && (IsLetter(m_text[m_pos]) || IsDigit(m_text[m_pos]))) {
            ++m_pos;
        }
        CellRef first;
        if (ParseCellLabel(m_text.substr(start, m_pos - start), first) && eat(':')) {
            skip();
            const size_t second = m_pos;
            while (m_pos < m_text.size() && (IsLetter(m_text[m_pos]) || IsDigit(m_text[m_pos]))) {
                ++m_pos;
            }
            CellRef last;
            if (!ParseCellLabel(m_text.substr(second, m_pos - second), last)) {
                return false;
            }
            CellRange r{{std::min(first.row, last.row), std::min(first.column, last.column)},
                        {std::max(first.row, last.row), std::max(first.column, last.column)}};
            FormulaStep s;
            s.kind = K::Range;
            s.range = r;
            m_out->steps.push_back(s);
            m_out->ranges.push_back(r);
            return true;
        }
        m_pos = start;
        return expression(depth + 1);
    }

    bool call(std::string_view word, int depth) {
        int function = -1;
        for (size_t i = 0; i < kFunctionNames.size(); ++i) {
            std::string lower;
            for (char c : word) {
                lower += Lower(c);
            }
            if (lower == kFunctionNames[i]) {
                function = static_cast<int>(i);
            }
        }
        if (function < 0) {
            return false;
        }
        int count = 0;
        if (!eat(')')) {
            do {
                if (!argument(depth)) {
                    return false;
                }
                ++count;
            } while (eat(';') || eat(','));
            if (!eat(')')) {
                return false;
            }
        }
        if (count == 0 ||
            (static_cast<SheetFunction>(function) == SheetFunction::Abs && count != 1)) {
            return false;
        }
        FormulaStep s;
        s.kind = K::Call;
        s.function = function;
        s.arguments = count;
        m_out->steps.push_back(s);
        return true;
    }

    std::string_view m_text;
    size_t m_pos = 0;
    Formula* m_out = nullptr;
};

}  // namespace

std::string ColumnLabel(int column) {
    std::string s;
    for (int c = column + 1; c > 0; c = (c - 1) / 26) {
        s.insert(s.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return s;
}

std::string CellLabel(CellRef cell) {
    return ColumnLabel(cell.column) + std::to_string(cell.row + 1);
}

bool ParseCellLabel(std::string_view text, CellRef& cell) {
    size_t i = 0;
    int column = 0;
    while (i < text.size() && IsLetter(text[i]) && i < 3) {
        column = column * 26 + (Lower(text[i]) - 'a' + 1);
        ++i;
    }
    if (i == 0 || i == text.size() || text.size() - i > 6) {
        return false;
    }
    int row = 0;
    for (size_t k = i; k < text.size(); ++k) {
        if (!IsDigit(text[k])) {
            return false;
        }
        row = row * 10 + (text[k] - '0');
    }
    if (row < 1 || row > kMaxRows || column > kMaxColumns) {
        return false;
    }
    cell = {row - 1, column - 1};
    return true;
}

Formula CompileFormula(std::string_view text) {
    return Compiler(text).run();
}

}  // namespace zelvo::sheet
