// The PostgreSQL backend's archives: made, opened, listed, checked and removed; each
// container a schema with its catalogue, each archive a table.

#include "isam/ServerStore.h"
#include "isam/ServerStoreImpl.h"
#include "isam/SqliteUtil.h"
#include "isam/StatementText.h"

namespace zelvo::isam {

namespace {

constexpr int kMaxHandles = 4000;

std::string CatalogOf(const std::string& schema) {
    return QuoteName(schema) + ".isam_catalog";
}

std::string CreateTableSql(const std::string& qualified, const FieldDesc& desc) {
    // Key columns compare by bytes, whatever the database's locale: they hold the key folded
    // to the order the folder's NOCASE gives.
    static constexpr ColumnTypes kTypes{
        "pk text COLLATE \"C\" NOT NULL PRIMARY KEY", " text NOT NULL DEFAULT ''",
        " double precision NOT NULL DEFAULT 0", " double precision NOT NULL DEFAULT 0",
        " text COLLATE \"C\" NOT NULL DEFAULT ''"};
    std::string sql = "CREATE TABLE " + qualified + " (" + TableColumnsSql(desc, kTypes) + ")";
    for (int f = 1; f <= desc.count(); ++f) {
        if (desc.field(f).keyLength > 0) {
            sql += "; CREATE INDEX ON " + qualified + " (" + KeyColumn(f) + ", pk)";
        }
    }
    return sql;
}

}  // namespace

std::int16_t ServerStore::create(const ArchiveLocation& loc, const std::string& fieldDescription) {
    auto desc = FieldDesc::parse(fieldDescription);
    if (!desc) {
        return status::kBadArgument;
    }
    ServerContainer where;
    PgConnection* c = nullptr;
    if (std::int16_t s = m_impl->reach(loc.container, where, c); s != status::kOk) {
        return s;
    }
    const std::string schema = QuoteName(where.schema);
    const std::string qualified = schema + "." + QuoteName(loc.table);
    m_impl->invalidateTable(loc.container, loc.table);
    m_impl->forgetStatements(*c, qualified);
    const bool own = c->txDepth == 0;
    std::string sql = own ? "BEGIN; " : "";
    // Two stations creating the first archive of a container at once: the schema's creation
    // is serialised, not raced.
    sql += "SELECT pg_advisory_xact_lock(" +
           std::to_string(Impl::lockKey(where.schema, "\x1E", "create")) + "); ";
    sql += "CREATE SCHEMA IF NOT EXISTS " + schema + "; CREATE TABLE IF NOT EXISTS " +
           CatalogOf(where.schema) +
           " (name text COLLATE \"C\" PRIMARY KEY, description text NOT NULL); DROP TABLE IF "
           "EXISTS " +
           qualified + "; " + CreateTableSql(qualified, *desc) + "; ";
    std::string insert = "INSERT INTO " + CatalogOf(where.schema) +
                         " (name, description) VALUES ($1, $2) ON CONFLICT (name) DO UPDATE SET "
                         "description = EXCLUDED.description";
    std::int16_t s = m_impl->runPlain(*c, sql);
    PgResult r;
    if (s == status::kOk) {
        s = m_impl->run(*c, insert, {loc.table.c_str(), fieldDescription.c_str()}, r, false);
    }
    if (own) {
        m_impl->runPlain(*c, s == status::kOk ? "COMMIT" : "ROLLBACK");
    }
    return s;
}

std::int16_t ServerStore::open(const ArchiveLocation& loc, std::int16_t& handle) {
    ServerContainer where;
    PgConnection* c = nullptr;
    if (std::int16_t s = m_impl->reach(loc.container, where, c); s != status::kOk) {
        return s;
    }
    if (std::int16_t s = m_impl->arrive(*c, where.schema); s != status::kOk) {
        return s;
    }
    if (m_impl->catalogMissing(*c, where.schema)) {
        m_impl->depart(*c, where.schema);
        return status::kArchiveMissing;
    }
    PgResult r;
    const std::string sql =
        "SELECT description FROM " + CatalogOf(where.schema) + " WHERE name = $1";
    std::int16_t s = m_impl->run(*c, sql, {loc.table.c_str()}, r, c->txDepth == 0);
    auto desc = s == status::kOk && r.rows() > 0 ? FieldDesc::parse(r.text(0, 0)) : std::nullopt;
    if (s == status::kOk && !desc) {
        s = r.rows() == 0 ? status::kArchiveMissing : status::kCorrupt;
    }
    if (s != status::kOk) {
        m_impl->depart(*c, where.schema);
        return s;
    }
    const std::string descText = r.text(0, 0);
    size_t slot = 0;
    while (slot < m_impl->handles.size() && m_impl->handles[slot]) {
        ++slot;
    }
    if (slot >= kMaxHandles) {
        m_impl->depart(*c, where.schema);
        return status::kTooManyFiles;
    }
    if (slot == m_impl->handles.size()) {
        m_impl->handles.emplace_back();
    }
    auto h = std::make_unique<PgHandle>();
    h->conn = c;
    h->container = loc.container;
    h->schema = where.schema;
    h->table = loc.table;
    h->qualified = QuoteName(where.schema) + "." + QuoteName(loc.table);
    h->description = descText;
    h->desc = *desc;
    h->valueColumns = ValueColumns(h->desc);
    h->selectList = ColumnList(h->valueColumns);
    m_impl->handles[slot] = std::move(h);
    handle = static_cast<std::int16_t>(kFirstHandle + static_cast<int>(slot));
    return status::kOk;
}

std::int16_t ServerStore::close(std::int16_t handle) {
    const int i = handle - kFirstHandle;
    if (i < 0 || i >= static_cast<int>(m_impl->handles.size()) ||
        !m_impl->handles[static_cast<size_t>(i)]) {
        return status::kBadArgument;
    }
    auto& slot = m_impl->handles[static_cast<size_t>(i)];
    if (!slot->dead) {
        m_impl->releaseLocks(*slot);
    }
    m_impl->depart(*slot->conn, slot->schema);
    slot.reset();
    return status::kOk;
}

std::int16_t ServerStore::kill(const ArchiveLocation& loc) {
    ServerContainer where;
    PgConnection* c = nullptr;
    if (std::int16_t s = m_impl->reach(loc.container, where, c); s != status::kOk) {
        return s;
    }
    if (m_impl->catalogMissing(*c, where.schema)) {
        return status::kArchiveMissing;
    }
    PgResult r;
    const std::string catalog = CatalogOf(where.schema);
    std::int16_t s = m_impl->run(*c, "SELECT 1 FROM " + catalog + " WHERE name = $1",
                                 {loc.table.c_str()}, r, false);
    if (s != status::kOk || r.rows() == 0) {
        return s != status::kOk ? s : status::kArchiveMissing;
    }
    const std::string qualified = QuoteName(where.schema) + "." + QuoteName(loc.table);
    m_impl->invalidateTable(loc.container, loc.table);
    m_impl->forgetStatements(*c, qualified);
    const bool own = c->txDepth == 0;
    s = m_impl->runPlain(*c,
                         std::string(own ? "BEGIN; " : "") + "DROP TABLE IF EXISTS " + qualified);
    if (s == status::kOk) {
        s = m_impl->run(*c, "DELETE FROM " + catalog + " WHERE name = $1", {loc.table.c_str()}, r,
                        false);
    }
    if (s == status::kOk) {
        s = m_impl->run(*c, "SELECT count(*) FROM " + catalog, {}, r, false);
        if (s == status::kOk && r.text(0, 0) == "0") {
            s = m_impl->runPlain(*c, "DROP SCHEMA " + QuoteName(where.schema) + " CASCADE");
        }
    }
    if (own) {
        m_impl->runPlain(*c, s == status::kOk ? "COMMIT" : "ROLLBACK");
    }
    return s;
}

std::int16_t ServerStore::listArchives(const std::string& container,
                                       std::vector<std::string>& names) {
    names.clear();
    ServerContainer where;
    PgConnection* c = nullptr;
    if (std::int16_t s = m_impl->reach(container, where, c); s != status::kOk) {
        return s;
    }
    if (m_impl->catalogMissing(*c, where.schema)) {
        return status::kArchiveMissing;
    }
    PgResult r;
    if (std::int16_t s = m_impl->run(
            *c, "SELECT name FROM " + CatalogOf(where.schema) + " ORDER BY name", {}, r, false);
        s != status::kOk) {
        return s;
    }
    for (int i = 0; i < r.rows(); ++i) {
        names.push_back(r.text(i, 0));
    }
    return status::kOk;
}

std::int16_t ServerStore::listContainers(const std::string& dataDirectory,
                                         std::vector<std::string>& containers) {
    containers.clear();
    PgConnection* c = nullptr;
    if (std::int16_t s = m_impl->connection(ServerUri(dataDirectory), c); s != status::kOk) {
        return s;
    }
    PgResult r;
    if (std::int16_t s = m_impl->run(*c,
                                     "SELECT n.nspname FROM pg_namespace n JOIN pg_class t ON "
                                     "t.relnamespace = n.oid AND t.relname = 'isam_catalog' "
                                     "ORDER BY n.nspname COLLATE \"C\"",
                                     {}, r, false);
        s != status::kOk) {
        return s;
    }
    for (int i = 0; i < r.rows(); ++i) {
        containers.push_back(dataDirectory + r.text(i, 0) + ".isd");
    }
    return status::kOk;
}

const FieldDesc* ServerStore::description(std::int16_t handle) const {
    PgHandle* h = m_impl->handle(handle);
    return h == nullptr ? nullptr : &h->desc;
}

std::string ServerStore::descriptionText(std::int16_t handle) const {
    PgHandle* h = m_impl->handle(handle);
    return h == nullptr ? std::string() : h->description;
}

std::int16_t ServerStore::count(std::int16_t handle, std::int64_t& records) {
    PgHandle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    PgResult r;
    if (std::int16_t s = m_impl->run(*h->conn, "SELECT count(*) FROM " + h->qualified, {}, r);
        s != status::kOk) {
        return s;
    }
    records = std::stoll(r.text(0, 0));
    return status::kOk;
}

int ServerStore::openHandles() const {
    int n = 0;
    for (const auto& h : m_impl->handles) {
        n += h ? 1 : 0;
    }
    return n;
}

std::int16_t ServerStore::check(const ArchiveLocation& loc, std::string& message) {
    std::int16_t h = 0;
    std::int16_t s = open(loc, h);
    if (s == status::kOk) {
        std::int64_t n = 0;
        s = count(h, n);
        close(h);
    }
    message = s == status::kOk ? std::string() : StatusText(s);
    return s;
}

std::int16_t ServerStore::rebuild(const ArchiveLocation& loc, std::string& message) {
    ServerContainer where;
    PgConnection* c = nullptr;
    std::int16_t s = m_impl->reach(loc.container, where, c);
    if (s == status::kOk) {
        s = m_impl->runPlain(
            *c, "REINDEX TABLE " + QuoteName(where.schema) + "." + QuoteName(loc.table));
    }
    message = s == status::kOk ? std::string() : StatusText(s);
    return s;
}

}  // namespace zelvo::isam
