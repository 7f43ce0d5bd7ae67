#include "maintenance/ArchiveCheck.h"

#include "archive/InstallationNotes.h"
#include "maintenance/MaintenanceCommon.h"

namespace zelvo {

namespace {

constexpr int kCloseFrom = 3701;
constexpr int kOpenFrom = 3707;

FormSpec checkForm(ArchiveCheck::Kind kind) {
    using C = ArchiveCheck;
    const bool verify = kind == C::Kind::Verify;
    FormSpec f;
    f.name = verify ? "VALL1" : "VALL2";
    f.title = verify ? "Verifica archivi" : "Ricostruzione indici archivi";
    f.list(C::kList, "", 0).columnSpan = 2;
    f.button(C::kRun, verify ? "&Verifica" : "&Ricostruisci", 1, 0, {.isDefault = true});
    f.button(C::kCancel, "&Annulla", 1, 1, {.isCancel = true});
    return f;
}

// The line of List1 for one file.
std::string resultLine(std::int16_t status, const std::string& file) {
    if (status == 0) {
        return "OK archivio " + file;
    }
    return "ERRORE " + std::to_string(status) + "  su archivio " + file;
}

}  // namespace

ArchiveCheck::ArchiveCheck(Session& session, Kind kind)
    : ScreenLogic(session, checkForm(kind)), m_kind(kind) {
    on(Event::Click, kRun, [this] { run(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

std::vector<std::string> ArchiveCheck::Files(const Archives& a) {
    std::vector<std::string> files;
    for (int archive : {arc::kCt, arc::kPc, arc::kIv, arc::kIa, arc::kIc, arc::kTt, arc::kMc,
                        arc::kAx, arc::kSi, arc::kSd, arc::kSt, arc::kSf, arc::kCe, arc::kParam,
                        arc::kGg, arc::kCpag, arc::kCiva, arc::kDataz}) {
        files.push_back(a.fileName(archive));
    }
    return files;
}

void ArchiveCheck::run() {
    Archives& a = archives();
    isam::RecordManager& rm = a.recordManager();
    maintenance::CloseMain(a, kCloseFrom);
    if (ScreenHost* h = host()) {
        h->setBusy(true);
    }
    std::vector<std::string> lines;
    bool failed = false;
    for (const std::string& file : Files(a)) {
        std::string message;
        std::int16_t s = m_kind == Kind::Verify ? rm.VTVal(file, message, 0, 0)
                                                : rm.VTRebuild(file, message, 0, 0, 0);
        a.setStatus(s);
        failed = failed || s != 0;
        lines.push_back(resultLine(s, file));
        form().setItems(kList, lines);
    }
    if (ScreenHost* h = host()) {
        h->setBusy(false);
    }
    if (failed) {
        dialogs().message("Ci sono errori negli archivi", "Errore", Icon::Exclamation);
    } else {
        dialogs().message(m_kind == Kind::Verify
                              ? "Gli archivi sono corretti"
                              : "La ricostruzione degli indici è stata effettuata",
                          "Zelvo", Icon::Information);
    }
    maintenance::OpenMain(a, kOpenFrom);
}

namespace {

constexpr int kRepairCloseFrom = 3712;
constexpr int kRepairOpenFrom = 3718;

FormSpec repairForm() {
    using R = ArchiveRepair;
    FormSpec f;
    f.name = "VALL3";
    f.title = "Riparazione archivi danneggiati";
    f.text(R::kFile, "Archivio da riparare", 0, 50);
    f.button(R::kBrowse, "&Sfoglia", 0, 2);
    f.list(R::kList, "", 1).columnSpan = 3;
    f.button(R::kRepair, "&Ripara", 2, 0, {.isDefault = true});
    f.button(R::kCancel, "&Annulla", 2, 1, {.isCancel = true});
    return f;
}

}  // namespace

ArchiveRepair::ArchiveRepair(Session& session) : ScreenLogic(session, repairForm()) {
    on(Event::Click, kBrowse, [this] { browse(); });
    on(Event::Click, kRepair, [this] { repair(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void ArchiveRepair::browse() {
    FileRequest request;
    request.title = "Archivio da riparare";
    request.filter = "Archivio(*.isd)|*.isd";
    request.startDir = LocalFilesFolder(session().values().dataDirectory);
    if (auto chosen = dialogs().chooseFile(request)) {
        form().setText(kFile, *chosen);
    }
}

void ArchiveRepair::repair() {
    const std::string file = text(kFile);
    if (file.empty()) {
        dialogs().beep();
        requestFocus(kFile);
        return;
    }
    Archives& a = archives();
    maintenance::CloseMain(a, kRepairCloseFrom);
    // Nothing of this station may keep the container open while it is replaced.
    a.recordManager().closeIdleContainer(file);
    std::string message;
    std::int16_t s = a.recordManager().VTRepair("Grp=" + file, message, 0, 0);
    a.setStatus(s);
    std::vector<std::string> lines = form().items(kList);
    lines.push_back(resultLine(s, file));
    if (!message.empty()) {
        lines.push_back(message);
    }
    form().setItems(kList, lines);
    maintenance::OpenMain(a, kRepairOpenFrom);
}

}  // namespace zelvo
