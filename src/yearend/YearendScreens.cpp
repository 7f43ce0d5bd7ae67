#include "yearend/YearendScreens.h"

#include "yearend/NewYearScreen.h"
#include "yearend/OpeningBalances.h"
#include "yearend/TotalsRebuild.h"

namespace zelvo {

void RegisterYearendScreens(ScreenRegistry& r) {
    r.add("RICO", ScreenRegistry::make<TotalsRebuild>());
    r.add("APANNO", ScreenRegistry::make<NewYearScreen>());
    r.add("agg", ScreenRegistry::make<OpeningBalanceUpdate>());
}

}  // namespace zelvo
