#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sheet/SheetNumber.h"

namespace zelvo::sheet {

// A cell's place, both from 0: "c6" is row 5, column 2.
struct CellRef {
    int row = 0;
    int column = 0;
    bool operator==(const CellRef&) const = default;
};
struct CellRange {
    CellRef first;
    CellRef last;
    bool contains(CellRef c) const {
        return c.row >= first.row && c.row <= last.row && c.column >= first.column &&
               c.column <= last.column;
    }
    long long area() const {
        return static_cast<long long>(last.row - first.row + 1) * (last.column - first.column + 1);
    }
};

inline constexpr int kMaxRows = 65536;
inline constexpr int kMaxColumns = 256;

// "A", "B", ..., "Z", "AA", ...
std::string ColumnLabel(int column);
// "C6".
std::string CellLabel(CellRef cell);
// "c6", "C6", "aa10": letters then a row from 1, within the sheet's limits.
bool ParseCellLabel(std::string_view text, CellRef& cell);

// A formula compiled to the steps of a stack machine: evaluating it needs no recursion, and
// a formula nested as deep as the operator likes cannot exhaust the stack.
struct FormulaStep {
    enum class Kind { Number, Ref, Range, Negate, Add, Subtract, Multiply, Divide, Call };
    Kind kind = Kind::Number;
    SheetNumber number;
    CellRange range;  // Ref: first only
    int function = 0;
    int arguments = 0;
};

enum class SheetFunction { Sum, Min, Max, Abs };

struct Formula {
    std::vector<FormulaStep> steps;
    // What the formula reads: the cells a change of which recomputes it.
    std::vector<CellRef> refs;
    std::vector<CellRange> ranges;
    bool valid = false;
};

// The formula as written after its "=": numbers with a decimal point, cell names,
// + - * / and parentheses, ranges "d3:d12" as arguments of sum, min, max (arguments
// separated by ";" or ","), abs. An invalid formula compiles to `valid` false.
Formula CompileFormula(std::string_view text);

}  // namespace zelvo::sheet
