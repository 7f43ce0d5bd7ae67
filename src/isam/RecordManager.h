#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "isam/FieldDesc.h"
#include "isam/FileSystemKind.h"
#include "isam/Record.h"
#include "isam/Status.h"

namespace zelvo::isam {

// Where an archive lives: the container database file and the table inside it.
struct ArchiveLocation {
    std::string container;
    std::string table;
};

// Maps an archive's file name (data directory + year + company + stem, say) to its place.
// The catalogue above knows which archives share a container; the record manager only
// stores tables.
using ContainerResolver = std::function<ArchiveLocation(const std::string& fileName)>;

// Each archive in a container of its own: fileName + ".isd", table named after the file.
ArchiveLocation SeparateContainers(const std::string& fileName);

// Operations of VmxGet.
namespace op {
inline constexpr std::int16_t kFind = 1;
inline constexpr std::int16_t kNext = 2;
inline constexpr std::int16_t kPrevious = 4;
}  // namespace op

// Modes of VmxPut.
namespace mode {
inline constexpr std::int16_t kWrite = 0;    // add or replace under the key
inline constexpr std::int16_t kAdd = 1;      // add; the key must be new
inline constexpr std::int16_t kRewrite = 2;  // replace; the key must exist
}  // namespace mode

class ServerStore;

// The ISAM record manager over SQLite, or over a PostgreSQL server for the containers of a
// server data directory (ServerLocation.h). One object is one station: its handles, its
// connections and its record locks. Two objects in one process behave like two stations
// (their locks conflict), which is how the tests play several users.
//
// Every call returns a status (Status.h) and never throws for bad input.
class RecordManager {
  public:
    struct Options {
        std::string vfs;  // SQLite VFS to open containers with; empty: the default
        // The kind of a container's folder, which decides its journal: WAL on a local disk,
        // the rollback journal on a network share. Empty: statfs (ProbeFileSystemKind).
        FileSystemProbe fileSystem = {};
        // On a server, whether this station marks the containers it has open as present (a
        // restore is refused while any station is present). A copy made for the restore
        // itself, inside the restore's claim, must not.
        bool marksPresence = true;
    };

    explicit RecordManager(ContainerResolver resolver = SeparateContainers);
    RecordManager(ContainerResolver resolver, Options options);
    ~RecordManager();
    RecordManager(const RecordManager&) = delete;
    RecordManager& operator=(const RecordManager&) = delete;

    // Creates (or replaces) an empty archive with the given fields and indexes. The creation
    // number and the three zeros are kept for the callers' sake and not interpreted.
    std::int16_t VmxCreate(const std::string& fileName, std::int16_t creation, std::int16_t,
                           std::int16_t, std::int16_t, const std::string& fieldDescription);
    // Opens an existing archive; a missing one fails without creating anything.
    std::int16_t VmxOpen(const std::string& fileName, std::int16_t, std::int16_t,
                         std::int16_t& handle);
    // Reads on key field keyField (0 = primary key) with operation 1 (find: the first record
    // whose key begins with `key`, case-insensitively for ASCII letters on indexed fields),
    // 2 (next) or 4 (previous) from the handle's current position. On success `key` and
    // `keyValue` hold the record's key, `primaryKey` its primary key and `record` its fields.
    // A failed find leaves the position just before the first key after the text. A read
    // that fails leaves every output as it was.
    std::int16_t VmxGet(std::int16_t handle, std::int16_t keyField, std::int16_t operation,
                        std::string& key, std::string& keyValue, std::string& primaryKey,
                        Record& record);
    std::int16_t VmxPut(std::int16_t handle, const std::string& primaryKey, const Record& record,
                        std::int16_t mode);
    std::int16_t VmxDelete(std::int16_t handle, const std::string& primaryKey);

    // Running totals: adds amounts to numeric fields of the record `primaryKey`, then sets
    // each `sums` field to the signed sum of its terms (fields as they are after the
    // additions), in one statement that does not read the record first. The `returning`
    // fields of the changed record come back in `out` (made of the archive's shape if it is
    // not; its other fields are left alone). kNotFound when there is no such record. The
    // caller holds the record's lock, as for a rewrite.
    struct NumberChange {
        struct Sum {
            int field = 0;
            std::vector<std::pair<int, int>> terms;  // field, +1 or -1
        };
        std::vector<std::pair<int, double>> add;  // field, amount
        std::vector<Sum> sums;
        std::vector<int> returning;
    };
    std::int16_t addToNumbers(std::int16_t handle, const std::string& primaryKey,
                              const NumberChange& change, Record& out);
    // Record locks never wait: kLocked when another handle (of this or another process)
    // holds the key. They are released by VmxUnlock, VmxClose or the holder's death.
    std::int16_t VmxLock(std::int16_t handle, const std::string& primaryKey);
    std::int16_t VmxUnlock(std::int16_t handle, const std::string& primaryKey);
    // Every commit is already durable (synchronous=FULL, with WAL or the rollback journal);
    // flush only reports failures.
    std::int16_t VmxFlush(std::int16_t handle);
    std::int16_t VmxClose(std::int16_t handle);
    // Positions before the first record of the key field's order.
    std::int16_t VmxBOF(std::int16_t handle, std::int16_t keyField);
    // Removes the archive, and its container when nothing else is left in it.
    std::int16_t VmxKill(const std::string& fileName);

