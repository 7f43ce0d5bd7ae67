#include "isam/ContainerCopy.h"

#include <utility>
#include <vector>

namespace zelvo::isam {

namespace {

// Neither a path nor a connection URI holds a line break: what follows the last one is the
// table.
constexpr char kTableSeparator = '\n';

// The handles of one copy, closed however it ends.
class OpenArchives {
  public:
    explicit OpenArchives(RecordManager& rm) : m_rm(rm) {}
    ~OpenArchives() {
        for (std::int16_t h : m_handles) {
            m_rm.VmxClose(h);
        }
    }
    OpenArchives(const OpenArchives&) = delete;
    OpenArchives& operator=(const OpenArchives&) = delete;

    std::int16_t open(const std::string& container, const std::string& table) {
        std::int16_t h = 0;
        std::int16_t s = m_rm.VmxOpen(ContainerTable(container, table), 0, 0, h);
        if (s == status::kOk) {
            m_handles.push_back(h);
        }
        return s;
    }
    const std::vector<std::int16_t>& handles() const { return m_handles; }

  private:
    RecordManager& m_rm;
    std::vector<std::int16_t> m_handles;
};

std::string said(const std::string& what, std::int16_t s) {
    return what + ": status " + std::to_string(s) + " (" + StatusText(s) + ")";
}

// One archive: created with the source's description and filled in one transaction.
std::int16_t copyArchive(RecordManager& from, std::int16_t source, RecordManager& to,
                         const std::string& destinationContainer, const std::string& table,
                         std::string& message) {
    const std::string target = ContainerTable(destinationContainer, table);
    std::int16_t s = to.VmxCreate(target, 0, 0, 0, 0, from.descriptionText(source));
    OpenArchives written(to);
    if (s == status::kOk) {
        s = written.open(destinationContainer, table);
    }
    if (s != status::kOk) {
        message = said(table, s);
        return s;
    }
    const std::int16_t h = written.handles().front();
    Transaction tx(to, h);
    if (tx.status() != status::kOk) {
        message = said(table, tx.status());
        return tx.status();
    }
    std::int16_t put = status::kOk;
    std::string failedKey;
    s = from.scan(source, 0, "", [&](const std::string& pk, const Record& r) {
        // An add, never a replacement: two source keys the destination takes for one are
        // refused, not merged.
        put = to.VmxPut(h, pk, r, mode::kAdd);
        failedKey = pk;
        return put == status::kOk;
    });
    if (put != status::kOk) {
        message = said(table + " [" + failedKey + "]", put);
        return put;
    }
    if (s == status::kOk) {
        s = tx.commit();
    }
    if (s != status::kOk) {
        message = said(table, s);
    }
    return s;
}

}  // namespace

std::string ContainerTable(const std::string& container, const std::string& table) {
    return container + kTableSeparator + table;
}

ArchiveLocation ContainerTables(const std::string& name) {
    const size_t cut = name.rfind(kTableSeparator);
    if (cut == std::string::npos) {
        return SeparateContainers(name);
    }
    return {name.substr(0, cut), name.substr(cut + 1)};
}

std::int16_t CopyContainer(RecordManager& from, const std::string& sourceContainer,
                           RecordManager& to, const std::string& destinationContainer,
                           std::string& message) {
    message.clear();
    std::vector<std::string> tables;
    std::int16_t s = from.listArchives(sourceContainer, tables);
    if (s != status::kOk) {
        message = said(sourceContainer, s);
        return s;
    }
    std::vector<std::string> present;
    if (to.listArchives(destinationContainer, present) == status::kOk && !present.empty()) {
        message =
            said(destinationContainer + " already holds " + present.front(), status::kDuplicateKey);
        return status::kDuplicateKey;
    }
    OpenArchives read(from);
    for (const std::string& table : tables) {
        if (s = read.open(sourceContainer, table); s != status::kOk) {
            message = said(table, s);
            return s;
        }
    }
    if (tables.empty()) {
        return status::kOk;
    }
    const Snapshot snapshot(from, read.handles().front());
    for (size_t i = 0; i < tables.size(); ++i) {
        s = copyArchive(from, read.handles()[i], to, destinationContainer, tables[i], message);
        if (s != status::kOk) {
            return s;
        }
    }
    return status::kOk;
}

std::int16_t RemoveContainer(RecordManager& rm, const std::string& container) {
    std::vector<std::string> tables;
    std::int16_t s = rm.listArchives(container, tables);
    for (const std::string& table : tables) {
        if (std::int16_t k = rm.VmxKill(ContainerTable(container, table)); k != status::kOk) {
            s = k;
        }
    }
    return s;
}

std::int16_t CountRecords(RecordManager& rm, const std::string& container,
                          std::vector<std::pair<std::string, std::int64_t>>& counts) {
    counts.clear();
    std::vector<std::string> tables;
    std::int16_t s = rm.listArchives(container, tables);
    OpenArchives read(rm);
    for (size_t i = 0; s == status::kOk && i < tables.size(); ++i) {
        std::int64_t records = 0;
        s = read.open(container, tables[i]);
        if (s == status::kOk) {
            s = rm.count(read.handles().back(), records);
        }
        counts.emplace_back(tables[i], records);
    }
    return s;
}

}  // namespace zelvo::isam
