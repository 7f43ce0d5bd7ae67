#include "archive/InstallationNotes.h"

#include <algorithm>
#include <filesystem>
#include <iterator>

#include <cstdlib>
#include <fstream>

#include "isam/FileModes.h"
#include "isam/RecordManager.h"
#include "isam/ServerLocation.h"

namespace zelvo {

namespace {

constexpr const char* kNoteDescription = "$";
constexpr const char* kLastCompany = "www";

}  // namespace

std::string ReadServerNote(isam::RecordManager& rm, const std::string& dataDirectory,
                           const std::string& name) {
    std::int16_t h = 0;
    if (rm.VmxOpen(dataDirectory + name, 0, 0, h) != isam::status::kOk) {
        return {};
    }
    std::string key = name;
    std::string keyValue;
    std::string pk;
    isam::Record r;
    const bool found =
        rm.VmxGet(h, 0, isam::op::kFind, key, keyValue, pk, r) == isam::status::kOk && pk == name;
    rm.VmxClose(h);
    return found ? r.text(1) : std::string();
}

bool WriteServerNote(isam::RecordManager& rm, const std::string& dataDirectory,
                     const std::string& name, const std::string& line) {
    const std::string file = dataDirectory + name;
    std::int16_t h = 0;
    if (rm.VmxOpen(file, 0, 0, h) != isam::status::kOk &&
        (rm.VmxCreate(file, 0, 0, 0, 0, kNoteDescription) != isam::status::kOk ||
         rm.VmxOpen(file, 0, 0, h) != isam::status::kOk)) {
        return false;
    }
    isam::Record r(*rm.description(h));
    r.setText(1, line);
    const bool written = rm.VmxPut(h, name, r, isam::mode::kWrite) == isam::status::kOk;
    return rm.VmxClose(h) == isam::status::kOk && written;
}

bool IsInstallationNote(const std::string& name) {
    return std::find(std::begin(kInstallationNotes), std::end(kInstallationNotes), name) !=
           std::end(kInstallationNotes);
}

bool IsServerNote(const std::string& container) {
    if (!isam::IsServerLocation(container) || !container.ends_with(".isd")) {
        return false;
    }
    const size_t slash = container.rfind('/');
    return IsInstallationNote(container.substr(slash + 1, container.size() - slash - 5));
}

std::int16_t InstallationContainers(isam::RecordManager& rm, const std::string& dataDirectory,
                                    std::vector<std::string>& names) {
    std::vector<std::string> containers;
    const std::int16_t s = rm.listContainers(dataDirectory, containers);
    names.clear();
    for (const std::string& c : containers) {
        if (!IsServerNote(c)) {
            names.push_back(c.substr(dataDirectory.size()));
        }
    }
    return s;
}

bool ReadLastCompany(isam::RecordManager& rm, const std::string& dataDirectory, std::string& name) {
    if (isam::IsServerLocation(dataDirectory)) {
        name = ReadServerNote(rm, dataDirectory, kLastCompany);
        return !name.empty();
    }
    std::ifstream www(dataDirectory + kLastCompany);
    if (!www) {
        return false;
    }
    name.clear();
    std::getline(www, name);
    if (!name.empty() && name.back() == '\r') {
        name.pop_back();
    }
    return true;
}

bool WriteLastCompany(isam::RecordManager& rm, const std::string& dataDirectory,
                      const std::string& name) {
    if (isam::IsServerLocation(dataDirectory)) {
        return WriteServerNote(rm, dataDirectory, kLastCompany, name);
    }
    bool written = false;
    {
        std::ofstream www(dataDirectory + kLastCompany, std::ios::trunc);
        www << name << "\n";
        written = static_cast<bool>(www.flush());
    }
    // Every station of the office rewrites it when it ends.
    isam::ShareWithGroupOnly(dataDirectory + kLastCompany);
    return written;
}

std::string StagingFolder(const std::string& dataDirectory) {
    if (!isam::IsServerLocation(dataDirectory)) {
        return dataDirectory;
    }
    std::error_code ec;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    return ec ? std::string() : temp.string() + "/";
}

std::string LocalFilesFolder(const std::string& dataDirectory) {
    if (!isam::IsServerLocation(dataDirectory)) {
        return dataDirectory;
    }
    const char* home = std::getenv("HOME");
    return (home != nullptr && *home != '\0' ? std::string(home) + "/" : std::string("./")) +
           "Zelvo/";
}

}  // namespace zelvo
