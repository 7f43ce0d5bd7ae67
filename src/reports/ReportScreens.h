#pragma once

#include "session/ScreenRegistry.h"

namespace zelvo {

// The report screens: the company list, the journal prints, the account card.
void RegisterReportScreens(ScreenRegistry& registry);

}  // namespace zelvo
