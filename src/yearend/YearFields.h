#pragma once

namespace zelvo::yearrec {

// The year record (archive "ct", one record under the key "1"): the year-end flags, "n"
// once their operation has run and empty before.
inline constexpr const char* kKey = "1";
inline constexpr int kIncomeClosed = 1;
inline constexpr int kBalanceClosed = 2;
inline constexpr int kOpeningPosted = 3;
inline constexpr int kOpenItemsMoved = 4;
inline constexpr const char* kDone = "n";

}  // namespace zelvo::yearrec
