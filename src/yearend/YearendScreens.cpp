#include "yearend/YearendScreens.h"

#include "yearend/TotalsRebuild.h"

namespace zelvo {

void RegisterYearendScreens(ScreenRegistry& r) {
    r.add("RICO", ScreenRegistry::make<TotalsRebuild>());
}

}  // namespace zelvo
