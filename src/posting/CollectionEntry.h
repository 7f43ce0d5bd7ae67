#pragma once

#include <string>
#include <vector>

#include "posting/Annullable.h"
#include "posting/PostingEngine.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// The collection of a customer's invoices (MCIF) and its twin, the payment of a supplier's
// (MCPF), with their revisions (MCIF2, MCPF2). The money goes through the cash or bank
// counter-account, each partner line names the invoice it settles, discounts are written
// off, and every grid row marks the open instalment it names as settled by this
// registration. A revision (or an annulment) reopens the instalments the old registration
// had settled, in the same transaction that removes it.
class CollectionEntry : public ScreenLogic, public Annullable {
  public:
    enum class Kind { Collection, Payment };

    static constexpr int kRows = 10;
    static constexpr const char* kGrid = "Griglia";
    static constexpr const char* kRegDate = "TEXT1";
    static constexpr const char* kDocNumber = "text2";
    static constexpr const char* kDocDate = "text3";
    static constexpr const char* kDescription = "text4";
    static constexpr const char* kParty = "text5";
    static constexpr const char* kTotal = "text6";
    static constexpr const char* kCounterAccount = "text7";
    static constexpr const char* kOpenItems = "List1";
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kNewParty = "Command2";
    static constexpr const char* kNewAccount = "Command3";
    static constexpr const char* kCancel = "Command4";
    static constexpr const char* kSchedule = "Command5";
    // The grid's columns.
    static constexpr const char* kInvoiceNumber = "nfatt";
    static constexpr const char* kInvoiceDate = "dfatt";
    static constexpr const char* kAmount = "impfatt";
    static constexpr const char* kDiscount = "abbuono";
    static constexpr const char* kDueDate = "dscad";

    CollectionEntry(Session& session, Kind kind, std::string regNumber = {});

    void load() override;
    void unload() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

    std::int32_t lastPosted() const { return m_lastPosted; }
    // Removes the registration the screen was opened for, reopening what it settled, in one
    // transaction and only if it is still what the screen loaded. True when it was removed.
    bool annul() override;

  private:
    // An instalment as the open-items list shows it.
    struct OpenItem {
        std::string number;  // the invoice number, as the grid takes it
        std::string invoiceDate;
        double amount = 0;
        std::string dueDate;
    };
    // A grid row as posted and settled: dates dd/mm/yyyy.
    struct Row {
        std::string number;
        std::string invoiceDate;
        double amount = 0;
        double discount = 0;
        std::string dueDate;
    };

    bool collection() const { return m_kind == Kind::Collection; }
    int dueArchive() const;
    bool revision() const { return !m_regNumber.empty(); }

    void leaveRegistrationDate();
    void leaveDate(const std::string& control);
    bool leaveParty();
    bool leaveCounterAccount();
    void listOpenItems(const std::string& partyNumber);
    void pickOpenItem();
    void confirm();
    bool checkHeader();
    bool checkRows(std::vector<Row>& rows);
    void post(const std::vector<Row>& rows);
    // Marks (or, with `reopen`, clears) the instalment each row names, inside the open
    // registration: the first one still open (or settled on `regDate`) that matches.
    void settle(const std::vector<Row>& rows, const std::string& partyNumber,
                const std::string& regDate, bool reopen);
    void fillFromRegistration();
    void clearDocument();

    Kind m_kind;
    std::string m_regNumber;
    std::vector<PostingEngine::PostedLine> m_loaded;
    // What the revised registration settled: its rows, partner and registration date.
    std::vector<Row> m_oldRows;
    std::string m_oldParty;
    std::string m_oldRegDate;  // yyyymmdd
    std::vector<OpenItem> m_openItems;
    std::string m_partyNumber;
    std::string m_counterNumber;
    std::int32_t m_lastPosted = 0;
};

}  // namespace zelvo
