#pragma once

#include "session/ScreenRegistry.h"

namespace zelvo {

// The utilities' screens: the spreadsheet window and what feeds it, the agenda, the
// finder, the most-used sub-accounts and the help window.
void RegisterSheetScreens(ScreenRegistry& registry);

}  // namespace zelvo
