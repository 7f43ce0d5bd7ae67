#pragma once

// The page convention moved to the screen framework, so that the reports of the master data
// (below this library) follow it too.
#include "session/ReportPager.h"
