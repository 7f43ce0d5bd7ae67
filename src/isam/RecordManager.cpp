#include "isam/RecordManager.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>
#include <filesystem>
#include <map>
#include <set>
#include <thread>
#include <vector>

#include "base/Utf8.h"
#include "isam/SqliteUtil.h"
#include "isam/WriteGate.h"

namespace zelvo::isam {

namespace fs = std::filesystem;

ArchiveLocation SeparateContainers(const std::string& fileName) {
    return {fileName + ".isd", fs::path(fileName).filename().string()};
}

namespace {

constexpr int kMaxHandles = 4000;

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
    kDelete,
    kKinds
};

}  // namespace

// One open container database, shared by every handle of this station on it.
struct Container {
    std::string path;
    sqlite3* db = nullptr;
    int refs = 0;
    int txDepth = 0;
    int snapshotDepth = 0;
    std::uint64_t inode = 0;  // of the file opened, to notice it replaced under us  // read
                              // snapshots open (a deferred transaction while txDepth is 0)
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

// The handle's place in a key order. A position may be "virtual": just before (key, pk)
// rather than on a record, as after VmxBOF or a failed find.
struct Cursor {
    bool set = false;
    bool inclusive = false;
    std::string pk;
    std::vector<std::string> keys;  // the key of every indexed field, by field number
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

struct RecordManager::Impl {
    RecordManager::Options options;
    std::map<std::string, std::unique_ptr<Container>> containers;
    std::vector<std::unique_ptr<Handle>> handles;  // slot i is handle i + 1
    std::deque<std::string> idle;                  // open containers nobody uses, oldest first
    static constexpr size_t kIdleContainers = 8;

    ~Impl() {
        for (auto& h : handles) {
            if (h) {
                closeHandle(*h);
            }
        }
        for (auto& [path, c] : containers) {
            if (c->txDepth > 0) {
                exec(c->db, "ROLLBACK");
            }
            c->close();
        }
    }

    Handle* handle(std::int16_t h) {
        if (h < 1 || h > static_cast<int>(handles.size())) {
            return nullptr;
        }
        Handle* p = handles[static_cast<size_t>(h - 1)].get();
        return (p != nullptr && !p->dead) ? p : nullptr;
    }

    // Opens (or creates) a container and takes a reference on it.
    std::int16_t acquire(const std::string& path, bool create, Container*& out) {
        std::string key = fs::absolute(path).lexically_normal().string();
        auto it = containers.find(key);
        if (it != containers.end() && it->second->refs == 0 && !sameFile(*it->second)) {
            // Kept open while idle, but deleted or replaced by another station meanwhile.
            closeIdle(key);
            it = containers.end();
        }
        if (it != containers.end()) {
            if (it->second->refs++ == 0) {
                idle.erase(std::find(idle.begin(), idle.end(), key));
            }
            out = it->second.get();
            return status::kOk;
        }
        std::error_code ec;
        if (!create && !fs::exists(key, ec)) {
            return status::kArchiveMissing;
        }
        sqlite3* db = nullptr;
        int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
        int rc = sqlite3_open_v2(key.c_str(), &db, flags,
                                 options.vfs.empty() ? nullptr : options.vfs.c_str());
        if (rc != SQLITE_OK) {
            std::int16_t s = MapSqliteError(rc, errno);
            sqlite3_close_v2(db);
            return s;
        }
        std::int16_t s = ConfigureConnection(db, create);
        if (s != status::kOk) {
            sqlite3_close_v2(db);
            return s;
        }
        auto c = std::make_unique<Container>();
        c->path = key;
        c->db = db;
        c->refs = 1;
        c->inode = inodeOf(key);
        c->gate = std::make_unique<WriteGate>(key + "-lck");
        out = c.get();
        containers.emplace(key, std::move(c));
        return status::kOk;
    }

    // A container nobody uses stays open for a while: screens open and close the same
    // archives over and over, and opening a database costs more than a registration.
    void release(Container* c) {
        if (--c->refs > 0 || c->txDepth > 0) {
            return;
        }
        idle.push_back(c->path);
        while (idle.size() > kIdleContainers) {
            closeIdle(idle.front());
        }
    }

    void closeIdle(const std::string& key) {
        auto it = containers.find(key);
        if (it == containers.end() || it->second->refs > 0 || it->second->txDepth > 0) {
            return;
        }
        auto pos = std::find(idle.begin(), idle.end(), key);
        if (pos != idle.end()) {
            idle.erase(pos);
        }
        it->second->close();
        containers.erase(it);
    }

