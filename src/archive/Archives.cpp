#include "archive/Archives.h"

#include <chrono>
#include <stdexcept>
#include <thread>

#include "archive/InstallationNotes.h"
#include "archive/RecordLock.h"
#include "base/Utf8.h"
#include "isam/FileModes.h"

namespace zelvo {

namespace {

struct Positions {
    int archive;
    int open;
    int close;
};

// Report positions of the open and close operations. The main archives are opened at
// start-up and on choosing a company, and closed by CloseMainArchives (85 to 89).
constexpr Positions kPositions[] = {
    {arc::kAx, 20, 39},     {arc::kParam, 1310, 1313}, {arc::kCe, 2322, 2321},
    {arc::kCpag, 21, 40},   {arc::kIa, 23, 42},        {arc::kFf, 19, 42},
    {arc::kIc, 24, 43},     {arc::kIv, 25, 44},        {arc::kMc, 27, 46},
    {arc::kSd, 32, 50},     {arc::kSf, 33, 51},        {arc::kSi, 34, 52},
    {arc::kSt, 35, 53},     {arc::kTt, 36, 54},        {arc::kGg, 37, 55},
    {arc::kDataz, 113, 85}, {arc::kCiva, 112, 86},     {arc::kCt, 1296, 87},
    {arc::kPc, 1297, 88},   {arc::kPr, 1295, 89},
};

const Positions& positionsOf(int archive) {
    for (const Positions& p : kPositions) {
        if (p.archive == archive) {
            return p;
        }
    }
    throw std::logic_error("no report positions for archive " + std::to_string(archive));
}

const ArchiveInfo& infoOf(int archive) {
    const ArchiveInfo* info = Catalog::byNumber(archive);
    if (info == nullptr) {
        throw std::logic_error("no archive number " + std::to_string(archive));
    }
    return *info;
}

}  // namespace

Archives::Archives(isam::RecordManager& rm, Dialogs& dialogs) : m_rm(rm), m_dialogs(dialogs) {}

Archives::~Archives() {
    for (Slot& s : m_slots) {
        if (s.refs > 0) {
            m_rm.VmxClose(s.handle);
        }
    }
}

Archives::Slot& Archives::slot(int archive) {
    if (archive < 1 || archive >= kSlots || Catalog::byNumber(archive) == nullptr) {
        throw std::logic_error("no archive number " + std::to_string(archive));
    }
    return m_slots[static_cast<size_t>(archive)];
}

const Archives::Slot& Archives::slot(int archive) const {
    return const_cast<Archives*>(this)->slot(archive);
}

std::string Archives::fileName(int archive) const {
    return fileName(archive, m_company, m_year);
}

std::string Archives::fileName(int archive, const std::string& company,
                               const std::string& year) const {
    return Catalog::fileName(infoOf(archive), m_dataDirectory, company, year);
}

void Archives::report(int operation, int archive, int position) {
    ArchiveError(m_dialogs, m_status, operation, archive, position);
}

bool Archives::openSlot(int archive, const std::string& file, int position) {
    Slot& s = slot(archive);
    if (s.refs > 0 && s.fileName == file) {
        ++s.refs;
        m_status = 0;
        return true;
    }
    if (s.refs > 0) {
        // Another company's or year's file under the same archive: it replaces the old one.
        m_rm.VmxClose(s.handle);
        s.refs = 0;
    }
    std::int16_t h = 0;
    m_status = m_rm.VmxOpen(file, 0, 3, h);
    report(opn::kOpen, archive, position);
    if (m_status != 0) {
        return false;
    }
    s.handle = h;
    s.refs = 1;
    s.fileName = file;
    s.read = isam::Record(*m_rm.description(h));
    s.write = s.read;
    s.primaryKey.clear();
    s.keyValue.clear();
    return true;
}

bool Archives::open(int archive) {
    return open(archive, positionsOf(archive).open);
}

bool Archives::open(int archive, int position) {
    return openSlot(archive, fileName(archive), position);
}

bool Archives::openFile(int archive, const std::string& company, const std::string& year,
                        int position) {
    return openSlot(archive, fileName(archive, company, year), position);
}

void Archives::close(int archive) {
    close(archive, positionsOf(archive).close);
}

void Archives::close(int archive, int position) {
    Slot& s = slot(archive);
    if (s.refs > 1) {
        --s.refs;
        m_status = 0;
        return;
    }
    m_status = m_rm.VmxClose(s.handle);
    report(opn::kClose, archive, position);
    s.refs = 0;
    s.handle = 0;
}

bool Archives::isOpen(int archive) const {
    return slot(archive).refs > 0;
}

std::int16_t Archives::handle(int archive) const {
    return slot(archive).handle;
}

bool Archives::exists(const std::string& file) {
    std::int16_t h = 0;
    if (m_rm.VmxOpen(file, 0, 3, h) != 0) {
        return false;
    }
    m_rm.VmxClose(h);
    return true;
}

bool Archives::create(int archive, const std::string& company, const std::string& year,
                      int position) {
    createUnreported(archive, company, year);
    report(opn::kCreate, archive, position);
    return m_status == 0;
}

std::int16_t Archives::createUnreported(int archive, const std::string& company,
                                        const std::string& year) {
    const ArchiveInfo& info = infoOf(archive);
    m_status =
        m_rm.VmxCreate(fileName(archive, company, year), static_cast<std::int16_t>(info.creation),
                       0, 0, 0, info.fieldDescription);
    return m_status;
}

bool Archives::kill(int archive, const std::string& company, const std::string& year,
                    int position) {
    m_status = m_rm.VmxKill(fileName(archive, company, year));
    report(opn::kKill, archive, position);
    return m_status == 0;
}

isam::Record& Archives::readBuffer(int archive) {
    return slot(archive).read;
}
isam::Record& Archives::writeBuffer(int archive) {
    return slot(archive).write;
}
const std::string& Archives::primaryKey(int archive) const {
    return slot(archive).primaryKey;
}
const std::string& Archives::keyValue(int archive) const {
    return slot(archive).keyValue;
}
void Archives::copyReadToWrite(int archive) {
    slot(archive).write = slot(archive).read;
}
void Archives::clearWriteBuffer(int archive) {
    slot(archive).write.clear();
}

std::int16_t Archives::scan(
    int archive, int keyField, const std::string& from,
    const std::function<bool(const std::string& primaryKey, const isam::Record& record)>& row) {
    const std::int16_t handle = slot(archive).handle;
    isam::Snapshot snapshot(m_rm, handle);
    m_status = m_rm.scan(handle, static_cast<std::int16_t>(keyField), from, row);
    return m_status;
}

std::int16_t Archives::count(int archive, std::int64_t& records) {
    m_status = m_rm.count(slot(archive).handle, records);
    return m_status;
}

isam::Record Archives::blankRecord(int archive) const {
    isam::Record r = slot(archive).write;
    r.clear();
    return r;
}

std::int16_t Archives::get(int archive, int keyField, int operation, const std::string& key) {
    Slot& s = slot(archive);
    std::string k = key;
    // A read that fails leaves its outputs as they were: the buffers keep the last record.
    m_status =
        m_rm.VmxGet(s.handle, static_cast<std::int16_t>(keyField),
                    static_cast<std::int16_t>(operation), k, s.keyValue, s.primaryKey, s.read);
    return m_status;
}

std::int16_t Archives::getByKey(int archive, const std::string& key) {
    Slot& s = slot(archive);
    std::string k = key;
    std::string kv;
    std::string pk;
    isam::Record r;
    m_status = m_rm.VmxGet(s.handle, 0, isam::op::kFind, k, kv, pk, r);
    if (m_status == 0 && pk != key) {
        m_status = isam::status::kNotFound;
    }
    if (m_status == 0) {
        s.read = std::move(r);
        s.primaryKey = std::move(pk);
        s.keyValue = std::move(kv);
    }
    return m_status;
}

std::int16_t Archives::getIdentical(int archive, int keyField, const std::string& text) {
    const isam::FieldDesc* desc = m_rm.description(slot(archive).handle);
    if (desc == nullptr || !desc->isKeyField(keyField) || keyField == 0) {
        m_status = isam::status::kBadArgument;
        return m_status;
    }
    // The key holds only the field's first characters: every record with the same key is
    // a candidate, and they stand together at the start of the find's matches.
    const std::string key = AsciiLower(Utf8Left(text, desc->field(keyField).keyLength));
    const std::string wanted = AsciiLower(text);
    std::int16_t s = get(archive, keyField, isam::op::kFind, key);
    while (s == 0) {
        if (AsciiLower(readBuffer(archive).text(keyField)) == wanted) {
            return m_status;
        }
        if (AsciiLower(keyValue(archive)) != key) {
            break;
        }
        s = get(archive, keyField, isam::op::kNext, "");
    }
    if (s == 0 || s == isam::status::kEndOfIndex || s == isam::status::kNotFound) {
        m_status = isam::status::kNotFound;
    }
    return m_status;
}

std::int16_t Archives::bof(int archive, int keyField) {
    m_status = m_rm.VmxBOF(slot(archive).handle, static_cast<std::int16_t>(keyField));
    return m_status;
}

std::int16_t Archives::put(int archive, const std::string& primaryKey, int mode) {
    Slot& s = slot(archive);
    m_status = m_rm.VmxPut(s.handle, primaryKey, s.write, static_cast<std::int16_t>(mode));
    return m_status;
}

std::int16_t Archives::remove(int archive, const std::string& primaryKey) {
    m_status = m_rm.VmxDelete(slot(archive).handle, primaryKey);
    return m_status;
}

std::int16_t Archives::flush(int archive) {
    m_status = m_rm.VmxFlush(slot(archive).handle);
    return m_status;
}

std::int16_t Archives::lock(int archive, const std::string& primaryKey) {
    m_status = m_rm.VmxLock(slot(archive).handle, primaryKey);
    return m_status;
}

std::int16_t Archives::unlock(int archive, const std::string& primaryKey) {
    m_status = m_rm.VmxUnlock(slot(archive).handle, primaryKey);
    return m_status;
}

std::int16_t Archives::getReported(int archive, int keyField, int operation, const std::string& key,
                                   int position) {
    get(archive, keyField, operation, key);
    report(opn::kRead, archive, position);
    return m_status;
}

std::int16_t Archives::getByKeyReported(int archive, const std::string& key, int position) {
    getByKey(archive, key);
    report(opn::kRead, archive, position);
    return m_status;
}

std::int16_t Archives::putReported(int archive, const std::string& primaryKey, int mode,
                                   int position) {
    put(archive, primaryKey, mode);
    report(opn::kWrite, archive, position);
    return m_status;
}

std::int16_t Archives::lockWait(int archive, const std::string& primaryKey) {
    m_status = 1;
    bool announced = false;
    for (int attempt = 0; m_status != 0; ++attempt) {
        lock(archive, primaryKey);
        if (m_status != isam::status::kLocked) {
            break;
        }
        if (m_lockWaitHook) {
            announced = true;
            m_lockWaitHook(LockWait::Waiting);
        }
        // Holders keep a lock for one registration: a short pause is enough and spares
        // the processor that the holder needs to finish.
        std::this_thread::sleep_for(attempt < 50 ? std::chrono::microseconds(100)
                                                 : std::chrono::microseconds(1000));
    }
    if (announced) {
        const std::int16_t result = m_status;
        m_lockWaitHook(LockWait::Ended);
        m_status = result;
    }
    return m_status;
}

std::int16_t Archives::acquireLock(int archive, const std::string& primaryKey) {
    const auto id = std::make_pair(archive, primaryKey);
    auto held = m_heldLocks.find(id);
    if (held != m_heldLocks.end()) {
        ++held->second;
        m_status = 0;
        return m_status;
    }
    if (lockWait(archive, primaryKey) == 0) {
        m_heldLocks.emplace(id, 1);
    }
    return m_status;
}

std::int16_t Archives::releaseLock(int archive, const std::string& primaryKey) {
    auto held = m_heldLocks.find(std::make_pair(archive, primaryKey));
    if (held == m_heldLocks.end()) {
        throw std::logic_error("releasing a record lock that is not held");
    }
    if (--held->second > 0) {
        m_status = 0;
        return m_status;
    }
    m_heldLocks.erase(held);
    return unlock(archive, primaryKey);
}

std::int16_t Archives::underLock(int archive, const std::string& primaryKey, int writePosition,
                                 const std::function<void()>& work) {
    Registration tx(*this, archive);
    if (tx.status() != 0) {
        m_status = tx.status();
        report(opn::kWrite, archive, writePosition);
        return m_status;
    }
    std::int16_t result = 0;
    {
        // Nothing is written without the lock. The transaction still commits: giving it up
        // would also give up the caller's registration it may be nested in.
        RecordLock lock(*this, archive, primaryKey, writePosition);
        if (lock.held()) {
            work();
        }
        result = lock.held() ? m_status : lock.status();
    }
    if (tx.commit() != 0) {
        report(opn::kWrite, archive, writePosition);
        return m_status;
    }
    m_status = result;
    return result;
}

std::int16_t Archives::update(int archive, const std::string& primaryKey,
                              const std::function<void(isam::Record&)>& change, int readPosition,
                              int writePosition) {
    return underLock(archive, primaryKey, writePosition, [&] {
        if (getByKeyReported(archive, primaryKey, readPosition) == 0) {
            copyReadToWrite(archive);
            change(writeBuffer(archive));
            if (putReported(archive, primaryKey, isam::mode::kRewrite, writePosition) == 0) {
                flush(archive);
            }
        }
    });
}

std::int16_t Archives::addToNumbers(int archive, const std::string& primaryKey,
                                    const isam::RecordManager::NumberChange& change,
                                    isam::Record& changed, int readPosition, int writePosition) {
    return underLock(archive, primaryKey, writePosition, [&] {
        m_status = m_rm.addToNumbers(slot(archive).handle, primaryKey, change, changed);
        if (m_status == isam::status::kNotFound) {
            report(opn::kRead, archive, readPosition);
        } else if (m_status != 0) {
            report(opn::kWrite, archive, writePosition);
        } else {
            flush(archive);
        }
    });
}

void Archives::CloseMainArchives() {
    // The name is read before the register closes: it is what the next start preselects.
    std::string name;
    bool haveName = false;
    if (!m_company.empty() && isOpen(arc::kDataz) && getByKey(arc::kDataz, m_company) == 0) {
        name = readBuffer(arc::kDataz).text(1);
        haveName = true;
    }
    for (int archive : {arc::kDataz, arc::kCiva, arc::kCt, arc::kPc, arc::kPr}) {
        if (isOpen(archive)) {
            Slot& s = slot(archive);
            s.refs = 1;
            close(archive);
        }
    }
    if (haveName) {
        WriteLastCompany(m_rm, m_dataDirectory, name);
    }
}

Registration::Registration(Archives& archives, int archive)
    : m_archives(archives), m_tx(archives.recordManager(), archives.handle(archive)) {}

std::int16_t Registration::commit() {
    std::int16_t s = m_tx.commit();
    m_archives.setStatus(s);
    return s;
}

}  // namespace zelvo
