#pragma once

#include <array>
#include <string>

#include "posting/Annullable.h"
#include "posting/EuroConversion.h"
#include "posting/PostingEngine.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// The VAT document screens: sales (mcfv) and purchase (MCFA) invoices, the purchase twin in
// euro (MCFA3), cash receipts (mcco), the customer and supplier credit notes (mccv, mcca,
// mcca3), and the revision twins (mcfv2, MCFA2, mcco2, mccv2, mcca2). One header, a grid of
// nine VAT lines, the VAT computed per line, the checks in their order and one posting shared
// by all of them. A credit note is its invoice mirrored: the same register, every side
// swapped, the register amounts negated, and the invoice it corrects named in its party
// line. Purchase protocols and receipt numbers are allocated per register section under the
// same race rule.
class InvoiceEntry : public ScreenLogic, public Annullable {
  public:
    enum class Kind { Sales, Purchase, Receipt, CustomerCredit, SupplierCredit };
    enum class Variant { Lire, Euro, Revision };

    static constexpr int kRows = 9;
    static constexpr const char* kGrid = "Griglia";
    static constexpr const char* kRegDate = "TEXT1";
    static constexpr const char* kDocNumber = "text2";
    static constexpr const char* kDocDate = "text3";
    static constexpr const char* kDescription = "text4";
    static constexpr const char* kParty = "text5";  // "Cliente:", "Fornitore:", "Sottoconto:"
    static constexpr const char* kTotal = "text6";
    static constexpr const char* kSalesSection = "text7";
    static constexpr const char* kProtocol = "text7";  // purchases
    static constexpr const char* kPurchaseSection = "text8";
    // "Riferimento partita": the invoice a credit note corrects, number and date.
    static constexpr const char* kCustomerRefNumber = "text7";
    static constexpr const char* kCustomerRefDate = "text8";
    static constexpr const char* kCustomerCreditSection = "text9";
    static constexpr const char* kSupplierRefNumber = "text9";
    static constexpr const char* kSupplierRefDate = "text10";
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kNewParty = "Command2";
    // "Nuovo sottoconto", or "Converti in Lire" on the euro twin.
    static constexpr const char* kNewAccountOrConvert = "Command3";
    static constexpr const char* kCancel = "Command4";
    // The grid's columns.
    static constexpr const char* kCounterAccount = "controp";
    static constexpr const char* kTaxable = "imponibile";
    static constexpr const char* kVatCode = "codiva";
    static constexpr const char* kVat = "importoiva";

    // The register side: a credit note's is its invoice's.
    static Kind Base(Kind kind);

    InvoiceEntry(Session& session, Kind kind, Variant variant, std::string regNumber = {});

    void load() override;
    void unload() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

    std::int32_t lastPosted() const { return m_lastPosted; }
    bool annul() override;

  private:
    struct Row {
        std::string account;  // item number of the counter-account
        double taxable = 0;
        std::string vatCode;
        double vat = 0;
        double rate = 0;
        bool nonDeductible = false;
    };

    bool sales() const { return m_base == Kind::Sales; }
    bool receipt() const { return m_base == Kind::Receipt; }
    bool creditNote() const { return m_kind != m_base; }
    const char* sectionField() const {
        return m_kind == Kind::CustomerCredit ? kCustomerCreditSection
               : m_base == Kind::Purchase     ? kPurchaseSection
                                              : kSalesSection;
    }
    const char* refNumberField() const { return sales() ? kCustomerRefNumber : kSupplierRefNumber; }
    const char* refDateField() const { return sales() ? kCustomerRefDate : kSupplierRefDate; }
    // The number allocated per section under its counter's lock: the purchase protocol or
    // the receipt's document number; sales invoices have none.
    const char* allocatedField() const { return receipt() ? kDocNumber : kProtocol; }
    std::string allocationCounter() const { return (receipt() ? "co" : "prot") + section(); }
    // The 5-digit number the revised document holds in its register.
    const std::string& oldRegisterNumber() const {
        return m_base == Kind::Purchase ? m_oldProtocol : m_oldNumber;
    }
    std::string section() const;
    double amount(const std::string& control) const;

    void registerEvents();
    void leaveRegistrationDate();
    void leaveDocumentDate();
    void leaveDocNumber();
    void leaveProtocol();
    void leaveSection();
    void pressNewAccountOrConvert();
    bool leavePartyField();
    bool leaveCounterAccount(int row);
    bool leaveVatCode(int row);
    bool extractVat(int row);
    // Whether another document holds `number` in the screen's VAT register, in the chosen
    // section or in any.
    bool numberTaken(const std::string& number, bool inSection) const;
    void proposeNumber();
    void confirm();
    bool checkDates();
    bool checkParty();
    bool checkNumber();
    bool checkReference();
    bool checkCreditNote();
    bool checkHeader();
    bool checkRows(std::array<Row, kRows>& rows);
    bool allocateNumber(std::string& number);
    void post(const std::array<Row, kRows>& rows, const std::string& allocated);
    void addRowRecords(JournalEntry& e, const Row& r, int row, const std::string& allocated);
    void addVatLines(JournalEntry& e, double deductible, double nonDeductible);
    void removeOldDocument();
    void clearDocument();
    void fillFromRegistration();

    Kind m_kind;
    Kind m_base;
    Variant m_variant;
    std::string m_regNumber;  // the registration under revision
    // Its lines as the screen read them: the confirm revises only that registration.
    std::vector<PostingEngine::PostedLine> m_loaded;
    // What the revised registration was, so that its own number, protocol and rows do not
    // count as taken by another document.
    std::string m_oldNumber;
    std::string m_oldProtocol;
    std::string m_oldSection;
    std::string m_oldParty;
    std::string m_oldDocNumber;
    std::string m_oldDocDate;
    EuroConversion m_euro;
    std::int32_t m_lastPosted = 0;
    // The party as the last check of its field found it, under the name typed then: the
    // confirm posts to it without looking it up again.
    std::string m_partyName;
    std::string m_partyNumber;
};

}  // namespace zelvo
