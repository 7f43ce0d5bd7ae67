#include "reports/ReportScreens.h"

#include "reports/CompanyListPrint.h"

namespace zelvo {

void RegisterReportScreens(ScreenRegistry& registry) {
    registry.add("STAZ", ScreenRegistry::make<CompanyListPrint>());
}

}  // namespace zelvo
