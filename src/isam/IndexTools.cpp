// The index tools: check, reindex and repair archives. They work on their own connection,
// so that they see the container as any other station would.

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <set>
#include <utility>

#include "isam/FileModes.h"
#include "isam/RecordManager.h"
#include "isam/RecordManagerImpl.h"
#include "isam/ServerLocation.h"
#include "isam/ServerStore.h"
#include "isam/SqliteUtil.h"
#include "isam/StatementText.h"

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
    if (create) {
        ShareWithGroupOnly(path);
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
    if (IsServerLocation(container)) {
        return server()->listArchives(container, names);
    }
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

namespace {

// The state of a container's files: size and time of the file and of its WAL. A write by
// any station changes it.
std::string fileState(const std::string& container) {
    std::string state;
    for (const std::string& path : {container, container + "-wal"}) {
        std::error_code ec;
        auto size = fs::file_size(path, ec);
        auto time = fs::last_write_time(path, ec);
        state += std::to_string(ec ? 0 : size) + ':' +
                 std::to_string(ec ? 0 : time.time_since_epoch().count()) + ';';
    }
    return state;
}

// SQLite's structural check of every page: a damaged page of any archive shows here.
std::int16_t checkPages(sqlite3* db, std::string& message) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &st, nullptr);
    std::string verdict;
    if (rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
        verdict = ColumnText(st, 0);
    }
    rc = rc == SQLITE_OK ? sqlite3_errcode(db) : rc;
    sqlite3_finalize(st);
    if (verdict == "ok") {
        return status::kOk;
    }
    message = verdict.empty() ? "Archivio danneggiato" : verdict;
    return (rc & 0xFF) == SQLITE_ROW || rc == SQLITE_OK || rc == SQLITE_DONE
               ? status::kCorrupt
               : MapSqliteError(rc, 0, db);
}

// Every key column equal to what its field gives, and every index holding one entry per
// record: an index out of step with its records.
std::int16_t checkKeys(sqlite3* db, const std::string& table, const FieldDesc& desc,
                       std::string& message) {
    const std::string t = QuoteName(table);
    std::string stale;
    int rc = SQLITE_OK;
    const int records = queryInt(db, "SELECT count(*) FROM " + t + " NOT INDEXED", rc);
    for (const auto& [column, expr] : keyExpressions(desc)) {
        stale += (stale.empty() ? "" : " OR ") + column + " IS NOT " + expr;
        int entries = queryInt(
            db, "SELECT count(*) FROM " + t + " INDEXED BY " + QuoteName(table + "#" + column), rc);
        if (rc == SQLITE_OK && entries != records) {
            message = "Indici non allineati";
            return status::kCorrupt;
        }
    }
    int wrong = stale.empty() || rc != SQLITE_OK
                    ? 0
                    : queryInt(db, "SELECT count(*) FROM " + t + " WHERE " + stale, rc);
    if (rc != SQLITE_OK) {
        message = "Archivio non leggibile";
        return MapSqliteError(rc, 0, db);
    }
    if (wrong != 0) {
        message = "Indici non allineati";
        return status::kCorrupt;
    }
    return status::kOk;
}

}  // namespace

std::int16_t RecordManager::VTVal(const std::string& fileName, std::string& message, std::int16_t,
                                  std::int32_t) {
    const ArchiveLocation loc = m_resolver(fileName);
    if (IsServerLocation(loc.container)) {
        return server()->check(loc, message);
    }
    Connection c;
    FieldDesc desc;
    if (std::int16_t s = openArchive(loc, m_options, c, desc, message); s != status::kOk) {
        return s;
    }
    const std::string state = fileState(loc.container);
    auto& checked = m_impl->checkedContainers[loc.container];
    if (checked.first != state) {
        std::string pages;
        checked = {state, checkPages(c.db, pages)};
        if (checked.second != status::kOk) {
            message = pages;
        }
    }
    if (checked.second != status::kOk) {
        if (message.empty()) {
            message = "Archivio danneggiato";
        }
        return checked.second;
    }
    return checkKeys(c.db, loc.table, desc, message);
}

