#pragma once

#include "session/ScreenRegistry.h"

namespace zelvo {

// Every screen of the program, by the name its command opens.
const ScreenRegistry& ProgramScreens();

}  // namespace zelvo
