#include "maintenance/BackupScreens.h"

#include <algorithm>

#include "archive/InstallationNotes.h"
#include "base/NumberText.h"
#include "isam/ServerLocation.h"
#include "maintenance/BackupFile.h"
#include "maintenance/MaintenanceCommon.h"

namespace zelvo {

namespace {

// The archives are closed and opened again at their usual positions.
constexpr int kCloseFrom = 85;

// A floppy's worth, the volume proposed for drive A.
constexpr const char* kDefaultVolumeKb = "1440";

FormSpec backupForm() {
    using B = BackupScreen;
    FormSpec f;
    f.name = "BACK1";
    f.title = "Backup archivi";
    f.combo(B::kCompany, "Azienda", 0).width = 40;
    f.combo(B::kYear, "Anno di lavoro", 1).width = 6;
    f.check(B::kWholeDirectory, "Backup dell'intera directory", 2);
    f.text(B::kFile, "Nome del file di backup", 3, 50);
    f.text(B::kVolume, "Dimensione dei volumi (KB)", 4, 10, {.allowed = "0123456789"});
    f.button(B::kRun, "&Backup", 5, 0, {.isDefault = true});
    f.button(B::kCancel, "&Annulla", 5, 1, {.isCancel = true});
    return f;
}

std::string driveless(const std::string& name) {
    std::string rest = name;
    if (rest.size() >= 2 && rest[1] == ':') {
        rest.erase(0, 2);
    }
    std::replace(rest.begin(), rest.end(), '\\', '/');
    rest.erase(0, rest.find_first_not_of('/') == std::string::npos ? rest.size()
                                                                   : rest.find_first_not_of('/'));
    return rest;
}

}  // namespace

std::string BackupFolder(const std::string& dataDirectory) {
    return LocalFilesFolder(dataDirectory) + "backup/";
}

std::string BackupPath(const std::string& dataDirectory, const std::string& name) {
    return BackupFolder(dataDirectory) + driveless(name) + ".zip";
}

bool IsRemovableDrive(const std::string& name) {
    return name.size() >= 2 && name[1] == ':' && (name[0] == 'a' || name[0] == 'A');
}

BackupScreen::BackupScreen(Session& session) : ScreenLogic(session, backupForm()) {
    on(Event::Change, kCompany, [this] { companyChosen(); });
    on(Event::Leave, kCompany, [this] { companyChosen(); });
    on(Event::Change, kYear, [this] { proposeName(); });
    on(Event::Change, kWholeDirectory, [this] { proposeName(true); });
    on(Event::Click, kRun, [this] { run(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void BackupScreen::load() {
    maintenance::FillCompanies(archives(), form(), kCompany, kYear);
    form().setText(kVolume, kDefaultVolumeKb);
}

void BackupScreen::companyChosen() {
    maintenance::FillYears(archives(), form(), kCompany, kYear);
    proposeName();
}

void BackupScreen::proposeName(bool toggled) {
    const std::string company = text(kCompany) + " " + text(kYear);
    if (form().checked(kWholeDirectory)) {
        form().setText(kFile, "A:\\backup archivi directory Zelvo");
    } else {
        form().setText(kFile, (toggled ? "A:\\backup " : "A:\\backup archivi ") + company);
    }
}

std::uint64_t BackupScreen::volumeSize() {
    const std::string& name = form().text(kFile);
    if (!IsRemovableDrive(name)) {
        return 0;
    }
    return static_cast<std::uint64_t>(WholeVal(form().text(kVolume))) * 1024U;
}

void BackupScreen::run() {
    const std::string name = text(kFile);
    if (name.find_first_of(".*?<>/|") != std::string::npos) {
        dialogs().message(
            "Nel nome del file di backup non è possibile utilizzare i seguenti "
            "caratteri:  . * ? < > / |",
            "Errore", Icon::Exclamation);
        return;
    }
    const bool whole = form().checked(kWholeDirectory);
    Archives& a = archives();
    const std::string code = maintenance::CompanyCode(a, text(kCompany));
    if (!whole && (code.empty() || text(kYear).empty())) {
        inputError(
            code.empty() ? "Non è stata selezionata l'azienda" : "Non è stato selezionato l'anno",
            code.empty() ? kCompany : kYear);
        return;
    }
    const std::string dir = session().values().dataDirectory;
    maintenance::CloseMain(a, kCloseFrom);
    if (ScreenHost* h = host()) {
        h->setBusy(true);
    }
    auto containers = whole ? maintenance::AllContainers(dir)
                            : maintenance::CompanyContainers(dir, code, text(kYear));
    auto result = maintenance::WriteBackup(a.recordManager(), dir, containers,
                                           BackupPath(dir, name), volumeSize());
    if (ScreenHost* h = host()) {
        h->setBusy(false);
    }
    if (result.ok) {
        dialogs().message("Operazione effettuata", "Zelvo", Icon::Information);
    } else {
        dialogs().message(result.text, "Zelvo", Icon::Exclamation);
        dialogs().message("Il backup non è stato effettuato", "Zelvo", Icon::Exclamation);
    }
    maintenance::OpenMain(a, 0);
}

namespace {

FormSpec restoreForm() {
    using R = RestoreScreen;
    FormSpec f;
    f.name = "BACK2";
    f.title = "Ripristino archivi";
    f.text(R::kFile, "File di backup", 0, 50, {.readOnly = true});
    f.button(R::kChoose, "&Scegli il file", 0, 2);
    f.option(R::kAsk, "Chiedi conferma prima di sostituire gli archivi", "Opzioni", 1);
    f.option(R::kNoAsk, "Sostituisci gli archivi senza chiedere", "Opzioni", 2);
    f.button(R::kRun, "&Ripristina", 3, 0, {.isDefault = true});
    f.button(R::kCancel, "&Annulla", 3, 1, {.isCancel = true});
    return f;
}

}  // namespace

RestoreScreen::RestoreScreen(Session& session) : ScreenLogic(session, restoreForm()) {
    on(Event::Click, kChoose, [this] { choose(); });
    on(Event::Click, kRun, [this] { run(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void RestoreScreen::load() {
    form().setChecked(kAsk, true);
}

void RestoreScreen::choose() {
    FileRequest request;
    request.title = "Ripristino archivi";
    request.filter = "Backup(*.zip)|*.zip";
    request.startDir = BackupFolder(session().values().dataDirectory);
    if (auto chosen = dialogs().chooseFile(request)) {
        form().setText(kFile, *chosen);
    }
}

void RestoreScreen::run() {
    const std::string file = text(kFile);
    if (file.empty()) {
        inputError("Non è stato scelto il file di backup", kChoose);
        return;
    }
    if (form().checked(kAsk) &&
        dialogs().ask("Gli archivi del backup sostituiranno quelli presenti. Continuare?", "Zelvo",
                      Icon::Question, true) != Answer::Yes) {
        return;
    }
    Archives& a = archives();
    maintenance::CloseMain(a, kCloseFrom);
    if (ScreenHost* h = host()) {
        h->setBusy(true);
    }
    auto result =
        maintenance::RestoreBackup(a.recordManager(), file, session().values().dataDirectory);
    if (ScreenHost* h = host()) {
        h->setBusy(false);
    }
    if (result.ok) {
        dialogs().message("Ripristino effettuato", "Zelvo", Icon::Information);
    } else {
        dialogs().message(result.text, "Zelvo", Icon::Exclamation);
        dialogs().message("Il ripristino non è stato effettuato", "Zelvo", Icon::Exclamation);
    }
    maintenance::OpenMain(a, 0);
}

}  // namespace zelvo
