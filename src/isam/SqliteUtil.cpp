#include "isam/SqliteUtil.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>
#include <utility>

#include "isam/StatementText.h"
#include "isam/Status.h"

namespace zelvo::isam {

std::int16_t MapSqliteError(int rc, int sysErrno, sqlite3* db) {
    if (db != nullptr && sysErrno == 0) {
        sysErrno = sqlite3_system_errno(db);
    }
    switch (rc & 0xFF) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return status::kOk;
        case SQLITE_FULL:
            return status::kDiskFull;
        case SQLITE_NOMEM:
            return status::kOutOfMemory;
        case SQLITE_IOERR:
            if (rc == SQLITE_IOERR_NOMEM) {
                return status::kOutOfMemory;
            }
            // A full disk met while growing the shared memory, truncating or syncing comes
            // back as an I/O error; the operator must still read that the disk is full.
            return (sysErrno == ENOSPC || sysErrno == EDQUOT) ? status::kDiskFull
                                                              : status::kIoError;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return status::kCorrupt;
        case SQLITE_CANTOPEN:
            return (sysErrno == EMFILE || sysErrno == ENFILE) ? status::kTooManyFiles
                                                              : status::kOsError;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return status::kBusy;
        case SQLITE_CONSTRAINT:
            return status::kDuplicateKey;
        case SQLITE_MISUSE:
        case SQLITE_RANGE:
            return status::kBadArgument;
        default:
            return status::kOsError;
    }
}

int exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

std::string QuoteName(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

std::string ColumnText(sqlite3_stmt* st, int col) {
    const unsigned char* p = sqlite3_column_text(st, col);
    if (p == nullptr) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(p),
                       static_cast<size_t>(sqlite3_column_bytes(st, col)));
}