std::int16_t RecordManager::VTRebuild(const std::string& fileName, std::string& message,
                                      std::int16_t, std::int32_t, std::int32_t) {
    const ArchiveLocation loc = m_resolver(fileName);
    if (IsServerLocation(loc.container)) {
        return server()->rebuild(loc, message);
    }
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

namespace {

// What one table of a damaged container gave back.
struct Salvage {
    std::int64_t saved = 0;
    std::int64_t lost = 0;     // keys the indexes still know whose records could not be read
    bool unknownLoss = false;  // the scan broke off and no index tells what was beyond
};

struct CopyStatements {
    sqlite3_stmt* all = nullptr;    // every record in key order
    sqlite3_stmt* one = nullptr;    // one record by key
    sqlite3_stmt* write = nullptr;  // into the fresh container
    ~CopyStatements() {
        sqlite3_finalize(all);
        sqlite3_finalize(one);
        sqlite3_finalize(write);
    }
};

// Copies the current row of `from` into the fresh table; key columns are recomputed from
// their fields rather than trusted.
bool copyRow(sqlite3_stmt* from, sqlite3_stmt* write) {
    int n = sqlite3_column_count(from);
    for (int i = 0; i < n; ++i) {
        sqlite3_bind_value(write, i + 1, sqlite3_column_value(from, i));
    }
    bool ok = sqlite3_step(write) == SQLITE_DONE;
    sqlite3_reset(write);
    return ok;
}

std::int16_t prepareCopy(sqlite3* damaged, sqlite3* out, const std::string& table,
                         const FieldDesc& desc, CopyStatements& st) {
    std::string list = "pk";
    std::string params = "?1";
    int p = 2;
    for (const auto& col : ValueColumns(desc)) {
        list += ", " + col;
        params += ", ?" + std::to_string(p++);
    }
    std::string keyList;
    std::string keyParams;
    int fieldParam = 2;
    for (int f = 1; f <= desc.count(); ++f) {
        const FieldSpec& fieldSpec = desc.field(f);
        if (fieldSpec.keyLength > 0) {
            keyList += ", " + KeyColumn(f);
            keyParams += ", substr(coalesce(?" + std::to_string(fieldParam) + ", ''), 1, " +
                         std::to_string(fieldSpec.keyLength) + ")";
        }
        fieldParam += fieldSpec.type == FieldType::TextArray ? fieldSpec.arrayLength : 1;
    }
    std::string t = QuoteName(table);
    std::string all = "SELECT " + list + " FROM " + t + " ORDER BY pk";
    std::string one = "SELECT " + list + " FROM " + t + " WHERE pk = ?1";
    std::string write = "INSERT OR REPLACE INTO " + t + "(" + list + keyList + ") VALUES(" +
                        params + keyParams + ")";
    if (sqlite3_prepare_v2(damaged, all.c_str(), -1, &st.all, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(damaged, one.c_str(), -1, &st.one, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(out, write.c_str(), -1, &st.write, nullptr) != SQLITE_OK) {
        return status::kCorrupt;
    }
    return status::kOk;
}

// The keys the table's indexes still hold: each index carries every record's primary key,
// so an intact index tells which records lie on a damaged page of the table itself.
std::set<std::string> keysFromIndexes(sqlite3* db, const std::string& table,
                                      const FieldDesc& desc) {
    std::set<std::string> keys;
    for (int f = 1; f <= desc.count(); ++f) {
        if (desc.field(f).keyLength <= 0) {
            continue;
        }
        std::string sql = "SELECT pk FROM " + QuoteName(table) + " INDEXED BY " +
                          QuoteName(table + "#" + KeyColumn(f));
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW) {
                keys.insert(ColumnText(st, 0));
            }
        }
        sqlite3_finalize(st);
    }
    return keys;
}

// Every record that can still be read: the table in key order up to the first damaged
// page, then each key the indexes know, one by one, so that only the records on damaged
// pages are lost.
Salvage salvageTable(sqlite3* damaged, const std::string& table, const FieldDesc& desc,
                     CopyStatements& st) {
    Salvage result;
    std::set<std::string> copied;
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(st.all)) == SQLITE_ROW) {
        copied.insert(ColumnText(st.all, 0));
        result.saved += copyRow(st.all, st.write) ? 1 : 0;
    }
    if (rc == SQLITE_DONE) {
        return result;
    }
    std::set<std::string> known = keysFromIndexes(damaged, table, desc);
    result.unknownLoss = known.empty();
    for (const std::string& key : known) {
        if (copied.count(key) != 0) {
            continue;
        }
        sqlite3_reset(st.one);
        BindText(st.one, 1, key);
        if (sqlite3_step(st.one) == SQLITE_ROW) {
            result.saved += copyRow(st.one, st.write) ? 1 : 0;
        } else {
            ++result.lost;
        }
    }
    return result;
}

std::int16_t readCatalog(sqlite3* db, std::vector<std::pair<std::string, std::string>>& tables) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT name, description FROM isam_catalog ORDER BY name", -1,
                                &st, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        tables.emplace_back(ColumnText(st, 0), ColumnText(st, 1));
        rc = SQLITE_OK;
    }
    sqlite3_finalize(st);
    return rc == SQLITE_DONE ? status::kOk : MapSqliteError(rc, 0, db);
}

struct RepairTotals {
    std::int64_t tables = 0;
    std::int64_t lostTables = 0;
    Salvage records;
};

