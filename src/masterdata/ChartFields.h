#pragma once

namespace zelvo::chart {

// Field numbers of the chart-of-accounts record (archive "pc"). The same numbers are the
// key fields of its indexes.
inline constexpr int kDescription = 1;
inline constexpr int kAddress = 2;
inline constexpr int kCity = 3;
inline constexpr int kVatNumber = 4;
inline constexpr int kNotes = 5;
inline constexpr int kMastroNumber = 6;
inline constexpr int kKind = 7;
inline constexpr int kNature = 8;
inline constexpr int kOpeningBalance = 9;
inline constexpr int kProgressiveDebit = 10;
inline constexpr int kProgressiveCredit = 11;
inline constexpr int kClosingBalance = 12;
inline constexpr int kNameLine2 = 13;
inline constexpr int kContoNumber = 17;
inline constexpr int kAccountCode = 18;
inline constexpr int kPostCode = 19;
inline constexpr int kProvince = 20;
inline constexpr int kTaxCode = 22;
inline constexpr int kPaymentTerms = 23;
inline constexpr int kPhone = 39;
inline constexpr int kFax = 40;
inline constexpr int kKindKey = 58;
inline constexpr int kGroupKey = 59;

}  // namespace zelvo::chart
