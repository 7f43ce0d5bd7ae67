#include "masterdata/MasterdataScreens.h"

#include "masterdata/ChartAnnulment.h"
#include "masterdata/ChartRegistration.h"

namespace zelvo {

void RegisterMasterdataScreens(ScreenRegistry& registry) {
    registry.add("RPC", ScreenRegistry::make<ChartRegistration>());
    // "anpc1" has no command of its own: "anpc" builds it with the item to delete.
    registry.add("anpc", ScreenRegistry::make<ChartAnnulment>());
}

}  // namespace zelvo
