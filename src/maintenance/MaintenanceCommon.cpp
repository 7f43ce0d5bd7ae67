#include "maintenance/MaintenanceCommon.h"

namespace zelvo::maintenance {

std::vector<std::string> CompanyNames(Archives& a) {
    std::vector<std::string> names;
    a.bof(arc::kDataz, kRegisterName);
    while (a.get(arc::kDataz, kRegisterName, isam::op::kNext, "") == 0) {
        const std::string& name = a.readBuffer(arc::kDataz).text(kRegisterName);
        if (!name.empty()) {
            names.push_back(name);
        }
    }
    return names;
}

std::string CompanyCode(Archives& a, const std::string& name) {
    if (name.empty() || a.getIdentical(arc::kDataz, kRegisterName, name) != 0) {
        return {};
    }
    return a.primaryKey(arc::kDataz);
}

std::vector<std::string> CompanyYears(Archives& a, const std::string& code) {
    std::vector<std::string> years;
    for (int y = kFirstYear; y <= kLastYear; ++y) {
        std::string year = std::to_string(y);
        if (a.exists(a.fileName(arc::kCt, code, year))) {
            years.push_back(year);
        }
    }
    return years;
}

void FillCompanies(Archives& archives, FormState& form, const char* companyCombo,
                   const char* yearCombo) {
    form.setItems(companyCombo, CompanyNames(archives));
    form.setItems(yearCombo, {});
}

void FillYears(Archives& archives, FormState& form, const char* companyCombo,
               const char* yearCombo) {
    std::string code = CompanyCode(archives, form.text(companyCombo));
    form.setItems(yearCombo,
                  code.empty() ? std::vector<std::string>{} : CompanyYears(archives, code));
}

namespace {
constexpr int kMainOrder[] = {arc::kDataz, arc::kCiva, arc::kCt, arc::kPc, arc::kPr};
constexpr int kReopenOrder[] = {arc::kCiva, arc::kDataz, arc::kCt, arc::kPc, arc::kPr};
}  // namespace

void CloseMain(Archives& archives, int firstPosition) {
    int position = firstPosition;
    for (int archive : kMainOrder) {
        while (archives.isOpen(archive)) {
            archives.close(archive, position);
        }
        ++position;
    }
}

void OpenMain(Archives& archives, int firstPosition) {
    int position = firstPosition;
    for (int archive : kReopenOrder) {
        // Without a company chosen there is no year to open.
        bool perYear = archive == arc::kCt || archive == arc::kPc || archive == arc::kPr;
        if (!archives.isOpen(archive) && (!perYear || !archives.company().empty())) {
            if (firstPosition > 0) {
                archives.open(archive, position);
            } else {
                archives.open(archive);
            }
        }
        ++position;
    }
}

}  // namespace zelvo::maintenance
