// The PostgreSQL backend's connections, transactions and record locks.

#include "isam/ServerStore.h"

#include <algorithm>
#include <cstring>

#include "base/Utf8.h"
#include "isam/ServerLocation.h"
#include "isam/ServerStoreImpl.h"
#include "isam/SqliteUtil.h"

namespace zelvo::isam {

namespace {

// SQLSTATE classes and codes the record manager tells apart.
std::int16_t StatusOfState(const char* state) {
    if (state == nullptr) {
        return status::kIoError;  // no answer at all: the connection is gone
    }
    const std::string s(state);
    if (s == "23505") {
        return status::kDuplicateKey;
    }
    if (s == "42P01" || s == "3F000" || s == "3D000") {
        return status::kArchiveMissing;
    }
    if (s == "53100") {
        return status::kDiskFull;
    }
    if (s == "53200") {
        return status::kOutOfMemory;
    }
    if (s == "53300") {
        return status::kTooManyFiles;
    }
    if (s == "40P01" || s == "40001" || s == "55P03" || s == "57014") {
        return status::kBusy;
    }
    if (s.starts_with("08") || s.starts_with("57P") || s.starts_with("58")) {
        return status::kIoError;
    }
    if (s.starts_with("XX")) {
        return status::kCorrupt;
    }
    return status::kOsError;
}

}  // namespace

ServerStore::Impl::~Impl() {
    for (auto& [uri, c] : connections) {
        PQfinish(c->pg);
    }
}

PgHandle* ServerStore::Impl::handle(std::int16_t h) const {
    const int i = h - kFirstHandle;
    if (i < 0 || i >= static_cast<int>(handles.size())) {
        return nullptr;
    }
    PgHandle* p = handles[static_cast<size_t>(i)].get();
    return (p != nullptr && !p->dead) ? p : nullptr;
}

std::int16_t ServerStore::Impl::reconnect(PgConnection& c) {
    // Whatever the lost session held (locks, prepared statements, the transaction) died with
    // it on the server.
    c.prepared.clear();
    c.lockHolders.clear();
    c.gates.clear();
    c.pendingUnlocks.clear();
    c.present.clear();
    for (auto& h : handles) {
        if (h && h->conn == &c) {
            h->locked.clear();
        }
    }
    if (c.pg != nullptr) {
        PQreset(c.pg);
    } else {
        const char* keys[] = {"dbname", "client_encoding", "application_name", nullptr};
        const char* values[] = {c.uri.c_str(), "UTF8", "zelvo", nullptr};
        c.pg = PQconnectdbParams(keys, values, 1);
    }
    if (c.pg == nullptr) {
        return status::kOutOfMemory;
    }
    if (PQstatus(c.pg) != CONNECTION_OK) {
        const std::string why = PQerrorMessage(c.pg);
        if (why.find("does not exist") != std::string::npos) {
            return status::kArchiveMissing;
        }
        return why.find("too many") != std::string::npos ? status::kTooManyFiles : status::kIoError;
    }
    // Waiting writers wait as long as a station waits for a folder's write lock. The
    // server's notices ("schema already exists, skipping") are nobody's business.
    std::int16_t s = runPlain(c, "SET lock_timeout = '120s'; SET client_min_messages = warning");
    // The archives still open here are present again, so that no restore replaces them.
    for (auto& h : handles) {
        if (s == status::kOk && h && h->conn == &c && !h->dead) {
            s = arrive(c, h->schema);
        }
    }
    return s;
}

std::int16_t ServerStore::Impl::connection(const std::string& uri, PgConnection*& out) {
    auto& slot = connections[uri];
    if (!slot) {
        slot = std::make_unique<PgConnection>();
        slot->uri = uri;
    }
    out = slot.get();
    if (out->pg != nullptr && PQstatus(out->pg) == CONNECTION_OK) {
        return status::kOk;
    }
    if (out->txDepth > 0) {
        // Gone in the middle of a registration: nothing of it was committed, and nothing more
        // of it may be written until its transaction has ended.
        out->txFailure = status::kIoError;
        return status::kIoError;
    }
    return reconnect(*out);
}

std::int16_t ServerStore::Impl::reach(const std::string& container, ServerContainer& where,
                                      PgConnection*& out) {
    if (!SplitServerContainer(container, where)) {
        return status::kBadArgument;
    }
    return connection(where.uri, out);
}

bool ServerStore::Impl::catalogMissing(PgConnection& c, const std::string& schema) {
    if (c.txDepth == 0) {
        return false;  // the read itself says so, and fails nothing else
    }
    const std::string name = QuoteName(schema) + ".isam_catalog";
    PgResult r;
    return run(c, "SELECT to_regclass($1) IS NULL", {name.c_str()}, r) == status::kOk &&
           r.rows() == 1 && r.text(0, 0) == "t";
}

std::int16_t ServerStore::Impl::failure(PgConnection& c, const PGresult* r) {
    const char* state = r == nullptr ? nullptr : PQresultErrorField(r, PG_DIAG_SQLSTATE);
    std::int16_t s = StatusOfState(state);
    if (PQstatus(c.pg) != CONNECTION_OK) {
        s = status::kIoError;
    }
    if (c.txDepth > 0 && c.txFailure == status::kOk) {
        // The server has aborted the transaction: it can no longer commit.
        c.txFailure = s;
    }
    return s;
}

std::int16_t ServerStore::Impl::runPlain(PgConnection& c, const std::string& sql) {
    PgResult r(PQexec(c.pg, sql.c_str()));
    const ExecStatusType st = r.get() == nullptr ? PGRES_FATAL_ERROR : PQresultStatus(r.get());
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        return failure(c, r.get());
    }
    return status::kOk;
}

