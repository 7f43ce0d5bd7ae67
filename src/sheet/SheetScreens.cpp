#include "sheet/SheetScreens.h"

#include "sheet/Agenda.h"
#include "sheet/CalculatorScreen.h"
#include "sheet/FavouriteAccounts.h"
#include "sheet/Finder.h"

namespace zelvo {

void RegisterSheetScreens(ScreenRegistry& registry) {
    // The utilities of "Va&rie", the toolbar and "P&iano conti".
    registry.add("AGENDA", ScreenRegistry::make<Agenda>());
    registry.add("TROVA", ScreenRegistry::make<Finder>());
    registry.add("REGFACIL", ScreenRegistry::make<FavouriteAccounts>());
    registry.add("CALC", ScreenRegistry::make<CalculatorScreen>());
}

}  // namespace zelvo
