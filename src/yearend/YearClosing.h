#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "posting/PostingEngine.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// The three registrations that move every balance of one nature against a transit account:
// the closing of the income-statement items ("ce"), of the balance-sheet items ("cp"), and
// the opening registration of the balance-sheet items in the new year ("ap").
struct ClosingKind {
    const char* screen;
    const char* title;
    const char* nature;
    int flag;  // field of the year record set to "n" once it has run
    const char* causal;
    const char* description;
    const char* defaultTransit;
    bool opening;  // posts the opening balances on their own side, not the closing ones
};
const ClosingKind& IncomeClosing();
const ClosingKind& BalanceSheetClosing();
const ClosingKind& OpeningEntry();

// Item numbers of the items the registration moves, in description order: sub-accounts,
// customers, suppliers and agents of the nature whose balance (closing, or opening for the
// opening entry) is not exactly 0. The scan stops past 10 000 items.
std::vector<std::string> ItemsToClose(Archives& archives, const ClosingKind& kind);

// Posts the registration of `items` against `transit` and sets the year record's flag, as one
// transaction under the registration lock: each item's balance is read under that lock, so it
// is the balance at that moment. The registration number; 0 when nothing could be posted.
std::int32_t PostClosing(Session& session, const ClosingKind& kind,
                         const std::vector<std::string>& items, const std::string& transit,
                         const std::string& regDate, const std::string& docNumber);

// The screens "CHE", "CHP" and "BAP": date, transit account and document number; one run per
// year, recorded in the year record.
class ClosingScreen : public ScreenLogic {
  public:
    static constexpr const char* kRegDate = "text1";
    static constexpr const char* kTransit = "text2";
    static constexpr const char* kDocNumber = "text3";
    static constexpr const char* kRun = "Command1";
    static constexpr const char* kCancel = "Command2";

    ClosingScreen(Session& session, const ClosingKind& kind);
    void load() override;
    void unload() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

  private:
    bool leaveDate();
    void run();

    const ClosingKind& m_kind;
};

}  // namespace zelvo
