#pragma once

#include <functional>
#include <string>

namespace zelvo {

// Where a copy of the program finds the location file "rr" and, when "rr" names no data
// directory, keeps its data.
//
// A copy in a folder of its own (a build tree, a folder the office copied the program into)
// keeps everything beside itself. A copy installed in a "bin" folder is shared by every user
// of the machine, and that folder is not theirs to write into: "rr" is looked for beside the
// program first, then in the user's configuration folder, and the data go to the user's data
// folder.
struct ProgramPlaces {
    std::string programFolder;     // ends with a separator
    std::string userConfigFolder;  // $XDG_CONFIG_HOME/zelvo/, or ~/.config/zelvo/
    std::string userDataFolder;    // $XDG_DATA_HOME/zelvo/, or ~/.local/share/zelvo/
    bool installed = false;

    // Looks the user's folders up in the environment (`variable` answers getenv's way).
    static ProgramPlaces Of(const std::string& programFolder,
                            const std::function<const char*(const char*)>& variable = nullptr);

    // The location file in use, also where the parameters write it.
    std::string locationFile() const;
    // The data directory when the location file names none.
    std::string defaultDataDirectory() const;
};

// The data directory a location file names, read as the start-up reads it; `fallback` when
// the file is missing, empty or says "mono". `network` tells whether the file named one.
std::string DataDirectoryNamedBy(const std::string& locationFile, const std::string& fallback,
                                 bool& network);

}  // namespace zelvo
