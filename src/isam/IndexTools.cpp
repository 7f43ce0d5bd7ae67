// The index tools: check, reindex and repair archives. They work on their own connection,
// so that they see the container as any other station would.

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <utility>

#include "isam/RecordManager.h"
#include "isam/RecordManagerImpl.h"
#include "isam/SqliteUtil.h"

namespace zelvo::isam {

namespace fs = std::filesystem;

namespace {

struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
};

std::int16_t openConnection(const std::string& path, const RecordManager::Options& options,
                            bool create, Connection& c) {
    std::error_code ec;
    if (!create && !fs::exists(path, ec)) {
        return status::kArchiveMissing;
    }
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.c_str(), &c.db, flags,
                             options.vfs.empty() ? nullptr : options.vfs.c_str());
    if (rc != SQLITE_OK) {
        return MapSqliteError(rc, 0, c.db);
    }
    return ConfigureConnection(c.db, create, JournalModeFor(options, path));
}

// Runs a query whose first column of the first row is a number or text we want.
int queryInt(sqlite3* db, const std::string& sql, int& rc) {
    sqlite3_stmt* st = nullptr;
    int value = 0;
    rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            value = sqlite3_column_int(st, 0);
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(st);
    return value;
}

// Expressions that recompute each key column from its field.
std::vector<std::pair<std::string, std::string>> keyExpressions(const FieldDesc& d) {
    std::vector<std::pair<std::string, std::string>> out;
    for (int f = 1; f <= d.count(); ++f) {
        int n = d.field(f).keyLength;
        if (n > 0) {
            std::string expression = "substr(coalesce(f";
            expression += std::to_string(f);
            expression += ", ''), 1, ";
            expression += std::to_string(n);
            expression += ')';
            std::string column(1, 'k');
            column += std::to_string(f);
            out.emplace_back(std::move(column), std::move(expression));
        }
    }
    return out;
}

std::int16_t describe(sqlite3* db, const std::string& table, FieldDesc& desc) {
    std::string text;
    std::int16_t s = ReadCatalogEntry(db, table, text);
    if (s != status::kOk) {
        return s;
    }
    auto d = FieldDesc::parse(text);
    if (!d) {
        return status::kCorrupt;
    }
    desc = *d;
    return status::kOk;
}

// A connection of its own to the archive's container, and the archive's fields; `message`
// starts empty and says what went wrong.
std::int16_t openArchive(const ArchiveLocation& loc, const RecordManager::Options& options,
                         Connection& c, FieldDesc& desc, std::string& message) {
    message.clear();
    std::int16_t s = openConnection(loc.container, options, false, c);
    if (s == status::kOk) {
        s = describe(c.db, loc.table, desc);
    }
    if (s != status::kOk) {
        message = "Archivio non leggibile";
    }
    return s;
}

}  // namespace

std::int16_t RecordManager::listArchives(const std::string& container,
                                         std::vector<std::string>& names) {
    names.clear();
    Connection c;
    std::int16_t s = openConnection(container, m_options, false, c);
    if (s != status::kOk) {
        return s;
    }
    sqlite3_stmt* st = nullptr;
    int rc =
        sqlite3_prepare_v2(c.db, "SELECT name FROM isam_catalog ORDER BY name", -1, &st, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        names.push_back(ColumnText(st, 0));
        rc = SQLITE_OK;
    }
    sqlite3_finalize(st);
    return rc == SQLITE_DONE ? status::kOk : MapSqliteError(rc, 0, c.db);
}

std::int16_t RecordManager::VTVal(const std::string& fileName, std::string& message, std::int16_t,
                                  std::int32_t) {
    ArchiveLocation loc = m_resolver(fileName);
    Connection c;
    FieldDesc desc;
    if (std::int16_t s = openArchive(loc, m_options, c, desc, message); s != status::kOk) {
        return s;
    }
    sqlite3_stmt* st = nullptr;
    std::string sql = "PRAGMA integrity_check(" + QuoteName(loc.table) + ")";
    int rc = sqlite3_prepare_v2(c.db, sql.c_str(), -1, &st, nullptr);
    std::string verdict;
    if (rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
        verdict = ColumnText(st, 0);
    }
    rc = rc == SQLITE_OK ? sqlite3_errcode(c.db) : rc;
    sqlite3_finalize(st);
    if (verdict != "ok") {
        message = verdict.empty() ? "Archivio danneggiato" : verdict;
        return (rc & 0xFF) == SQLITE_ROW || rc == SQLITE_OK || rc == SQLITE_DONE
                   ? status::kCorrupt
                   : MapSqliteError(rc, 0, c.db);
    }
    for (const auto& [column, expr] : keyExpressions(desc)) {
        int qrc = SQLITE_OK;
        int stale = queryInt(
            c.db,
            "SELECT count(*) FROM " + QuoteName(loc.table) + " WHERE " + column + " IS NOT " + expr,
            qrc);
        if (qrc != SQLITE_OK) {
            message = "Archivio non leggibile";
            return MapSqliteError(qrc, 0, c.db);
        }
        if (stale != 0) {
            message = "Indici non allineati";
            return status::kCorrupt;
        }
    }
    return status::kOk;
}

