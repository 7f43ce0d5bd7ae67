#pragma once

// Helpers shared by the two halves of InvoiceEntry: the screen (InvoiceEntry.cpp) and the
// posting of the document (InvoicePosting.cpp).

#include <optional>
#include <string>

#include "archive/Archives.h"
#include "archive/Catalog.h"
#include "base/NumberText.h"
#include "masterdata/VatCodeFields.h"
#include "posting/InvoiceEntry.h"
#include "posting/JournalFields.h"

namespace zelvo {

// An amount as a field shows it: whole lire, blank for zero.
inline std::string wholeNumber(double v) {
    return v == 0 ? std::string() : Format(v, "0");
}

// The VAT register a document screen writes, and the fields by which a document is found in
// it: its 5-digit number (the protocol for purchases), section + number, and the section.
// Sales and purchase rows also name the party and the registration and document dates (0
// for receipts).
struct RegisterFields {
    int archive, number, sectionKey, section, account, regDateText, docDateText;
};

inline const RegisterFields& registerFields(InvoiceEntry::Kind kind) {
    static const RegisterFields kSales{arc::kIv,         ivf::kNumber,  ivf::kSectionNumberKey,
                                       ivf::kVatSection, ivf::kAccount, ivf::kRegDateText,
                                       ivf::kDocDateText};
    static const RegisterFields kPurchase{
        arc::kIa,      iaf::kProtocol,    iaf::kSectionProtocolKey, iaf::kVatSection,
        iaf::kAccount, iaf::kRegDateText, iaf::kDocDateText};
    static const RegisterFields kReceipt{
        arc::kIc, icf::kNumber, icf::kSectionNumberKey, icf::kVatSection, 0, 0, 0};
    switch (InvoiceEntry::Base(kind)) {
        case InvoiceEntry::Kind::Sales:
            return kSales;
        case InvoiceEntry::Kind::Receipt:
            return kReceipt;
        default:
            return kPurchase;
    }
}

inline int vatArchive(InvoiceEntry::Kind kind) {
    return registerFields(kind).archive;
}

struct VatCode {
    double rate = 0;
    bool nonDeductible = false;
    std::string description;
};

// The VAT code as the table holds it: the same code in any letter case.
inline std::optional<VatCode> lookUpVatCode(Archives& a, const std::string& code) {
    if (code.empty() || a.getIdentical(arc::kCiva, vatcode::kVatCode, code) != 0) {
        return std::nullopt;
    }
    const isam::Record& r = a.readBuffer(arc::kCiva);
    return VatCode{r.number(vatcode::kVatRate), r.number(vatcode::kNonDeductiblePercent) > 0,
                   r.text(vatcode::kVatDescription)};
}

}  // namespace zelvo