std::int16_t ServerStore::Impl::run(PgConnection& c, const std::string& sql,
                                    const std::vector<const char*>& params, PgResult& out,
                                    bool prepare) {
    if (c.txFailure != status::kOk && c.txDepth > 0) {
        return c.txFailure;
    }
    if (PQstatus(c.pg) != CONNECTION_OK) {
        PgConnection* same = nullptr;
        if (std::int16_t s = connection(c.uri, same); s != status::kOk) {
            return s;
        }
    }
    const int n = static_cast<int>(params.size());
    if (!prepare) {
        out = PgResult(
            PQexecParams(c.pg, sql.c_str(), n, nullptr, params.data(), nullptr, nullptr, 0));
    } else {
        auto it = c.prepared.find(sql);
        if (it == c.prepared.end()) {
            std::string name = "z" + std::to_string(++c.nextStatement);
            PgResult p(PQprepare(c.pg, name.c_str(), sql.c_str(), n, nullptr));
            if (p.get() == nullptr || PQresultStatus(p.get()) != PGRES_COMMAND_OK) {
                return failure(c, p.get());
            }
            it = c.prepared.emplace(sql, std::move(name)).first;
        }
        out = PgResult(
            PQexecPrepared(c.pg, it->second.c_str(), n, params.data(), nullptr, nullptr, 0));
    }
    const ExecStatusType st = out.get() == nullptr ? PGRES_FATAL_ERROR : PQresultStatus(out.get());
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        return failure(c, out.get());
    }
    return status::kOk;
}

std::string ServerStore::Impl::fold(const std::string& key, int length) {
    std::string k = length > 0 ? Utf8Left(key, length) : key;
    for (char& ch : k) {
        if (ch >= 'A' && ch <= 'Z') {
            ch = static_cast<char>(ch - 'A' + 'a');
        }
    }
    return k;
}

std::int64_t ServerStore::Impl::lockKey(const std::string& schema, const std::string& table,
                                        const std::string& pk) {
    return LockOffset(schema + '\x1F' + table, pk);
}

void ServerStore::Impl::giveBack(PgConnection& c, std::int64_t key) {
    c.lockHolders.erase(key);
    if (c.txDepth > 0) {
        c.pendingUnlocks.push_back(key);
        return;
    }
    const std::string k = std::to_string(key);
    PgResult r;
    run(c, "SELECT pg_advisory_unlock($1::bigint)", {k.c_str()}, r);
}

void ServerStore::Impl::releaseLocks(PgHandle& h) {
    for (const std::string& pk : h.locked) {
        giveBack(*h.conn, lockKey(h.schema, h.table, pk));
    }
    h.locked.clear();
}

std::int16_t ServerStore::Impl::endTransaction(PgConnection& c, bool commit) {
    std::string sql = commit ? "COMMIT" : "ROLLBACK";
    if (!c.pendingUnlocks.empty()) {
        sql += "; SELECT ";
        for (size_t i = 0; i < c.pendingUnlocks.size(); ++i) {
            sql += (i == 0 ? "pg_advisory_unlock(" : ", pg_advisory_unlock(") +
                   std::to_string(c.pendingUnlocks[i]) + ")";
        }
        c.pendingUnlocks.clear();
    }
    c.gates.clear();
    if (PQstatus(c.pg) != CONNECTION_OK || PQsendQuery(c.pg, sql.c_str()) == 0) {
        return status::kIoError;
    }
    std::int16_t s = status::kOk;
    bool first = true;
    while (PGresult* res = PQgetResult(c.pg)) {
        PgResult r(res);
        const ExecStatusType st = PQresultStatus(res);
        if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
            if (s == status::kOk) {
                s = StatusOfState(PQresultErrorField(res, PG_DIAG_SQLSTATE));
            }
        } else if (first && commit && std::strcmp(PQcmdStatus(res), "ROLLBACK") == 0) {
            // A commit the server refuses comes back as ROLLBACK, not as an error.
            s = status::kBusy;
        }
        first = false;
    }
    if (PQstatus(c.pg) != CONNECTION_OK) {
        s = status::kIoError;
    }
    return s;
}

