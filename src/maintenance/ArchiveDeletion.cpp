#include "maintenance/ArchiveDeletion.h"

#include <memory>

#include "maintenance/MaintenanceCommon.h"

namespace zelvo {

namespace {

constexpr int kReadByName = 420;
constexpr int kFirstKill = 422;
constexpr int kKillAx = 440;
constexpr int kKillCe = 2337;
constexpr int kReadSlot = 442;
constexpr int kWriteSlot = 443;

FormSpec deletionForm() {
    using D = ArchiveDeletion;
    FormSpec f;
    f.name = "cancella";
    f.title = "Cancellazione archivi";
    f.combo(D::kCompany, "Azienda", 0).width = 40;
    f.combo(D::kYear, "Anno di lavoro", 1).width = 6;
    f.button(D::kDelete, "&Cancella", 2, 0, {.isDefault = true});
    f.button(D::kCancel, "&Annulla", 2, 1, {.isCancel = true});
    return f;
}

FormSpec confirmForm() {
    using C = ArchiveDeletionConfirm;
    FormSpec f;
    f.name = "cancell1";
    f.title = "Cancellazione archivi";
    f.label(C::kWarning, "ATTENZIONE", 0, 0).columnSpan = 2;
    f.label(C::kText, "Gli archivi indicati saranno distrutti", 1, 0).columnSpan = 2;
    f.label(C::kPrompt, "CONFERMA:", 2, 0).columnSpan = 2;
    f.button(C::kConfirm, "&Si", 3, 0);
    f.button(C::kCancel, "&No", 3, 1, {.isCancel = true});
    return f;
}

// The year's archives, in the order they are deleted.
constexpr int kYearArchives[] = {arc::kCt, arc::kPc, arc::kFf, arc::kPr, arc::kMc,
                                 arc::kTt, arc::kIa, arc::kIv, arc::kIc, arc::kSi,
                                 arc::kSd, arc::kSt, arc::kSf};

}  // namespace

ArchiveDeletion::ArchiveDeletion(Session& session) : ScreenLogic(session, deletionForm()) {
    on(Event::Change, kCompany,
       [this] { maintenance::FillYears(archives(), form(), kCompany, kYear); });
    on(Event::Leave, kCompany,
       [this] { maintenance::FillYears(archives(), form(), kCompany, kYear); });
    on(Event::Click, kDelete, [this] { remove(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void ArchiveDeletion::load() {
    maintenance::FillCompanies(archives(), form(), kCompany, kYear);
}

void ArchiveDeletion::remove() {
    if (text(kCompany).empty()) {
        inputError("Non è stata selezionata l'azienda", kCompany);
        return;
    }
    if (text(kYear).empty()) {
        inputError("Non è stato selezionato l'anno", kYear);
        return;
    }
    Archives& a = archives();
    const std::string code = maintenance::CompanyCode(a, text(kCompany));
    if (code.empty()) {
        a.report(opn::kRead, arc::kDataz, kReadByName);
        return;
    }
    const bool lastYear = form().items(kYear).size() <= 1;
    if (ScreenHost* h = host()) {
        // The confirmation window carries the deletion on; this one has done its part.
        h->openScreen(
            std::make_unique<ArchiveDeletionConfirm>(session(), code, text(kYear), lastYear), true);
    }
    requestClose();
}

void ArchiveDeletion::DeleteYear(Session& session, const std::string& code, const std::string& year,
                                 bool lastYear) {
    Archives& a = session.archives();
    int position = kFirstKill;
    for (int archive : kYearArchives) {
        a.kill(archive, code, year, position++);
    }
    if (lastYear) {
        a.kill(arc::kAx, code, year, kKillAx);
        a.kill(arc::kCe, code, year, kKillCe);
        // The slot stays marked as used, so the code is never handed out again.
        if (a.getByKeyReported(arc::kDataz, code, kReadSlot) == 0) {
            a.copyReadToWrite(arc::kDataz);
            isam::Record& r = a.writeBuffer(arc::kDataz);
            for (int field = 1; field <= 4; ++field) {
                r.setText(field, "");
            }
            r.setNumber(maintenance::kRegisterSlotUsed, 1);
            r.setNumber(maintenance::kRegisterSlotActive, 0);
            if (a.putReported(arc::kDataz, code, isam::mode::kRewrite, kWriteSlot) == 0) {
                a.flush(arc::kDataz);
            }
        }
    }
    // The register's read buffer holds the company in use again.
    const std::string& current = session.values().companyCode;
    if (!current.empty()) {
        a.getByKey(arc::kDataz, current);
    }
}

ArchiveDeletionConfirm::ArchiveDeletionConfirm(Session& session, std::string code, std::string year,
                                               bool lastYear)
    : ScreenLogic(session, confirmForm()),
      m_code(std::move(code)),
      m_year(std::move(year)),
      m_lastYear(lastYear) {
    on(Event::Click, kConfirm, [this] { confirm(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void ArchiveDeletionConfirm::confirm() {
    ArchiveDeletion::DeleteYear(session(), m_code, m_year, m_lastYear);
    requestClose();
}

}  // namespace zelvo
