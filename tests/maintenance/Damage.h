#pragma once

// Containers damaged on purpose.

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "isam/RecordManager.h"
#include "support/ArchiveDump.h"

namespace zelvo::test {

struct Page {
    int number = 0;
    int records = 0;
};

// A leaf page of the table's own records (not of its indexes), from SQLite's page
// statistics; the middle one of them.
inline Page LeafOf(const std::string& container, const std::string& table, int& pageSize) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(container.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    std::vector<Page> leaves;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT pageno, ncell FROM dbstat WHERE name = ?1 AND pagetype = 'leaf' "
                       "ORDER BY pageno",
                       -1, &st, nullptr);
    sqlite3_bind_text(st, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(st) == SQLITE_ROW) {
        leaves.push_back({sqlite3_column_int(st, 0), sqlite3_column_int(st, 1)});
    }
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "PRAGMA page_size", -1, &st, nullptr);
    sqlite3_step(st);
    pageSize = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    EXPECT_GE(leaves.size(), 3U) << table;
    return leaves.empty() ? Page{} : leaves[leaves.size() / 2];
}

// Overwrites one leaf page of the table with garbage; the records on it are lost. Nobody
// may have the container open. The number of records the page held.
inline int DamageLeaf(const std::string& container, const std::string& table) {
    int pageSize = 0;
    Page page = LeafOf(container, table, pageSize);
    std::fstream f(container, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(static_cast<std::streamoff>(page.number - 1) * pageSize);
    std::string garbage(static_cast<size_t>(pageSize), '\x5A');
    f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    return page.records;
}

// Puts one record's index key out of step with its field, as a write cut short might.
inline void SkewIndex(const std::string& container, const std::string& table,
                      const std::string& keyColumn) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(container.c_str(), &db), SQLITE_OK);
    std::string sql = "UPDATE \"" + table + "\" SET " + keyColumn + " = 'zzz' WHERE pk = (SELECT " +
                      "min(pk) FROM \"" + table + "\")";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

}  // namespace zelvo::test
