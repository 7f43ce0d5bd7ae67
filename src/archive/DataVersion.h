#pragma once

#include <string>

namespace zelvo {

namespace isam {
class RecordManager;
}

// A data directory remembers the newest program version that wrote into it, in the file
// "versione" (one line; on a server, the note of that name: InstallationNotes.h). A program
// older than that mark must not write there: the newer one may keep its archives in a way
// the older does not know, and an older write could damage what it cannot read. Directories
// without the mark were written before it existed.

// Whether the dotted version `a` is newer than `b`, part by part as numbers ("0.10" is newer
// than "0.9"; a missing part counts as 0).
bool NewerVersion(const std::string& a, const std::string& b);

// The version recorded in the directory (ending with a separator); empty without a mark. On
// a server the mark is read and written through the station's record manager `rm`
// (InstallationNotes.h).
std::string RecordedDataVersion(isam::RecordManager& rm, const std::string& dataDirectory);

// The recorded version when it is newer than `program`, which must then leave the directory
// alone; empty when `program` may write there.
std::string NewerDataVersion(isam::RecordManager& rm, const std::string& dataDirectory,
                             const std::string& program);

// Records `program` as the newest writer unless the mark already names it or a newer one.
// False when the mark had to change and could not be written.
bool MarkDataVersion(isam::RecordManager& rm, const std::string& dataDirectory,
                     const std::string& program);

// What the operator is told when the program refuses a directory of a newer version.
std::string NewerDataMessage(const std::string& dataDirectory, const std::string& recorded,
                             const std::string& program);

}  // namespace zelvo
