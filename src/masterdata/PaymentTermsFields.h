#pragma once

namespace zelvo::terms {

// Field numbers of the payment-terms record (archive "cpag"), primary key "0001" to "2000".
// Key field 1 is the description: customers and suppliers name their terms by it.
inline constexpr int kDescription = 1;
inline constexpr int kTermsType = 2;              // "rd", "rb"; empty: description only
inline constexpr int kInstalmentCount = 3;        // 0: "a vista"; 1 to 4
inline constexpr int kFirstInstalmentMonths = 4;  // 1 to 5 (30 to 150 days); 0 "a vista"
inline constexpr int kDueDayRule = 5;             // 0 invoice day, 10, 15, 20, 30 end of month
inline constexpr int kAugustRule = 6;             // 0 none, 1 August at month end, 2 to the 15th
inline constexpr int kSkipAugust = 7;             // 1: an August instalment moves to September

}  // namespace zelvo::terms
