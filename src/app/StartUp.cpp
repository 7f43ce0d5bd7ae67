#include "app/StartUp.h"

#include <filesystem>
#include <fstream>
#include <utility>

#include "app/Installation.h"
#include "app/Parameters.h"
#include "app/ProgramPlaces.h"
#include "archive/DataVersion.h"
#include "archive/InstallationNotes.h"
#include "base/Version.h"
#include "isam/FileModes.h"
#include "isam/InstallationTurn.h"
#include "isam/ServerLocation.h"

namespace zelvo {

namespace {

constexpr const char* kNetworkMessage =
    "Non è possibile proseguire con il programma. Nel caso di utilizzo del programma in rete "
    "verificare il percorso, inserito nei parametri, della directory di Zelvo95 sul server e "
    "verificare che sia stata effettuata la condivisione e che il disco rigido del server sia "
    "connesso alla rete.";

// The password would be read by every user of the station: it belongs in the user's own
// ~/.pgpass or service file, which libpq reads by itself.
constexpr const char* kPasswordMessage =
    "Il percorso degli archivi sul server contiene la password in chiaro. Togliere la password "
    "dal file rr (o dalla riga di comando) e scriverla nel file .pgpass della cartella "
    "personale dell'utente, leggibile solo da lui: il programma la troverà da sé.";

constexpr const char* kMonths[] = {"Gennaio",   "Febbraio", "Marzo",    "Aprile",
                                   "Maggio",    "Giugno",   "Luglio",   "Agosto",
                                   "Settembre", "Ottobre",  "Novembre", "Dicembre"};

// Anybody on the machine could replace or delete the books there: refused before anything
// is opened or installed in it.
std::string openFolderMessage(const std::string& dir) {
    return "La cartella dei dati " + dir +
           " può essere modificata da qualunque utente del computer. Per proteggere gli "
           "archivi il programma non si avvia: togliere agli altri utenti il permesso di "
           "scrittura sulla cartella e avviare di nuovo Zelvo.";
}

// A folder's containers are its ".isd" files, a server's its schemas; a place that cannot be
// listed is taken as holding archives, so that an unreachable server is reported by the
// register's opening, not installed on.
bool holdsArchives(isam::RecordManager& rm, const std::string& dataDirectory) {
    std::vector<std::string> containers;
    return InstallationContainers(rm, dataDirectory, containers) != isam::status::kOk ||
           !containers.empty();
}

}  // namespace

StartUp::StartUp(Session& session, const FontCatalog& fonts) : m_session(session), m_fonts(fonts) {}

std::string StartUp::DataDirectory(const std::string& programFolder, bool& network) {
    ProgramPlaces places = ProgramPlaces::Of(programFolder);
    return DataDirectoryNamedBy(places.locationFile(), places.defaultDataDirectory(), network);
}

void StartUp::useDataDirectory(std::string dir) {
    if (!dir.empty() && dir.back() != '/') {
        dir += '/';
    }
    m_dataDirectory = std::move(dir);
}

bool StartUp::refuseNewerData() {
    const std::string& dir = m_session.values().dataDirectory;
    std::string newer =
        NewerDataVersion(m_session.archives().recordManager(), dir, kProgramVersion);
    if (newer.empty()) {
        return false;
    }
    if (m_session.host() != nullptr) {
        m_session.host()->setBusy(false);
    }
    m_session.dialogs().message(NewerDataMessage(dir, newer, kProgramVersion), "Zelvo",
                                Icon::Critical);
    return true;
}

bool StartUp::run() {
    ProgramValues& v = m_session.values();
    bool network = false;
    m_session.setDataDirectory(m_dataDirectory.empty() ? DataDirectory(v.programFolder, network)
                                                       : m_dataDirectory);
    if (m_session.host() != nullptr) {
        m_session.host()->setBusy(true);
    }
    v.today = m_session.clock().today();
    const bool server = isam::IsServerLocation(v.dataDirectory);
    if (!server && isam::WritableByAnyone(v.dataDirectory)) {
        if (m_session.host() != nullptr) {
            m_session.host()->setBusy(false);
        }
        m_session.dialogs().message(openFolderMessage(v.dataDirectory), "Zelvo", Icon::Critical);
        return false;
    }
    if (server && isam::UriHoldsPassword(v.dataDirectory)) {
        if (m_session.host() != nullptr) {
            m_session.host()->setBusy(false);
        }
        m_session.dialogs().message(kPasswordMessage, "Zelvo", Icon::Critical);
        return false;
    }
    if (refuseNewerData()) {
        return false;
    }

    // A program starting on an empty local folder installs itself there; a folder that
    // already holds archives but no register is a broken or unreachable one. The user's own
    // data folder, or one named on the command line, is made on first use. A server named
    // in the location file is the office's: it is installed on by whoever starts first on
    // an empty database. Either way the installation turn is taken at every start,
    // installed or not: containers may be those another copy is still making.
    std::error_code ec;
    if (!server && !network && v.dataDirectory != v.programFolder) {
        std::filesystem::create_directories(v.dataDirectory, ec);
    }
    if (server || (!network && std::filesystem::is_directory(v.dataDirectory, ec))) {
        isam::InstallationTurn turn(v.dataDirectory);
        if (!holdsArchives(m_session.archives().recordManager(), v.dataDirectory)) {
            CreateInstallation(m_session, std::to_string(m_session.clock().currentYear()));
        }
    }

    Archives& a = m_session.archives();
    // The archive report comes first, so that the operator (or whoever answers the phone)
    // learns which status the register gave, then the reason the program cannot go on.
    if (!a.open(arc::kDataz, 113)) {
        if (m_session.host() != nullptr) {
            m_session.host()->setBusy(false);
        }
        m_session.dialogs().message(kNetworkMessage, "", Icon::Critical);
        return false;
    }
    // From now on this version writes here: an older one will refuse the directory.
    MarkDataVersion(m_session.archives().recordManager(), v.dataDirectory, kProgramVersion);
    a.open(arc::kCiva, 112);
    ReadParameters(a, v);
    for (int m = 1; m <= 12; ++m) {
        v.monthNames[static_cast<size_t>(m)] = kMonths[m - 1];
    }
    checkPrintFont();
    v.userName = "amministratore";
    if (m_session.host() != nullptr) {
        m_session.host()->setBusy(false);
        m_session.host()->settingsChanged();
    }
    return true;
}

void StartUp::checkPrintFont() {
    PrintSettings& p = m_session.values().print;
    if (!m_fonts.printerAvailable()) {
        m_session.dialogs().message("Stampante non collegata", "", Icon::Critical);
        return;
    }
    bool fontThere = m_fonts.isInstalled(p.font);
    bool courierThere = m_fonts.isInstalled("Courier New");
    if (!fontThere && courierThere) {
        p.font = "Courier New";
    } else if (!fontThere) {
        m_session.dialogs().message(
            "Prima di effettuare una stampa selezionare il carattere di "
            "stampa",
            "ATTENZIONE", Icon::Information);
    }
}

}  // namespace zelvo
