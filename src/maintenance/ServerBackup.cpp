#include "maintenance/ServerBackup.h"

#include <filesystem>

#include "archive/InstallationNotes.h"
#include "isam/ContainerCopy.h"

namespace zelvo::maintenance {

namespace {

// Copies a whole container; the local files written get the rollback journal whatever
// disk they are on, as the online backup's copies. What a failed copy wrote goes.
bool copy(const std::string& from, const std::string& to) {
    // Inside the restore's claim: the copies must not wait for it.
    isam::RecordManager::Options options;
    options.marksPresence = false;
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

bool holdsArchives(const std::string& container) {
    isam::RecordManager::Options options;
    options.marksPresence = false;
    isam::RecordManager rm(isam::ContainerTables, options);
    std::vector<std::string> tables;
    return rm.listArchives(container, tables) == isam::status::kOk && !tables.empty();
}

void removeAll(const std::string& container) {
    isam::RecordManager::Options options;
    options.marksPresence = false;
    isam::RecordManager rm(isam::ContainerTables, options);
    isam::RemoveContainer(rm, container);
}

struct Replaced {
    std::string name;
    bool hadOld = false;
};

// Back to what it was: the backup's copy dropped, the one set aside copied in again.
void undo(const std::vector<Replaced>& done, const std::string& work,
          const std::string& dataDirectory) {
    for (const Replaced& r : done) {
        removeAll(dataDirectory + r.name);
        if (r.hadOld) {
            copy(work + "old-" + r.name, dataDirectory + r.name);
        }
    }
}

}  // namespace

std::vector<std::string> ServerContainers(const std::string& dataDirectory) {
    isam::RecordManager rm(isam::ContainerTables);
    std::vector<std::string> containers;
    std::vector<std::string> names;
    rm.listContainers(dataDirectory, containers);
    for (const std::string& c : containers) {
        if (!IsServerNote(c)) {
            names.push_back(c.substr(dataDirectory.size()));
        }
    }
    return names;
}

bool CopyIntoBackupFile(const std::string& container, const std::string& file) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
    return copy(container, file);
}

bool ReplaceOnServer(isam::RecordManager& rm, const std::vector<std::string>& names,
                     const std::string& work, const std::string& dataDirectory) {
    std::vector<Replaced> done;
    for (const std::string& name : names) {
        const std::string target = dataDirectory + name;
        rm.closeIdleContainer(target);
        Replaced r{name, holdsArchives(target)};
        bool ok = !r.hadOld || CopyIntoBackupFile(target, work + "old-" + name);
        if (ok) {
            removeAll(target);
            done.push_back(r);
            ok = copy(work + name, target);
        }
        if (!ok) {
            undo(done, work, dataDirectory);
            return false;
        }
    }
    return true;
}

}  // namespace zelvo::maintenance
