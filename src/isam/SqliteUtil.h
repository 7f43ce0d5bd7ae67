#pragma once

#include <chrono>

// The record manager's SQLite plumbing: connection set-up, the catalogue table that every
// container holds, schema changes and the mapping of SQLite's errors to statuses.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "isam/FieldDesc.h"

namespace zelvo::isam {

// How long a station waits for its turn to write before it reports the archive busy: about
// the span of the busy handler's polls.
inline constexpr std::chrono::milliseconds kWriteLockPatience{120000};

// Marks our containers, so that a foreign database is reported as damaged, not read.
inline constexpr int kApplicationId = 0x5A454C56;  // "ZELV"

std::int16_t MapSqliteError(int rc, int sysErrno, sqlite3* db = nullptr);
int exec(sqlite3* db, const char* sql);
std::string QuoteName(const std::string& name);
std::string ColumnText(sqlite3_stmt* st, int col);
void BindText(sqlite3_stmt* st, int param, const std::string& text);
// Binds without copying: `text` must stay as it is until the statement has been stepped
// and reset, and every parameter is bound again before the next step.
void BindTextInPlace(sqlite3_stmt* st, int param, const std::string& text);

// How a container journals its transactions. WAL lets readers go on while a station writes,
// but its index lives in shared memory of one host; on a network share the rollback journal
// (journal_mode=DELETE) with the filesystem's own locks is the safe choice.
enum class JournalMode { Wal, Rollback };

// The journal mode (switching a container that was left in the other one), synchronous=FULL,
// a patient busy handler; creates the catalogue in a new container and checks that an
// existing one is ours.
std::int16_t ConfigureConnection(sqlite3* db, bool create, JournalMode journal);

// Schema changes run in their own IMMEDIATE transaction unless one is already open.
std::int16_t CreateTable(sqlite3* db, const std::string& table, const FieldDesc& desc,
                         bool inTransaction);
std::int16_t DropTable(sqlite3* db, const std::string& table, bool inTransaction);
// The catalogue's description of a table. With `kept`, the statement is prepared once and
// kept there for the next call (the caller finalizes it); without, it is prepared each time.
std::int16_t ReadCatalogEntry(sqlite3* db, const std::string& table, std::string& description,
                              sqlite3_stmt** kept = nullptr);
std::int16_t CatalogIsEmpty(sqlite3* db, bool& empty);
std::int16_t CountRows(sqlite3* db, const std::string& table, std::int64_t& rows);

// Byte offset in the lock file standing for one record: a 62-bit hash of archive and key,
// so that distinct records practically never share a lock.
std::int64_t LockOffset(const std::string& table, const std::string& primaryKey);

// The container and its companions (-wal, -shm, -journal, -lck).
void RemoveContainerFiles(const std::string& path);

}  // namespace zelvo::isam
