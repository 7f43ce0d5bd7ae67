#pragma once

#include "session/ScreenRegistry.h"

namespace zelvo {

// The year-end screens and the rebuild of running totals.
void RegisterYearendScreens(ScreenRegistry& registry);

}  // namespace zelvo
