#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelvo::sheet {

// 128-bit integers hold a product of two amounts of fifteen digits with room to spare.
__extension__ typedef __int128 Wide;

// A number of the spreadsheet, kept as an exact fraction: amounts in lire add up to the
// same total whatever their number and order, and a division is exact until it is shown.
// Every operation answers false when its result no longer fits (the cell then shows an
// error) instead of drifting.
class SheetNumber {
  public:
    SheetNumber() = default;
    static SheetNumber whole(long long value);
    // A figure as the operator types it: "1500", "-12,5" (decimal comma), "1.234.567" (points
    // grouping thousands), "0.25" (a point that groups nothing is a decimal point).
    static std::optional<SheetNumber> parse(std::string_view text);
    // A balance of the books: whole lire exactly; a fraction kept to six decimals.
    static std::optional<SheetNumber> fromDouble(double value);

    bool add(const SheetNumber& other);
    bool subtract(const SheetNumber& other);
    bool multiply(const SheetNumber& other);
    // False also when dividing by zero.
    bool divide(const SheetNumber& other);
    void negate() { m_num = -m_num; }

    bool isZero() const { return m_num == 0; }
    bool isWhole() const { return m_den == 1; }
    int compare(const SheetNumber& other) const;
    double toDouble() const;
    // Rounded half away from zero to `decimals` places, decimal comma, points grouping the
    // thousands when `grouped`.
    std::string text(int decimals, bool grouped) const;
    // Shown without a format: whole numbers plainly, fractions to at most ten decimals;
    // points grouping the thousands when `grouped`.
    std::string general(bool grouped = false) const;
    // The plain decimal form an office suite reads back: "-1234.5".
    std::string plain() const;

    bool operator==(const SheetNumber&) const = default;

  private:
    bool set(Wide num, Wide den);
    Wide m_num = 0;
    Wide m_den = 1;
};

// A number format of the sheet: "#.###" groups the thousands and hides a zero; "#.##0,00"
// shows two decimals; "0" plain units; empty is the general form. A mask it does not know
// shows the number in the general form.
std::string FormatNumber(const SheetNumber& number, std::string_view mask);

}  // namespace zelvo::sheet
