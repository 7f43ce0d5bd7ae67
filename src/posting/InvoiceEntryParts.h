#pragma once

// Helpers shared by the two halves of InvoiceEntry: the screen (InvoiceEntry.cpp) and the
// posting of the document (InvoicePosting.cpp).

#include <string>

#include "archive/Catalog.h"
#include "base/NumberText.h"
#include "posting/InvoiceEntry.h"
#include "posting/JournalFields.h"

namespace zelvo {

// An amount as a field shows it: whole lire, blank for zero.
inline std::string wholeNumber(double v) {
    return v == 0 ? std::string() : Format(v, "0");
}

// The VAT register a document screen writes, and the fields by which a document is found in
// it: its 5-digit number (the protocol for purchases), section + number, and the section.
struct RegisterFields {
    int archive, number, sectionKey, section;
};

inline const RegisterFields& registerFields(InvoiceEntry::Kind kind) {
    static const RegisterFields kSales{arc::kIv, ivf::kNumber, ivf::kSectionNumberKey,
                                       ivf::kVatSection};
    static const RegisterFields kPurchase{arc::kIa, iaf::kProtocol, iaf::kSectionProtocolKey,
                                          iaf::kVatSection};
    static const RegisterFields kReceipt{arc::kIc, icf::kNumber, icf::kSectionNumberKey,
                                         icf::kVatSection};
    switch (kind) {
        case InvoiceEntry::Kind::Sales:
            return kSales;
        case InvoiceEntry::Kind::Receipt:
            return kReceipt;
        case InvoiceEntry::Kind::Purchase:
            break;
    }
    return kPurchase;
}

inline int vatArchive(InvoiceEntry::Kind kind) {
    return registerFields(kind).archive;
}

}  // namespace zelvo
