#pragma once

#include <string>

#include "session/Session.h"

namespace zelvo {

// The year after the chosen one: the last four characters of its decimal text.
std::string NextYear(const std::string& year);

enum class YearOpening {
    Opened,       // the new year is in place, whole
    AlreadyOpen,  // its year record was there already, or another station put it there first
    Failed,       // a failure was reported; nothing of the new year is in place
};

// Creates the archives of the year after the chosen one for the chosen company: the year
// record and VAT balances empty, the counters of a new year with the item, destination and
// warehouse numbering carried on, the chart of accounts with the balance-sheet closing
// balances as opening balances and every running total at 0, and the most-used accounts.
// With `euro` the amounts carried over are converted with ToEuro at the exchange rate.
//
// All or nothing, for this station and every other: the year is built in a staging folder
// inside the data directory, where nobody looks for a year, and its container is linked
// into place only once it is complete. A crash, a kill or a full disk leaves at most a
// staging folder behind, which the next opening removes, never a year that the selection
// offers half made. Linking fails when the year's container already exists, so of two
// stations opening the same year at once the second gets AlreadyOpen and its staging folder
// is removed.
YearOpening OpenNextYear(Session& session, bool euro);

}  // namespace zelvo
