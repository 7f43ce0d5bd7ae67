#pragma once

#include <string>
#include <vector>

#include "isam/RecordManager.h"

namespace zelvo::maintenance {

// Backups of a server data directory. The zip file is the same whichever the source: each
// container a SQLite container file named as in a folder ("2026AB.isd"), so that a backup
// made on the server restores into a folder installation and back. The server's schemas
// are read and written through the record manager alone.

// Copies a container of any backend into a new SQLite container file, in the rollback
// journal's format as the online backup leaves its copies. The source is read in one
// snapshot. False (and no file) when it fails.
bool CopyIntoBackupFile(const std::string& container, const std::string& file);

// Puts the checked containers unpacked in `work` (a local folder) in place of the server's:
// each schema's archives are dropped and the backup's copied in, all in one server
// transaction, so that a failure (or the server lost halfway) leaves every schema as it was.
bool ReplaceOnServer(isam::RecordManager& rm, const std::vector<std::string>& names,
                     const std::string& work, const std::string& dataDirectory);

}  // namespace zelvo::maintenance
