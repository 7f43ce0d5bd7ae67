#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "isam/RecordManager.h"

namespace zelvo::isam {

// Copying a container archive by archive, through the record manager alone, so that it
// works between any two backends: a folder's container file, a server's schema, a backup's
// SQLite file.
//
// The record managers given to CopyContainer address the tables of a container directly:
// they must be built with the ContainerTables resolver, which reads the names
// ContainerTable makes. Any two containers can then be named whatever the catalogue would
// make of their file names.

// The archive name that ContainerTables resolves to `table` inside `container`.
std::string ContainerTable(const std::string& container, const std::string& table);
// The resolver of such names; a name ContainerTable did not make is an archive of its own
// (SeparateContainers).
ArchiveLocation ContainerTables(const std::string& name);

// Copies every archive of `sourceContainer` into `destinationContainer`, which must hold no
// archive yet: each is created with its own field description and filled with the source's
// records in primary key order, one transaction per archive. The source is read in one
// snapshot, so other stations may go on writing: the copy is the container as one commit
// left it. On failure `message` says which archive and why, and what was created stays
// (the caller removes it with RemoveContainer, knowing whether the destination was new).
std::int16_t CopyContainer(RecordManager& from, const std::string& sourceContainer,
                           RecordManager& to, const std::string& destinationContainer,
                           std::string& message);

// Removes every archive of a container (and with the last of them the container itself).
std::int16_t RemoveContainer(RecordManager& rm, const std::string& container);

// The number of records of every archive of a container, in the archives' name order.
std::int16_t CountRecords(RecordManager& rm, const std::string& container,
                          std::vector<std::pair<std::string, std::int64_t>>& counts);

}  // namespace zelvo::isam
