#pragma once

#include <string>
#include <vector>

#include "session/Form.h"
#include "session/Session.h"

namespace zelvo::maintenance {

// Field numbers of the company register record that the maintenance screens read and
// free; key field 1 is the name.
inline constexpr int kRegisterName = 1;
inline constexpr int kRegisterSlotUsed = 5;
inline constexpr int kRegisterSlotActive = 6;

// Years offered for a company: those of 1990 to 2030 whose year record exists.
inline constexpr int kFirstYear = 1990;
inline constexpr int kLastYear = 2030;

// The company names of the register, in name order, free slots left out.
std::vector<std::string> CompanyNames(Archives& archives);
// The code of the company with this name; empty when the register has none.
std::string CompanyCode(Archives& archives, const std::string& name);
// The years of the company whose year record exists.
std::vector<std::string> CompanyYears(Archives& archives, const std::string& code);

// The company and year combos of a maintenance screen, filled as in the selection window.
void FillCompanies(Archives& archives, FormState& form, const char* companyCombo,
                   const char* yearCombo);
void FillYears(Archives& archives, FormState& form, const char* companyCombo,
               const char* yearCombo);

// The main archives (company register, VAT codes, year record, chart, counters) closed
// before work on whole files and opened again after it, each reported at its position
// from `firstPosition` on (opened at the archives' usual positions when it is 0).
void CloseMain(Archives& archives, int firstPosition);
void OpenMain(Archives& archives, int firstPosition);

}  // namespace zelvo::maintenance
