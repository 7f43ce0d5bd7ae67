#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sheet/SheetNumber.h"

namespace zelvo {

// A pocket calculator as an accountant's desk has one: operations run in the order typed
// (2 + 3 × 4 = gives 20), a memory with M+ M- MR MC, C to start again and CE to retype the
// last number. Numbers are the spreadsheet's exact fractions, so sums of lire and of euro
// cents never drift; a quotient that has no finite decimal form is shown rounded to ten
// decimals. A result of more than fifteen whole digits, or a division by zero, shows
// "Errore" until C or a new number.
class Calculator {
  public:
    // The keys, one after another: digits, "," (or ".") for the decimal point, "+ - * /"
    // ("x" and ":" too), "=", "C", "CE", "±", "M+", "M-", "MR", "MC". Blanks and other
    // characters are ignored.
    void press(std::string_view keys);

    // What the display shows: "1.234,5", "-0,25", "Errore"; "M" in front while the memory
    // holds a number other than 0.
    std::string display() const;
    bool memoryInUse() const { return !m_memory.isZero(); }

    // The exact value on display; none after an error.
    std::optional<sheet::SheetNumber> value() const {
        return m_error ? std::nullopt : std::optional(current());
    }

  private:
    void digit(char d);
    void point();
    void operation(char op);
    void equals();
    void clear();
    void memory(std::string_view key);
    sheet::SheetNumber current() const;
    bool apply();
    void showResult(const sheet::SheetNumber& v);

    sheet::SheetNumber m_accumulator;
    sheet::SheetNumber m_shown;
    sheet::SheetNumber m_memory;
    std::string m_entry;  // the digits being typed ("12,5"); empty when none
    char m_pending = 0;   // the operation waiting for its second number
    bool m_negativeEntry = false;
    bool m_error = false;
    bool m_fresh = false;  // the display holds a number typed or recalled since the last key
                           // that used one
};

// The calculator program of the desktop, if one is installed: the first of the usual ones
// found in a directory of `pathVariable` (the PATH's form, directories separated by ":").
// Empty when none is.
std::string FindDesktopCalculator(const std::string& pathVariable);

}  // namespace zelvo
