#include "maintenance/BackupFile.h"

#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "archive/InstallationNotes.h"
#include "isam/ContainerCopy.h"
#include "isam/FileModes.h"
#include "isam/ServerLocation.h"
#include "isam/WriteGate.h"
#include "maintenance/ServerBackup.h"

namespace zelvo::maintenance {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDamaged = "Il file di backup è danneggiato o incompleto";
constexpr const char* kForeign = "Il file scelto non è un backup degli archivi";
constexpr const char* kCannotRead = "Non è possibile leggere il file";
constexpr const char* kCannotWrite = "Non è possibile scrivere il file";
constexpr const char* kInUse =
    "Gli archivi da ripristinare sono in uso su un'altra postazione: chiudere il programma sulle "
    "altre postazioni e ripetere il ripristino";

bool isContainerName(const std::string& name) {
    return name.size() > 4 && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos && name[0] != '.' &&
           name.compare(name.size() - 4, 4, ".isd") == 0;
}

// A folder of work inside the data directory: the copies are renamed from it into place,
// on the same filesystem. Removed with everything in it when it goes.
class WorkFolder {
  public:
    // Beside the containers of a folder; a server's are copied, not renamed, from the
    // system's temporary folder.
    explicit WorkFolder(const std::string& dataDirectory) {
        const std::string base = StagingFolder(dataDirectory);
        std::string templ = base + ".zelvo-work-XXXXXX";
        if (!base.empty() && mkdtemp(templ.data()) != nullptr) {
            m_path = templ + "/";
        }
    }
    ~WorkFolder() {
        std::error_code ec;
        if (!m_path.empty()) {
            fs::remove_all(m_path, ec);
        }
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    bool ok() const { return !m_path.empty(); }
    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
};

BackupResult failure(const char* text) {
    return {false, text};
}

bool zipFiles(const std::string& folder, const std::vector<std::string>& names,
              const std::string& target) {
    int error = 0;
    zip_t* z = zip_open(target.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (z == nullptr) {
        return false;
    }
    for (const std::string& name : names) {
        zip_source_t* src = zip_source_file(z, (folder + name).c_str(), 0, -1);
        zip_int64_t index =
            src == nullptr ? -1 : zip_file_add(z, name.c_str(), src, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            zip_discard(z);
            return false;
        }
        // zip's own level: the library's default (the best compression) takes three times
        // as long for a file hardly smaller.
        zip_set_file_compression(z, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 6);
    }
    // The files are read and compressed here.
    if (zip_close(z) != 0) {
        zip_discard(z);
        return false;
    }
    isam::ShareWithGroupOnly(target);
    return true;
}

void removeParts(const std::string& zipPath) {
    std::error_code ec;
    for (int part = 2; fs::exists(VolumePath(zipPath, part), ec); ++part) {
        fs::remove(VolumePath(zipPath, part), ec);
    }
}

// Cuts the finished file into parts of `volumeSize` bytes: the first keeps the file's name.
bool split(const std::string& whole, const std::string& zipPath, std::uint64_t volumeSize) {
    std::ifstream in(whole, std::ios::binary);
    std::vector<char> buffer(volumeSize);
    for (int part = 1; in; ++part) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        std::streamsize got = in.gcount();
        if (got <= 0 && part > 1) {
            break;
        }
        std::ofstream out(VolumePath(zipPath, part), std::ios::binary | std::ios::trunc);
        out.write(buffer.data(), got);
        if (!out.flush()) {
            return false;
        }
        isam::ShareWithGroupOnly(VolumePath(zipPath, part));
    }
    return true;
}

// Renamed into place when the target shares the work folder's filesystem, copied otherwise.
bool moveInto(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec) {
        ec.clear();
        fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    }
    isam::ShareWithGroupOnly(to);
    return !ec;
}

bool writeManifest(const std::string& folder, const std::vector<std::string>& names) {
    std::ofstream out(folder + kManifest, std::ios::trunc);
    out << "Zelvo backup\n";
    for (const std::string& name : names) {
        out << name << '\n';
    }
    return static_cast<bool>(out.flush());
}

}  // namespace

std::string VolumePath(const std::string& zipPath, int part) {
    if (part == 1) {
        return zipPath;
    }
    std::string stem = zipPath.size() > 4 ? zipPath.substr(0, zipPath.size() - 4) : zipPath;
    std::string number = std::to_string(part);
    return stem + ".z" + (number.size() < 2 ? "0" : "") + number;
}

