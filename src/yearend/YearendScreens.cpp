#include "yearend/YearendScreens.h"

#include "yearend/NewYearScreen.h"
#include "yearend/OpenItems.h"
#include "yearend/OpeningBalances.h"
#include "yearend/TotalsRebuild.h"
#include "yearend/YearClosing.h"

namespace zelvo {

void RegisterYearendScreens(ScreenRegistry& r) {
    r.add("RICO", ScreenRegistry::make<TotalsRebuild>());
    r.add("APANNO", ScreenRegistry::make<NewYearScreen>());
    r.add("agg", ScreenRegistry::make<OpeningBalanceUpdate>());
    r.add("TRAPA", ScreenRegistry::make<OpenItemTransfer>());
    for (const ClosingKind* kind : {&IncomeClosing(), &BalanceSheetClosing(), &OpeningEntry()}) {
        r.add(kind->screen,
              [kind](Session& s) { return std::make_unique<ClosingScreen>(s, *kind); });
    }
}

}  // namespace zelvo