std::int16_t RecordManager::VTRebuild(const std::string& fileName, std::string& message,
                                      std::int16_t, std::int32_t, std::int32_t) {
    ArchiveLocation loc = m_resolver(fileName);
    Connection c;
    FieldDesc desc;
    if (std::int16_t s = openArchive(loc, m_options, c, desc, message); s != status::kOk) {
        return s;
    }
    std::string sql = "BEGIN IMMEDIATE;";
    std::string sets;
    for (const auto& [column, expr] : keyExpressions(desc)) {
        sets += (sets.empty() ? "" : ", ") + column + " = " + expr;
    }
    if (!sets.empty()) {
        sql += "UPDATE " + QuoteName(loc.table) + " SET " + sets + ";";
    }
    sql += "REINDEX " + QuoteName(loc.table) + "; COMMIT;";
    int rc = exec(c.db, sql.c_str());
    if (rc != SQLITE_OK) {
        if (sqlite3_get_autocommit(c.db) == 0) {
            exec(c.db, "ROLLBACK");
        }
        message = "Ricostruzione non riuscita";
        return MapSqliteError(rc, 0, c.db);
    }
    return status::kOk;
}

std::int16_t RecordManager::VTRepair(const std::string& request, std::string& message, std::int16_t,
                                     std::int32_t) {
    message.clear();
    if (request.rfind("Grp=", 0) != 0 || request.size() <= 4) {
        return status::kBadArgument;
    }
    std::string path = request.substr(4);
    closeIdleContainer(path);
    Connection damaged;
    std::int16_t s = openConnection(path, m_options, false, damaged);
    if (s != status::kOk) {
        message = "Archivio non leggibile";
        return s;
    }
    // The catalogue must be readable: without it nothing tells what the tables hold.
    std::vector<std::pair<std::string, std::string>> tables;
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(damaged.db, "SELECT name, description FROM isam_catalog", -1, &st,
                                nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        tables.emplace_back(ColumnText(st, 0), ColumnText(st, 1));
        rc = SQLITE_OK;
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
        message = "Catalogo dell'archivio illeggibile";
        return MapSqliteError(rc, 0, damaged.db);
    }

    std::string fresh = path + ".new";
    RemoveContainerFiles(fresh);
    std::int64_t saved = 0;
    std::int64_t lostTables = 0;
    {
        Connection out;
        s = openConnection(fresh, m_options, true, out);
        if (s == status::kOk) {
            s = exec(out.db, "BEGIN IMMEDIATE") == SQLITE_OK ? status::kOk : status::kBusy;
        }
        for (const auto& [table, descText] : tables) {
            if (s != status::kOk) {
                break;
            }
            auto desc = FieldDesc::parse(descText);
            if (!desc) {
                ++lostTables;
                continue;
            }
            s = CreateTable(out.db, table, *desc, true);
            if (s != status::kOk) {
                break;
            }
            auto cols = ValueColumns(*desc);
            std::string list = "pk";
            std::string params = "?1";
            int p = 2;
            for (const auto& col : cols) {
                list += ", " + col;
                params += ", ?" + std::to_string(p++);
            }
            // Key columns are recomputed from their fields rather than trusted.
            std::string keyList;
            std::string keyParams;
            int fieldParam = 2;
            for (int f = 1; f <= desc->count(); ++f) {
                const FieldSpec& fieldSpec = desc->field(f);
                if (fieldSpec.keyLength > 0) {
                    keyList += ", k" + std::to_string(f);
                    keyParams += ", substr(coalesce(?" + std::to_string(fieldParam) + ", ''), 1, " +
                                 std::to_string(fieldSpec.keyLength) + ")";
                }
                fieldParam += fieldSpec.type == FieldType::TextArray ? fieldSpec.arrayLength : 1;
            }
            sqlite3_stmt* rd = nullptr;
            sqlite3_stmt* wr = nullptr;
            std::string rsql = "SELECT " + list + " FROM " + QuoteName(table);
            std::string wsql = "INSERT OR REPLACE INTO " + QuoteName(table) + "(" + list + keyList +
                               ") VALUES(" + params + keyParams + ")";
            if (sqlite3_prepare_v2(damaged.db, rsql.c_str(), -1, &rd, nullptr) == SQLITE_OK &&
                sqlite3_prepare_v2(out.db, wsql.c_str(), -1, &wr, nullptr) == SQLITE_OK) {
                // Rows up to the first unreadable page are saved; the rest are lost.
                while (sqlite3_step(rd) == SQLITE_ROW) {
                    int n = sqlite3_column_count(rd);
                    for (int i = 0; i < n; ++i) {
                        sqlite3_bind_value(wr, i + 1, sqlite3_column_value(rd, i));
                    }
                    if (sqlite3_step(wr) == SQLITE_DONE) {
                        ++saved;
                    }
                    sqlite3_reset(wr);
                }
            } else {
                ++lostTables;
            }
            sqlite3_finalize(rd);
            sqlite3_finalize(wr);
        }
        if (s == status::kOk && exec(out.db, "COMMIT") != SQLITE_OK) {
            s = MapSqliteError(sqlite3_errcode(out.db), 0, out.db);
        }
    }
    if (s != status::kOk) {
        RemoveContainerFiles(fresh);
        message = "Riparazione non riuscita";
        return s;
    }
    sqlite3_close_v2(damaged.db);
    damaged.db = nullptr;
    std::error_code ec;
    // A journal left beside the damaged file would be played back into the fresh one.
    for (const char* companion : {"-wal", "-shm", "-journal"}) {
        fs::remove(path + companion, ec);
    }
    fs::rename(fresh, path, ec);
    if (ec) {
        message = "Riparazione non riuscita";
        return status::kOsError;
    }
    message = "Archivi recuperati: " + std::to_string(tables.size() - lostTables) +
              ", record: " + std::to_string(saved);
    return status::kOk;
}

}  // namespace zelvo::isam