void BindText(sqlite3_stmt* st, int param, const std::string& text) {
    sqlite3_bind_text(st, param, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void BindTextInPlace(sqlite3_stmt* st, int param, const std::string& text) {
    sqlite3_bind_text(st, param, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

namespace {

// Other stations hold the write lock only for one registration at a time; waiting is right,
// but not forever when something is truly stuck (about two minutes).
int patientBusyHandler(void*, int attempts) {
    if (attempts > 60000) {
        return 0;
    }
    // A registration holds the write lock for a millisecond or so: poll finely, so the lock
    // does not stand idle while its next holder sleeps, and only then back off.
    auto pause = attempts < 2000 ? std::chrono::microseconds(100) : std::chrono::microseconds(2000);
    std::this_thread::sleep_for(pause);
    return 1;
}

// Runs a statement that returns nothing we need; the status of its failure.
std::int16_t run(sqlite3* db, const std::string& sql) {
    int rc = exec(db, sql.c_str());
    return rc == SQLITE_OK ? status::kOk : MapSqliteError(rc, 0, db);
}

std::int16_t schemaChange(sqlite3* db, bool inTransaction, const std::vector<std::string>& sqls,
                          const std::string& table, const std::string* description) {
    if (!inTransaction) {
        std::int16_t s = run(db, "BEGIN IMMEDIATE");
        if (s != status::kOk) {
            return s;
        }
    }
    std::int16_t s = status::kOk;
    for (const auto& sql : sqls) {
        s = run(db, sql);
        if (s != status::kOk) {
            break;
        }
    }
    if (s == status::kOk) {
        sqlite3_stmt* st = nullptr;
        const char* sql =
            description != nullptr
                ? "INSERT OR REPLACE INTO isam_catalog(name, description) VALUES(?, ?)"
                : "DELETE FROM isam_catalog WHERE name = ?";
        int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        if (rc == SQLITE_OK) {
            BindText(st, 1, table);
            if (description != nullptr) {
                BindText(st, 2, *description);
            }
            rc = sqlite3_step(st);
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) {
            s = MapSqliteError(rc, 0, db);
        }
    }
    if (!inTransaction) {
        if (s == status::kOk) {
            s = run(db, "COMMIT");
        }
        if (s != status::kOk && sqlite3_get_autocommit(db) == 0) {
            exec(db, "ROLLBACK");
        }
    }
    return s;
}

}  // namespace

std::int16_t ConfigureConnection(sqlite3* db, bool create, JournalMode journal) {
    sqlite3_extended_result_codes(db, 1);
    sqlite3_db_config(db, SQLITE_DBCONFIG_LOOKASIDE, nullptr, 128, 4000);
    sqlite3_busy_handler(db, patientBusyHandler, nullptr);
    // Reading the application id also proves the file is a database at all.
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &st, nullptr);
    int appId = -1;
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            appId = sqlite3_column_int(st, 0);
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_OK) {
        return MapSqliteError(rc, 0, db);
    }
    // The mode is kept in the file: a container once used on a local disk is still WAL when
    // the folder moves to a share. SQLite answers with the mode in force, which stays the
    // old one when the switch is refused (another connection still has the WAL open).
    const char* wanted = journal == JournalMode::Wal ? "wal" : "delete";
    rc = sqlite3_prepare_v2(
        db, journal == JournalMode::Wal ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE",
        -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st);
    }
    const bool switched = rc == SQLITE_ROW && ColumnText(st, 0) == wanted;
    sqlite3_finalize(st);
    if (rc != SQLITE_ROW) {
        return MapSqliteError(rc, 0, db);
    }
    if (!switched) {
        return status::kBusy;
    }
    std::int16_t s = run(db, "PRAGMA synchronous=FULL");
    if (s != status::kOk) {
        return s;
    }
    if (appId == kApplicationId) {
        return status::kOk;
    }
    if (appId != 0 || !create) {
        return status::kCorrupt;
    }
    return run(db,
               "BEGIN IMMEDIATE;"
               "PRAGMA application_id=" +
                   std::to_string(kApplicationId) +
                   ";"
                   "CREATE TABLE IF NOT EXISTS isam_catalog(name TEXT PRIMARY KEY, "
                   "description TEXT NOT NULL);"
                   "COMMIT;");
}

std::int16_t CreateTable(sqlite3* db, const std::string& table, const FieldDesc& desc,
                         bool inTransaction) {
    const std::string t = QuoteName(table);
    static constexpr ColumnTypes kTypes{"pk TEXT NOT NULL PRIMARY KEY", " TEXT", " REAL",
                                        " INTEGER", " TEXT NOT NULL DEFAULT '' COLLATE NOCASE"};
    const std::string cols = TableColumnsSql(desc, kTypes);
    std::vector<std::string> sqls{"DROP TABLE IF EXISTS " + t};
    std::vector<std::string> indexes;
    for (int f = 1; f <= desc.count(); ++f) {
        if (desc.field(f).keyLength > 0) {
            const std::string k = KeyColumn(f);
            indexes.push_back("CREATE INDEX " + QuoteName(table + "#" + k) + " ON " + t + "(" + k +
                              ", pk)");
        }
    }
    sqls.push_back("CREATE TABLE " + t + "(" + cols + ") WITHOUT ROWID");
    sqls.insert(sqls.end(), indexes.begin(), indexes.end());
    return schemaChange(db, inTransaction, sqls, table, &desc.text());
}

std::int16_t DropTable(sqlite3* db, const std::string& table, bool inTransaction) {
    return schemaChange(db, inTransaction, {"DROP TABLE IF EXISTS " + QuoteName(table)}, table,
                        nullptr);
}

std::int16_t ReadCatalogEntry(sqlite3* db, const std::string& table, std::string& description,
                              sqlite3_stmt** kept) {
    sqlite3_stmt* st = kept != nullptr ? *kept : nullptr;
    if (st == nullptr) {
        int rc = sqlite3_prepare_v3(db, "SELECT description FROM isam_catalog WHERE name = ?1", -1,
                                    kept != nullptr ? SQLITE_PREPARE_PERSISTENT : 0, &st, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(st);
            return (rc & 0xFF) == SQLITE_ERROR ? status::kCorrupt : MapSqliteError(rc, 0, db);
        }
        if (kept != nullptr) {
            *kept = st;
        }
    }
    BindText(st, 1, table);
    int rc = sqlite3_step(st);
    std::int16_t s = status::kOk;
    if (rc == SQLITE_ROW) {
        description = ColumnText(st, 0);
    } else if (rc == SQLITE_DONE) {
        s = status::kArchiveMissing;
    } else {
        s = MapSqliteError(rc, 0, db);
    }
    if (kept != nullptr) {
        sqlite3_reset(st);
    } else {
        sqlite3_finalize(st);
    }
    return s;
}

std::int16_t CatalogIsEmpty(sqlite3* db, bool& empty) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT 1 FROM isam_catalog LIMIT 1", -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st);
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        return MapSqliteError(rc, 0, db);
    }
    empty = rc == SQLITE_DONE;
    return status::kOk;
}

std::int16_t CountRows(sqlite3* db, const std::string& table, std::int64_t& rows) {
    sqlite3_stmt* st = nullptr;
    std::string sql = "SELECT count(*) FROM " + QuoteName(table);
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            rows = sqlite3_column_int64(st, 0);
        }
    }
    sqlite3_finalize(st);
    if (rc == SQLITE_ROW) {
        return status::kOk;
    }
    return (rc & 0xFF) == SQLITE_ERROR ? status::kArchiveMissing : MapSqliteError(rc, 0, db);
}

std::int64_t LockOffset(const std::string& table, const std::string& primaryKey) {
    std::uint64_t h = 1469598103934665603ULL;
    auto mix = [&h](unsigned char c) {
        h ^= c;
        h *= 1099511628211ULL;
    };
    for (char c : table) {
        mix(static_cast<unsigned char>(c));
    }
    mix(0x1F);
    for (char c : primaryKey) {
        mix(static_cast<unsigned char>(c));
    }
    return static_cast<std::int64_t>(h & 0x3FFFFFFFFFFFFFFFULL);
}

void RemoveContainerFiles(const std::string& path) {
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm", "-journal", "-lck"}) {
        std::filesystem::remove(path + suffix, ec);
    }
}

}  // namespace zelvo::isam
