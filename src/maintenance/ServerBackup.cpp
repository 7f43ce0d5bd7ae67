#include "maintenance/ServerBackup.h"

#include <filesystem>

#include "isam/ContainerCopy.h"

namespace zelvo::maintenance {

namespace {

// Copies a server's container into a backup file, which gets the rollback journal whatever
// disk it is on, as the online backup's copies. What a failed copy wrote goes.
bool copy(const std::string& from, const std::string& to) {
    isam::RecordManager::Options options;
    isam::RecordManager source(isam::ContainerTables, options);
    options.fileSystem = [](const std::string&) { return isam::FileSystemKind::Network; };
    isam::RecordManager target(isam::ContainerTables, options);
    std::string message;
    if (isam::CopyContainer(source, from, target, to, message) == isam::status::kOk) {
        return true;
    }
    isam::RemoveContainer(target, to);
    return false;
}

}  // namespace

bool CopyIntoBackupFile(const std::string& container, const std::string& file) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
    return copy(container, file);
}

bool ReplaceOnServer(isam::RecordManager& rm, const std::vector<std::string>& names,
                     const std::string& work, const std::string& dataDirectory) {
    // Every schema is dropped and copied again in one server transaction, begun on the
    // company register's connection, which the copies share: a failure or a server lost
    // halfway leaves the installation as it was.
    isam::RecordManager::Options options;
    options.marksPresence = false;
    isam::RecordManager from(isam::ContainerTables, options);
    isam::RecordManager to(isam::ContainerTables, options);
    std::int16_t guard = 0;
    if (to.VmxOpen(isam::ContainerTable(dataDirectory + "dataz.isd", "dataz"), 0, 0, guard) !=
        isam::status::kOk) {
        return false;
    }
    isam::Transaction tx(to, guard);
    bool ok = tx.status() == isam::status::kOk;
    for (size_t i = 0; ok && i < names.size(); ++i) {
        const std::string target = dataDirectory + names[i];
        rm.closeIdleContainer(target);
        std::string message;
        ok = isam::RemoveContainer(to, target) == isam::status::kOk &&
             isam::CopyContainer(from, work + names[i], to, target, message) == isam::status::kOk;
    }
    return ok && tx.commit() == isam::status::kOk;
}

}  // namespace zelvo::maintenance
