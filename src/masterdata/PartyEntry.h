#pragma once

#include <string>

#include "masterdata/Party.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// The registration ("RCLIENTE", "regforn") and the variation ("VARCLI", "varforn") of a
// customer's or supplier's card: the personal data on the tab "Anagrafica", the notes on the
// tab "Note". The variation first names the party in "text17".
class PartyEntry : public ScreenLogic {
  public:
    enum class Mode { Registration, Variation };

    PartyEntry(Session& session, party::Party party, Mode mode);

    static FormSpec makeSpec(party::Party party, Mode mode);

    // Fills the payment-terms list.
    void load() override;
    // Upper-cases province and tax code; the registration refuses a name already in the
    // chart, the variation reads the party named in "text17".
    void leave(const std::string& control) override;
    // A payment terms of "List1" is chosen by double click.
    void doubleClick(const std::string& control) override;
    // "Command1" registers, "Command2" closes.
    void click(const std::string& control) override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

    // Report positions.
    static constexpr int kRecordWrite = 3431;
    static constexpr int kCommit = 3432;
    static constexpr int kReread = 3433;
    static constexpr int kRewrite = 3434;

  private:
    void leaveTerms();
    // Shows the party named in "text17", when it is one of this screen's kind.
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
    // The payment terms last chosen or read: what "text8" goes back to when typed wrong.
    std::string m_terms;
};

}  // namespace zelvo
