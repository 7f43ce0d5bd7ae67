#pragma once

#include <string>

namespace zelvo {

// How a cell of a sheet control looks: its font (an empty family is the view's own) and
// whether its text stands to the right of the cell, as numbers do.
struct SheetCellLook {
    std::string family;
    int size = 0;
    bool bold = false;
    bool right = false;
};

// What a sheet control shows. The view asks it for the cells on screen only, each time they
// are painted, so that a sheet of many thousands of rows costs no more than one screenful;
// the screen owns it and keeps it for as long as the screen lives.
class SheetSource {
  public:
    virtual ~SheetSource() = default;
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    // The value as the cell shows it, and what the operator typed there (a formula as typed).
    virtual std::string shownText(int row, int column) const = 0;
    virtual std::string enteredText(int row, int column) const = 0;
    virtual SheetCellLook look(int row, int column) const = 0;
    virtual int columnWidth(int column) const = 0;  // in characters
    virtual std::string columnTitle(int column) const = 0;
};

}  // namespace zelvo
