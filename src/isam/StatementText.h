#pragma once

#include <string>
#include <vector>

#include "isam/FieldDesc.h"
#include "isam/RecordManager.h"

namespace zelvo::isam {

// The SQL both backends run alike: they differ only in how they mark parameters.

// An archive's table has the primary key "pk", a value column per field ("f3"; an array's
// elements "f60_1", "f60_2", ...) and a key column per indexed field ("k3"), which holds the
// key as the backend compares it.
std::string ValueColumn(int field);
std::string KeyColumn(int field);
// The value columns in field order, arrays spread over one column per element.
std::vector<std::string> ValueColumns(const FieldDesc& desc);
// Columns as a select or insert lists them: joined by ", ".
std::string ColumnList(const std::vector<std::string>& columns);

// How a backend declares the columns of an archive's table.
struct ColumnTypes {
    const char* primaryKey;  // the whole declaration of pk
    const char* text;        // each declaration follows its column's name
    const char* real;
    const char* integer;
    const char* key;
};
// The column declarations of an archive's table, pk first, then the value columns, then the
// key columns, ready for CREATE TABLE; each key column then gets an index on (key, pk).
std::string TableColumnsSql(const FieldDesc& desc, const ColumnTypes& types);

// The statements that read in a key order, the same on both backends, which write their
// parameters differently ("?1" for SQLite, "$1" for the server). A key field's order is its
// key column ("k3"), ties broken by primary key; key field 0 is the primary key's own order.
enum class Seek {
    ByPrimaryKey,   // the record of one primary key
    Find,           // the first key >= the text
    Next,           // the first (key, pk) after the position
    NextInclusive,  // the same, the position included
    Previous,       // the last (key, pk) before the position
    ScanFrom,       // every record from the first key >= the text on
    ScanAfter,      // every record after the position
};

// The statement reading `selectList` (pk first) of `table` (quoted as it must be). Its
// parameters: the text or the position's key, then (key fields) the position's primary key.
// `scanLimit` > 0 cuts the scans to that many records.
std::string SeekSql(Seek kind, int keyField, const std::string& table,
                    const std::string& selectList, char mark, int scanLimit = 0);

// Whether a change of running totals names numeric fields to add to and to sum, and plain
// (not array) fields to return.
bool NumberChangeFits(const FieldDesc& desc, const RecordManager::NumberChange& change);

// The change as "UPDATE table SET ... WHERE pk = <mark>1"; the amounts to add are parameters 2,
// 3, ... in the order of `change.add`. Empty when it changes nothing.
std::string NumberChangeSql(const std::string& table, const RecordManager::NumberChange& change,
                            char mark);

}  // namespace zelvo::isam
