#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelvo {

namespace isam {
class RecordManager;
}

// The one-line notes an installation keeps beside its archives ("versione", the newest
// program that wrote there; "www", the company last worked on) are files in a folder data
// directory. A server has no folder: there each note is a tiny installation archive of the
// same name (data directory + name), one record keyed by the name holding the line. `rm` is
// the station's record manager, naming archives as the catalogue does: a note is read over
// the station's own connection to the server.

// The note's line; empty when there is none or it cannot be read.
std::string ReadServerNote(isam::RecordManager& rm, const std::string& dataDirectory,
                           const std::string& name);
// Writes the note, creating its archive the first time. False when it could not be written.
bool WriteServerNote(isam::RecordManager& rm, const std::string& dataDirectory,
                     const std::string& name, const std::string& line);
// The notes' names.
inline constexpr const char* kInstallationNotes[] = {"versione", "www"};
// Whether a name ("versione", "www") is one of the notes.
bool IsInstallationNote(const std::string& name);
// Whether a container of a server data directory holds a note rather than archives: it is
// not one of the installation's containers to back up or copy as such.
bool IsServerNote(const std::string& container);
// The containers holding the installation's archives (a folder's ".isd" files, a server's
// schemas, the notes left out), named as in the data directory ("2026AB.isd"), in name
// order.
std::int16_t InstallationContainers(isam::RecordManager& rm, const std::string& dataDirectory,
                                    std::vector<std::string>& names);

// The company last worked on, which the company selection preselects: the first line of the
// file "www" in a folder, the note "www" on a server. False when there is none.
bool ReadLastCompany(isam::RecordManager& rm, const std::string& dataDirectory, std::string& name);
bool WriteLastCompany(isam::RecordManager& rm, const std::string& dataDirectory,
                      const std::string& name);

// The local folder where the installation's own files start (the file choosers, the
// backups): the data directory itself; for a server, which has no folder, "Zelvo" in the
// user's home (in the current folder without one). With a trailing separator.
std::string LocalFilesFolder(const std::string& dataDirectory);

// Where whole containers are prepared before they take their place: beside the archives of a
// folder, so that moving them in stays on one file system; the system's temporary folder for
// a server, whose containers are copied in. Empty when there is no such folder.
std::string StagingFolder(const std::string& dataDirectory);

}  // namespace zelvo
