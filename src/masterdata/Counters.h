#pragma once

#include <cstdint>
#include <string>

#include "archive/Archives.h"

namespace zelvo {

// Field numbers of a counter record (archive "progressivi"): a 32-bit value and a text,
// under the counter's name as primary key.
namespace counter {
inline constexpr int kValue = 1;
inline constexpr int kText = 2;
// The counter that numbers the items of the chart of accounts.
inline constexpr const char* kItemNumbers = "conto";
}  // namespace counter

// Report positions of the counter routines.
namespace counterpos {
inline constexpr int kRead = 801;
inline constexpr int kWrite = 802;
inline constexpr int kOverflow = 803;
inline constexpr int kLock = 804;  // the counter's record lock, taken or given back
inline constexpr int kCommit = 806;
}  // namespace counterpos

// The counter idiom: reads the counter `name` of the open "progressivi" archive by its
// exact key, adds 1, writes it back with mode 0 and flushes. The result is the new value.
//
// It takes no lock: callers that share the counter with other stations hold the lock that
// guards it (the posting holds "mc" around all its counters) or use NextLockedNumber.
//
// Counters start at 0 and only grow, so 0 never is a number handed out: it is the answer
// after a failure. A failed read or write is reported (as a read or a write of
// "progressivi"); so is a counter already at the largest 32-bit value, whose next number
// does not exist. Nothing is written after a failure, and a number whose counter could not
// be written back is not handed out, since the next caller would get it again.
std::int32_t NextNumber(Archives& archives, const std::string& name);

// NextNumber for `count` numbers at once (count >= 1): the counter grows by `count` in one
// write and the first of the numbers is the result; 0 after a failure, as above. For a
// caller that numbers many records under the lock that guards the counter.
std::int32_t ReserveNumbers(Archives& archives, const std::string& name, std::int32_t count);

// NextNumber for a counter that other stations take numbers from outside any registration
// lock: inside a transaction of the counters' container (begun first, so nobody waits for
// the database while holding the record lock) it waits for the counter's record lock,
// takes the number, unlocks and commits. Inside a caller's registration the transaction
// nests and lands with the caller's commit. 0 after a failure, reported as above.
std::int32_t NextLockedNumber(Archives& archives, const std::string& name);

// The next item number of the chart of accounts from the counter "conto", formatted with
// five digits ("00051"); empty after a failure.
std::string NextItemNumber(Archives& archives);

}  // namespace zelvo
