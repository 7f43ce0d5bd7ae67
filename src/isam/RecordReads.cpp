#include <sqlite3.h>

#include <cerrno>
#include <functional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "base/Utf8.h"
#include "isam/RecordManager.h"
#include "isam/RecordManagerImpl.h"
#include "isam/ServerLocation.h"
#include "isam/ServerStore.h"
#include "isam/SqliteUtil.h"
#include "isam/TableRows.h"

namespace zelvo::isam {

void RecordManager::Impl::readRow(const Handle& h, sqlite3_stmt* st, std::string& pk, Record& rec) {
    ReadRow(
        h.desc,
        [st](int col, std::string& into) {
            const unsigned char* p = sqlite3_column_text(st, col);
            into.assign(p == nullptr ? "" : reinterpret_cast<const char*>(p),
                        p == nullptr ? 0 : static_cast<size_t>(sqlite3_column_bytes(st, col)));
        },
        [st](int col) { return sqlite3_column_double(st, col); }, pk, rec);
}

std::int16_t RecordManager::Impl::step(Handle& h, sqlite3_stmt* st, bool& row) {
    int rc = sqlite3_step(st);
    row = rc == SQLITE_ROW;
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) {
        return status::kOk;
    }
    int err = errno;
    sqlite3_reset(st);
    if (rc == SQLITE_ERROR || rc == SQLITE_SCHEMA) {
        return status::kArchiveMissing;
    }
    return MapSqliteError(rc, err, h.container->db);
}

std::int16_t RecordManager::Impl::readOne(Handle& h, int keyField, sqlite3_stmt* st,
                                          std::string& key, std::string& keyValue, std::string& pk,
                                          Record& rec, bool& found, bool deliver) {
    bool row = false;
    std::int16_t s = step(h, st, row);
    found = false;
    if (s != status::kOk) {
        return s;
    }
    if (row) {
        // Read into the handle's scratch record, then swapped with the caller's: both
        // keep the archive's shape, so the next read allocates nothing for them.
        readRow(h, st, h.scratchPk, h.scratch);
        ++recordsRead;
        sqlite3_reset(st);
        found = true;
        h.cursor.set = true;
        h.cursor.inclusive = false;
        h.cursor.pk = h.scratchPk;
        keysInto(h.desc, h.scratch, h.cursor.keys);
        keyValue = keyField == 0 ? h.scratchPk : h.cursor.keys[static_cast<size_t>(keyField)];
        key = keyValue;
        if (deliver) {
            std::swap(pk, h.scratchPk);
            std::swap(rec, h.scratch);
        }
        return status::kOk;
    }
    sqlite3_reset(st);
    return status::kOk;
}

void RecordManager::Impl::bindPosition(Handle& h, sqlite3_stmt* st, int keyField) {
    if (keyField == 0) {
        BindTextInPlace(st, 1, h.cursor.pk);
    } else {
        BindTextInPlace(st, 1, h.cursor.keys[static_cast<size_t>(keyField)]);
        BindTextInPlace(st, 2, h.cursor.pk);
    }
}

void RecordManager::Impl::placeBefore(Handle& h, int keyField, const std::string& text) {
    h.cursor.set = true;
    h.cursor.inclusive = true;
    h.cursor.keys.assign(static_cast<size_t>(h.desc.count() + 1), std::string());
    if (keyField == 0) {
        h.cursor.pk = text;
    } else {
        h.cursor.pk.clear();
        h.cursor.keys[static_cast<size_t>(keyField)] = text;
    }
}

std::int16_t RecordManager::VmxGet(std::int16_t handle, std::int16_t keyField,
                                   std::int16_t operation, std::string& key, std::string& keyValue,
                                   std::string& primaryKey, Record& record) {
    if (ServerStore* s = serverOf(handle)) {
        return s->get(handle, keyField, operation, key, keyValue, primaryKey, record);
    }
    Handle* h = m_impl->handle(handle);
    if (h == nullptr || !h->desc.isKeyField(keyField)) {
        return status::kBadArgument;
    }
    sqlite3_stmt* st = nullptr;
    bool found = false;
    std::int16_t s = status::kOk;
    if (operation == op::kFind) {
        std::string text = keyField == 0 ? key : Utf8Left(key, h->desc.field(keyField).keyLength);
        if (keyField == 0 && !key.empty()) {
            s = m_impl->statement(*h, kNextKeyInclusive, 0, st);
        } else {
            s = m_impl->statement(*h, kFindKey, keyField, st);
        }
        if (s != status::kOk) {
            return s;
        }
        BindTextInPlace(st, 1, text);
        std::string k, kv;
        s = m_impl->readOne(*h, keyField, st, k, kv, primaryKey, record, found, false);
        if (s != status::kOk) {
            return s;
        }
        bool matches = found && (keyField == 0 ? kv.compare(0, text.size(), text) == 0
                                               : StartsWithNoCase(kv, text));
        if (!matches) {
            m_impl->placeBefore(*h, keyField, text);
            return status::kNotFound;
        }
        key = k;
        keyValue = kv;
        std::swap(primaryKey, h->scratchPk);
        std::swap(record, h->scratch);
        return status::kOk;
    }
    if (operation != op::kNext && operation != op::kPrevious) {
        return status::kBadArgument;
    }
    bool forward = operation == op::kNext;
    if (!h->cursor.set) {
        m_impl->placeBefore(*h, keyField, std::string());
    }
    StmtKind kind = !forward ? kPrevKey : (h->cursor.inclusive ? kNextKeyInclusive : kNextKey);
    s = m_impl->statement(*h, kind, keyField, st);
    if (s != status::kOk) {
        return s;
    }
    m_impl->bindPosition(*h, st, keyField);
    s = m_impl->readOne(*h, keyField, st, key, keyValue, primaryKey, record, found);
    if (s != status::kOk) {
        return s;
    }
    if (!found) {
        return forward ? status::kEndOfIndex : status::kBeginningOfIndex;
    }
    return status::kOk;
}

