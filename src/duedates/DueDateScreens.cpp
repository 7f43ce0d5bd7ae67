#include "duedates/DueDateScreens.h"

#include "duedates/DueDatePrint.h"
#include "duedates/DueDateRegistration.h"
#include "duedates/DueDateVariation.h"
#include "duedates/DueDateView.h"

namespace zelvo {

void RegisterDueDateScreens(ScreenRegistry& registry) {
    registry.add("REGSCA", ScreenRegistry::make<DueDateRegistration>());
    registry.add("VARSCA", ScreenRegistry::make<DueDateVariation>());
    registry.add("VISSCA", ScreenRegistry::make<DueDateView>());
    registry.add("STSCAD", ScreenRegistry::make<DueDatePrint>());
}

}  // namespace zelvo
