#pragma once

#include "session/ScreenRegistry.h"

namespace zelvo {

// The screens of the "Scadenzari" menu.
void RegisterDueDateScreens(ScreenRegistry& registry);

}  // namespace zelvo