std::int16_t RecordManager::scan(
    std::int16_t handle, std::int16_t keyField, const std::string& from,
    const std::function<bool(const std::string&, const Record&)>& row) {
    return scan(handle, keyField, from, {}, row);
}

std::int16_t RecordManager::scan(
    std::int16_t handle, std::int16_t keyField, const std::string& from,
    const std::vector<ScanFilter>& filters,
    const std::function<bool(const std::string&, const Record&)>& row) {
    if (ServerStore* s = serverOf(handle)) {
        return s->scan(handle, keyField, from, nullptr, filters, row);
    }
    Handle* h = m_impl->handle(handle);
    if (h == nullptr || !h->desc.isKeyField(keyField)) {
        return status::kBadArgument;
    }
    sqlite3_stmt* st = nullptr;
    if (filters.empty()) {
        if (std::int16_t s = m_impl->statement(*h, kScan, keyField, st); s != status::kOk) {
            return s;
        }
    } else if (std::int16_t s = m_impl->filteredScan(*h, keyField, filters, st); s != status::kOk) {
        return s;
    }
    BindText(st, 1, keyField == 0 ? from : Utf8Left(from, h->desc.field(keyField).keyLength));
    int parameter = 2;
    for (const ScanFilter& f : filters) {
        for (const std::string& v : f.values) {
            BindText(st, parameter++, v);
        }
    }
    return m_impl->stepScan(*h, st, row);
}

std::int16_t RecordManager::scanAfter(
    std::int16_t handle, std::int16_t keyField, const std::string& from, const std::string& afterPk,
    const std::function<bool(const std::string&, const Record&)>& row) {
    if (ServerStore* s = serverOf(handle)) {
        return s->scan(handle, keyField, from, &afterPk, {}, row);
    }
    Handle* h = m_impl->handle(handle);
    if (h == nullptr || !h->desc.isKeyField(keyField)) {
        return status::kBadArgument;
    }
    sqlite3_stmt* st = nullptr;
    if (std::int16_t s = m_impl->statement(*h, kScanAfter, keyField, st); s != status::kOk) {
        return s;
    }
    if (keyField == 0) {
        BindText(st, 1, afterPk);
    } else {
        BindText(st, 1, Utf8Left(from, h->desc.field(keyField).keyLength));
        BindText(st, 2, afterPk);
    }
    return m_impl->stepScan(*h, st, row);
}

std::int16_t RecordManager::Impl::stepScan(
    Handle& h, sqlite3_stmt* st,
    const std::function<bool(const std::string&, const Record&)>& row) {
    std::string pk;
    Record r;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        readRow(h, st, pk, r);
        ++recordsRead;
        if (!row(pk, r)) {
            rc = SQLITE_DONE;
            break;
        }
    }
    int err = errno;
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    if (rc != SQLITE_DONE) {
        return rc == SQLITE_ERROR ? status::kArchiveMissing
                                  : MapSqliteError(rc, err, h.container->db);
    }
    return status::kOk;
}

std::uint64_t RecordManager::recordsRead() const {
    return m_impl->recordsRead + (m_server ? m_server->recordsRead() : 0);
}

std::int16_t RecordManager::VmxBOF(std::int16_t handle, std::int16_t keyField) {
    if (ServerStore* s = serverOf(handle)) {
        return s->bof(handle, keyField);
    }
    Handle* h = m_impl->handle(handle);
    if (h == nullptr || !h->desc.isKeyField(keyField)) {
        return status::kBadArgument;
    }
    m_impl->placeBefore(*h, keyField, std::string());
    return status::kOk;
}

}  // namespace zelvo::isam
