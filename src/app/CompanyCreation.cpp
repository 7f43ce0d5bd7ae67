#include "app/CompanyCreation.h"

#include <algorithm>
#include <cctype>

#include "app/CompanyRegister.h"
#include "masterdata/CompanyArchives.h"

namespace zelvo {

using namespace companyreg;

CompanyCreation::CompanyCreation(Session& session) : ScreenLogic(session, makeSpec()) {
    on(Event::Click, kConfirm, [this] { create(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec CompanyCreation::makeSpec() {
    FormSpec f;
    f.name = "APRIAZ";
    f.title = "Apertura archivi nuova azienda";
    AddCompanyFields(f);
    f.text(kYear, "Anno contabile:", 4, 4, {.allowed = kDigits, .maxLength = 4});
    f.button(kConfirm, "&Conferma", 5, 0);
    f.button(kCancel, "&Annulla", 5, 1, {.isCancel = true});
    return f;
}

void CompanyCreation::load() {
    form().setText(kYear, std::to_string(session().clock().currentYear()));
}

void CompanyCreation::create() {
    Archives& a = archives();
    // Taken exactly as typed: no blanks are removed.
    const std::string name = text(kNameControl);
    if (name.empty()) {
        inputError("La ragione sociale non è stata inserita", kNameControl);
        return;
    }
    // The year names every file of the company: a wrong one must stop us before the
    // register slot is taken.
    if (!checkYear()) {
        return;
    }
    // The same name in another letter case is the same company; a name that merely begins
    // like a registered one is another company.
    a.getIdentical(arc::kDataz, kCompanyName, name);
    if (a.status() == 0) {
        inputError("Archivi già creati", kNameControl);
        return;
    }
    if (a.status() != isam::status::kNotFound) {
        a.report(opn::kRead, arc::kDataz, setuppos::kCreationFindName);
        return;
    }
    const std::optional<std::string> code = findFreeSlot();
    if (!code) {
        return;
    }

    BusyCursor busy(session().host());
    // Without its slot the company would have archives but no code that leads to them.
    if (!writeSlot(*code)) {
        return;
    }
    closeArchivesInUse();
    CreateCompanyArchives(a, *code, text(kYear));
    reopenArchivesInUse();
    // The screen stays open with what was typed, so that another company can follow; the
    // new one is chosen in the selection window. Failures have been reported as they came.
}

bool CompanyCreation::checkYear() {
    const std::string& year = text(kYear);
    if (year.empty()) {
        inputError("L'anno contabile non è stato inserito", kYear);
        return false;
    }
    const bool digits = std::all_of(year.begin(), year.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    if (year.size() != 4 || !digits) {
        inputError("L'anno contabile deve essere di quattro cifre", kYear);
        return false;
    }
    return true;
}

std::optional<std::string> CompanyCreation::findFreeSlot() {
    Archives& a = archives();
    // First a slot that never held a company, so that a deleted company's code is not
    // given to another while fresh ones remain; failing that any slot with an empty name.
    for (const bool neverUsed : {true, false}) {
        if (a.bof(arc::kDataz, 0) != 0) {
            a.report(opn::kRead, arc::kDataz, setuppos::kCreationSlotSearch);
            return std::nullopt;
        }
        int position = 0;
        while (a.get(arc::kDataz, 0, isam::op::kNext, "") == 0) {
            ++position;
            const isam::Record& r = a.readBuffer(arc::kDataz);
            if (!r.text(kCompanyName).empty() || (neverUsed && r.number(kSlotUsed) != 0)) {
                continue;
            }
            // The limit holds for both searches: reusing a deleted company's slot beyond
            // it would still give a company a code past the limit.
            if (position >= kSlotLimit) {
                dialogs().message("Non si possono aprire più aziende", "Zelvo", Icon::Exclamation);
                return std::nullopt;
            }
            return a.primaryKey(arc::kDataz);
        }
        if (a.status() != isam::status::kEndOfIndex) {
            a.report(opn::kRead, arc::kDataz, setuppos::kCreationSlotSearch);
            return std::nullopt;
        }
    }
    // A register with no empty slot at all is full just the same.
    dialogs().message("Non si possono aprire più aziende", "Zelvo", Icon::Exclamation);
    return std::nullopt;
}

bool CompanyCreation::writeSlot(const std::string& code) {
    Archives& a = archives();
    if (a.getByKeyReported(arc::kDataz, code, setuppos::kCreationSlotRead) != 0) {
        return false;
    }
    // From the slot as read: field 7 keeps whatever it holds.
    a.copyReadToWrite(arc::kDataz);
    isam::Record& r = a.writeBuffer(arc::kDataz);
    WriteCompanyFields(form(), r);
    r.setNumber(kSlotUsed, 1);
    r.setNumber(kSlotActive, 1);
    return RewriteRegisterRecord(a, code, setuppos::kCreationSlotWrite);
}

// The new company's archives are opened under the same archive numbers as the ones in
// use, so those are closed first and opened again afterwards.
void CompanyCreation::closeArchivesInUse() {
    if (session().values().companyCode.empty()) {
        return;
    }
    Archives& a = archives();
    const std::pair<int, int> closes[] = {{arc::kPc, setuppos::kCreationClosePc},
                                          {arc::kPr, setuppos::kCreationClosePr},
                                          {arc::kCt, setuppos::kCreationCloseCt}};
    for (const auto& [archive, position] : closes) {
        if (a.isOpen(archive)) {
            a.close(archive, position);
        }
    }
}

void CompanyCreation::reopenArchivesInUse() {
    const std::string& company = session().values().companyCode;
    if (company.empty()) {
        return;
    }
    Archives& a = archives();
    a.open(arc::kPr, setuppos::kCreationOpenPr);
    a.open(arc::kCt, setuppos::kCreationOpenCt);
    a.open(arc::kPc, setuppos::kCreationOpenPc);
    // The slot search moved the register's read buffer: the company in use gets its own
    // record back.
    a.getByKeyReported(arc::kDataz, company, setuppos::kCreationRegisterRead);
}

}  // namespace zelvo
