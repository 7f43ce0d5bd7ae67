#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "sheet/Formula.h"
#include "sheet/SheetNumber.h"

namespace zelvo::sheet {

// What a cell holds once computed. An error is shown in its cell as its code.
struct CellValue {
    enum class Kind { Empty, Number, Text, Error };
    Kind kind = Kind::Empty;
    SheetNumber number;
    std::string text;  // the text, or the error's code

    static CellValue error(std::string code) { return {Kind::Error, {}, std::move(code)}; }
};

// The error codes a cell can show.
inline constexpr const char* kErrorSyntax = "#ERRORE!";
inline constexpr const char* kErrorCycle = "#CICLO!";
inline constexpr const char* kErrorDivide = "#DIV/0!";
inline constexpr const char* kErrorValue = "#VALORE!";
inline constexpr const char* kErrorNumber = "#NUM!";

// A cell's font; an empty family is the sheet's own.
struct CellFont {
    std::string family;
    int size = 0;
    bool bold = false;
    bool operator==(const CellFont&) const = default;
};

// The spreadsheet: cells holding what the operator typed (a text, a number, or a formula
// after "="), the values computed from them, number formats and fonts. Changing a cell
// recomputes only the formulas that depend on it, in an order where every formula follows
// what it reads; formulas that read themselves through any chain show kErrorCycle.
class Sheet {
  public:
    Sheet();

    std::string title;

    // The rows and columns shown: at least the default extent (1000 rows, 26 columns), and
    // always rows and a column beyond the last cell used, up to the limits.
    int rows() const;
    int columns() const;

    // What the operator typed; empty clears the cell. A leading "'" keeps a text that would
    // read as a number. Recomputes the cells that depend on it.
    void setEntry(CellRef cell, const std::string& entry);
    const std::string& entry(CellRef cell) const;
    const CellValue& value(CellRef cell) const;
    // The value as the cell shows it: numbers in the cell's format.
    std::string shown(CellRef cell) const;
    bool isFormula(CellRef cell) const;

    void setFormat(const CellRange& range, const std::string& mask);
    const std::string& format(CellRef cell) const;
    void setFont(const CellRange& range, const CellFont& font);
    CellFont font(CellRef cell) const;
    void setDefaultFont(CellFont font) { m_defaultFont = std::move(font); }
    const CellFont& defaultFont() const { return m_defaultFont; }
    void setColumnWidth(int column, int characters);
    int columnWidth(int column) const;  // in characters
    const std::map<int, int>& columnWidths() const { return m_widths; }

    // Many cells at once (a file read, a statement laid out): nothing is computed until the
    // batch ends, then everything once.
    void beginBatch() { m_batch = true; }
    void endBatch();

    // The cells that hold something, row by row and column by column within a row.
    void forEachCell(const std::function<void(CellRef, const std::string& entry)>& visit) const;
    // The last row and column holding an entry, a format or a font; -1 when none.
    int lastRow() const { return m_lastRow; }
    int lastColumn() const { return m_lastColumn; }
    // How many formulas the last change computed: what a recomputation cost.
    size_t lastRecomputed() const { return m_lastRecomputed; }

  private:
    struct Cell {
        std::string entry;
        CellValue value;
        std::shared_ptr<const Formula> formula;
        std::string format;
        int font = -1;  // into m_fonts; -1: the sheet's
    };
    using Key = std::uint64_t;
    static Key keyOf(CellRef c) {
        return (static_cast<Key>(c.row) << 16) | static_cast<Key>(c.column);
    }
    static CellRef refOf(Key k) {
        return {static_cast<int>(k >> 16), static_cast<int>(k & 0xffff)};
    }

    Cell& touch(CellRef c);
    void link(Key cell, const Formula& f);
    void unlink(Key cell, const Formula& f);
    std::vector<Key> affectedBy(Key changed) const;
    void recompute(const std::vector<Key>& formulas);
    std::vector<Key> precedentsAmong(const Cell& c,
                                     const std::unordered_map<Key, size_t>& among) const;
    CellValue evaluate(const Formula& f) const;
    struct Operand;
    CellValue call(SheetFunction function, const Operand* first, const Operand* last) const;

    std::unordered_map<Key, Cell> m_cells;
    std::unordered_map<Key, std::vector<Key>> m_refDependants;
    std::vector<std::pair<CellRange, Key>> m_rangeDependants;
    std::vector<CellFont> m_fonts;
    CellFont m_defaultFont;
    std::map<int, int> m_widths;
    int m_lastRow = -1;
    int m_lastColumn = -1;
    bool m_batch = false;
    size_t m_lastRecomputed = 0;
};

}  // namespace zelvo::sheet
