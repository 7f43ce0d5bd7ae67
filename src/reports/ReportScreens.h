#pragma once

#include "session/ScreenRegistry.h"

namespace zelvo {

// The report screens: STAZ (the company list).
void RegisterReportScreens(ScreenRegistry& registry);

}  // namespace zelvo
