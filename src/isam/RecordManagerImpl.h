#pragma once

// The record manager's private state, shared by the files that implement it and included by
// nothing else.

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "isam/FieldDesc.h"
#include "isam/Record.h"
#include "isam/RecordManager.h"
#include "isam/SqliteUtil.h"
#include "isam/Status.h"
#include "isam/TableRows.h"
#include "isam/WriteGate.h"

namespace zelvo::isam {

// Statement slots kept per handle; the key field is added as a multiple of kKinds.
enum StmtKind : int {
    kGetByPk,
    kFindKey,
    kNextKey,
    kNextKeyInclusive,
    kPrevKey,
    kInsert,
    kReplace,
    kUpdate,
    kUpdateValues,
    kScan,
    kScanAfter,
    kDelete,
    kKinds
};

// One open container database, shared by every handle of this station on it.
struct Container {
    std::string path;
    sqlite3* db = nullptr;
    int refs = 0;
    int txDepth = 0;
    // Read snapshots open (a deferred transaction while txDepth is 0).
    int snapshotDepth = 0;
    std::uint64_t inode = 0;               // of the file opened, to notice it replaced under us
    std::int16_t txFailure = status::kOk;  // set when the transaction can no longer commit
    // Statements of closed handles, by table, with the description they were prepared for:
    // screens open and close the same archives for every registration, and preparing a
    // statement costs more than running it.
    struct Parked {
        std::string description;
        std::map<int, sqlite3_stmt*> stmts;
        std::map<std::string, sqlite3_stmt*> shapedStmts;
    };
    std::map<std::string, Parked> parked;
    sqlite3_stmt* catalogRead = nullptr;
    std::unique_ptr<WriteGate> gate;  // taken by the outermost write transaction

    void finalizeParked(const std::string& table) {
        auto it = parked.find(table);
        if (it == parked.end()) {
            return;
        }
        for (auto& [k, st] : it->second.stmts) {
            sqlite3_finalize(st);
        }
        for (auto& [k, st] : it->second.shapedStmts) {
            sqlite3_finalize(st);
        }
        parked.erase(it);
    }

    void close() {
        while (!parked.empty()) {
            finalizeParked(parked.begin()->first);
        }
        sqlite3_finalize(catalogRead);
        catalogRead = nullptr;
        sqlite3_close_v2(db);
        db = nullptr;
    }
};

struct Handle {
    Container* container = nullptr;
    std::string fileName;
    std::string table;
    std::string description;  // as the catalogue gives it
    FieldDesc desc;
    Record scratch;  // what a read reads into before it reaches the caller
    std::string scratchPk;
    std::vector<std::string> valueColumns;  // arrays expanded
    std::string selectList;
    int lockFd = -1;
    std::set<std::string> locked;
    Cursor cursor;
    std::map<int, sqlite3_stmt*> stmts;
    std::map<std::string, sqlite3_stmt*> shapedStmts;  // by the shape of a NumberChange
    bool dead = false;  // its archive was killed or re-created under it
};

// The journal of a container, from the kind of the folder it lies in.
JournalMode JournalModeFor(const RecordManager::Options& options, const std::string& container);

struct RecordManager::Impl {
    RecordManager::Options options;
    std::map<std::string, std::unique_ptr<Container>> containers;
    std::vector<std::unique_ptr<Handle>> handles;  // slot i is handle i + 1
    std::deque<std::string> idle;                  // open containers nobody uses, oldest first
    // The structural check of each container VTVal has run, by the state of its files when
    // it ran: the archives of one container share it, and it is not run again for each.
    std::map<std::string, std::pair<std::string, std::int16_t>> checkedContainers;
    static constexpr size_t kIdleContainers = 8;
    std::uint64_t recordsRead = 0;

    ~Impl();

    Handle* handle(std::int16_t h) {
        if (h < 1 || h > static_cast<int>(handles.size())) {
            return nullptr;
        }
        Handle* p = handles[static_cast<size_t>(h - 1)].get();
        return (p != nullptr && !p->dead) ? p : nullptr;
    }