    // Index tools: check an archive, rebuild its indexes, repair a whole container into a
    // fresh file. `message` receives a short report for the operator.
    std::int16_t VTVal(const std::string& fileName, std::string& message, std::int16_t,
                       std::int32_t);
    std::int16_t VTRebuild(const std::string& fileName, std::string& message, std::int16_t,
                           std::int32_t, std::int32_t);
    // request: "Grp=" followed by the container's path. Nobody may have the container open.
    std::int16_t VTRepair(const std::string& request, std::string& message, std::int16_t,
                          std::int32_t);

    // A consistent copy of a whole container at `destination` (replaced), taken with
    // SQLite's online backup while other stations may go on writing: the copy is the
    // container as one commit left it. The copy is a container of its own in the rollback
    // journal's format.
    std::int16_t backupContainer(const std::string& container, const std::string& destination);
    // Whether a container file is one of ours, whole and readable: its catalogue and
    // SQLite's integrity check over every page. `message` says what is wrong.
    std::int16_t checkContainer(const std::string& container, std::string& message);

    // Transactions span every archive of one container: begun on any handle of it, they
    // nest (only the outermost commits), and a write transaction is begun IMMEDIATE so that
    // nobody waits for the database while holding a record lock.
    // Use the Transaction guard below; these are its primitives, keyed by container path.
    std::int16_t beginTransaction(std::int16_t handle, std::string& container);
    std::int16_t commitTransaction(const std::string& container);
    void rollbackTransaction(const std::string& container);
    bool inTransaction(std::int16_t handle) const;

    // A read snapshot of a container: long reads (a year's journal) see one consistent state
    // and take the file's locks once instead of at every record. Writes must not happen
    // inside one; a write transaction begun meanwhile ends the snapshot first.
    std::int16_t beginSnapshot(std::int16_t handle, std::string& container);
    void endSnapshot(const std::string& container);

    // Beyond the classic calls.
    // Reads the records of a key field's order from the first key >= `from` to the end, or
    // until `row` answers false, with one statement and no re-seeking: for reports, which
    // write nothing while they read (the handle's position is left as it was).
    std::int16_t scan(std::int16_t handle, std::int16_t keyField, const std::string& from,
                      const std::function<bool(const std::string&, const Record&)>& row);
    // A condition of a filtered scan: the (plain, not array) field holds one of the values.
    struct ScanFilter {
        int field = 0;
        std::vector<std::string> values;
    };
    // The same, keeping only the records every filter accepts: SQLite passes over the others
    // before they are read (a month of a year's rows).
    std::int16_t scan(std::int16_t handle, std::int16_t keyField, const std::string& from,
                      const std::vector<ScanFilter>& filters,
                      const std::function<bool(const std::string&, const Record&)>& row);
    // The same in the order of a key field, resuming after the record (`from`, `afterPk`):
    // a page that goes on where the last one ended reads nothing of it again, however many
    // records share its last key.
    std::int16_t scanAfter(std::int16_t handle, std::int16_t keyField, const std::string& from,
                           const std::string& afterPk,
                           const std::function<bool(const std::string&, const Record&)>& row);
    // Records this station has read from the store so far (every get and every scanned
    // row): how a view's reading is counted.
    std::uint64_t recordsRead() const;
    // The archives stored in one container file, in name order.
    std::int16_t listArchives(const std::string& container, std::vector<std::string>& names);
    const FieldDesc* description(std::int16_t handle) const;
    // The field description the archive was created with, as text; empty for a bad handle.
    std::string descriptionText(std::int16_t handle) const;
    // The containers of a data directory (a folder's ".isd" files, a server's schemas), as
    // the catalogue names them (data directory + name + ".isd"), in name order.
    std::int16_t listContainers(const std::string& dataDirectory,
                                std::vector<std::string>& containers);
    std::int16_t count(std::int16_t handle, std::int64_t& records);
    ArchiveLocation locate(const std::string& fileName) const { return m_resolver(fileName); }
    int openHandles() const;
    // Closes this station's connection to a container nobody here uses any more (idle
    // containers stay open to spare reopening them); a container about to be replaced.
    void closeIdleContainer(const std::string& container);

  private:
    struct Impl;
    ServerStore* server();  // made on the first server container met
    ServerStore* serverOf(std::int16_t handle) const;
    ContainerResolver m_resolver;
    Options m_options;
    std::unique_ptr<Impl> m_impl;
    std::unique_ptr<ServerStore> m_server;  // the containers that are server schemas
};

// A read snapshot for the length of a scope.
class Snapshot {
  public:
    Snapshot(RecordManager& rm, std::int16_t handle);
    ~Snapshot();
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

  private:
    RecordManager& m_rm;
    std::string m_container;
    bool m_open;
};

// Commits explicitly; rolls back when it goes out of scope uncommitted.
class Transaction {
  public:
    Transaction(RecordManager& rm, std::int16_t handle);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    std::int16_t status() const { return m_status; }  // of the begin
    std::int16_t commit();

  private:
    RecordManager& m_rm;
    std::string m_container;
    std::int16_t m_status;
    bool m_open;
};

}  // namespace zelvo::isam
