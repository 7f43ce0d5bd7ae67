#pragma once

#include <optional>
#include <string>
#include <vector>

#include "duedates/DueDateBooks.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// REGSCA, "Registrazione scadenzario": one instalment typed by hand into a due-date archive.
// `Option1` "Clienti" / `Option2` "Fornitori" name the party's side (and the label of its
// field), `Option3` "Rimesse dirette" / `Option4` "Ricevute bancarie" the kind of payment:
// a customer's instalment goes to the archive of its kind, a supplier's to the suppliers'
// archive with the kind in its field 8. "&Registra" adds it under the archive's counter in
// one registration and clears the amount and due date for the next one.
class DueDateRegistration : public ScreenLogic {
  public:
    static constexpr const char* kCustomers = "Option1";
    static constexpr const char* kSuppliers = "Option2";
    static constexpr const char* kRemittances = "Option3";
    static constexpr const char* kBankReceipts = "Option4";
    static constexpr const char* kPartyLabel = "Label1";
    static constexpr const char* kParty = "text1";
    static constexpr const char* kInvoiceNumber = "text2";
    static constexpr const char* kInvoiceDate = "text3";
    static constexpr const char* kAmount = "text4";
    static constexpr const char* kDueDate = "text5";
    static constexpr const char* kRegister = "Command1";
    static constexpr const char* kCancel = "Command2";

    static constexpr int kWritePosition = 7201;
    static constexpr int kCommitPosition = 7202;

    explicit DueDateRegistration(Session& session);
    static FormSpec layout();

    void load() override;
    void unload() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

  private:
    bool suppliers();
    // The archive the options choose.
    duedates::Book side();
    std::optional<std::string> checkedParty();
    // A date that must be given: the message when it is not, the date check when it is.
    bool requiredDate(const char* control, const char* missing, std::string& date);
    bool checkFields(std::string& invoiceDate, std::string& dueDate);
    void registerInstalment();
    bool write(const std::string& partyNumber, const std::string& invoiceDate,
               const std::string& dueDate);

    std::vector<int> m_opened;
};

}  // namespace zelvo
