#pragma once

#include <string>
#include <vector>

#include "archive/Archives.h"
#include "masterdata/Chart.h"

namespace zelvo::favourites {

// The most-used sub-accounts of a company and year (archive "facil.", `ff`): one record per
// chart item, under the item's number, with its description and account code as they were
// when it was listed (fields 1 and 2) and its place in the list (field 3, from 1). Only the
// key and the place are carried into the next year, so the chart is the authority on the
// rest: an entry whose item no longer exists is skipped.
inline constexpr int kDescription = 1;
inline constexpr int kAccountCode = 2;
inline constexpr int kPlace = 3;

namespace pos {
inline constexpr int kRead = 2401;
inline constexpr int kWrite = 2402;
inline constexpr int kRemove = 2403;
inline constexpr int kCommit = 2404;
inline constexpr int kCreate = 2405;
}  // namespace pos

// The listed items in their order, as the chart has them now. Reads the open `ff` handle;
// a failed read is reported and ends the list.
std::vector<chart::Item> Listed(Archives& archives);

// Replaces the whole list by these item numbers, in this order, in one registration.
// False (reported) when a write failed; nothing is then changed.
bool Store(Archives& archives, const std::vector<chart::Item>& items);

// The descriptions of the listed items of the accepted kinds (none: every kind) that begin
// with `typed` (letter case aside), in list order. Quiet: a company without the archive, or
// one that cannot be read, simply has no favourites - the account fields must keep working.
std::vector<std::string> Offered(Archives& archives, const std::string& typed,
                                 const std::vector<std::string>& kinds);

// The favourites first, then the other entries of `rest` not already offered, at most
// `count` in all (0: no limit).
std::vector<std::string> FavouritesFirst(std::vector<std::string> favourites,
                                         const std::vector<std::string>& rest, size_t count);

}  // namespace zelvo::favourites
