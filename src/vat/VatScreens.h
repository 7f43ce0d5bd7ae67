#pragma once

#include "session/ScreenRegistry.h"

namespace zelvo {

// The screens of the Iva menu and the book counters.
void RegisterVatScreens(ScreenRegistry& registry);

}  // namespace zelvo
