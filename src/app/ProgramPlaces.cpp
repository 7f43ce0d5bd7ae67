#include "app/ProgramPlaces.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "isam/ServerLocation.h"

namespace zelvo {

namespace {

std::string withSeparator(std::string dir) {
    if (!dir.empty() && dir.back() != '/') {
        dir += '/';
    }
    return dir;
}

// An XDG base folder: the variable when it holds an absolute path, else the default under
// the home folder; empty when neither is known.
std::string baseFolder(const std::function<const char*(const char*)>& variable, const char* name,
                       const char* underHome) {
    const char* value = variable(name);
    if (value != nullptr && value[0] == '/') {
        return withSeparator(value);
    }
    const char* home = variable("HOME");
    if (home == nullptr || home[0] != '/') {
        return {};
    }
    return withSeparator(home) + underHome;
}

}  // namespace

ProgramPlaces ProgramPlaces::Of(const std::string& programFolder,
                                const std::function<const char*(const char*)>& variable) {
    const std::function<const char*(const char*)> get =
        variable ? variable : [](const char* name) -> const char* { return std::getenv(name); };
    ProgramPlaces p;
    p.programFolder = withSeparator(programFolder);
    std::string config = baseFolder(get, "XDG_CONFIG_HOME", ".config/");
    std::string data = baseFolder(get, "XDG_DATA_HOME", ".local/share/");
    p.userConfigFolder = config.empty() ? std::string() : config + "zelvo/";
    p.userDataFolder = data.empty() ? std::string() : data + "zelvo/";
    // Without a home folder there is nowhere of the user's own: the program's folder serves.
    const std::filesystem::path folder(p.programFolder);
    p.installed = folder.parent_path().filename() == "bin" && !p.userConfigFolder.empty() &&
                  !p.userDataFolder.empty();
    return p;
}

std::string ProgramPlaces::locationFile() const {
    const std::string beside = programFolder + "rr";
    std::error_code ec;
    if (!installed || std::filesystem::exists(beside, ec)) {
        return beside;
    }
    return userConfigFolder + "rr";
}

std::string ProgramPlaces::defaultDataDirectory() const {
    return installed ? userDataFolder : programFolder;
}

std::string DataDirectoryNamedBy(const std::string& locationFile, const std::string& fallback,
                                 bool& network) {
    std::ifstream rr(locationFile);
    std::string line;
    network = false;
    if (rr && std::getline(rr, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line != "mono") {
            network = true;
            // A folder is used exactly as written; a server's URI gets the separator archive
            // names follow.
            if (isam::IsServerLocation(line) && line.back() != '/') {
                line += '/';
            }
            return line;
        }
    }
    return fallback;
}

}  // namespace zelvo
