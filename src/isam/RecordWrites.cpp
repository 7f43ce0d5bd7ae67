#include <fcntl.h>
#include <sqlite3.h>

#include <cerrno>
#include <string>
#include <variant>
#include <vector>

#include "base/Utf8.h"
#include "isam/FileModes.h"
#include "isam/RecordManager.h"
#include "isam/RecordManagerImpl.h"
#include "isam/ServerLocation.h"
#include "isam/ServerStore.h"
#include "isam/SqliteUtil.h"
#include "isam/StatementText.h"

namespace zelvo::isam {

int RecordManager::Impl::bindRecord(const Handle& h, sqlite3_stmt* st, int first,
                                    const Record& rec) {
    int p = bindValues(h, st, first, rec);
    for (int f = 1; f <= h.desc.count(); ++f) {
        if (h.desc.field(f).keyLength > 0) {
            BindText(st, p++, Utf8Left(rec.text(f), h.desc.field(f).keyLength));
        }
    }
    return p;
}

int RecordManager::Impl::bindValues(const Handle& h, sqlite3_stmt* st, int first,
                                    const Record& rec) {
    int p = first;
    for (int f = 1; f <= h.desc.count(); ++f) {
        const FieldValue& v = rec.value(f);
        if (const auto* s = std::get_if<std::string>(&v)) {
            BindTextInPlace(st, p++, *s);
        } else if (const auto* d = std::get_if<double>(&v)) {
            sqlite3_bind_double(st, p++, *d);
        } else if (const auto* i16 = std::get_if<std::int16_t>(&v)) {
            sqlite3_bind_int(st, p++, *i16);
        } else if (const auto* i32 = std::get_if<std::int32_t>(&v)) {
            sqlite3_bind_int(st, p++, *i32);
        } else if (const auto* a = std::get_if<std::vector<std::string>>(&v)) {
            for (const auto& e : *a) {
                BindTextInPlace(st, p++, e);
            }
        }
    }
    return p;
}

std::int16_t RecordManager::Impl::afterWriteFailure(Container* c, std::int16_t s) {
    if (c->txDepth > 0 && sqlite3_get_autocommit(c->db) != 0 && c->txFailure == 0) {
        c->txFailure = s;
    }
    return s;
}

std::int16_t RecordManager::Impl::stepWrite(Container* c, sqlite3_stmt* st, int& changed) {
    int rc = sqlite3_step(st);
    int err = errno;
    sqlite3_reset(st);
    if (rc == SQLITE_CONSTRAINT_PRIMARYKEY || rc == SQLITE_CONSTRAINT) {
        return status::kDuplicateKey;
    }
    if (rc != SQLITE_DONE) {
        return afterWriteFailure(c, MapSqliteError(rc, err, c->db));
    }
    changed = sqlite3_changes(c->db);
    return status::kOk;
}

std::int16_t RecordManager::VmxPut(std::int16_t handle, const std::string& primaryKey,
                                   const Record& record, std::int16_t mode) {
    if (ServerStore* s = serverOf(handle)) {
        return s->put(handle, primaryKey, record, mode);
    }
    Handle* h = m_impl->handle(handle);
    if (h == nullptr || !record.matches(h->desc) ||
        (mode != mode::kWrite && mode != mode::kAdd && mode != mode::kRewrite)) {
        return status::kBadArgument;
    }
    Container* c = h->container;
    if (c->txFailure != status::kOk) {
        return c->txFailure;
    }
    // A rewrite of the record just read that leaves its keys as they were (running totals,
    // counters) changes the fields only: rewriting every index entry of the chart for each
    // posted line would cost several times the update itself.
    if (mode == mode::kRewrite && h->cursor.set && !h->cursor.inclusive &&
        h->cursor.pk == primaryKey && Impl::keysOf(h->desc, record) == h->cursor.keys) {
        sqlite3_stmt* st = nullptr;
        std::int16_t s = m_impl->statement(*h, kUpdateValues, 0, st);
        if (s != status::kOk) {
            return s;
        }
        int next = Impl::bindValues(*h, st, 1, record);
        BindTextInPlace(st, next++, primaryKey);
        for (int f = 1; f <= h->desc.count(); ++f) {
            if (h->desc.field(f).keyLength > 0) {
                BindTextInPlace(st, next++, h->cursor.keys[static_cast<size_t>(f)]);
            }
        }
        int changed = 0;
        if (s = m_impl->stepWrite(c, st, changed); s != status::kOk || changed == 1) {
            return s;
        }
        // The keys changed under us (another station rewrote it): the full update follows.
    }
    sqlite3_stmt* st = nullptr;
    StmtKind kind = mode == mode::kWrite ? kReplace : (mode == mode::kAdd ? kInsert : kUpdate);
    std::int16_t s = m_impl->statement(*h, kind, 0, st);
    if (s != status::kOk) {
        return s;
    }
    if (kind == kUpdate) {
        int next = Impl::bindRecord(*h, st, 1, record);
        BindTextInPlace(st, next, primaryKey);
    } else {
        BindTextInPlace(st, 1, primaryKey);
        Impl::bindRecord(*h, st, 2, record);
    }
    int changed = 0;
    if (s = m_impl->stepWrite(c, st, changed); s != status::kOk) {
        return s;
    }
    return kind == kUpdate && changed == 0 ? status::kNoCurrentRecord : status::kOk;
}

std::int16_t RecordManager::addToNumbers(std::int16_t handle, const std::string& primaryKey,
                                         const NumberChange& change, Record& out) {
    if (ServerStore* s = serverOf(handle)) {
        return s->addToNumbers(handle, primaryKey, change, out);
    }
    Handle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    if (!NumberChangeFits(h->desc, change)) {
        return status::kBadArgument;
    }
    // The statement's shape names its fields; the amounts are its parameters.
    std::string shape;
    for (const auto& [field, amount] : change.add) {
        shape += '+';
        shape += std::to_string(field);
    }
    for (const auto& sum : change.sums) {
        shape += '=';
        shape += std::to_string(sum.field);
        for (const auto& [field, sign] : sum.terms) {
            shape += sign < 0 ? '-' : '+';
            shape += std::to_string(field);
        }
    }
    shape += "/";
    for (int field : change.returning) {
        shape += std::to_string(field) + ",";
    }
    Container* c = h->container;
    if (c->txFailure != status::kOk) {
        return c->txFailure;
    }
    sqlite3_stmt*& st = h->shapedStmts[shape];
    if (st == nullptr) {
        const std::string sql = NumberChangeSql(QuoteName(h->table), change, '?');
        if (sql.empty() || sqlite3_prepare_v3(c->db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT,
                                              &st, nullptr) != SQLITE_OK) {
            h->shapedStmts.erase(shape);
            return sql.empty() ? status::kBadArgument : status::kArchiveMissing;
        }
    }
    BindTextInPlace(st, 1, primaryKey);
    for (size_t i = 0; i < change.add.size(); ++i) {
        sqlite3_bind_double(st, static_cast<int>(i + 2), change.add[i].second);
    }
    int changed = 0;
    if (std::int16_t s = m_impl->stepWrite(c, st, changed); s != status::kOk) {
        return s;
    }
    if (changed == 0) {
        return status::kNotFound;
    }
    if (change.returning.empty()) {
        return status::kOk;
    }
    // Read back by a statement of its own: an UPDATE ... RETURNING buffers its rows in a
    // temporary table, which costs more than the update.
    sqlite3_stmt*& read = h->shapedStmts["?" + shape];
    if (read == nullptr) {
        std::string cols;
        for (int field : change.returning) {
            cols += (cols.empty() ? "" : ", ") + ValueColumn(field);
        }
        const std::string sql =
            "SELECT " + cols + " FROM " + QuoteName(h->table) + " WHERE pk = ?1";
        if (sqlite3_prepare_v3(c->db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &read, nullptr) !=
            SQLITE_OK) {
            h->shapedStmts.erase("?" + shape);
            return status::kArchiveMissing;
        }
    }
    BindTextInPlace(read, 1, primaryKey);
    int rc = sqlite3_step(read);
    if (rc == SQLITE_ROW) {
        if (!out.matches(h->desc)) {
            out = Record(h->desc);
        }
        int col = 0;
        for (int field : change.returning) {
            if (h->desc.field(field).type == FieldType::Text) {
                out.setText(field, ColumnText(read, col++));
            } else {
                out.setNumber(field, sqlite3_column_double(read, col++));
            }
        }
        rc = SQLITE_DONE;
    }
    const int err = errno;
    sqlite3_reset(read);
    return rc == SQLITE_DONE ? status::kOk : MapSqliteError(rc, err, c->db);
}

std::int16_t RecordManager::VmxDelete(std::int16_t handle, const std::string& primaryKey) {
    if (ServerStore* s = serverOf(handle)) {
        return s->remove(handle, primaryKey);
    }
    Handle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    Container* c = h->container;
    if (c->txFailure != status::kOk) {
        return c->txFailure;
    }
    sqlite3_stmt* st = nullptr;
    std::int16_t s = m_impl->statement(*h, kDelete, 0, st);
    if (s != status::kOk) {
        return s;
    }
    BindTextInPlace(st, 1, primaryKey);
    int changed = 0;
    if (s = m_impl->stepWrite(c, st, changed); s != status::kOk) {
        return s;
    }
    return changed == 0 ? status::kNotFound : status::kOk;
}

std::int16_t RecordManager::VmxLock(std::int16_t handle, const std::string& primaryKey) {
    if (ServerStore* s = serverOf(handle)) {
        return s->lock(handle, primaryKey);
    }
    Handle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    if (h->lockFd < 0) {
        std::string lockPath = h->container->path + "-lck";
        h->lockFd = OpenLockFile(lockPath);
        if (h->lockFd < 0) {
            return errno == EMFILE || errno == ENFILE ? status::kTooManyFiles : status::kOsError;
        }
    }
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = LockOffset(h->table, primaryKey);
    fl.l_len = 1;
    if (::fcntl(h->lockFd, F_OFD_SETLK, &fl) != 0) {
        return (errno == EAGAIN || errno == EACCES) ? status::kLocked : status::kOsError;
    }
    h->locked.insert(primaryKey);
    return status::kOk;
}

std::int16_t RecordManager::VmxUnlock(std::int16_t handle, const std::string& primaryKey) {
    if (ServerStore* s = serverOf(handle)) {
        return s->unlock(handle, primaryKey);
    }
    Handle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    if (h->lockFd < 0 || h->locked.erase(primaryKey) == 0) {
        return status::kOk;
    }
    struct flock fl {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = LockOffset(h->table, primaryKey);
    fl.l_len = 1;
    return ::fcntl(h->lockFd, F_OFD_SETLK, &fl) == 0 ? status::kOk : status::kOsError;
}

std::int16_t RecordManager::VmxFlush(std::int16_t handle) {
    if (ServerStore* s = serverOf(handle)) {
        return s->flush(handle);
    }
    Handle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    return h->container->txFailure;
}

}  // namespace zelvo::isam
