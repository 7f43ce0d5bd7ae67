#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "archive/ArchiveError.h"
#include "archive/Catalog.h"
#include "base/Dialogs.h"
#include "isam/RecordManager.h"

namespace zelvo {

// What a lock wait tells the program around it: another attempt is about to be made after a
// pause (the window should repaint and show the busy cursor), or a wait that announced itself
// so has ended, granted or not.
enum class LockWait { Waiting, Ended };
using LockWaitHook = std::function<void(LockWait)>;

// The access layer between the screens and the record manager: one handle and two record
// buffers per archive, the path values, the shared status of the last call and the error
// report. Every call stores its status in the shared status; the *Reported calls also run
// ArchiveError with their operation and position, the others leave reporting to the caller
// (a "not found" is often the expected answer).
//
// Opening an archive that is already open for the same file shares the handle: each open
// takes a reference and each close gives one back, so two screens using the same archive
// never close it under each other.
class Archives {
  public:
    Archives(isam::RecordManager& rm, Dialogs& dialogs);
    ~Archives();
    Archives(const Archives&) = delete;
    Archives& operator=(const Archives&) = delete;

    // Path values: the data directory ends with its separator; none of them adds one.
    void setDataDirectory(std::string dir) { m_dataDirectory = std::move(dir); }
    void setCompany(std::string code) { m_company = std::move(code); }
    void setYear(std::string year) { m_year = std::move(year); }
    const std::string& dataDirectory() const { return m_dataDirectory; }
    const std::string& company() const { return m_company; }
    const std::string& year() const { return m_year; }
    std::string fileName(int archive) const;
    std::string fileName(int archive, const std::string& company, const std::string& year) const;

    std::int16_t status() const { return m_status; }
    void setStatus(std::int16_t s) { m_status = s; }
    // ArchiveError with the shared status.
    void report(int operation, int archive, int position);

    // Open and close with the positions of the report table (the archives screens open
    // themselves), or with the caller's own position.
    bool open(int archive);
    bool open(int archive, int position);
    // Opens the archive of another company or year (creation of a company, a new year).
    bool openFile(int archive, const std::string& company, const std::string& year, int position);
    void close(int archive);
    void close(int archive, int position);
    bool isOpen(int archive) const;
    // Whether a file can be opened at all; nothing is reported (the year probe).
    bool exists(const std::string& fileName);

    // Creates the archive of the given company and year, reported with operation 1.
    bool create(int archive, const std::string& company, const std::string& year, int position);
    // The same for a caller that tells the operator the status in its own way; the status.
    std::int16_t createUnreported(int archive, const std::string& company, const std::string& year);
    // Deletes it, reported with operation 7.
    bool kill(int archive, const std::string& company, const std::string& year, int position);

    isam::Record& readBuffer(int archive);
    isam::Record& writeBuffer(int archive);
    // Primary key and key value of the last record read.
    const std::string& primaryKey(int archive) const;
    const std::string& keyValue(int archive) const;
    void copyReadToWrite(int archive);
    void clearWriteBuffer(int archive);
    // A record of the open archive's layout with every field empty, to fill and hand over
    // (rows that a posting numbers and writes later).
    isam::Record blankRecord(int archive) const;

    // Record calls on the archive's handle; the result is also the shared status.
    std::int16_t get(int archive, int keyField, int operation, const std::string& key);
    // Exact look-up by primary key: a record whose key merely begins with `key` is not it.
    std::int16_t getByKey(int archive, const std::string& key);
    // Identity look-up on an indexed text field: the record whose whole field equals `text`
    // in the index's collation (ASCII letters without case), not one that merely begins with
    // it. kNotFound when there is none.
    std::int16_t getIdentical(int archive, int keyField, const std::string& text);
    std::int16_t bof(int archive, int keyField);
    std::int16_t put(int archive, const std::string& primaryKey, int mode);
    std::int16_t remove(int archive, const std::string& primaryKey);
    std::int16_t flush(int archive);
    std::int16_t lock(int archive, const std::string& primaryKey);
    // Reads the records of a key field's order from the first key >= `from` on, until `row`
    // answers false, in one consistent state of the archive's container and with one
    // statement: the read of a report, which writes nothing meanwhile. Not reported.
    std::int16_t scan(
        int archive, int keyField, const std::string& from,
        const std::function<bool(const std::string& primaryKey, const isam::Record& record)>& row);
    // How many records the archive holds.
    std::int16_t count(int archive, std::int64_t& records);
    std::int16_t unlock(int archive, const std::string& primaryKey);

