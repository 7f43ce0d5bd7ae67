#pragma once

#include <string>

namespace zelvo::isam {

// The books are the office's, not the machine's: every file the program keeps in a data
// directory (containers, their WAL and shared-memory files, lock files, backups) is
// readable and writable by its owner and the owner's group and by nobody else, whatever
// the creating process's umask says.
inline constexpr unsigned kDataFileMode = 0660;

// Gives an existing file the data file mode. A file another member of the group created
// cannot be changed by us and keeps the mode its creator gave it; that is not an error.
void ShareWithGroupOnly(const std::string& path);

// Opens (creating when missing) a lock file beside a container with the data file mode;
// -1 with errno set when the system refuses.
int OpenLockFile(const std::string& path);

// Whether anybody at all may create, replace or delete files in the directory: the
// archives there are then at the mercy of every account on the machine.
bool WritableByAnyone(const std::string& directory);

}  // namespace zelvo::isam
