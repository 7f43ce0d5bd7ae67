#pragma once

#include <string>

#include "session/ScreenLogic.h"

namespace zelvo {

// The year before the chosen one.
std::string PreviousYear(const std::string& year);

// A second set of archives of this station, on the same data directory and company as
// `current` but on another year: the other year's archives open under the same numbers
// without closing the chosen year's.
class OtherYearArchives : public Archives {
  public:
    OtherYearArchives(Archives& current, const std::string& year);
};

// Whether the previous year's archives are there; when they are not, the operator is told
// "Archivi anno precedente non presenti".
bool PreviousYearPresent(Session& session);

// Sets the opening balance of every balance-sheet item of the chosen year to the closing
// balance the item has in the previous year, and its closing balance to the opening one
// plus its running totals. An item of the previous year missing from this one is told with
// "Il conto NNNNN non è registrato" and skipped. Each item is changed under its record lock,
// so a posting of another station is never lost. Needs the chosen year's chart open; the
// previous year's chart is opened and closed here. The number of items changed.
int RefreshOpeningBalances(Session& session);

// The screen "agg" ("Aggiornamento saldi iniziali"): RefreshOpeningBalances, refused when the
// previous year is missing or the opening registration has already been posted.
class OpeningBalanceUpdate : public ScreenLogic {
  public:
    static constexpr const char* kFromLabel = "Label1";
    static constexpr const char* kToLabel = "Label2";
    static constexpr const char* kRun = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit OpeningBalanceUpdate(Session& session);
    void load() override;

  private:
    void run();
};

}  // namespace zelvo
