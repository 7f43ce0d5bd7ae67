#pragma once

#include <ostream>
#include <string>

namespace zelvo {

// Copies a whole installation from one data directory into another that holds no container
// yet: a folder into a server, a server into a folder (or folder to folder, server to
// server). Every container goes through the record manager archive by archive, then the
// data-version mark and the last company's note; afterwards every archive's record count
// is compared with its source. Nobody may be working on the source meanwhile. `out` gets
// what was done, `err` why it was refused; on any failure what was written into the
// destination is removed again. Returns the tool's exit code.
int MigrateInstallation(const std::string& from, const std::string& to, std::ostream& out,
                        std::ostream& err);

}  // namespace zelvo
