#include "app/Installation.h"

#include <filesystem>

#include "app/CompanyRegister.h"
#include "app/Parameters.h"
#include "archive/InstallationNotes.h"
#include "isam/ServerLocation.h"
#include "masterdata/CompanyArchives.h"
#include "masterdata/PaymentTermsFields.h"
#include "masterdata/VatCodeFields.h"

namespace zelvo {

namespace {

struct VatSlot {
    int slot;
    const char* code;
    double rate;
    int nonDeductiblePercent;
    const char* description;
};

// The codes a new installation offers; the other slots are free.
constexpr VatSlot kVatCodes[] = {
    {0, "20", 20, 0, "Aliquota ordinaria 20%"}, {1, "10", 10, 0, "Aliquota ridotta 10%"},
    {2, "4", 4, 0, "Aliquota ridotta 4%"},      {3, "E10", 0, 0, "Esente art. 10"},
    {4, "N8", 0, 0, "Non imponibile art. 8"},   {5, "F15", 0, 0, "Escluso art. 15"},
    {6, "I20", 20, 100, "Indetraibile 20%"},
};

struct Terms {
    const char* code;
    const char* description;
    const char* type;
    int instalments;
    int firstMonths;
    int dueDay;
    int august;
    int skipAugust;
};

constexpr Terms kPaymentTerms[] = {
    {"0001", "Rimessa diretta a vista", "rd", 0, 0, 0, 0, 0},
    {"0002", "Rimessa diretta 30 gg d.f.", "rd", 1, 1, 0, 0, 0},
    {"0003", "Ricevuta bancaria 30 gg f.m.", "rb", 1, 1, 30, 0, 0},
    {"0004", "Ricevuta bancaria 30-60 gg f.m.", "rb", 2, 1, 30, 0, 0},
    {"0005", "Ricevuta bancaria 30-60-90 gg f.m.", "rb", 3, 1, 30, 0, 0},
    {"0006", "Rimessa diretta 60 gg al 10", "rd", 1, 2, 10, 0, 0},
    {"0007", "Rimessa diretta 30-60 gg f.m. salta agosto", "rd", 2, 1, 30, 0, 1},
    {"0008", "Solo descrizione", "", 0, 0, 0, 0, 0},
};

bool installRegister(Archives& a) {
    if (!a.create(arc::kDataz, "", "", setuppos::kInstallRegisterCreate) ||
        !a.openFile(arc::kDataz, "", "", setuppos::kInstallRegisterOpen)) {
        return false;
    }
    bool ok = WriteRegisterSlots(a) == 0;
    a.close(arc::kDataz, setuppos::kInstallRegisterClose);
    return ok && a.status() == 0;
}

bool installParameters(Archives& a) {
    using namespace setuppos;
    if (!a.create(arc::kParam, "", "", kInstallParamCreate)) {
        return false;
    }
    return WriteArchive(a, arc::kParam, "", "",
                        {kInstallParamOpen, kInstallParamWrite, kInstallParamClose}, [&a] {
                            SetDefaultParameters(a.writeBuffer(arc::kParam));
                            return a.putReported(arc::kParam, param::kKey, isam::mode::kWrite,
                                                 kInstallParamWrite) == 0;
                        });
}

bool installVatCodes(Archives& a) {
    using namespace setuppos;
    if (!a.create(arc::kCiva, "", "", kInstallVatCreate)) {
        return false;
    }
    return WriteArchive(
        a, arc::kCiva, "", "", {kInstallVatOpen, kInstallVatWrite, kInstallVatClose}, [&a] {
            for (int slot = 0; slot < vatcode::kSlots; ++slot) {
                // Every slot is written: the readers walk all 25 by key, used or free.
                a.clearWriteBuffer(arc::kCiva);
                for (const VatSlot& v : kVatCodes) {
                    if (v.slot == slot) {
                        isam::Record& r = a.writeBuffer(arc::kCiva);
                        r.setText(vatcode::kVatCode, v.code);
                        r.setNumber(vatcode::kVatRate, v.rate);
                        r.setNumber(vatcode::kNonDeductiblePercent, v.nonDeductiblePercent);
                        r.setText(vatcode::kVatDescription, v.description);
                    }
                }
                if (a.putReported(arc::kCiva, vatcode::SlotKey(slot), isam::mode::kWrite,
                                  kInstallVatWrite) != 0) {
                    return false;
                }
            }
            return true;
        });
}

bool installPaymentTerms(Archives& a) {
    using namespace setuppos;
    if (!a.create(arc::kCpag, "", "", kInstallTermsCreate)) {
        return false;
    }
    return WriteArchive(
        a, arc::kCpag, "", "", {kInstallTermsOpen, kInstallTermsWrite, kInstallTermsClose}, [&a] {
            for (const Terms& t : kPaymentTerms) {
                a.clearWriteBuffer(arc::kCpag);
                isam::Record& r = a.writeBuffer(arc::kCpag);
                r.setText(terms::kDescription, t.description);
                r.setText(terms::kTermsType, t.type);
                r.setNumber(terms::kInstalmentCount, t.instalments);
                r.setNumber(terms::kFirstInstalmentMonths, t.firstMonths);
                r.setNumber(terms::kDueDayRule, t.dueDay);
                r.setNumber(terms::kAugustRule, t.august);
                r.setNumber(terms::kSkipAugust, t.skipAugust);
                if (a.putReported(arc::kCpag, t.code, isam::mode::kWrite, kInstallTermsWrite) !=
                    0) {
                    return false;
                }
            }
            return true;
        });
}

}  // namespace

InstallOutcome CreateInstallation(Session& session, const std::string& year) {
    Archives& a = session.archives();
    const std::string& dir = a.dataDirectory();
    // Creating the register again would free every company's slot: never over an
    // existing installation.
    if (a.exists(a.fileName(arc::kDataz, "", ""))) {
        return InstallOutcome::AlreadyInstalled;
    }
    if (!isam::IsServerLocation(dir)) {
        std::error_code ignored;  // a directory that cannot be made fails the first creation
        std::filesystem::create_directories(dir, ignored);
    }

    bool ok = installRegister(a);
    ok = CreateCompanyArchives(a, companyreg::kSampleCode, year) && ok;
    ok = WriteLastCompany(a.recordManager(), dir, companyreg::kSampleName) && ok;
    ok = installParameters(a) && ok;
    ok = installVatCodes(a) && ok;
    ok = installPaymentTerms(a) && ok;
    ok = a.create(arc::kGg, "", "", setuppos::kInstallAgendaCreate) && ok;
    return ok ? InstallOutcome::Installed : InstallOutcome::Incomplete;
}

}  // namespace zelvo
