#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sheet/Sheet.h"

namespace zelvo {

// What a line of the EEC scheme is on the statement.
enum class EecKind {
    Title,      // "STATO PATRIMONIALE", "CONTO ECONOMICO"
    Heading,    // an item letter or group without an amount of its own
    Item,       // an amount
    Gross,      // an amount shown with its deduction below, and its net value
    Deduction,  // "meno: ...": taken off the gross amount above
    Total,      // a subtotal formula
};

// One row of the scheme: the statement line it is laid out on (from 1), its label, what it
// is, the column that takes the balance of its account, how the balance is presented (1:
// debit balances positive, -1: credit balances positive) and its formula, if any (on a Total
// in its own column, on a Gross in column D).
struct EecLine {
    int line;
    const char* label;
    EecKind kind;
    char column;  // 'c', 'd', 'e'; 0: column D
    int sign;
    const char* formula;
};

// The 170 rows of the scheme, in order: data row n (key "00n") is element n - 1.
const std::vector<EecLine>& EecLines();
inline constexpr int kEecRows = 170;

// The data archive "bilancio cee": a record per row under its number "001" to "170",
// holding the row's three cells (the label, an empty cell, the account code).
std::string EecRowKey(int row);  // from 0
inline constexpr int kEecLabelField = 1;
inline constexpr int kEecCodeField = 3;

// The EEC statement of the year laid out in a sheet: the labels in column A, the balances of
// the accounts assigned to the rows, the subtotal formulas, fonts and the "#.###" format.
// `balanceOf` answers an account code's closing balance (debit minus credit), or nothing
// when the code is no longer in the chart: the row then stays empty and `missing` hears the
// code, row by row.
sheet::Sheet EecStatement(const std::string& year, const std::vector<std::string>& codes,
                          const std::function<std::optional<double>(const std::string&)>& balanceOf,
                          const std::function<void(const std::string& code)>& missing);

}  // namespace zelvo
