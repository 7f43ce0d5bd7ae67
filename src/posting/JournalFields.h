#pragma once

namespace zelvo {

// Field numbers of the records every posting writes.
namespace mcf {  // MovementLine, archive "mc"
inline constexpr int kRegDate = 1;
inline constexpr int kDocNumber = 2;
inline constexpr int kDocDate = 3;
inline constexpr int kProtocol = 4;
inline constexpr int kAccount = 5;
inline constexpr int kDebit = 6;
inline constexpr int kCredit = 7;
inline constexpr int kRegNumber = 8;
inline constexpr int kDescription = 9;
inline constexpr int kAccountDocKey = 10;
inline constexpr int kAccountDateKey = 11;
inline constexpr int kDateDocKey = 12;
inline constexpr int kCausal = 13;
inline constexpr int kVatSection = 14;
inline constexpr int kOriginFlag = 15;
inline constexpr int kItemRef = 16;
}  // namespace mcf

namespace ttf {  // EntryDetailRow, archive "tt"
inline constexpr int kRegNumber = 1;
inline constexpr int kCell1 = 2;  // counter-account, or the account of a generic movement
inline constexpr int kCell2 = 3;  // taxable text, or the additional description
inline constexpr int kCell3 = 4;  // VAT code, or the debit
inline constexpr int kCell4 = 5;  // VAT text, or the credit
}  // namespace ttf

namespace ivf {  // SalesVatRow, archive "iv"
inline constexpr int kMonth = 1;
inline constexpr int kNumber = 2;
inline constexpr int kDocDateText = 3;
inline constexpr int kAccount = 4;
inline constexpr int kTaxable = 5;
inline constexpr int kVatCode = 6;
inline constexpr int kVatRateText = 7;
inline constexpr int kVat = 8;
inline constexpr int kVatSection = 9;
inline constexpr int kSectionNumberKey = 10;
inline constexpr int kRegDateText = 11;
}  // namespace ivf

namespace iaf {  // PurchaseVatRow, archive "ia"
inline constexpr int kMonth = 1;
inline constexpr int kProtocol = 2;
inline constexpr int kDocNumber = 3;
inline constexpr int kDocDateText = 4;
inline constexpr int kAccount = 5;
inline constexpr int kTaxable = 6;
inline constexpr int kVatCode = 7;
inline constexpr int kVatRateText = 8;
inline constexpr int kVat = 9;
inline constexpr int kVatSection = 10;
inline constexpr int kSectionProtocolKey = 11;
inline constexpr int kRegDateText = 12;
}  // namespace iaf

namespace icf {  // ReceiptVatRow, archive "ic"
inline constexpr int kMonth = 1;
inline constexpr int kNumber = 2;
inline constexpr int kDocDate = 3;
inline constexpr int kTaxable = 4;
inline constexpr int kVatCode = 5;
inline constexpr int kVatRateText = 6;
inline constexpr int kVat = 7;
inline constexpr int kVatSection = 9;
inline constexpr int kSectionNumberKey = 10;
}  // namespace icf

// The fields the sales and purchase VAT rows share, by their place in each: sales rows carry
// the invoice number where purchase rows carry the protocol (and the supplier's number in a
// field of its own).
struct VatRowFields {
    int month, number, docDateText, account, taxable, vatCode, vatRateText, vat, vatSection,
        sectionKey, regDateText;
};
inline constexpr VatRowFields kSalesRowFields{
    ivf::kMonth,      ivf::kNumber,           ivf::kDocDateText, ivf::kAccount,
    ivf::kTaxable,    ivf::kVatCode,          ivf::kVatRateText, ivf::kVat,
    ivf::kVatSection, ivf::kSectionNumberKey, ivf::kRegDateText};
inline constexpr VatRowFields kPurchaseRowFields{iaf::kMonth,       iaf::kProtocol,
                                                 iaf::kDocDateText, iaf::kAccount,
                                                 iaf::kTaxable,     iaf::kVatCode,
                                                 iaf::kVatRateText, iaf::kVat,
                                                 iaf::kVatSection,  iaf::kSectionProtocolKey,
                                                 iaf::kRegDateText};

namespace prf {  // CounterEntry, archive "pr"
inline constexpr int kValue = 1;
inline constexpr int kText = 2;
}  // namespace prf

}  // namespace zelvo
