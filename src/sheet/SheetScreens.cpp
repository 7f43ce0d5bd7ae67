#include "sheet/SheetScreens.h"

#include "sheet/EecDataSheet.h"
#include "sheet/EecStatementWindow.h"
#include "sheet/SheetWindow.h"

namespace zelvo {

void RegisterSheetScreens(ScreenRegistry& registry) {
    // The spreadsheet window, and the EEC statement that opens in it.
    registry.add("Foglio", ScreenRegistry::make<SheetWindow>());
    registry.add("BILCEE", ScreenRegistry::make<EecStatementWindow>());
    registry.add("REGCEE", ScreenRegistry::make<EecDataSheet>());
}

}  // namespace zelvo