std::vector<std::string> CompanyContainers(const std::string& dataDirectory,
                                           const std::string& company, const std::string& year) {
    const bool server = isam::IsServerLocation(dataDirectory);
    const std::vector<std::string> onServer =
        server ? AllContainers(dataDirectory) : std::vector<std::string>();
    std::vector<std::string> names;
    for (const std::string& stem :
         {year + company, company, std::string("gg"), std::string("civa"), std::string("cpag"),
          std::string("param"), std::string("dataz")}) {
        std::error_code ec;
        const std::string name = stem + ".isd";
        if (server ? std::find(onServer.begin(), onServer.end(), name) != onServer.end()
                   : fs::is_regular_file(dataDirectory + name, ec)) {
            names.push_back(name);
        }
    }
    return names;
}

std::vector<std::string> AllContainers(const std::string& dataDirectory) {
    isam::RecordManager rm(isam::ContainerTables);
    std::vector<std::string> names;
    InstallationContainers(rm, dataDirectory, names);
    std::erase_if(names, [](const std::string& name) { return !isContainerName(name); });
    return names;
}

BackupResult WriteBackup(isam::RecordManager& rm, const std::string& dataDirectory,
                         const std::vector<std::string>& containers, const std::string& zipPath,
                         std::uint64_t volumeSize) {
    WorkFolder work(dataDirectory);
    if (!work.ok()) {
        return failure(kCannotWrite);
    }
    const bool server = isam::IsServerLocation(dataDirectory);
    for (const std::string& name : containers) {
        if (server ? !CopyIntoBackupFile(dataDirectory + name, work.path() + name)
                   : rm.backupContainer(dataDirectory + name, work.path() + name) != 0) {
            return failure(kCannotRead);
        }
    }
    std::vector<std::string> entries = containers;
    entries.emplace_back(kManifest);
    std::string whole = work.path() + "backup.zip";
    if (!writeManifest(work.path(), containers) || !zipFiles(work.path(), entries, whole)) {
        return failure(kCannotWrite);
    }
    std::error_code ec;
    fs::create_directories(fs::path(zipPath).parent_path(), ec);
    removeParts(zipPath);
    bool ok = volumeSize > 0 && fs::file_size(whole, ec) > volumeSize
                  ? split(whole, zipPath, volumeSize)
                  : moveInto(whole, zipPath);
    if (!ok) {
        fs::remove(zipPath, ec);
        removeParts(zipPath);
        return failure(kCannotWrite);
    }
    return {true, {}};
}

namespace {

// The parts of a backup joined into one file of the work folder, or the file itself.
std::string joinedParts(const std::string& zipPath, const std::string& work) {
    std::error_code ec;
    if (!fs::exists(VolumePath(zipPath, 2), ec)) {
        return zipPath;
    }
    std::string joined = work + "joined.zip";
    std::ofstream out(joined, std::ios::binary | std::ios::trunc);
    for (int part = 1; fs::exists(VolumePath(zipPath, part), ec); ++part) {
        std::ifstream in(VolumePath(zipPath, part), std::ios::binary);
        out << in.rdbuf();
    }
    return out.flush() ? joined : std::string();
}

bool extractEntry(zip_t* z, zip_int64_t index, const std::string& target) {
    zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(index), 0);
    if (f == nullptr) {
        return false;
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    std::vector<char> buffer(1 << 16);
    zip_int64_t got = 0;
    while ((got = zip_fread(f, buffer.data(), buffer.size())) > 0) {
        out.write(buffer.data(), got);
    }
    // A damaged entry shows as a read error or a wrong checksum at its end.
    bool ok = zip_fclose(f) == 0 && got == 0;
    isam::ShareWithGroupOnly(target);
    return out.flush() && ok;
}

std::vector<std::string> manifestNames(zip_t* z) {
    std::vector<std::string> names;
    zip_int64_t index = zip_name_locate(z, kManifest, 0);
    if (index < 0) {
        return names;
    }
    zip_stat_t st;
    zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(index), 0);
    if (f == nullptr || zip_stat_index(z, static_cast<zip_uint64_t>(index), 0, &st) != 0) {
        if (f != nullptr) {
            zip_fclose(f);
        }
        return names;
    }
    std::string text(st.size, '\0');
    zip_int64_t got = zip_fread(f, text.data(), text.size());
    zip_fclose(f);
    std::istringstream in(text.substr(0, got > 0 ? static_cast<size_t>(got) : 0));
    std::string line;
    std::getline(in, line);
    if (line != "Zelvo backup") {
        return names;
    }
    while (std::getline(in, line)) {
        names.push_back(line);
    }
    return names;
}

