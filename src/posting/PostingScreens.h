#pragma once

#include "session/ScreenRegistry.h"

namespace zelvo {

// The journal-entry screens.
void RegisterPostingScreens(ScreenRegistry& registry);

}  // namespace zelvo
