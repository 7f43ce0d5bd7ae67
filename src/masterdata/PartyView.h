#pragma once

#include <string>
#include <vector>

#include "masterdata/Party.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// The card of a customer ("VISCLI", "Scheda cliente") or supplier ("visforn"): personal data,
// payment terms, balances, notes and the instalments still open in the due-date archives.
// Customers have two lists, rimesse dirette ("List2") and ricevute bancarie ("List3");
// suppliers one ("List2"). Each list has its total under it ("text15", "text16").
class PartyView : public ScreenLogic {
  public:
    PartyView(Session& session, party::Party party);

    static FormSpec makeSpec(party::Party party);

    // Opens the due-date archives of the party's kind.
    void load() override;
    void unload() override;
    // "text17" names the party to show.
    void leave(const std::string& control) override;
    // "Command2" closes.
    void click(const std::string& control) override;
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
    void show(const std::string& number);
    void showList(const char* list, const char* total, const DueList& due);
    void clear();
    std::vector<int> dueArchives() const;

    party::Party m_party;
    std::vector<int> m_opened;
};

}  // namespace zelvo
