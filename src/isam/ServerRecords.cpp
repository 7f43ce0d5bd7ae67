// The PostgreSQL backend's reads and writes of records: the same statements as on a folder,
// with keys stored folded (ASCII letters in lower case) and compared as bytes, which is the
// order of the folder's case-insensitive key columns.

#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "base/Utf8.h"
#include "isam/ServerStore.h"
#include "isam/ServerStoreImpl.h"
#include "isam/StatementText.h"

namespace zelvo::isam {

namespace {

enum Kind : int { kGetByPk, kFind, kNext, kNextInclusive, kPrev, kKinds };

// Rows a scan fetches at a time: reports read other archives between the rows of one scan,
// through the same connection, so no statement may stay open across the calls.
constexpr int kScanBatch = 500;

std::string NumberText(double d) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", d);
    return buf;
}

std::vector<const char*> Pointers(const std::vector<std::string>& texts) {
    std::vector<const char*> out;
    out.reserve(texts.size());
    for (const auto& t : texts) {
        out.push_back(t.c_str());
    }
    return out;
}

}  // namespace

std::string ServerStore::Impl::statementText(PgHandle& h, int kind, int keyField) {
    const int slot = keyField * kKinds + kind;
    if (auto it = h.sql.find(slot); it != h.sql.end()) {
        return it->second;
    }
    static constexpr Seek kSeeks[] = {Seek::ByPrimaryKey, Seek::Find, Seek::Next,
                                      Seek::NextInclusive, Seek::Previous};
    const std::string sql = SeekSql(kSeeks[kind], keyField, h.qualified, h.selectList, '$');
    h.sql.emplace(slot, sql);
    return sql;
}

void ServerStore::Impl::readRow(const PgHandle& h, const PgResult& r, int row, std::string& pk,
                                Record& rec) {
    PGresult* res = r.get();
    ReadRow(
        h.desc,
        [res, row](int col, std::string& into) {
            into.assign(PQgetvalue(res, row, col), static_cast<size_t>(PQgetlength(res, row, col)));
        },
        [res, row](int col) { return std::strtod(PQgetvalue(res, row, col), nullptr); }, pk, rec);
}

void ServerStore::Impl::recordParams(const PgHandle& h, const Record& rec,
                                     std::vector<std::string>& out, bool withKeys) {
    for (int f = 1; f <= h.desc.count(); ++f) {
        const FieldValue& v = rec.value(f);
        if (const auto* s = std::get_if<std::string>(&v)) {
            out.push_back(*s);
        } else if (const auto* a = std::get_if<std::vector<std::string>>(&v)) {
            out.insert(out.end(), a->begin(), a->end());
        } else {
            out.push_back(NumberText(rec.number(f)));
        }
    }
    if (withKeys) {
        for (int f = 1; f <= h.desc.count(); ++f) {
            if (h.desc.field(f).keyLength > 0) {
                out.push_back(fold(rec.text(f), h.desc.field(f).keyLength));
            }
        }
    }
}