void ServerStore::Impl::forgetStatements(PgConnection& c, const std::string& qualified) {
    for (auto it = c.prepared.begin(); it != c.prepared.end();) {
        if (it->first.find(qualified) != std::string::npos) {
            runPlain(c, "DEALLOCATE " + it->second);
            it = c.prepared.erase(it);
        } else {
            ++it;
        }
    }
}

void ServerStore::Impl::invalidateTable(const std::string& container, const std::string& table) {
    for (auto& h : handles) {
        if (h && !h->dead && h->container == container && h->table == table) {
            releaseLocks(*h);
            h->dead = true;
        }
    }
}

ServerStore::ServerStore(bool marksPresence) : m_impl(std::make_unique<Impl>()) {
    m_impl->marksPresence = marksPresence;
}

std::int64_t ServerStore::Impl::presenceKey(const std::string& schema) {
    return lockKey(schema, "\x1E", "presence");
}

bool ServerStore::claim(const std::string& container) {
    ServerContainer where;
    PgConnection* c = nullptr;
    if (m_impl->reach(container, where, c) != status::kOk) {
        return false;
    }
    const std::string k = std::to_string(Impl::presenceKey(where.schema));
    PgResult r;
    return m_impl->run(*c, "SELECT pg_try_advisory_lock($1::bigint)", {k.c_str()}, r) ==
               status::kOk &&
           r.text(0, 0) == "t";
}

std::int16_t ServerStore::Impl::arrive(PgConnection& c, const std::string& schema) {
    if (!marksPresence || c.present[schema]++ > 0) {
        return status::kOk;
    }
    const std::string k = std::to_string(presenceKey(schema));
    PgResult r;
    const std::int16_t s = run(c, "SELECT pg_advisory_lock_shared($1::bigint)", {k.c_str()}, r);
    if (s != status::kOk) {
        c.present.erase(schema);
    }
    return s;
}

void ServerStore::Impl::depart(PgConnection& c, const std::string& schema) {
    auto it = c.present.find(schema);
    if (it == c.present.end() || --it->second > 0) {
        return;
    }
    c.present.erase(it);
    const std::string k = std::to_string(presenceKey(schema));
    PgResult r;
    run(c, "SELECT pg_advisory_unlock_shared($1::bigint)", {k.c_str()}, r);
}
ServerStore::~ServerStore() = default;

std::int16_t ServerStore::lock(std::int16_t handle, const std::string& primaryKey) {
    PgHandle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    const std::int64_t key = Impl::lockKey(h->schema, h->table, primaryKey);
    PgConnection& c = *h->conn;
    auto held = c.lockHolders.find(key);
    if (held != c.lockHolders.end()) {
        return held->second == handle ? status::kOk : status::kLocked;
    }
    if (auto pending = std::find(c.pendingUnlocks.begin(), c.pendingUnlocks.end(), key);
        pending != c.pendingUnlocks.end()) {
        // Given back earlier in this transaction and still ours on the server.
        c.pendingUnlocks.erase(pending);
        c.lockHolders[key] = handle;
        h->locked.insert(primaryKey);
        return status::kOk;
    }
    const std::string k = std::to_string(key);
    PgResult r;
    if (std::int16_t s =
            m_impl->run(*h->conn, "SELECT pg_try_advisory_lock($1::bigint)", {k.c_str()}, r);
        s != status::kOk) {
        return s;
    }
    if (r.text(0, 0) != "t") {
        return status::kLocked;
    }
    h->conn->lockHolders[key] = handle;
    h->locked.insert(primaryKey);
    return status::kOk;
}

std::int16_t ServerStore::unlock(std::int16_t handle, const std::string& primaryKey) {
    PgHandle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    if (h->locked.erase(primaryKey) == 0) {
        return status::kOk;
    }
    m_impl->giveBack(*h->conn, Impl::lockKey(h->schema, h->table, primaryKey));
    return status::kOk;
}

