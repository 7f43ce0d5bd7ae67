#pragma once

#include <string>

#include "masterdata/Party.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// The registration ("RCLIENTE", "regforn") and the variation ("VARCLI", "varforn") of a
// customer's or supplier's card: the personal data on the tab "Anagrafica", the notes on the
// tab "Note". The variation first names the party in its account field.
//
// Province and tax code are upper-cased when left; the registration refuses a name already
// in the chart when the name is left, the variation reads the party named. A payment terms
// of the list is chosen by double click. "&Registra" registers, "&Annulla" closes.
class PartyEntry : public ScreenLogic {
  public:
    enum class Mode { Registration, Variation };

    // The registered payment terms, right under the field that shows the chosen ones.
    static constexpr const char* kTermsList = "List1";
    static constexpr const char* kRegister = "Command1";
    static constexpr const char* kCancel = "Command2";

    PartyEntry(Session& session, party::Party party, Mode mode);

    static FormSpec makeSpec(party::Party party, Mode mode);

    // Fills the payment-terms list.
    void load() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

    // Report positions.
    static constexpr int kRecordWrite = 3431;
    static constexpr int kCommit = 3432;
    static constexpr int kReread = 3433;
    static constexpr int kRewrite = 3434;

  private:
    void upperCase(const char* control);
    void leaveName();
    void leaveTerms();
    void pickTerms();
    // Whether no chart item has the name typed; the refusal is shown.
    bool nameFree();
    // Shows the party named in the account field, when it is one of this screen's kind.
    void showParty();
    void registerParty();
    void varyParty();
    // The edited fields into a record: the personal data, notes and opening balance.
    void store(isam::Record& r) const;
    void clearScreen();

    party::Party m_party;
    Mode m_mode;
    // The item number of the party being varied; empty until one is named.
    std::string m_number;
    // The payment terms last chosen or read: what the terms field goes back to when typed
    // wrong.
    std::string m_terms;
};

}  // namespace zelvo