    static std::uint64_t inodeOf(const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_ino) : 0;
    }

    static bool sameFile(const Container& c) {
        std::uint64_t now = inodeOf(c.path);
        return now != 0 && now == c.inode;
    }

    static void finalizeStatements(Handle& h) {
        for (auto& [k, st] : h.stmts) {
            sqlite3_finalize(st);
        }
        h.stmts.clear();
        for (auto& [k, st] : h.shapedStmts) {
            sqlite3_finalize(st);
        }
        h.shapedStmts.clear();
    }

    void closeHandle(Handle& h) {
        if (!h.dead && h.container != nullptr && !h.container->parked.contains(h.table)) {
            Container::Parked& p = h.container->parked[h.table];
            p.description = h.description;
            p.stmts = std::move(h.stmts);
            p.shapedStmts = std::move(h.shapedStmts);
            h.stmts.clear();
            h.shapedStmts.clear();
        }
        finalizeStatements(h);
        if (h.lockFd >= 0) {
            ::close(h.lockFd);  // releases every record lock of this handle
            h.lockFd = -1;
        }
        if (h.container != nullptr) {
            release(h.container);
            h.container = nullptr;
        }
    }

    // Handles of this station on a table that is being dropped lose their statements and
    // their archive.
    void invalidateTable(Container* c, const std::string& table) {
        c->finalizeParked(table);
        for (auto& h : handles) {
            if (h && !h->dead && h->container == c && h->table == table) {
                finalizeStatements(*h);
                h->dead = true;
            }
        }
    }

    std::int16_t allocateSlot(std::int16_t& id) {
        for (size_t i = 0; i < handles.size(); ++i) {
            if (!handles[i]) {
                id = static_cast<std::int16_t>(i + 1);
                return status::kOk;
            }
        }
        if (handles.size() >= kMaxHandles) {
            return status::kTooManyFiles;
        }
        handles.emplace_back();
        id = static_cast<std::int16_t>(handles.size());
        return status::kOk;
    }

    // The catalogue's description of a table, through a statement kept with the container.
    static std::int16_t readCatalog(Container& c, const std::string& table,
                                    std::string& description) {
        if (c.catalogRead == nullptr &&
            sqlite3_prepare_v3(c.db, "SELECT description FROM isam_catalog WHERE name = ?1", -1,
                               SQLITE_PREPARE_PERSISTENT, &c.catalogRead, nullptr) != SQLITE_OK) {
            // No catalogue at all: not a container of ours, or a damaged one.
            return ReadCatalogEntry(c.db, table, description);
        }
        BindText(c.catalogRead, 1, table);
        const int rc = sqlite3_step(c.catalogRead);
        std::int16_t s = status::kOk;
        if (rc == SQLITE_ROW) {
            description = ColumnText(c.catalogRead, 0);
        } else if (rc == SQLITE_DONE) {
            s = status::kArchiveMissing;
        } else {
            s = MapSqliteError(rc, 0, c.db);
        }
        sqlite3_reset(c.catalogRead);
        return s;
    }

    static std::string keyColumn(int field) { return "k" + std::to_string(field); }
    static std::string orderColumn(int keyField) {
        return keyField == 0 ? std::string("pk") : keyColumn(keyField);
    }

    std::int16_t prepare(Handle& h, int slot, const std::string& sql, sqlite3_stmt*& out) {
        auto it = h.stmts.find(slot);
        if (it != h.stmts.end()) {
            out = it->second;
            return status::kOk;
        }
        int rc = sqlite3_prepare_v3(h.container->db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT,
                                    &out, nullptr);
        if (rc != SQLITE_OK) {
            // A table dropped by another station reads as a missing archive.
            return rc == SQLITE_ERROR ? status::kArchiveMissing : MapSqliteError(rc, 0);
        }
        h.stmts.emplace(slot, out);
        return status::kOk;
    }

    std::string keyColumnsList(const Handle& h, bool withTypes) const {
        std::string s;
        for (int f = 1; f <= h.desc.count(); ++f) {
            if (h.desc.field(f).keyLength > 0) {
                s += ", " + keyColumn(f) + (withTypes ? " TEXT COLLATE NOCASE" : "");
            }
        }
        return s;
    }

