#pragma once

#include <cstdint>

namespace zelvo::isam {

// Every record-manager call returns one of these. The values are part of the program's
// contract: the archive error report shows them to the operator and names the disk and
// memory ones (11-14, 18) in boxes of their own. 1 is never returned: callers use it as
// "not yet succeeded" in their lock-retry loops.
namespace status {
inline constexpr std::int16_t kOk = 0;
inline constexpr std::int16_t kNotFound = 2;          // no key begins with the text; no such key
inline constexpr std::int16_t kEndOfIndex = 3;        // "next" past the last record
inline constexpr std::int16_t kBeginningOfIndex = 4;  // "previous" before the first record
inline constexpr std::int16_t kDuplicateKey = 5;      // add (mode 1) of a key that exists
inline constexpr std::int16_t kNoCurrentRecord = 6;   // rewrite (mode 2) of a key not stored
inline constexpr std::int16_t kLocked = 7;            // the record is locked by another handle
inline constexpr std::int16_t kArchiveMissing = 8;    // no such archive or container
inline constexpr std::int16_t kBadArgument = 9;       // unknown handle, key field, record shape
inline constexpr std::int16_t kCorrupt = 10;          // the container is damaged or not ours
inline constexpr std::int16_t kDiskFull = 11;
inline constexpr std::int16_t kOutOfMemory = 12;
inline constexpr std::int16_t kOsError = 13;  // refused by the system: permissions, read-only
inline constexpr std::int16_t kIoError = 14;
inline constexpr std::int16_t kBusy = 15;  // the container could not be written
inline constexpr std::int16_t kTooManyFiles = 18;
}  // namespace status

// A short English description of a status, for tools and logs.
const char* StatusText(std::int16_t s);

}  // namespace zelvo::isam
