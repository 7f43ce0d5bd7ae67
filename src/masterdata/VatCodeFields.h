#pragma once

#include <string>

namespace zelvo::vatcode {

// Field numbers of the VAT code record (archive "civa"). Key field 1 is the code the
// posting screens look up.
inline constexpr int kVatCode = 1;
inline constexpr int kVatRate = 2;
inline constexpr int kNonDeductiblePercent = 3;  // 100: "Indetraibile"; otherwise 0
inline constexpr int kVatDescription = 4;

// The table has a fixed number of slots, keyed "0", "01", "02" ... "24": the first slot's
// key has one digit, the others two, and every reader walks them in that order.
inline constexpr int kSlots = 25;

inline std::string SlotKey(int slot) {
    if (slot == 0) {
        return "0";
    }
    return std::string(1, static_cast<char>('0' + slot / 10)) + static_cast<char>('0' + slot % 10);
}

}  // namespace zelvo::vatcode