std::int16_t copyInto(sqlite3* damaged, sqlite3* out,
                      const std::vector<std::pair<std::string, std::string>>& tables,
                      RepairTotals& totals) {
    if (exec(out, "BEGIN IMMEDIATE") != SQLITE_OK) {
        return status::kBusy;
    }
    for (const auto& [table, descText] : tables) {
        auto desc = FieldDesc::parse(descText);
        if (!desc) {
            ++totals.lostTables;
            continue;
        }
        if (std::int16_t s = CreateTable(out, table, *desc, true); s != status::kOk) {
            return s;
        }
        CopyStatements st;
        if (prepareCopy(damaged, out, table, *desc, st) != status::kOk) {
            ++totals.lostTables;
            continue;
        }
        Salvage one = salvageTable(damaged, table, *desc, st);
        ++totals.tables;
        totals.records.saved += one.saved;
        totals.records.lost += one.lost;
        totals.records.unknownLoss = totals.records.unknownLoss || one.unknownLoss;
    }
    return exec(out, "COMMIT") == SQLITE_OK ? status::kOk
                                            : MapSqliteError(sqlite3_errcode(out), 0, out);
}

std::string repairReport(const RepairTotals& t) {
    std::string text = "Archivi recuperati: " + std::to_string(t.tables) +
                       ", record: " + std::to_string(t.records.saved);
    if (t.lostTables > 0) {
        text += "; archivi non recuperabili: " + std::to_string(t.lostTables);
    }
    if (t.records.lost > 0) {
        text += "; record illeggibili: " + std::to_string(t.records.lost);
    }
    if (t.records.unknownLoss) {
        text += "; parte dei record illeggibile";
    }
    return text;
}

}  // namespace

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
    if (s = readCatalog(damaged.db, tables); s != status::kOk) {
        message = "Catalogo dell'archivio illeggibile";
        return s;
    }
    std::string fresh = path + ".new";
    RemoveContainerFiles(fresh);
    RepairTotals totals;
    {
        Connection out;
        s = openConnection(fresh, m_options, true, out);
        if (s == status::kOk) {
            s = copyInto(damaged.db, out.db, tables, totals);
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
    message = repairReport(totals);
    return status::kOk;
}

std::int16_t RecordManager::backupContainer(const std::string& container,
                                            const std::string& destination) {
    Connection source;
    std::int16_t s = openConnection(container, m_options, false, source);
    if (s != status::kOk) {
        return s;
    }
    RemoveContainerFiles(destination);
    Connection copy;
    int rc = sqlite3_open_v2(destination.c_str(), &copy.db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             m_options.vfs.empty() ? nullptr : m_options.vfs.c_str());
    if (rc != SQLITE_OK) {
        return MapSqliteError(rc, 0, copy.db);
    }
    ShareWithGroupOnly(destination);
    // One step copies every page under one read transaction: on WAL the writers go on
    // meanwhile, and the copy is the container as one commit left it.
    sqlite3_backup* b = sqlite3_backup_init(copy.db, "main", source.db, "main");
    if (b == nullptr) {
        return MapSqliteError(sqlite3_errcode(copy.db), 0, copy.db);
    }
    do {
        rc = sqlite3_backup_step(b, -1);
    } while (rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    int finish = sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE || finish != SQLITE_OK) {
        s = MapSqliteError(rc != SQLITE_DONE ? rc : finish, 0, copy.db);
        sqlite3_close_v2(copy.db);
        copy.db = nullptr;
        RemoveContainerFiles(destination);
        return s;
    }
    // The copy stands alone, in the rollback journal's format, whatever the original used.
    return exec(copy.db, "PRAGMA journal_mode=DELETE") == SQLITE_OK ? status::kOk
                                                                    : status::kIoError;
}

std::int16_t RecordManager::checkContainer(const std::string& container, std::string& message) {
    message.clear();
    Connection c;
    std::int16_t s = openConnection(container, m_options, false, c);
    std::vector<std::pair<std::string, std::string>> tables;
    if (s == status::kOk) {
        s = readCatalog(c.db, tables);
    }
    if (s != status::kOk) {
        message = "Archivio non leggibile";
        return s;
    }
    sqlite3_stmt* st = nullptr;
    int qrc = sqlite3_prepare_v2(c.db, "PRAGMA integrity_check", -1, &st, nullptr);
    std::string verdict;
    if (qrc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
        verdict = ColumnText(st, 0);
    }
    sqlite3_finalize(st);
    if (verdict != "ok") {
        message = verdict.empty() ? "Archivio danneggiato" : verdict;
        return status::kCorrupt;
    }
    return status::kOk;
}

}  // namespace zelvo::isam
