#include "sheet/SheetScreens.h"

namespace zelvo {

void RegisterSheetScreens(ScreenRegistry& registry) {
    (void)registry;
}

}  // namespace zelvo
