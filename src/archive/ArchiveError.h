#pragma once

#include <cstdint>

#include "base/Dialogs.h"

namespace zelvo {

// Operations of the archive error report.
namespace opn {
inline constexpr int kCreate = 1;
inline constexpr int kOpen = 2;
inline constexpr int kClose = 3;
inline constexpr int kWrite = 4;
inline constexpr int kRead = 5;
inline constexpr int kDelete = 6;
inline constexpr int kKill = 7;
}  // namespace opn

// The one report of a failed archive call. Nothing at all for status 0; otherwise a beep,
// the box of a disk or memory status (11, 12, 13, 14, 18) and always the general box with
// the status, the operation, the archive and the position of the calling place. The caller
// carries on afterwards and decides from the status what to do next.
void ArchiveError(Dialogs& dialogs, std::int16_t status, int operation, int archive, int position);

}  // namespace zelvo
