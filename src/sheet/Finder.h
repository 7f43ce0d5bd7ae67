#pragma once

#include <vector>

#include "session/ScreenLogic.h"
#include "sheet/PartyFinder.h"

namespace zelvo {

// TROVA: finds customers and suppliers by any part of their name, city, VAT number or tax
// code, and opens the card (visched1) or the statement (vec) of the one chosen. A double
// click on a result opens its card.
class Finder : public ScreenLogic {
  public:
    static constexpr const char* kQuery = "text1";
    static constexpr const char* kSearch = "Command1";
    static constexpr const char* kResults = "List1";
    static constexpr const char* kCard = "Command2";
    static constexpr const char* kStatement = "Command3";
    static constexpr const char* kClose = "Command4";

    explicit Finder(Session& session);

  private:
    void search();
    const FoundParty* chosen();
    void openCard();
    void openStatement();

    std::vector<FoundParty> m_found;
};

}  // namespace zelvo
