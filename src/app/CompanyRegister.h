#pragma once

#include <string>
#include <vector>

#include "archive/Archives.h"
#include "session/Form.h"

namespace zelvo {

// Field numbers of the company register record (archive "dataz"); the primary key is the
// company code. Key field 1 is the name.
namespace companyreg {
inline constexpr int kCompanyName = 1;  // empty in a free slot
inline constexpr int kCompanyAddress = 2;
inline constexpr int kCompanyCity = 3;
inline constexpr int kCompanyVatNumber = 4;
inline constexpr int kSlotUsed = 5;    // 1 once the slot has held a company
inline constexpr int kSlotActive = 6;  // 1 while a company occupies it
inline constexpr int kCompanyExtra = 7;

inline constexpr int kSlots = 380;
// The controls of the company fields (AddCompanyFields).
inline constexpr const char* kNameControl = "text1";
inline constexpr const char* kAddressControl = "text2";
inline constexpr const char* kCityControl = "text3";
inline constexpr const char* kVatNumberControl = "text4";
inline constexpr const char* kSampleCode = "AB";
inline constexpr const char* kSampleName = "Azienda di prova";
}  // namespace companyreg

// The 380 company codes in register order: "AB", "AC" ... "AZ", "BB" ... "ZZ". The first
// letter runs through "ABCDEFGHILMNPQRSTUZ", the second through "BCDEFGHILMNOPQRSTUVZ".
const std::vector<std::string>& RegisterCodes();

// Writes the 380 slots into the open register with mode 0: "AB" "Azienda di prova" and
// "AC" "Azienda AAAAAAAAA" with both flags 1, every other slot with an empty name and both
// flags 0. Each write is reported; the first failure ends the writing. Returns the status
// of the last call (0 when all went well).
std::int16_t WriteRegisterSlots(Archives& archives);

// The selection screen's rebuild of the register: close it, create it again, show the
// creation status in a plain box titled "Zelvo" whose text is the status number ("0" on
// success) - the operator sees at once whether the rebuild took, without the archive
// error report on top -, open it and write the 380 slots. The register stays open.
void RebuildRegister(Archives& archives);

// The company's name, address, city and VAT number as `text1` to `text4` on rows 0 to 3:
// creating a company and changing its data show the same fields.
void AddCompanyFields(FormSpec& layout);
// The four fields into a register record, and back. Texts are taken exactly as typed.
void WriteCompanyFields(const FormState& form, isam::Record& record);
void ShowCompanyFields(const isam::Record& record, FormState& form);
// Rewrites the register record `code` from the write buffer and flushes the register;
// a failure of either is reported at `position`. True when both succeeded.
bool RewriteRegisterRecord(Archives& archives, const std::string& code, int position);

}  // namespace zelvo
