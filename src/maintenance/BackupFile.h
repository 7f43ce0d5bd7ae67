#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "isam/RecordManager.h"

namespace zelvo::maintenance {

// How a backup or a restore went; `text` is the reason shown to the operator on failure.
struct BackupResult {
    bool ok = false;
    std::string text;
};

// The containers of one company and year: the year's, the company's, and the installation
// archives every company shares. Only those that exist.
std::vector<std::string> CompanyContainers(const std::string& dataDirectory,
                                           const std::string& company, const std::string& year);
// Every container of the data directory.
std::vector<std::string> AllContainers(const std::string& dataDirectory);

// Writes the containers (names inside the data directory) into the zip file `zipPath`.
// Each is first copied with the record manager's online backup, so other stations may go
// on posting: every container is stored as one commit left it. With a volume size above
// zero a file larger than it is written as numbered parts (VolumePath) that the restore
// reads back in order. A failure leaves no backup file behind.
BackupResult WriteBackup(isam::RecordManager& rm, const std::string& dataDirectory,
                         const std::vector<std::string>& containers, const std::string& zipPath,
                         std::uint64_t volumeSize);

// Restores a backup into the data directory: the file (and its following parts) is
// unpacked and every container checked in a folder of its own first; only when all of
// them are whole do they replace the data directory's containers, each by a rename, the
// replaced ones kept aside until all are in. A truncated, damaged or foreign file changes
// nothing, and neither does a replacement that fails half-way. Nor does a restore while any
// station (this one included, through a handle left open) has one of those containers open:
// a company's backup holds the installation archives too, so every other station running on
// the data directory must have left the program.
BackupResult RestoreBackup(isam::RecordManager& rm, const std::string& zipPath,
                           const std::string& dataDirectory);

// The name of part `part` (1 = the file itself) of a backup written in volumes:
// "x.zip", then "x.z02", "x.z03", ...
std::string VolumePath(const std::string& zipPath, int part);

// The entry every backup carries, listing its containers: a zip file without it is not a
// backup of the archives.
inline constexpr const char* kManifest = "zelvo-backup.txt";

}  // namespace zelvo::maintenance
