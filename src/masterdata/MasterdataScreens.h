#pragma once

#include "session/ScreenRegistry.h"

namespace zelvo {

// The screens of the chart of accounts, customers and suppliers, VAT codes and payment terms.
void RegisterMasterdataScreens(ScreenRegistry& registry);

}  // namespace zelvo
