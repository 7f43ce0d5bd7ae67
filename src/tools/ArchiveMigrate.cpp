#include "tools/ArchiveMigrate.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "archive/Catalog.h"
#include "archive/DataVersion.h"
#include "archive/InstallationNotes.h"
#include "base/Version.h"
#include "isam/ContainerCopy.h"
#include "isam/FileModes.h"
#include "isam/RecordManager.h"
#include "isam/ServerLocation.h"

namespace zelvo {

namespace {

namespace fs = std::filesystem;
using Counts = std::vector<std::pair<std::string, std::int64_t>>;

std::string withSeparator(std::string dir) {
    if (dir.empty() || dir.back() != '/') {
        dir += '/';
    }
    return dir;
}

// A location as it may be shown: a password written into a URI against the advice stays
// out of the terminal.
std::string shown(const std::string& place) {
    const size_t scheme = place.find("://");
    if (!isam::IsServerLocation(place) || scheme == std::string::npos) {
        return place;
    }
    const size_t at = place.find('@', scheme + 3);
    const size_t colon = place.find(':', scheme + 3);
    if (at == std::string::npos || colon == std::string::npos || colon > at ||
        place.find('/', scheme + 3) < at) {
        return place;
    }
    return place.substr(0, colon + 1) + "***" + place.substr(at);
}

// What one migration has written, removed again unless it is kept.
class Written {
  public:
    Written(isam::RecordManager& rm, std::string to) : m_rm(rm), m_to(std::move(to)) {}
    ~Written() {
        if (m_keep) {
            return;
        }
        for (const std::string& c : m_containers) {
            isam::RemoveContainer(m_rm, m_to + c);
        }
        if (m_notes) {
            removeNotes();
        }
        if (m_madeFolder) {
            std::error_code ec;
            fs::remove_all(m_to, ec);
        }
    }
    Written(const Written&) = delete;
    Written& operator=(const Written&) = delete;

    void container(const std::string& name) { m_containers.push_back(name); }
    void madeFolder() { m_madeFolder = true; }
    void notes() { m_notes = true; }
    void keep() { m_keep = true; }

  private:
    void removeNotes() {
        std::error_code ec;
        for (const char* note : kInstallationNotes) {
            if (isam::IsServerLocation(m_to)) {
                isam::RemoveContainer(m_rm, m_to + note + ".isd");
            } else {
                fs::remove(m_to + note, ec);
            }
        }
    }

    isam::RecordManager& m_rm;
    std::string m_to;
    std::vector<std::string> m_containers;
    bool m_madeFolder = false;
    bool m_notes = false;
    bool m_keep = false;
};

// The refusals before anything is written: an empty source, a source of a newer program,
// a destination that is not empty or anybody may write. A missing destination folder is
// made (and noted, to go again on failure).
std::string refusal(isam::RecordManager& rm, const std::string& from, const std::string& to,
                    std::vector<std::string>& names, Written& written) {
    if (from == to) {
        return "origine e destinazione coincidono";
    }
    if (InstallationContainers(rm, from, names) != isam::status::kOk) {
        return "non è possibile leggere " + shown(from);
    }
    if (names.empty()) {
        return "in " + shown(from) + " non ci sono archivi da copiare";
    }
    isam::RecordManager notes(Catalog::locate);  // names the notes as the program does
    if (const std::string newer = NewerDataVersion(notes, from, kProgramVersion); !newer.empty()) {
        return shown(from) + " è stata scritta da Zelvo " + newer + ", più recente di questo " +
               kProgramVersion;
    }
    std::error_code ec;
    if (!isam::IsServerLocation(to) && !fs::exists(to, ec)) {
        if (!fs::create_directories(to, ec)) {
            return "non è possibile creare la cartella " + to;
        }
        written.madeFolder();
    }
    if (!isam::IsServerLocation(to) && isam::WritableByAnyone(to)) {
        return "la cartella dei dati " + to + " può essere modificata da qualunque utente";
    }
    std::vector<std::string> present;
    if (rm.listContainers(to, present) != isam::status::kOk) {
        return "non è possibile leggere " + shown(to);
    }
    if (!present.empty()) {
        return shown(to) + " contiene già degli archivi (" + present.front().substr(to.size()) +
               ")";
    }
    return {};
}

std::int64_t total(const Counts& counts) {
    std::int64_t n = 0;
    for (const auto& c : counts) {
        n += c.second;
    }
    return n;
}

// Copies one container and compares every archive's record count with the source's.
std::string copyOne(isam::RecordManager& from, isam::RecordManager& to, const std::string& source,
                    const std::string& target, Counts& copied) {
    std::string message;
    if (isam::CopyContainer(from, source, to, target, message) != isam::status::kOk) {
        return message;
    }
    Counts original;
    if (isam::CountRecords(from, source, original) != isam::status::kOk ||
        isam::CountRecords(to, target, copied) != isam::status::kOk || original != copied) {
        return "i record copiati non corrispondono a quelli dell'origine";
    }
    return {};
}

bool copyNotes(const std::string& from, const std::string& to) {
    isam::RecordManager source(Catalog::locate);
    isam::RecordManager target(Catalog::locate);
    bool ok = true;
    if (const std::string mark = RecordedDataVersion(source, from); !mark.empty()) {
        ok = MarkDataVersion(target, to, mark);
    }
    if (std::string company; ReadLastCompany(source, from, company)) {
        ok = WriteLastCompany(target, to, company) && ok;
    }
    return ok;
}

}  // namespace

int MigrateInstallation(const std::string& fromDir, const std::string& toDir, std::ostream& out,
                        std::ostream& err) {
    const std::string from = withSeparator(fromDir);
    const std::string to = withSeparator(toDir);
    isam::RecordManager source(isam::ContainerTables);
    isam::RecordManager target(isam::ContainerTables);
    Written written(target, to);
    std::vector<std::string> names;
    if (const std::string why = refusal(source, from, to, names, written); !why.empty()) {
        err << "zelvo-archive migrate: " << why << ": nessun archivio è stato scritto\n";
        return 1;
    }
    for (const std::string& name : names) {
        written.container(name);
        Counts copied;
        if (const std::string why = copyOne(source, target, from + name, to + name, copied);
            !why.empty()) {
            err << "zelvo-archive migrate: copia di " << name << " non riuscita: " << why
                << "; quanto scritto in " << shown(to) << " è stato tolto\n";
            return 1;
        }
        out << name << ": " << copied.size() << " archivi, " << total(copied) << " record\n";
    }
    written.notes();
    if (!copyNotes(from, to)) {
        err << "zelvo-archive migrate: non è possibile scrivere il contrassegno di versione in "
            << shown(to) << "; quanto scritto è stato tolto\n";
        return 1;
    }
    written.keep();
    out << "Installazione copiata da " << shown(from) << " a " << shown(to) << ": " << names.size()
        << " contenitori, record contati uguali all'origine\n";
    return 0;
}

}  // namespace zelvo