std::int16_t ServerStore::flush(std::int16_t handle) {
    PgHandle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    return h->conn->txDepth > 0 ? h->conn->txFailure : status::kOk;
}

std::int16_t ServerStore::bof(std::int16_t handle, std::int16_t keyField) {
    PgHandle* h = m_impl->handle(handle);
    if (h == nullptr || !h->desc.isKeyField(keyField)) {
        return status::kBadArgument;
    }
    h->cursor.set = true;
    h->cursor.inclusive = true;
    h->cursor.pk.clear();
    h->cursor.keys.assign(static_cast<size_t>(h->desc.count() + 1), std::string());
    return status::kOk;
}

std::int16_t ServerStore::beginTransaction(std::int16_t handle, std::string& container) {
    PgHandle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    PgConnection& c = *h->conn;
    if (c.txDepth == 0) {
        if (c.snapshotOpen) {
            // A read snapshot cannot turn into a write transaction: it ends here.
            m_impl->runPlain(c, "COMMIT");
            c.snapshotOpen = false;
        }
        PgConnection* again = nullptr;
        if (std::int16_t s = m_impl->connection(c.uri, again); s != status::kOk) {
            return s;
        }
        // Writers of one container take turns, as on a folder: a station holding record
        // locks never waits for another's transaction, so none can wait for the other.
        const std::string gate = std::to_string(Impl::lockKey(h->schema, "\x1E", "gate"));
        if (std::int16_t s =
                m_impl->runPlain(c, "BEGIN; SELECT pg_advisory_xact_lock(" + gate + ")");
            s != status::kOk) {
            m_impl->runPlain(c, "ROLLBACK");
            return s;
        }
        c.txFailure = status::kOk;
        c.gates = {h->container};
    } else if (!c.gates.contains(h->container)) {
        const std::string gate = std::to_string(Impl::lockKey(h->schema, "\x1E", "gate"));
        if (std::int16_t s = m_impl->runPlain(c, "SELECT pg_advisory_xact_lock(" + gate + ")");
            s != status::kOk) {
            return s;
        }
        c.gates.insert(h->container);
    }
    c.txDepth++;
    container = h->container;
    return status::kOk;
}

namespace {

std::string UriOf(const std::string& container) {
    ServerContainer where;
    return SplitServerContainer(container, where) ? where.uri : std::string();
}

}  // namespace

std::int16_t ServerStore::commitTransaction(const std::string& container) {
    auto it = m_impl->connections.find(UriOf(container));
    if (it == m_impl->connections.end() || it->second->txDepth == 0) {
        return status::kBadArgument;
    }
    PgConnection& c = *it->second;
    if (--c.txDepth > 0) {
        return status::kOk;
    }
    std::int16_t s = c.txFailure;
    const std::int16_t end = m_impl->endTransaction(c, s == status::kOk);
    c.txFailure = status::kOk;
    return s != status::kOk ? s : end;
}

void ServerStore::rollbackTransaction(const std::string& container) {
    auto it = m_impl->connections.find(UriOf(container));
    if (it == m_impl->connections.end() || it->second->txDepth == 0) {
        return;
    }
    PgConnection& c = *it->second;
    if (--c.txDepth == 0) {
        m_impl->endTransaction(c, false);
        c.txFailure = status::kOk;
    } else if (c.txFailure == status::kOk) {
        // An inner part gave up: the whole registration must not commit.
        c.txFailure = status::kBusy;
    }
}

bool ServerStore::inTransaction(std::int16_t handle) const {
    PgHandle* h = m_impl->handle(handle);
    return h != nullptr && h->conn->txDepth > 0;
}

std::int16_t ServerStore::beginSnapshot(std::int16_t handle, std::string& container) {
    PgHandle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    PgConnection& c = *h->conn;
    if (c.txDepth == 0 && c.snapshotDepth == 0) {
        if (std::int16_t s =
                m_impl->runPlain(c, "BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY; SELECT 1");
            s != status::kOk) {
            return s;
        }
        c.snapshotOpen = true;
    }
    c.snapshotDepth++;
    container = h->container;
    return status::kOk;
}

void ServerStore::endSnapshot(const std::string& container) {
    auto it = m_impl->connections.find(UriOf(container));
    if (it == m_impl->connections.end() || it->second->snapshotDepth == 0) {
        return;
    }
    PgConnection& c = *it->second;
    if (--c.snapshotDepth == 0 && c.snapshotOpen) {
        m_impl->runPlain(c, "COMMIT");
        c.snapshotOpen = false;
    }
}

std::uint64_t ServerStore::recordsRead() const {
    return m_impl->recordsRead;
}

}  // namespace zelvo::isam