    std::int16_t statement(Handle& h, StmtKind kind, int keyField, sqlite3_stmt*& st) {
        int slot = keyField * kKinds + kind;
        // Reads in a loop come back here for every record: find the prepared statement
        // before composing any SQL.
        if (auto it = h.stmts.find(slot); it != h.stmts.end()) {
            st = it->second;
            return status::kOk;
        }
        std::string t = QuoteName(h.table);
        std::string col = orderColumn(keyField);
        std::string sel = "SELECT pk, " + h.selectList + " FROM " + t;
        std::string order = keyField == 0 ? " ORDER BY pk" : " ORDER BY " + col + ", pk";
        std::string orderDesc =
            keyField == 0 ? " ORDER BY pk DESC" : " ORDER BY " + col + " DESC, pk DESC";
        std::string pos = keyField == 0 ? "pk" : "(" + col + ", pk)";
        std::string arg = keyField == 0 ? "?1" : "(?1, ?2)";
        std::string sql;
        switch (kind) {
            case kGetByPk:
                sql = sel + " WHERE pk = ?1";
                break;
            case kFindKey:
                sql = sel + " WHERE " + col + " >= ?1" + order + " LIMIT 1";
                break;
            case kNextKey:
                sql = sel + " WHERE " + pos + " > " + arg + order + " LIMIT 1";
                break;
            case kNextKeyInclusive:
                sql = sel + " WHERE " + pos + " >= " + arg + order + " LIMIT 1";
                break;
            case kScan:
                // No LIMIT: one statement steps through the whole index from the start.
                sql =
                    sel + " WHERE " + (keyField == 0 ? std::string("pk") : col) + " >= ?1" + order;
                break;
            case kPrevKey:
                sql = sel + " WHERE " + pos + " < " + arg + orderDesc + " LIMIT 1";
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

    void setupColumns(Handle& h) {
        h.valueColumns = ValueColumns(h.desc);
        h.selectList.clear();
        for (const auto& c : h.valueColumns) {
            h.selectList += (h.selectList.empty() ? "" : ", ") + c;
        }
    }

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
    static void readRow(const Handle& h, sqlite3_stmt* st, std::string& pk, Record& rec) {
        auto column = [st](int col, std::string& into) {
            const unsigned char* p = sqlite3_column_text(st, col);
            into.assign(p == nullptr ? "" : reinterpret_cast<const char*>(p),
                        p == nullptr ? 0 : static_cast<size_t>(sqlite3_column_bytes(st, col)));
        };
        column(0, pk);
        if (!rec.matches(h.desc)) {
            rec = Record(h.desc);
        }
        int col = 1;
        for (int f = 1; f <= h.desc.count(); ++f) {
            const FieldSpec& fieldSpec = h.desc.field(f);
            FieldValue& v = rec.value(f);
            switch (fieldSpec.type) {
                case FieldType::Text:
                    column(col++, std::get<std::string>(v));
                    break;
                case FieldType::Double:
                case FieldType::Int16:
                case FieldType::Int32:
                    rec.setNumber(f, sqlite3_column_double(st, col++));
                    break;
                case FieldType::TextArray: {
                    auto& elements = std::get<std::vector<std::string>>(v);
                    for (auto& e : elements) {
                        column(col++, e);
                    }
                    break;
                }
            }
        }
    }

    // Binds the record's values (and key columns) from parameter `first` on.
    static int bindRecord(const Handle& h, sqlite3_stmt* st, int first, const Record& rec) {
        int p = bindValues(h, st, first, rec);
        for (int f = 1; f <= h.desc.count(); ++f) {
            if (h.desc.field(f).keyLength > 0) {
                BindText(st, p++, Utf8Left(rec.text(f), h.desc.field(f).keyLength));
            }
        }
        return p;
    }

    // Binds the record's field values from parameter `first` on; the next free parameter.
    static int bindValues(const Handle& h, sqlite3_stmt* st, int first, const Record& rec) {
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

    // A failed write inside a transaction may have made SQLite roll the whole transaction
    // back; from then on nothing of it may be written piecemeal in autocommit.
    std::int16_t afterWriteFailure(Container* c, std::int16_t s) {
        if (c->txDepth > 0 && sqlite3_get_autocommit(c->db) != 0 && c->txFailure == 0) {
            c->txFailure = s;
        }
        return s;
    }

    std::int16_t step(Handle& h, sqlite3_stmt* st, bool& row) {
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

    // Runs a positioned read; fills the outputs and moves the cursor on success. With
    // `deliver` false the record and its primary key stay in the handle's scratch, for the
    // caller to take once it has judged them.
    std::int16_t readOne(Handle& h, int keyField, sqlite3_stmt* st, std::string& key,
                         std::string& keyValue, std::string& pk, Record& rec, bool& found,
                         bool deliver = true) {
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

    void bindPosition(Handle& h, sqlite3_stmt* st, int keyField) {
        if (keyField == 0) {
            BindTextInPlace(st, 1, h.cursor.pk);
        } else {
            BindTextInPlace(st, 1, h.cursor.keys[static_cast<size_t>(keyField)]);
            BindTextInPlace(st, 2, h.cursor.pk);
        }
    }

    void placeBefore(Handle& h, int keyField, const std::string& text) {
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
};

RecordManager::RecordManager(ContainerResolver resolver)
    : RecordManager(std::move(resolver), Options{}) {}

RecordManager::RecordManager(ContainerResolver resolver, Options options)
    : m_resolver(std::move(resolver)),
      m_options(std::move(options)),
      m_impl(std::make_unique<Impl>()) {
    m_impl->options = m_options;
}

RecordManager::~RecordManager() = default;

std::int16_t RecordManager::VmxCreate(const std::string& fileName, std::int16_t, std::int16_t,
                                      std::int16_t, std::int16_t,
                                      const std::string& fieldDescription) {
    auto desc = FieldDesc::parse(fieldDescription);
    if (!desc || fileName.empty()) {
        return status::kBadArgument;
    }
    ArchiveLocation loc = m_resolver(fileName);
    Container* c = nullptr;
    std::int16_t s = m_impl->acquire(loc.container, true, c);
    if (s != status::kOk) {
        return s;
    }
    m_impl->invalidateTable(c, loc.table);
    s = CreateTable(c->db, loc.table, *desc, c->txDepth > 0);
    m_impl->release(c);
    return s;
}

std::int16_t RecordManager::VmxOpen(const std::string& fileName, std::int16_t, std::int16_t,
                                    std::int16_t& handle) {
    if (fileName.empty()) {
        return status::kBadArgument;
    }
    ArchiveLocation loc = m_resolver(fileName);
    std::int16_t id = 0;
    std::int16_t s = m_impl->allocateSlot(id);
    if (s != status::kOk) {
        return s;
    }
    Container* c = nullptr;
    s = m_impl->acquire(loc.container, false, c);
    if (s != status::kOk) {
        return s;
    }
    std::string descText;
    s = m_impl->readCatalog(*c, loc.table, descText);
    auto desc = s == status::kOk ? FieldDesc::parse(descText) : std::nullopt;
    if (s == status::kOk && !desc) {
        s = status::kCorrupt;
    }
    if (s != status::kOk) {
        m_impl->release(c);
        return s;
    }
    auto h = std::make_unique<Handle>();
    h->container = c;
    h->fileName = fileName;
    h->table = loc.table;
    h->description = descText;
    h->desc = *desc;
    m_impl->setupColumns(*h);
    if (auto p = c->parked.find(loc.table); p != c->parked.end()) {
        if (p->second.description == descText) {
            h->stmts = std::move(p->second.stmts);
            h->shapedStmts = std::move(p->second.shapedStmts);
            p->second.stmts.clear();
            p->second.shapedStmts.clear();
        }
        c->finalizeParked(loc.table);
    }
    m_impl->handles[static_cast<size_t>(id - 1)] = std::move(h);
    handle = id;
    return status::kOk;
}

std::int16_t RecordManager::VmxGet(std::int16_t handle, std::int16_t keyField,
                                   std::int16_t operation, std::string& key, std::string& keyValue,
                                   std::string& primaryKey, Record& record) {
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

std::int16_t RecordManager::VmxPut(std::int16_t handle, const std::string& primaryKey,
                                   const Record& record, std::int16_t mode) {
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
        int rc = sqlite3_step(st);
        int err = errno;
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) {
            return m_impl->afterWriteFailure(c, MapSqliteError(rc, err, c->db));
        }
        if (sqlite3_changes(c->db) == 1) {
            return status::kOk;
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
    int rc = sqlite3_step(st);
    int err = errno;
    sqlite3_reset(st);
    if (rc == SQLITE_CONSTRAINT_PRIMARYKEY || rc == SQLITE_CONSTRAINT) {
        return status::kDuplicateKey;
    }
    if (rc != SQLITE_DONE) {
        return m_impl->afterWriteFailure(c, MapSqliteError(rc, err, c->db));
    }
    if (kind == kUpdate && sqlite3_changes(c->db) == 0) {
        return status::kNoCurrentRecord;
    }
    return status::kOk;
}

namespace {

bool IsNumber(const FieldDesc& d, int field) {
    if (field < 1 || field > d.count()) {
        return false;
    }
    const FieldType t = d.field(field).type;
    return t == FieldType::Double || t == FieldType::Int16 || t == FieldType::Int32;
}

bool IsScalar(const FieldDesc& d, int field) {
    return field >= 1 && field <= d.count() && d.field(field).type != FieldType::TextArray;
}

std::string ValueColumn(int field) {
    return "f" + std::to_string(field);
}

}  // namespace

std::int16_t RecordManager::addToNumbers(std::int16_t handle, const std::string& primaryKey,
                                         const NumberChange& change, Record& out) {
    Handle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    // The statement's shape names its fields; the amounts are its parameters.
    std::string shape;
    for (const auto& [field, amount] : change.add) {
        if (!IsNumber(h->desc, field)) {
            return status::kBadArgument;
        }
        shape += "+" + std::to_string(field);
    }
    for (const auto& sum : change.sums) {
        if (!IsNumber(h->desc, sum.field)) {
            return status::kBadArgument;
        }
        shape += "=" + std::to_string(sum.field);
        for (const auto& [field, sign] : sum.terms) {
            if (!IsNumber(h->desc, field)) {
                return status::kBadArgument;
            }
            shape += (sign < 0 ? "-" : "+") + std::to_string(field);
        }
    }
    shape += "/";
    for (int field : change.returning) {
        if (!IsScalar(h->desc, field)) {
            return status::kBadArgument;
        }
        shape += std::to_string(field) + ",";
    }
    Container* c = h->container;
    if (c->txFailure != status::kOk) {
        return c->txFailure;
    }
    sqlite3_stmt*& st = h->shapedStmts[shape];
    if (st == nullptr) {
        // In SET every right-hand side sees the record as it was: a sum names an added field
        // as the field plus its amount.
        auto term = [&change](int field) {
            for (size_t i = 0; i < change.add.size(); ++i) {
                if (change.add[i].first == field) {
                    return "(" + ValueColumn(field) + " + ?" + std::to_string(i + 2) + ")";
                }
            }
            return ValueColumn(field);
        };
        std::string sets;
        for (size_t i = 0; i < change.add.size(); ++i) {
            const std::string col = ValueColumn(change.add[i].first);
            sets += (sets.empty() ? "" : ", ") + col + " = " + col + " + ?" + std::to_string(i + 2);
        }
        for (const auto& sum : change.sums) {
            std::string expr = "0";
            for (const auto& [field, sign] : sum.terms) {
                expr += (sign < 0 ? " - " : " + ") + term(field);
            }
            sets += (sets.empty() ? "" : ", ") + ValueColumn(sum.field) + " = " + expr;
        }
        const std::string sql = "UPDATE " + QuoteName(h->table) + " SET " + sets + " WHERE pk = ?1";
        if (sets.empty() || sqlite3_prepare_v3(c->db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT,
                                               &st, nullptr) != SQLITE_OK) {
            h->shapedStmts.erase(shape);
            return sets.empty() ? status::kBadArgument : status::kArchiveMissing;
        }
    }
    BindTextInPlace(st, 1, primaryKey);
    for (size_t i = 0; i < change.add.size(); ++i) {
        sqlite3_bind_double(st, static_cast<int>(i + 2), change.add[i].second);
    }
    int rc = sqlite3_step(st);
    int err = errno;
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
        return m_impl->afterWriteFailure(c, MapSqliteError(rc, err, c->db));
    }
    if (sqlite3_changes(c->db) == 0) {
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
    rc = sqlite3_step(read);
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
    err = errno;
    sqlite3_reset(read);
    return rc == SQLITE_DONE ? status::kOk : MapSqliteError(rc, err, c->db);
}

std::int16_t RecordManager::VmxDelete(std::int16_t handle, const std::string& primaryKey) {
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
    int rc = sqlite3_step(st);
    int err = errno;
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
        return m_impl->afterWriteFailure(c, MapSqliteError(rc, err, c->db));
    }
    return sqlite3_changes(c->db) == 0 ? status::kNotFound : status::kOk;
}

std::int16_t RecordManager::VmxLock(std::int16_t handle, const std::string& primaryKey) {
    Handle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    if (h->lockFd < 0) {
        std::string lockPath = h->container->path + "-lck";
        h->lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
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
    Handle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    return h->container->txFailure;
}

std::int16_t RecordManager::VmxClose(std::int16_t handle) {
    if (handle < 1 || handle > static_cast<int>(m_impl->handles.size()) ||
        !m_impl->handles[static_cast<size_t>(handle - 1)]) {
        return status::kBadArgument;
    }
    auto& slot = m_impl->handles[static_cast<size_t>(handle - 1)];
    m_impl->closeHandle(*slot);
    slot.reset();
    return status::kOk;
}

std::int16_t RecordManager::scan(
    std::int16_t handle, std::int16_t keyField, const std::string& from,
    const std::function<bool(const std::string&, const Record&)>& row) {
    Handle* h = m_impl->handle(handle);
    if (h == nullptr || !h->desc.isKeyField(keyField)) {
        return status::kBadArgument;
    }
    sqlite3_stmt* st = nullptr;
    std::int16_t s = m_impl->statement(*h, kScan, keyField, st);
    if (s != status::kOk) {
        return s;
    }
    BindText(st, 1, keyField == 0 ? from : Utf8Left(from, h->desc.field(keyField).keyLength));
    std::string pk;
    Record r;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        Impl::readRow(*h, st, pk, r);
        if (!row(pk, r)) {
            rc = SQLITE_DONE;
            break;
        }
    }
    int err = errno;
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
        return rc == SQLITE_ERROR ? status::kArchiveMissing
                                  : MapSqliteError(rc, err, h->container->db);
    }
    return status::kOk;
}

std::int16_t RecordManager::VmxBOF(std::int16_t handle, std::int16_t keyField) {
    Handle* h = m_impl->handle(handle);
    if (h == nullptr || !h->desc.isKeyField(keyField)) {
        return status::kBadArgument;
    }
    m_impl->placeBefore(*h, keyField, std::string());
    return status::kOk;
}

std::int16_t RecordManager::VmxKill(const std::string& fileName) {
    if (fileName.empty()) {
        return status::kBadArgument;
    }
    ArchiveLocation loc = m_resolver(fileName);
    Container* c = nullptr;
    std::int16_t s = m_impl->acquire(loc.container, false, c);
    if (s != status::kOk) {
        return s;
    }
    std::string descText;
    s = ReadCatalogEntry(c->db, loc.table, descText);
    if (s == status::kOk) {
        m_impl->invalidateTable(c, loc.table);
        s = DropTable(c->db, loc.table, c->txDepth > 0);
    }
    bool emptyNow = false;
    if (s == status::kOk) {
        s = CatalogIsEmpty(c->db, emptyNow);
    }
    if (s == status::kOk && emptyNow && c->refs == 1 && c->txDepth == 0) {
        std::string path = c->path;
        m_impl->release(c);
        m_impl->closeIdle(path);
        RemoveContainerFiles(path);
        return status::kOk;
    }
    m_impl->release(c);
    return s;
}

std::int16_t RecordManager::beginTransaction(std::int16_t handle, std::string& container) {
    Handle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    Container* c = h->container;
    if (c->txDepth == 0 && c->snapshotDepth > 0 && sqlite3_get_autocommit(c->db) == 0) {
        // A read snapshot cannot turn into a write transaction safely: it ends here.
        exec(c->db, "COMMIT");
    }
    if (c->txDepth == 0) {
        // As long as SQLite itself would wait for its write lock. Without a lock file (a
        // read-only folder) SQLite's own lock still keeps writers apart.
        if (c->gate->enter(kWriteLockPatience) == WriteGate::Outcome::TimedOut) {
            return MapSqliteError(SQLITE_BUSY, 0, c->db);
        }
        int rc = exec(c->db, "BEGIN IMMEDIATE");
        if (rc != SQLITE_OK) {
            c->gate->leave();
            return MapSqliteError(rc, errno, c->db);
        }
        c->txFailure = status::kOk;
    }
    c->txDepth++;
    c->refs++;
    container = c->path;
    return status::kOk;
}

std::int16_t RecordManager::beginSnapshot(std::int16_t handle, std::string& container) {
    Handle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    Container* c = h->container;
    if (c->txDepth == 0 && c->snapshotDepth == 0) {
        // A deferred transaction takes its snapshot at its first read: read at once.
        int rc = exec(c->db, "BEGIN; SELECT count(*) FROM isam_catalog");
        if (rc != SQLITE_OK) {
            if (sqlite3_get_autocommit(c->db) == 0) {
                exec(c->db, "ROLLBACK");
            }
            return MapSqliteError(rc, errno, c->db);
        }
    }
    c->snapshotDepth++;
    c->refs++;
    container = c->path;
    return status::kOk;
}

void RecordManager::endSnapshot(const std::string& container) {
    auto it = m_impl->containers.find(container);
    if (it == m_impl->containers.end() || it->second->snapshotDepth == 0) {
        return;
    }
    Container* c = it->second.get();
    if (--c->snapshotDepth == 0 && c->txDepth == 0 && sqlite3_get_autocommit(c->db) == 0) {
        exec(c->db, "COMMIT");
    }
    m_impl->release(c);
}

std::int16_t RecordManager::commitTransaction(const std::string& container) {
    auto it = m_impl->containers.find(container);
    if (it == m_impl->containers.end() || it->second->txDepth == 0) {
        return status::kBadArgument;
    }
    Container* c = it->second.get();
    std::int16_t s = status::kOk;
    if (--c->txDepth == 0) {
        if (c->txFailure != status::kOk) {
            s = c->txFailure;
            if (sqlite3_get_autocommit(c->db) == 0) {
                exec(c->db, "ROLLBACK");
            }
        } else {
            int rc = exec(c->db, "COMMIT");
            if (rc != SQLITE_OK) {
                s = MapSqliteError(rc, errno, c->db);
                if (sqlite3_get_autocommit(c->db) == 0) {
                    exec(c->db, "ROLLBACK");
                }
            }
        }
        c->txFailure = status::kOk;
        c->gate->leave();
    }
    m_impl->release(c);
    return s;
}

void RecordManager::rollbackTransaction(const std::string& container) {
    auto it = m_impl->containers.find(container);
    if (it == m_impl->containers.end() || it->second->txDepth == 0) {
        return;
    }
    Container* c = it->second.get();
    if (--c->txDepth == 0) {
        if (sqlite3_get_autocommit(c->db) == 0) {
            exec(c->db, "ROLLBACK");
        }
        c->txFailure = status::kOk;
        c->gate->leave();
    } else if (c->txFailure == status::kOk) {
        // An inner part gave up: the whole registration must not commit.
        c->txFailure = status::kBusy;
    }
    m_impl->release(c);
}

bool RecordManager::inTransaction(std::int16_t handle) const {
    Handle* h = m_impl->handle(handle);
    return h != nullptr && h->container->txDepth > 0;
}

const FieldDesc* RecordManager::description(std::int16_t handle) const {
    Handle* h = m_impl->handle(handle);
    return h == nullptr ? nullptr : &h->desc;
}

std::int16_t RecordManager::count(std::int16_t handle, std::int64_t& records) {
    Handle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    return CountRows(h->container->db, h->table, records);
}

void RecordManager::closeIdleContainer(const std::string& container) {
    m_impl->closeIdle(fs::absolute(container).lexically_normal().string());
}

int RecordManager::openHandles() const {
    int n = 0;
    for (const auto& h : m_impl->handles) {
        n += h ? 1 : 0;
    }
    return n;
}

Snapshot::Snapshot(RecordManager& rm, std::int16_t handle)
    : m_rm(rm), m_open(rm.beginSnapshot(handle, m_container) == status::kOk) {}

Snapshot::~Snapshot() {
    if (m_open) {
        m_rm.endSnapshot(m_container);
    }
}

Transaction::Transaction(RecordManager& rm, std::int16_t handle)
    : m_rm(rm), m_status(rm.beginTransaction(handle, m_container)), m_open(m_status == 0) {}

Transaction::~Transaction() {
    if (m_open) {
        m_rm.rollbackTransaction(m_container);
    }
}

std::int16_t Transaction::commit() {
    if (!m_open) {
        return m_status == status::kOk ? status::kBadArgument : m_status;
    }
    m_open = false;
    return m_rm.commitTransaction(m_container);
}

}  // namespace zelvo::isam
