#include "masterdata/MasterdataScreens.h"

namespace zelvo {

void RegisterMasterdataScreens(ScreenRegistry& /*registry*/) {}

}  // namespace zelvo