// Unpacks and checks every container into `work`; the reason on failure.
const char* unpack(isam::RecordManager& rm, zip_t* z, const std::string& work,
                   std::vector<std::string>& names) {
    names = manifestNames(z);
    std::set<std::string> listed(names.begin(), names.end());
    zip_int64_t entries = zip_get_num_entries(z, 0);
    if (names.empty() || listed.size() != names.size() ||
        entries != static_cast<zip_int64_t>(names.size()) + 1) {
        return kForeign;
    }
    for (const std::string& name : names) {
        if (!isContainerName(name) || zip_name_locate(z, name.c_str(), 0) < 0) {
            return kForeign;
        }
        if (!extractEntry(z, zip_name_locate(z, name.c_str(), 0), work + name)) {
            return kDamaged;
        }
        std::string message;
        if (rm.checkContainer(work + name, message) != 0) {
            return kDamaged;
        }
    }
    return nullptr;
}

// Puts each unpacked container in place, the one it replaces kept aside in the work folder
// until all are in; on a failure every container goes back to what it was.
bool replaceAll(isam::RecordManager& rm, const std::vector<std::string>& names,
                const std::string& work, const std::string& dataDirectory) {
    std::vector<std::pair<std::string, bool>> done;  // name, whether an old one was set aside
    std::error_code ec;
    for (const std::string& name : names) {
        const std::string target = dataDirectory + name;
        rm.closeIdleContainer(target);
        for (const char* companion : {"-wal", "-shm", "-journal"}) {
            fs::remove(target + companion, ec);
        }
        const bool hadOld = fs::exists(target, ec);
        if (hadOld) {
            fs::rename(target, work + "old-" + name, ec);
        }
        if (!ec) {
            fs::rename(work + name, target, ec);
        }
        if (ec) {
            if (hadOld) {
                fs::rename(work + "old-" + name, target, ec);
            }
            for (const auto& [undone, old] : done) {
                fs::remove(dataDirectory + undone, ec);
                if (old) {
                    fs::rename(work + "old-" + undone, dataDirectory + undone, ec);
                }
            }
            return false;
        }
        done.emplace_back(name, hadOld);
    }
    return true;
}

}  // namespace

BackupResult RestoreBackup(isam::RecordManager& rm, const std::string& zipPath,
                           const std::string& dataDirectory) {
    WorkFolder work(dataDirectory);
    if (!work.ok()) {
        return failure(kCannotWrite);
    }
    std::string source = joinedParts(zipPath, work.path());
    int error = 0;
    zip_t* z =
        source.empty() ? nullptr : zip_open(source.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (z == nullptr) {
        return failure(kDamaged);
    }
    std::vector<std::string> names;
    const char* refusal = unpack(rm, z, work.path(), names);
    zip_discard(z);
    if (refusal != nullptr) {
        return failure(refusal);
    }
    // A station that has one of them open would go on in a file that is no longer there
    // (and its journal would be removed under it): they are taken for this station alone,
    // and stations that open them meanwhile wait for the replacement.
    isam::ContainerClaim claim;
    for (const std::string& name : names) {
        rm.closeIdleContainer(dataDirectory + name);
        if (!claim.take(dataDirectory + name)) {
            return failure(kInUse);
        }
    }
    if (isam::IsServerLocation(dataDirectory)) {
        return ReplaceOnServer(rm, names, work.path(), dataDirectory) ? BackupResult{true, {}}
                                                                      : failure(kCannotWrite);
    }
    // Everything is whole: the containers now replace the data directory's, by renames on
    // one filesystem; should one fail, those done are undone.
    return replaceAll(rm, names, work.path(), dataDirectory) ? BackupResult{true, {}}
                                                             : failure(kCannotWrite);
}

}  // namespace zelvo::maintenance
