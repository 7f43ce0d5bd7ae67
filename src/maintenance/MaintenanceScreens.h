#pragma once

#include "session/ScreenRegistry.h"

namespace zelvo {

// VALL1, VALL2, VALL3, cancella, BACK1, BACK2, COPIAPC.
void RegisterMaintenanceScreens(ScreenRegistry& registry);

}  // namespace zelvo
