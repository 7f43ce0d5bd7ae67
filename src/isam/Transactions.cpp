#include <sqlite3.h>

#include <cerrno>
#include <string>

#include "isam/RecordManager.h"
#include "isam/RecordManagerImpl.h"
#include "isam/ServerLocation.h"
#include "isam/ServerStore.h"
#include "isam/SqliteUtil.h"
#include "isam/WriteGate.h"

namespace zelvo::isam {

std::int16_t RecordManager::beginTransaction(std::int16_t handle, std::string& container) {
    if (ServerStore* s = serverOf(handle)) {
        return s->beginTransaction(handle, container);
    }
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
    if (ServerStore* s = serverOf(handle)) {
        return s->beginSnapshot(handle, container);
    }
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
    if (IsServerLocation(container)) {
        return server()->endSnapshot(container);
    }
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
    if (IsServerLocation(container)) {
        return server()->commitTransaction(container);
    }
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
    if (IsServerLocation(container)) {
        return server()->rollbackTransaction(container);
    }
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
    if (ServerStore* s = serverOf(handle)) {
        return s->inTransaction(handle);
    }
    Handle* h = m_impl->handle(handle);
    return h != nullptr && h->container->txDepth > 0;
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
