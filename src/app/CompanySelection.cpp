#include "app/CompanySelection.h"

#include <memory>
#include <utility>

#include "app/CompanyRegister.h"
#include "archive/InstallationNotes.h"
#include "sheet/Agenda.h"

namespace zelvo {

namespace {

FormSpec selectionForm() {
    FormSpec f;
    f.name = "SCELTA";
    f.title = "Scelta azienda";
    f.combo(CompanySelection::kCompany, "Azienda:", 0).width = 40;
    f.combo(CompanySelection::kYear, "Anno:", 1).width = 6;
    f.button(CompanySelection::kOk, "&OK", 2, 0, {.isDefault = true});
    f.button(CompanySelection::kRebuild, "&Ricostruisci archivio aziende", 2, 1);
    return f;
}

// Positions of this screen's archive reports.
constexpr int kReadByNamePosition = 1294;
constexpr int kOpenCounters = 1295;
constexpr int kOpenYearRecord = 1296;
constexpr int kOpenChart = 1297;

}  // namespace

CompanySelection::CompanySelection(Session& session) : ScreenLogic(session, selectionForm()) {
    on(Event::Leave, kCompany, [this] { companyChosen(); });
    on(Event::Change, kCompany, [this] { companyChosen(); });
    on(Event::Click, kOk, [this] { confirm(); });
    on(Event::Click, kRebuild, [this] { rebuildRegister(); });
}

void CompanySelection::load() {
    fillCompanies();
    std::string name;
    if (!ReadLastCompany(session().archives().recordManager(), session().values().dataDirectory,
                         name)) {
        dialogs().message("Non è stato trovato il file www", "Zelvo", Icon::Exclamation);
        return;
    }
    const auto& names = form().items(kCompany);
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            form().setSelected(kCompany, static_cast<int>(i));
            companyChosen();
            return;
        }
    }
}

void CompanySelection::fillCompanies() {
    Archives& a = archives();
    std::vector<std::string> names;
    a.bof(arc::kDataz, companyreg::kCompanyName);
    while (a.get(arc::kDataz, companyreg::kCompanyName, isam::op::kNext, "") == 0) {
        // Free slots have empty names: they are not companies.
        const std::string& name = a.readBuffer(arc::kDataz).text(companyreg::kCompanyName);
        if (!name.empty()) {
            names.push_back(name);
        }
    }
    form().setItems(kCompany, std::move(names));
    form().setItems(kYear, {});
}

void CompanySelection::companyChosen() {
    const std::string& name = text(kCompany);
    if (name.empty()) {
        return;
    }
    Archives& a = archives();
    if (a.getIdentical(arc::kDataz, companyreg::kCompanyName, name) != 0) {
        if (a.status() != isam::status::kNotFound) {
            a.report(opn::kRead, arc::kDataz, kReadByNamePosition);
        }
        return;
    }
    std::string code = a.primaryKey(arc::kDataz);
    std::vector<std::string> years;
    for (int y = kFirstYear; y <= kLastYear; ++y) {
        std::string year = std::to_string(y);
        if (a.exists(a.fileName(arc::kCt, code, year))) {
            years.push_back(year);
        }
    }
    std::string current = std::to_string(session().clock().currentYear());
    form().setItems(kYear, years);
    for (size_t i = 0; i < years.size(); ++i) {
        if (years[i] == current) {
            form().setSelected(kYear, static_cast<int>(i));
        }
    }
}

void CompanySelection::confirm() {
    const std::string name = text(kCompany);
    const std::string year = text(kYear);
    if (name.empty() || year.empty()) {
        return;
    }
    Archives& a = archives();
    auto refuse = [this] {
        dialogs().message("Archivi azienda non aperti", "Errore", Icon::Exclamation);
    };
    if (a.getIdentical(arc::kDataz, companyreg::kCompanyName, name) != 0) {
        refuse();
        return;
    }
    std::string code = a.primaryKey(arc::kDataz);
    if (!a.exists(a.fileName(arc::kCt, code, year))) {
        refuse();
        return;
    }
    // A company chosen again replaces the archives of the one before.
    for (int archive : {arc::kPc, arc::kPr, arc::kCt}) {
        if (a.isOpen(archive)) {
            a.close(archive);
        }
    }
    a.openFile(arc::kPr, code, year, kOpenCounters);
    session().chooseCompany(code, name, year);
    std::string current = std::to_string(session().clock().currentYear());
    session().setPanel(4, year == current ? std::string() : year);
    session().setPanel(8, name);
    session().setPanel(6, "");
    a.open(arc::kCt, kOpenYearRecord);
    a.open(arc::kPc, kOpenChart);
    m_confirmed = true;
    requestClose();
    // The agenda asked for by the parameters shows once, after the first choice of the
    // start-up: changing company later is not the start of the day's work.
    if (std::exchange(session().values().agendaAtStartUp, false) && host() != nullptr) {
        host()->openScreen(std::make_unique<Agenda>(session()), true);
    }
}

void CompanySelection::rebuildRegister() {
    RebuildRegister(archives());
    fillCompanies();
}

bool CompanySelection::queryClose() {
    if (!m_confirmed && session().host() != nullptr) {
        session().host()->endProgram();
    }
    return true;
}

}  // namespace zelvo
