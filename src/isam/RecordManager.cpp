#include "isam/RecordManager.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "isam/FileModes.h"
#include "isam/RecordManagerImpl.h"
#include "isam/ServerLocation.h"
#include "isam/ServerStore.h"
#include "isam/SqliteUtil.h"
#include "isam/WriteGate.h"

namespace zelvo::isam {

namespace fs = std::filesystem;

ArchiveLocation SeparateContainers(const std::string& fileName) {
    return {fileName + ".isd", fs::path(fileName).filename().string()};
}

namespace {

constexpr int kMaxHandles = 4000;

}  // namespace

JournalMode JournalModeFor(const RecordManager::Options& options, const std::string& container) {
    const std::string folder = fs::path(container).parent_path().string();
    const FileSystemKind kind = options.fileSystem
                                    ? options.fileSystem(folder)
                                    : ProbeFileSystemKind(folder.empty() ? "." : folder);
    return kind == FileSystemKind::Network ? JournalMode::Rollback : JournalMode::Wal;
}

RecordManager::Impl::~Impl() {
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

std::int16_t RecordManager::Impl::acquire(const std::string& path, bool create, Container*& out) {
    std::string key = fs::absolute(path).lexically_normal().string();
    auto it = containers.find(key);
    if (it != containers.end() && it->second->refs == 0) {
        // Present first, so that a replacement under way is over before the file is compared.
        it->second->gate->arrive();
        if (!sameFile(*it->second)) {
            // Kept open while idle, but deleted or replaced by another station meanwhile.
            closeIdle(key);
            it = containers.end();
        }
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
    // Marked present before the file is opened: a restore replacing it is waited for, and
    // what is opened then is the new file.
    auto gate = std::make_unique<WriteGate>(key + "-lck");
    gate->arrive();
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(key.c_str(), &db, flags,
                             options.vfs.empty() ? nullptr : options.vfs.c_str());
    if (rc != SQLITE_OK) {
        std::int16_t s = MapSqliteError(rc, errno);
        sqlite3_close_v2(db);
        return s;
    }
    if (create) {
        // Before the journal mode is set: SQLite gives the WAL and shared-memory files the
        // mode of the container they belong to.
        ShareWithGroupOnly(key);
    }
    std::int16_t s = ConfigureConnection(db, create, JournalModeFor(options, key));
    if (s != status::kOk) {
        sqlite3_close_v2(db);
        return s;
    }
    auto c = std::make_unique<Container>();
    c->path = key;
    c->db = db;
    c->refs = 1;
    c->inode = inodeOf(key);
    c->gate = std::move(gate);
    out = c.get();
    containers.emplace(key, std::move(c));
    return status::kOk;
}

void RecordManager::Impl::release(Container* c) {
    if (--c->refs == 0) {
        // Idle here is not at work there: a restore may replace it (noticed by sameFile).
        c->gate->depart();
    }
    if (c->refs > 0 || c->txDepth > 0) {
        return;
    }
    idle.push_back(c->path);
    while (idle.size() > kIdleContainers) {
        closeIdle(idle.front());
    }
}

void RecordManager::Impl::closeIdle(const std::string& key) {
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

std::uint64_t RecordManager::Impl::inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_ino) : 0;
}

bool RecordManager::Impl::sameFile(const Container& c) {
    std::uint64_t now = inodeOf(c.path);
    return now != 0 && now == c.inode;
}

void RecordManager::Impl::finalizeStatements(Handle& h) {
    for (auto& [k, st] : h.stmts) {
        sqlite3_finalize(st);
    }
    h.stmts.clear();
    for (auto& [k, st] : h.shapedStmts) {
        sqlite3_finalize(st);
    }
    h.shapedStmts.clear();
}

void RecordManager::Impl::closeHandle(Handle& h) {
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

void RecordManager::Impl::invalidateTable(Container* c, const std::string& table) {
    c->finalizeParked(table);
    for (auto& h : handles) {
        if (h && !h->dead && h->container == c && h->table == table) {
            finalizeStatements(*h);
            h->dead = true;
        }
    }
}

std::int16_t RecordManager::Impl::allocateSlot(std::int16_t& id) {
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
    const ArchiveLocation loc = m_resolver(fileName);
    if (IsServerLocation(loc.container)) {
        return server()->create(loc, fieldDescription);
    }
    auto desc = FieldDesc::parse(fieldDescription);
    if (!desc || fileName.empty()) {
        return status::kBadArgument;
    }
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
    const ArchiveLocation loc = m_resolver(fileName);
    if (IsServerLocation(loc.container)) {
        return server()->open(loc, handle);
    }
    if (fileName.empty()) {
        return status::kBadArgument;
    }
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
    s = ReadCatalogEntry(c->db, loc.table, descText, &c->catalogRead);
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

std::int16_t RecordManager::VmxClose(std::int16_t handle) {
    if (ServerStore* s = serverOf(handle)) {
        return s->close(handle);
    }
    if (handle < 1 || handle > static_cast<int>(m_impl->handles.size()) ||
        !m_impl->handles[static_cast<size_t>(handle - 1)]) {
        return status::kBadArgument;
    }
    auto& slot = m_impl->handles[static_cast<size_t>(handle - 1)];
    m_impl->closeHandle(*slot);
    slot.reset();
    return status::kOk;
}

std::int16_t RecordManager::VmxKill(const std::string& fileName) {
    const ArchiveLocation loc = m_resolver(fileName);
    if (IsServerLocation(loc.container)) {
        return server()->kill(loc);
    }
    if (fileName.empty()) {
        return status::kBadArgument;
    }
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

const FieldDesc* RecordManager::description(std::int16_t handle) const {
    if (ServerStore* s = serverOf(handle)) {
        return s->description(handle);
    }
    Handle* h = m_impl->handle(handle);
    return h == nullptr ? nullptr : &h->desc;
}

std::int16_t RecordManager::count(std::int16_t handle, std::int64_t& records) {
    if (ServerStore* s = serverOf(handle)) {
        return s->count(handle, records);
    }
    Handle* h = m_impl->handle(handle);
    if (h == nullptr) {
        return status::kBadArgument;
    }
    return CountRows(h->container->db, h->table, records);
}

std::string RecordManager::descriptionText(std::int16_t handle) const {
    if (ServerStore* s = serverOf(handle)) {
        return s->descriptionText(handle);
    }
    Handle* h = m_impl->handle(handle);
    return h == nullptr ? std::string() : h->description;
}

std::int16_t RecordManager::listContainers(const std::string& dataDirectory,
                                           std::vector<std::string>& containers) {
    containers.clear();
    if (IsServerLocation(dataDirectory)) {
        return server()->listContainers(dataDirectory, containers);
    }
    std::error_code ec;
    fs::directory_iterator it(dataDirectory, ec);
    if (ec) {
        return status::kArchiveMissing;
    }
    for (const auto& entry : it) {
        if (entry.path().extension() == ".isd" && entry.is_regular_file(ec)) {
            containers.push_back(dataDirectory + entry.path().filename().string());
        }
    }
    std::sort(containers.begin(), containers.end());
    return status::kOk;
}

void RecordManager::closeIdleContainer(const std::string& container) {
    if (IsServerLocation(container)) {
        return;
    }
    m_impl->closeIdle(fs::absolute(container).lexically_normal().string());
}

ServerStore* RecordManager::server() {
    if (!m_server) {
        m_server = std::make_unique<ServerStore>(m_options.marksPresence);
    }
    return m_server.get();
}

ServerStore* RecordManager::serverOf(std::int16_t handle) const {
    return m_server && m_server->owns(handle) ? m_server.get() : nullptr;
}

int RecordManager::openHandles() const {
    int n = m_server ? m_server->openHandles() : 0;
    for (const auto& h : m_impl->handles) {
        n += h ? 1 : 0;
    }
    return n;
}

}  // namespace zelvo::isam
