#pragma once

#include <array>
#include <string>

#include "posting/EuroConversion.h"
#include "posting/PostingEngine.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// The invoice screens: sales (mcfv) and purchase (MCFA), the purchase twin in euro (MCFA3),
// and the revision twins of both (mcfv2, MCFA2). One header, a grid of nine VAT lines, the
// VAT computed per line, the checks in their order and one posting shared by all of them.
class InvoiceEntry : public ScreenLogic {
  public:
    enum class Kind { Sales, Purchase };
    enum class Variant { Lire, Euro, Revision };

    static constexpr int kRows = 9;
    static constexpr const char* kGrid = "Griglia";
    static constexpr const char* kRegDate = "TEXT1";
    static constexpr const char* kDocNumber = "text2";
    static constexpr const char* kDocDate = "text3";
    static constexpr const char* kDescription = "text4";
    static constexpr const char* kParty = "text5";  // "Cliente:" or "Fornitore:"
    static constexpr const char* kTotal = "text6";
    static constexpr const char* kSalesSection = "text7";
    static constexpr const char* kProtocol = "text7";  // purchases
    static constexpr const char* kPurchaseSection = "text8";
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

    InvoiceEntry(Session& session, Kind kind, Variant variant, std::string regNumber = {});

    void load() override;
    void unload() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

    std::int32_t lastPosted() const { return m_lastPosted; }

  private:
    struct Row {
        std::string account;  // item number of the counter-account
        double taxable = 0;
        std::string vatCode;
        double vat = 0;
        double rate = 0;
        bool nonDeductible = false;
    };

    bool sales() const { return m_kind == Kind::Sales; }
    const char* sectionField() const { return sales() ? kSalesSection : kPurchaseSection; }
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
    bool invoiceNumberTaken(const std::string& number) const;
    bool protocolTaken(const std::string& protocol, bool inSection) const;
    void proposeProtocol();
    void confirm();
    bool checkHeader();
    bool checkRows(std::array<Row, kRows>& rows);
    bool allocateProtocol(std::string& protocol);
    void post(const std::array<Row, kRows>& rows, const std::string& protocol);
    void removeOldDocument();
    void clearDocument();
    void fillFromRegistration();

    Kind m_kind;
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
