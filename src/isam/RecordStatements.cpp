#include <sqlite3.h>

#include <string>

#include "isam/RecordManagerImpl.h"
#include "isam/SqliteUtil.h"
#include "isam/StatementText.h"

namespace zelvo::isam {

std::int16_t RecordManager::Impl::prepare(Handle& h, int slot, const std::string& sql,
                                          sqlite3_stmt*& out) {
    auto it = h.stmts.find(slot);
    if (it != h.stmts.end()) {
        out = it->second;
        return status::kOk;
    }
    int rc = sqlite3_prepare_v3(h.container->db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &out,
                                nullptr);
    if (rc != SQLITE_OK) {
        // A table dropped by another station reads as a missing archive.
        return rc == SQLITE_ERROR ? status::kArchiveMissing : MapSqliteError(rc, 0);
    }
    h.stmts.emplace(slot, out);
    return status::kOk;
}

std::int16_t RecordManager::Impl::filteredScan(
    Handle& h, int keyField, const std::vector<RecordManager::ScanFilter>& filters,
    sqlite3_stmt*& st) {
    // The shape: the key and, per filter, its field and how many values it lists.
    std::string shape("scan ");
    shape += std::to_string(keyField);
    std::string where = keyField == 0 ? std::string("pk") : orderColumn(keyField);
    where += " >= ?1";
    int parameter = 2;
    for (const RecordManager::ScanFilter& f : filters) {
        if (f.field < 1 || f.field > h.desc.count() || f.values.empty() ||
            h.desc.field(f.field).type == FieldType::TextArray) {
            return status::kBadArgument;
        }
        shape += ' ';
        shape += std::to_string(f.field);
        shape += ':';
        shape += std::to_string(f.values.size());
        where += " AND f";
        where += std::to_string(f.field);
        where += " IN (";
        for (size_t i = 0; i < f.values.size(); ++i) {
            where += i == 0 ? "?" : ", ?";
            where += std::to_string(parameter++);
        }
        where += ')';
    }
    sqlite3_stmt*& cached = h.shapedStmts[shape];
    if (cached == nullptr) {
        const std::string order =
            keyField == 0 ? " ORDER BY pk" : " ORDER BY " + orderColumn(keyField) + ", pk";
        const std::string sql = "SELECT pk, " + h.selectList + " FROM " + QuoteName(h.table) +
                                " WHERE " + where + order;
        const int rc = sqlite3_prepare_v3(h.container->db, sql.c_str(), -1,
                                          SQLITE_PREPARE_PERSISTENT, &cached, nullptr);
        if (rc != SQLITE_OK) {
            h.shapedStmts.erase(shape);
            return rc == SQLITE_ERROR ? status::kArchiveMissing : MapSqliteError(rc, 0);
        }
    }
    st = cached;
    return status::kOk;
}

std::string RecordManager::Impl::keyColumnsList(const Handle& h, bool withTypes) const {
    std::string s;
    for (int f = 1; f <= h.desc.count(); ++f) {
        if (h.desc.field(f).keyLength > 0) {
            s += ", " + keyColumn(f) + (withTypes ? " TEXT COLLATE NOCASE" : "");
        }
    }
    return s;
}

std::int16_t RecordManager::Impl::statement(Handle& h, StmtKind kind, int keyField,
                                            sqlite3_stmt*& st) {
    int slot = keyField * kKinds + kind;
    // Reads in a loop come back here for every record: find the prepared statement
    // before composing any SQL.
    if (auto it = h.stmts.find(slot); it != h.stmts.end()) {
        st = it->second;
        return status::kOk;
    }
    const std::string t = QuoteName(h.table);
    auto seek = [&](Seek kind) { return SeekSql(kind, keyField, t, h.selectList, '?'); };
    std::string sql;
    switch (kind) {
        case kGetByPk:
            sql = seek(Seek::ByPrimaryKey);
            break;
        case kFindKey:
            sql = seek(Seek::Find);
            break;
        case kNextKey:
            sql = seek(Seek::Next);
            break;
        case kNextKeyInclusive:
            sql = seek(Seek::NextInclusive);
            break;
        case kScan:
            // No LIMIT: one statement steps through the whole index from the start.
            sql = seek(Seek::ScanFrom);
            break;
        case kScanAfter:
            sql = seek(Seek::ScanAfter);
            break;
        case kPrevKey:
            sql = seek(Seek::Previous);
            break;
        case kInsert:
        case kReplace: {
            std::string cols = "pk";
            std::string vals = "?";
            for (const auto& c : h.valueColumns) {
                cols += ", " + c;
                vals += ", ?";
            }
            for (int f = 1; f <= h.desc.count(); ++f) {
                if (h.desc.field(f).keyLength > 0) {
                    cols += ", " + keyColumn(f);
                    vals += ", ?";
                }
            }
            sql = std::string(kind == kInsert ? "INSERT" : "INSERT OR REPLACE") + " INTO " + t +
                  "(" + cols + ") VALUES(" + vals + ")";
            break;
        }
        case kUpdate: {
            std::string sets;
            for (const auto& c : h.valueColumns) {
                sets += (sets.empty() ? "" : ", ") + c + " = ?";
            }
            for (int f = 1; f <= h.desc.count(); ++f) {
                if (h.desc.field(f).keyLength > 0) {
                    sets += ", " + keyColumn(f) + " = ?";
                }
            }
            sql = "UPDATE " + t + " SET " + sets + " WHERE pk = ?";
            break;
        }
        case kUpdateValues: {
            // The fields only, where the keys are still the ones expected: the indexes
            // need no rewriting.
            std::string sets;
            for (const auto& c : h.valueColumns) {
                sets += (sets.empty() ? "" : ", ") + c + " = ?";
            }
            std::string guard = "pk = ?";
            for (int f = 1; f <= h.desc.count(); ++f) {
                if (h.desc.field(f).keyLength > 0) {
                    guard += " AND " + keyColumn(f) + " = ?";
                }
            }
            sql = "UPDATE " + t + " SET " + sets + " WHERE " + guard;
            break;
        }
        case kDelete:
            sql = "DELETE FROM " + t + " WHERE pk = ?1";
            break;
        case kKinds:
            break;
    }
    return prepare(h, slot, sql, st);
}

void RecordManager::Impl::setupColumns(Handle& h) {
    h.valueColumns = ValueColumns(h.desc);
    h.selectList = ColumnList(h.valueColumns);
}

}  // namespace zelvo::isam
