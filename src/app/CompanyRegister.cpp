#include "app/CompanyRegister.h"

#include "masterdata/CompanyArchives.h"

namespace zelvo {

const std::vector<std::string>& RegisterCodes() {
    static const std::vector<std::string> kCodes = [] {
        const std::string first = "ABCDEFGHILMNPQRSTUZ";
        const std::string second = "BCDEFGHILMNOPQRSTUVZ";
        std::vector<std::string> codes;
        codes.reserve(first.size() * second.size());
        for (char a : first) {
            for (char b : second) {
                codes.push_back(std::string{a, b});
            }
        }
        return codes;
    }();
    return kCodes;
}

std::int16_t WriteRegisterSlots(Archives& archives) {
    using namespace companyreg;
    // One transaction: 380 records synced once, and a register either rebuilt or not.
    Registration tx(archives, arc::kDataz);
    std::int16_t result = 0;
    for (const std::string& code : RegisterCodes()) {
        archives.clearWriteBuffer(arc::kDataz);
        isam::Record& r = archives.writeBuffer(arc::kDataz);
        const bool sample = code == "AB" || code == "AC";
        r.setText(kCompanyName, code == "AB"   ? kSampleName
                                : code == "AC" ? "Azienda AAAAAAAAA"
                                               : "");
        r.setNumber(kSlotUsed, sample ? 1 : 0);
        r.setNumber(kSlotActive, sample ? 1 : 0);
        result =
            archives.putReported(arc::kDataz, code, isam::mode::kWrite, setuppos::kRegisterWrite);
        if (result != 0) {
            break;
        }
    }
    if (tx.status() == 0 && tx.commit() != 0 && result == 0) {
        result = archives.status();
        archives.report(opn::kWrite, arc::kDataz, setuppos::kRegisterWrite);
    }
    if (result == 0 && archives.flush(arc::kDataz) != 0) {
        result = archives.status();
        archives.report(opn::kWrite, arc::kDataz, setuppos::kRegisterWrite);
    }
    return result;
}

void RebuildRegister(Archives& archives) {
    // Recreating the archive kills every handle on it, so each reference taken by the
    // windows sharing the register is given back first and taken again after.
    int references = 0;
    while (archives.isOpen(arc::kDataz)) {
        archives.close(arc::kDataz, setuppos::kRegisterClose);
        ++references;
    }
    // The plain box below is this step's report, not the archive error report.
    archives.createUnreported(arc::kDataz, archives.company(), archives.year());
    archives.dialogs().message(std::to_string(archives.status()), "Zelvo", Icon::None);
    if (!archives.open(arc::kDataz, setuppos::kRegisterOpen)) {
        return;
    }
    for (int i = 1; i < references; ++i) {
        archives.open(arc::kDataz, setuppos::kRegisterOpen);
    }
    WriteRegisterSlots(archives);
}

void AddCompanyFields(FormSpec& f) {
    using namespace companyreg;
    f.text(kNameControl, "Ragione sociale:", 0, 40);
    f.text(kAddressControl, "Indirizzo:", 1, 40);
    f.text(kCityControl, "Città:", 2, 30);
    f.text(kVatNumberControl, "Partita iva:", 3, 16);
}

void WriteCompanyFields(const FormState& form, isam::Record& r) {
    using namespace companyreg;
    r.setText(kCompanyName, form.text(kNameControl));
    r.setText(kCompanyAddress, form.text(kAddressControl));
    r.setText(kCompanyCity, form.text(kCityControl));
    r.setText(kCompanyVatNumber, form.text(kVatNumberControl));
}

void ShowCompanyFields(const isam::Record& r, FormState& form) {
    using namespace companyreg;
    form.setText(kNameControl, r.text(kCompanyName));
    form.setText(kAddressControl, r.text(kCompanyAddress));
    form.setText(kCityControl, r.text(kCompanyCity));
    form.setText(kVatNumberControl, r.text(kCompanyVatNumber));
}

bool RewriteRegisterRecord(Archives& a, const std::string& code, int position) {
    if (a.putReported(arc::kDataz, code, isam::mode::kRewrite, position) != 0) {
        return false;
    }
    if (a.flush(arc::kDataz) != 0) {
        a.report(opn::kWrite, arc::kDataz, position);
        return false;
    }
    return true;
}

}  // namespace zelvo
