#pragma once

// The record manager's PostgreSQL backend: the same calls, statuses and orders as the
// SQLite one, for the containers of a server data directory. Private to the record manager.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "isam/RecordManager.h"

namespace zelvo::isam {

class ServerStore {
  public:
    // Handles of server archives are numbered from here, apart from the folder ones.
    static constexpr std::int16_t kFirstHandle = 16384;

    explicit ServerStore(bool marksPresence);
    ~ServerStore();
    ServerStore(const ServerStore&) = delete;
    ServerStore& operator=(const ServerStore&) = delete;

    bool owns(std::int16_t handle) const { return handle >= kFirstHandle; }

    // Takes the container for this store's session alone, without waiting: the exclusive
    // form of the advisory lock every station holds shared while it has the container open.
    // Held until the store goes (ContainerClaim). False when anybody is present or the
    // server cannot be reached.
    bool claim(const std::string& container);

    std::int16_t create(const ArchiveLocation& loc, const std::string& fieldDescription);
    std::int16_t open(const ArchiveLocation& loc, std::int16_t& handle);
    std::int16_t close(std::int16_t handle);
    std::int16_t kill(const ArchiveLocation& loc);
    std::int16_t get(std::int16_t handle, std::int16_t keyField, std::int16_t operation,
                     std::string& key, std::string& keyValue, std::string& primaryKey,
                     Record& record);
    std::int16_t put(std::int16_t handle, const std::string& primaryKey, const Record& record,
                     std::int16_t mode);
    std::int16_t remove(std::int16_t handle, const std::string& primaryKey);
    std::int16_t addToNumbers(std::int16_t handle, const std::string& primaryKey,
                              const RecordManager::NumberChange& change, Record& out);
    std::int16_t lock(std::int16_t handle, const std::string& primaryKey);
    std::int16_t unlock(std::int16_t handle, const std::string& primaryKey);
    std::int16_t flush(std::int16_t handle);
    std::int16_t bof(std::int16_t handle, std::int16_t keyField);

    std::int16_t check(const ArchiveLocation& loc, std::string& message);
    std::int16_t rebuild(const ArchiveLocation& loc, std::string& message);

    std::int16_t beginTransaction(std::int16_t handle, std::string& container);
    std::int16_t commitTransaction(const std::string& container);
    void rollbackTransaction(const std::string& container);
    bool inTransaction(std::int16_t handle) const;
    std::int16_t beginSnapshot(std::int16_t handle, std::string& container);
    void endSnapshot(const std::string& container);

    std::int16_t scan(std::int16_t handle, std::int16_t keyField, const std::string& from,
                      const std::string* afterPk,
                      const std::vector<RecordManager::ScanFilter>& filters,
                      const std::function<bool(const std::string&, const Record&)>& row);
    std::uint64_t recordsRead() const;
    std::int16_t listArchives(const std::string& container, std::vector<std::string>& names);
    std::int16_t listContainers(const std::string& dataDirectory,
                                std::vector<std::string>& containers);
    const FieldDesc* description(std::int16_t handle) const;
    std::string descriptionText(std::int16_t handle) const;
    std::int16_t count(std::int16_t handle, std::int64_t& records);
    int openHandles() const;
    void closeIdleContainer(const std::string& container);

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace zelvo::isam
