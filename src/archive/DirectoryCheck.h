#pragma once

#include <functional>
#include <string>

namespace zelvo {

// Checks every archive of every container of the data directory `dir` (a folder's ".isd"
// files, a server's schemas: RecordManager::listContainers) with the index tools' check,
// containers in name order. `line` receives one line per archive, "OK archivio NAME" or
// "ERRORE status  su archivio NAME: message", as the verification screen words them.
// Returns the number of failures; a directory that cannot be listed counts as one.
int VerifyDirectory(const std::string& dir, const std::function<void(const std::string&)>& line);

}  // namespace zelvo