    // Opens (or creates) a container and takes a reference on it.
    std::int16_t acquire(const std::string& path, bool create, Container*& out);
    // A container nobody uses stays open for a while: screens open and close the same
    // archives over and over, and opening a database costs more than a registration.
    void release(Container* c);
    void closeIdle(const std::string& key);
    static std::uint64_t inodeOf(const std::string& path);
    static bool sameFile(const Container& c);
    static void finalizeStatements(Handle& h);
    void closeHandle(Handle& h);
    // Handles of this station on a table that is being dropped lose their statements and
    // their archive.
    void invalidateTable(Container* c, const std::string& table);
    std::int16_t allocateSlot(std::int16_t& id);

    static std::string keyColumn(int field) {
        std::string name(1, 'k');  // appended: see ValueColumn
        name += std::to_string(field);
        return name;
    }
    static std::string orderColumn(int keyField) {
        return keyField == 0 ? std::string("pk") : keyColumn(keyField);
    }
    std::int16_t prepare(Handle& h, int slot, const std::string& sql, sqlite3_stmt*& out);
    std::string keyColumnsList(const Handle& h, bool withTypes) const;
    std::int16_t statement(Handle& h, StmtKind kind, int keyField, sqlite3_stmt*& st);
    void setupColumns(Handle& h);

    // Keys of every indexed field of a record, as stored in its key columns.
    static std::vector<std::string> keysOf(const FieldDesc& d, const Record& r) {
        std::vector<std::string> keys;
        keysInto(d, r, keys);
        return keys;
    }
    static void keysInto(const FieldDesc& d, const Record& r, std::vector<std::string>& keys) {
        keys.resize(static_cast<size_t>(d.count() + 1));
        for (int f = 1; f <= d.count(); ++f) {
            if (d.field(f).keyLength > 0) {
                keys[static_cast<size_t>(f)] = Utf8Left(r.text(f), d.field(f).keyLength);
            }
        }
    }

    // Reads one row from a stepped statement into pk and record. A record already of the
    // archive's shape is overwritten in place: its strings keep their buffers.
    static void readRow(const Handle& h, sqlite3_stmt* st, std::string& pk, Record& rec);
    // The statement of a filtered scan, kept per handle by the shape of its filters.
    std::int16_t filteredScan(Handle& h, int keyField,
                              const std::vector<RecordManager::ScanFilter>& filters,
                              sqlite3_stmt*& st);
    std::int16_t step(Handle& h, sqlite3_stmt* st, bool& row);
    // Steps a bound scan statement to its end or until `row` answers false, then resets it.
    std::int16_t stepScan(Handle& h, sqlite3_stmt* st,
                          const std::function<bool(const std::string&, const Record&)>& row);
    // Runs a positioned read; fills the outputs and moves the cursor on success. With
    // `deliver` false the record and its primary key stay in the handle's scratch, for the
    // caller to take once it has judged them.
    std::int16_t readOne(Handle& h, int keyField, sqlite3_stmt* st, std::string& key,
                         std::string& keyValue, std::string& pk, Record& rec, bool& found,
                         bool deliver = true);
    void bindPosition(Handle& h, sqlite3_stmt* st, int keyField);
    void placeBefore(Handle& h, int keyField, const std::string& text);

    // Binds the record's values (and key columns) from parameter `first` on.
    static int bindRecord(const Handle& h, sqlite3_stmt* st, int first, const Record& rec);
    // Binds the record's field values from parameter `first` on; the next free parameter.
    static int bindValues(const Handle& h, sqlite3_stmt* st, int first, const Record& rec);
    // A failed write inside a transaction may have made SQLite roll the whole transaction
    // back; from then on nothing of it may be written piecemeal in autocommit.
    std::int16_t afterWriteFailure(Container* c, std::int16_t s);
    // Steps a write to its end: kOk with the rows it changed, or the failure's status.
    std::int16_t stepWrite(Container* c, sqlite3_stmt* st, int& changed);
};

}  // namespace zelvo::isam
