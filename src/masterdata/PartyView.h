#pragma once

#include <string>
#include <vector>

#include "masterdata/Party.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// The card of a customer ("VISCLI", "Scheda cliente") or supplier ("visforn"): personal data,
// payment terms, balances, notes and the instalments still open in the due-date archives.
// Customers have two lists, rimesse dirette and ricevute bancarie; suppliers the first only.
// Each list has its total under it. The party is named in its account field; "&Annulla"
// closes.
class PartyView : public ScreenLogic {
  public:
    static constexpr const char* kDebit = "text10";
    static constexpr const char* kCredit = "text11";
    static constexpr const char* kClosing = "text12";
    static constexpr const char* kRemittances = "List2";
    static constexpr const char* kRemittancesTotal = "text15";
    // Customers only.
    static constexpr const char* kBankReceipts = "List3";
    static constexpr const char* kBankReceiptsTotal = "text16";
    static constexpr const char* kCancel = "Command2";

    PartyView(Session& session, party::Party party);

    static FormSpec makeSpec(party::Party party);

    // Opens the due-date archives of the party's kind.
    void load() override;
    void unload() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

    // The heading of every due-date list.
    static constexpr const char* kDueHeading = "N. e data fatt.            Importo Scadenza";

    // Report positions.
    static constexpr int kDueRead = 3441;

  private:
    struct DueList {
        std::vector<std::string> lines;
        double total = 0;
    };
    // The instalments of the party read on `keyField` from its number on while the party
    // number matches, those that `open` accepts.
    DueList readDueDates(int archive, int keyField, const std::string& number,
                         bool (*open)(const isam::Record&, const std::string& today));
    void leaveParty();
    void show(const std::string& number);
    void showList(const char* list, const char* total, const DueList& due);
    void clear();
    std::vector<int> dueArchives() const;

    party::Party m_party;
    std::vector<int> m_opened;
};

}  // namespace zelvo