    std::int16_t getReported(int archive, int keyField, int operation, const std::string& key,
                             int position);
    std::int16_t getByKeyReported(int archive, const std::string& key, int position);
    std::int16_t putReported(int archive, const std::string& primaryKey, int mode, int position);

    // Called between the attempts of every lock wait and when such a wait ends; the program
    // keeps its windows alive with it. No hook: the wait only pauses.
    void setLockWaitHook(LockWaitHook hook) { m_lockWaitHook = std::move(hook); }

    // The shared update of one record: inside a transaction (begun before the lock, so
    // nobody waits for the database while holding a record lock) lock, read by key, change
    // the write buffer, rewrite, flush, unlock. Failures are reported at the positions given.
    std::int16_t update(int archive, const std::string& primaryKey,
                        const std::function<void(isam::Record&)>& change, int readPosition,
                        int writePosition);
    // The same for running totals, without reading the record first (see
    // RecordManager::addToNumbers); `changed` receives the change's returned fields. A record
    // that is not there is reported at the read position.
    std::int16_t addToNumbers(int archive, const std::string& primaryKey,
                              const isam::RecordManager::NumberChange& change,
                              isam::Record& changed, int readPosition, int writePosition);

    // Closes the company register, VAT codes, year record, chart and counters (positions 85
    // to 89) and writes the chosen company's name to the file "www".
    void CloseMainArchives();

    // The record manager underneath, for the tools and the tests; screens never need it.
    isam::RecordManager& recordManager() { return m_rm; }
    Dialogs& dialogs() { return m_dialogs; }
    std::int16_t handle(int archive) const;

  private:
    // Record locks are taken through RecordLock, which also reports a refusal and gives the
    // lock back on every path.
    friend class RecordLock;
    // Waits until the record lock is granted, pausing a little between attempts; it never
    // gives up while the record is merely held elsewhere. Other failures end the wait.
    std::int16_t lockWait(int archive, const std::string& primaryKey);
    // The nesting count of this station's record locks: only the first acquisition of a
    // record waits for its lock and only the last release gives it back.
    std::int16_t acquireLock(int archive, const std::string& primaryKey);
    std::int16_t releaseLock(int archive, const std::string& primaryKey);

    struct Slot {
        std::int16_t handle = 0;
        int refs = 0;
        std::string fileName;
        isam::Record read;
        isam::Record write;
        std::string primaryKey;
        std::string keyValue;
    };
    static constexpr int kSlots = 34;
    Slot& slot(int archive);
    const Slot& slot(int archive) const;
    bool openSlot(int archive, const std::string& fileName, int position);
    // Transaction, lock, `work`, unlock, commit: the frame of every shared update.
    std::int16_t underLock(int archive, const std::string& primaryKey, int writePosition,
                           const std::function<void()>& work);

    isam::RecordManager& m_rm;
    Dialogs& m_dialogs;
    std::string m_dataDirectory;
    std::string m_company;
    std::string m_year;
    std::int16_t m_status = 0;
    std::array<Slot, kSlots> m_slots;
    std::map<std::pair<int, std::string>, int> m_heldLocks;
    LockWaitHook m_lockWaitHook;
};

// A registration: every write to the archives of one container between its start and its
// commit lands together or not at all. Begun on any open archive of the container.
class Registration {
  public:
    Registration(Archives& archives, int archive);
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
    std::int16_t status() const { return m_tx.status(); }
    // The status of the commit, also stored in the shared status.
    std::int16_t commit();

  private:
    Archives& m_archives;
    isam::Transaction m_tx;
};

}  // namespace zelvo