std::int16_t ServerStore::get(std::int16_t handle, std::int16_t keyField, std::int16_t operation,
                              std::string& key, std::string& keyValue, std::string& primaryKey,
                              Record& record) {
    PgHandle* h = m_impl->handle(handle);
    if (h == nullptr || !h->desc.isKeyField(keyField)) {
        return status::kBadArgument;
    }
    Cursor& cur = h->cursor;
    std::string sql;
    std::vector<std::string> params;
    std::string text;  // a find's text, as typed (cut to the key's length)
    if (operation == op::kFind) {
        text = keyField == 0 ? key : Utf8Left(key, h->desc.field(keyField).keyLength);
        sql = m_impl->statementText(*h, keyField == 0 && !key.empty() ? kNextInclusive : kFind,
                                    keyField);
        params.push_back(keyField == 0 ? text : Impl::fold(text, 0));
    } else if (operation == op::kNext || operation == op::kPrevious) {
        if (!cur.set) {
            bof(handle, keyField);
        }
        const bool forward = operation == op::kNext;
        sql = m_impl->statementText(*h, !forward ? kPrev : (cur.inclusive ? kNextInclusive : kNext),
                                    keyField);
        if (keyField != 0) {
            params.push_back(cur.keys[static_cast<size_t>(keyField)]);
        }
        params.push_back(cur.pk);
    } else {
        return status::kBadArgument;
    }
    PgResult r;
    if (std::int16_t s = m_impl->run(*h->conn, sql, Pointers(params), r); s != status::kOk) {
        return s;
    }
    std::string pk;
    Record rec;
    std::string kv;
    if (r.rows() > 0) {
        Impl::readRow(*h, r, 0, pk, rec);
        ++m_impl->recordsRead;
        kv = keyField == 0 ? pk : Utf8Left(rec.text(keyField), h->desc.field(keyField).keyLength);
    }
    if (operation == op::kFind) {
        const bool matches = r.rows() > 0 && (keyField == 0 ? kv.compare(0, text.size(), text) == 0
                                                            : StartsWithNoCase(kv, text));
        if (!matches) {
            bof(handle, keyField);
            if (keyField == 0) {
                cur.pk = text;
            } else {
                cur.keys[static_cast<size_t>(keyField)] = Impl::fold(text, 0);
            }
            return status::kNotFound;
        }
    } else if (r.rows() == 0) {
        return operation == op::kNext ? status::kEndOfIndex : status::kBeginningOfIndex;
    }
    cur.set = true;
    cur.inclusive = false;
    cur.pk = pk;
    cur.keys.assign(static_cast<size_t>(h->desc.count() + 1), std::string());
    for (int f = 1; f <= h->desc.count(); ++f) {
        if (h->desc.field(f).keyLength > 0) {
            cur.keys[static_cast<size_t>(f)] = Impl::fold(rec.text(f), h->desc.field(f).keyLength);
        }
    }
    key = kv;
    keyValue = kv;
    primaryKey = std::move(pk);
    record = std::move(rec);
    return status::kOk;
}

std::int16_t ServerStore::put(std::int16_t handle, const std::string& primaryKey,
                              const Record& record, std::int16_t mode) {
    PgHandle* h = m_impl->handle(handle);
    if (h == nullptr || !record.matches(h->desc) ||
        (mode != mode::kWrite && mode != mode::kAdd && mode != mode::kRewrite)) {
        return status::kBadArgument;
    }
    const int slot = 1000 + mode;
    auto it = h->sql.find(slot);
    if (it == h->sql.end()) {
        std::vector<std::string> columns = h->valueColumns;
        for (int f = 1; f <= h->desc.count(); ++f) {
            if (h->desc.field(f).keyLength > 0) {
                columns.push_back(KeyColumn(f));
            }
        }
        std::string sql;
        if (mode == mode::kRewrite) {
            std::string sets;
            for (size_t i = 0; i < columns.size(); ++i) {
                sets += (i == 0 ? "" : ", ") + columns[i] + " = $" + std::to_string(i + 2);
            }
            sql = "UPDATE " + h->qualified + " SET " + sets + " WHERE pk = $1";
        } else {
            std::string cols = "pk";
            std::string vals = "$1";
            std::string updates;
            for (size_t i = 0; i < columns.size(); ++i) {
                cols += ", " + columns[i];
                vals += ", $" + std::to_string(i + 2);
                updates += (i == 0 ? "" : ", ") + columns[i] + " = EXCLUDED." + columns[i];
            }
            // An add that finds its key taken changes nothing and says so; it must not abort
            // the registration's transaction, as a failed statement does on the server.
            sql = "INSERT INTO " + h->qualified + " (" + cols + ") VALUES (" + vals +
                  ") ON CONFLICT (pk) DO " +
                  (mode == mode::kAdd ? std::string("NOTHING") : "UPDATE SET " + updates);
        }
        it = h->sql.emplace(slot, sql).first;
    }
    std::vector<std::string> params{primaryKey};
    Impl::recordParams(*h, record, params, true);
    PgResult r;
    if (std::int16_t s = m_impl->run(*h->conn, it->second, Pointers(params), r); s != status::kOk) {
        return s;
    }
    if (r.changed() == 0) {
        return mode == mode::kAdd ? status::kDuplicateKey : status::kNoCurrentRecord;
    }
    return status::kOk;
}

std::int16_t ServerStore::remove(std::int16_t handle, const std::string& primaryKey) {
    PgHandle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    PgResult r;
    if (std::int16_t s = m_impl->run(*h->conn, "DELETE FROM " + h->qualified + " WHERE pk = $1",
                                     {primaryKey.c_str()}, r);
        s != status::kOk) {
        return s;
    }
    return r.changed() == 0 ? status::kNotFound : status::kOk;
}

