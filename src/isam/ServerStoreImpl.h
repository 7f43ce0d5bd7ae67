#pragma once

// The PostgreSQL backend's private state, shared by its two files and included by nothing
// else.

#include <libpq-fe.h>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "isam/FieldDesc.h"
#include "isam/Record.h"
#include "isam/ServerLocation.h"
#include "isam/ServerStore.h"
#include "isam/Status.h"
#include "isam/TableRows.h"

namespace zelvo::isam {

// A query's result, cleared when it goes.
class PgResult {
  public:
    PgResult() = default;
    explicit PgResult(PGresult* r) : m_r(r) {}
    ~PgResult() { PQclear(m_r); }
    PgResult(PgResult&& o) noexcept : m_r(o.m_r) { o.m_r = nullptr; }
    PgResult& operator=(PgResult&& o) noexcept {
        std::swap(m_r, o.m_r);
        return *this;
    }
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;
    PGresult* get() const { return m_r; }
    int rows() const { return m_r == nullptr ? 0 : PQntuples(m_r); }
    std::string text(int row, int col) const {
        return std::string(PQgetvalue(m_r, row, col),
                           static_cast<size_t>(PQgetlength(m_r, row, col)));
    }
    // Rows a write changed.
    int changed() const {
        const char* n = m_r == nullptr ? "" : PQcmdTuples(m_r);
        return *n == '\0' ? 0 : std::atoi(n);
    }

  private:
    PGresult* m_r = nullptr;
};

// One connection of this station to one database: every schema (container) of that database
// goes through it, so a registration's transaction is the connection's.
struct PgConnection {
    std::string uri;
    PGconn* pg = nullptr;
    int txDepth = 0;
    int snapshotDepth = 0;
    bool snapshotOpen = false;  // a read-only snapshot transaction is what is open
    std::int16_t txFailure = status::kOk;
    std::map<std::string, std::string> prepared;  // SQL text -> statement name
    int nextStatement = 0;
    // Record locks of this station: the server's advisory locks belong to the session, so
    // two handles of one station are kept apart here.
    std::map<std::int64_t, std::int16_t> lockHolders;
    std::set<std::string> gates;  // containers whose write gate the transaction holds
    // Locks given back inside the transaction: released on the server together with its
    // commit or rollback, in the same round trip. Until then nobody else may take them,
    // which the write gate's discipline allows (record locks other than those held across
    // an operator's question are taken only inside a transaction), and this station takes
    // them again without asking the server.
    std::vector<std::int64_t> pendingUnlocks;
    std::map<std::string, int> present;  // open handles by schema, while marked present
};

struct PgHandle {
    PgConnection* conn = nullptr;
    std::string container;
    std::string schema;
    std::string table;
    std::string qualified;  // "schema"."table"
    std::string description;
    FieldDesc desc;
    std::vector<std::string> valueColumns;
    std::string selectList;
    Cursor cursor;
    std::set<std::string> locked;
    std::map<int, std::string> sql;  // statement texts by slot
    bool dead = false;
};

struct ServerStore::Impl {
    std::map<std::string, std::unique_ptr<PgConnection>> connections;  // by URI
    std::vector<std::unique_ptr<PgHandle>> handles;  // slot i is handle kFirstHandle + i
    std::uint64_t recordsRead = 0;
    bool marksPresence = true;

    ~Impl();

    PgHandle* handle(std::int16_t h) const;
    // The connection to a database, opened (or reopened after the server went away) on
    // demand.
    std::int16_t connection(const std::string& uri, PgConnection*& out);
    std::int16_t reconnect(PgConnection& c);
    // The schema a container names and the connection to its database.
    std::int16_t reach(const std::string& container, ServerContainer& where, PgConnection*& out);
    // Runs one statement with text parameters, prepared once per connection.
    std::int16_t run(PgConnection& c, const std::string& sql,
                     const std::vector<const char*>& params, PgResult& out, bool prepare = true);
    std::int16_t runPlain(PgConnection& c, const std::string& sql);
    // Whether a schema has no catalogue, asked without failing: inside a transaction a read
    // of a missing table would abort the whole transaction, where on a folder a missing
    // container fails only its own call.
    bool catalogMissing(PgConnection& c, const std::string& schema);
    // The status of a failed result; inside a transaction the transaction is lost too.
    std::int16_t failure(PgConnection& c, const PGresult* r);
    void releaseLocks(PgHandle& h);
    // The first handle of a station on a container marks it present, waiting while a
    // restore replaces it; the last one closed takes the mark away.
    std::int16_t arrive(PgConnection& c, const std::string& schema);
    void depart(PgConnection& c, const std::string& schema);
    // Gives one lock back: at once outside a transaction, with its end inside one.
    void giveBack(PgConnection& c, std::int64_t key);
    // Ends the outermost transaction with COMMIT or ROLLBACK and gives back the locks
    // released inside it; the status of the end.
    std::int16_t endTransaction(PgConnection& c, bool commit);
    void forgetStatements(PgConnection& c, const std::string& qualified);
    void invalidateTable(const std::string& container, const std::string& table);

    static std::string fold(const std::string& key, int length);
    // The advisory lock every station holds shared while it has a container open, and a
    // restore takes exclusively.
    static std::int64_t presenceKey(const std::string& schema);
    static std::int64_t lockKey(const std::string& schema, const std::string& table,
                                const std::string& pk);
    // Reads one result row (pk first) into a record of the archive's shape.
    static void readRow(const PgHandle& h, const PgResult& r, int row, std::string& pk,
                        Record& rec);
    // The record's values as text parameters, then its folded keys.
    static void recordParams(const PgHandle& h, const Record& rec, std::vector<std::string>& out,
                             bool withKeys);
    std::string statementText(PgHandle& h, int kind, int keyField);
};

}  // namespace zelvo::isam
