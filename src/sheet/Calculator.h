#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelvo {

// A pocket calculator as an accountant's desk has one: operations run in the order typed
// (2 + 3 × 4 = gives 20), a memory with M+ M- MR MC, C to start again and CE to retype the
// last number. Numbers are fractions of two 64-bit integers, so sums of lire and of euro
// cents never drift; a quotient that has no finite decimal form is shown rounded to ten
// decimals. A result that does not fit, or a division by zero, shows "Errore" until C or a
// new number.
class Calculator {
  public:
    // The keys, one after another: digits, "," (or ".") for the decimal point, "+ - * /"
    // ("x" and ":" too), "=", "C", "CE", "±", "M+", "M-", "MR", "MC". Blanks and other
    // characters are ignored.
    void press(std::string_view keys);

    // What the display shows: "1.234,5", "-0,25", "Errore"; "M" in front while the memory
    // holds a number other than 0.
    std::string display() const;
    bool memoryInUse() const { return m_memory.num != 0; }

    // The rational value on display, for tests of exactness: numerator over denominator.
    struct Value {
        std::int64_t num = 0;
        std::int64_t den = 1;
        bool operator==(const Value&) const = default;
    };
    Value value() const { return m_error ? Value{0, 0} : current(); }

  private:
    void digit(char d);
    void point();
    void operation(char op);
    void equals();
    void clear();
    void memory(std::string_view key);
    Value current() const;
    bool apply();
    void showResult(Value v);

    Value m_accumulator;
    Value m_shown;
    Value m_memory;
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