std::int16_t ServerStore::addToNumbers(std::int16_t handle, const std::string& primaryKey,
                                       const RecordManager::NumberChange& change, Record& out) {
    PgHandle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    const std::string update = NumberChangeFits(h->desc, change)
                                   ? NumberChangeSql(h->qualified, change, '$')
                                   : std::string();
    if (update.empty()) {
        return status::kBadArgument;
    }
    std::string returning;
    for (int field : change.returning) {
        returning += (returning.empty() ? " RETURNING " : ", ") + ValueColumn(field);
    }
    std::vector<std::string> params{primaryKey};
    for (const auto& [field, amount] : change.add) {
        params.push_back(NumberText(amount));
    }
    PgResult r;
    if (std::int16_t s = m_impl->run(*h->conn, update + returning, Pointers(params), r);
        s != status::kOk) {
        return s;
    }
    if (r.changed() == 0) {
        return status::kNotFound;
    }
    if (!change.returning.empty()) {
        if (!out.matches(h->desc)) {
            out = Record(h->desc);
        }
        int col = 0;
        for (int field : change.returning) {
            if (h->desc.field(field).type == FieldType::Text) {
                out.setText(field, r.text(0, col++));
            } else {
                out.setNumber(field, std::strtod(PQgetvalue(r.get(), 0, col++), nullptr));
            }
        }
    }
    return status::kOk;
}

std::int16_t ServerStore::scan(std::int16_t handle, std::int16_t keyField, const std::string& from,
                               const std::string* afterPk,
                               const std::vector<RecordManager::ScanFilter>& filters,
                               const std::function<bool(const std::string&, const Record&)>& row) {
    PgHandle* h = m_impl->handle(handle);
    if (h == nullptr || !h->desc.isKeyField(keyField)) {
        return status::kBadArgument;
    }
    std::string where;
    std::vector<std::string> filterValues;
    int parameter = 3;
    for (const RecordManager::ScanFilter& f : filters) {
        if (f.field < 1 || f.field > h->desc.count() || f.values.empty() ||
            h->desc.field(f.field).type == FieldType::TextArray) {
            return status::kBadArgument;
        }
        where += " AND " + ValueColumn(f.field) + " IN (";
        for (size_t i = 0; i < f.values.size(); ++i) {
            where += (i == 0 ? "$" : ", $") + std::to_string(parameter++);
            filterValues.push_back(f.values[i]);
        }
        where += ')';
    }
    const std::string col = keyField == 0 ? std::string("pk") : KeyColumn(keyField);
    const std::string sel = "SELECT pk, " + h->selectList + " FROM " + h->qualified;
    const std::string order = keyField == 0 ? " ORDER BY pk" : " ORDER BY " + col + ", pk";
    const std::string batch = " LIMIT " + std::to_string(kScanBatch);
    // The first batch from the key; every next one after the last row delivered, so that
    // nothing is read twice however many rows share a key.
    const std::string first =
        sel + " WHERE " + col + " >= $1 AND $2::text IS NULL" + where + order + batch;
    const std::string next = sel + " WHERE (" + col + ", pk) > ($1, $2)" + where + order + batch;
    std::string lastKey =
        keyField == 0 ? from : Impl::fold(from, h->desc.field(keyField).keyLength);
    std::string lastPk;
    bool resumed = afterPk != nullptr;
    if (resumed) {
        lastPk = *afterPk;
        if (keyField == 0) {
            lastKey = lastPk;
        }
    }
    std::string pk;
    Record rec;
    for (;;) {
        std::vector<const char*> params{lastKey.c_str(), resumed ? lastPk.c_str() : nullptr};
        for (const auto& v : filterValues) {
            params.push_back(v.c_str());
        }
        PgResult r;
        if (std::int16_t s = m_impl->run(*h->conn, resumed ? next : first, params, r);
            s != status::kOk) {
            return s;
        }
        for (int i = 0; i < r.rows(); ++i) {
            Impl::readRow(*h, r, i, pk, rec);
            ++m_impl->recordsRead;
            if (!row(pk, rec)) {
                return status::kOk;
            }
        }
        if (r.rows() < kScanBatch) {
            return status::kOk;
        }
        lastPk = pk;
        lastKey =
            keyField == 0 ? pk : Impl::fold(rec.text(keyField), h->desc.field(keyField).keyLength);
        resumed = true;
    }
}

}  // namespace zelvo::isam
