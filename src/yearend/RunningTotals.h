#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "archive/Archives.h"

namespace zelvo {

// Lines read so far and the last line number used (counter "mc"), for a progress bar.
using RebuildProgress = std::function<void(std::int64_t done, std::int64_t maximum)>;

struct RebuildResult {
    std::int64_t lines = 0;      // movement lines of the year that were added
    std::int64_t rewritten = 0;  // chart records whose totals were wrong and were rewritten
    bool done = false;           // false: nothing was changed (the lock or the commit failed)
};

// Recomputes the running totals of every chart item, the three levels alike, from the
// movement lines of the year: each line counts for its account and for the account's conto
// and mastro; lines dated in another year (open items carried over) count for none. Once the
// opening registration is posted its amounts are among the lines, and are taken back out of
// the balance-sheet items, whose opening balance already holds them. Afterwards every item's
// closing balance is its opening balance plus its debit minus its credit.
//
// The whole rebuild is one transaction under the registration lock: another station that
// posts meanwhile waits for it, and a crash leaves the totals as they were. Only records
// whose totals differ are rewritten, so a year whose totals are right is left untouched.
// Needs the chart, counters, year record and movement lines open.
RebuildResult RebuildRunningTotals(Archives& archives, const std::string& year,
                                   const RebuildProgress& progress = {});

}  // namespace zelvo
