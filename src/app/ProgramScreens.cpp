#include "app/ProgramScreens.h"

#include "app/AboutBox.h"
#include "app/CompanyCreation.h"
#include "app/CompanyDataScreen.h"
#include "app/CompanySelection.h"
#include "app/ParametersScreen.h"
#include "duedates/DueDateScreens.h"
#include "maintenance/MaintenanceScreens.h"
#include "masterdata/MasterdataScreens.h"
#include "posting/PostingScreens.h"
#include "reports/ReportScreens.h"
#include "sheet/SheetScreens.h"
#include "vat/AnnualListScreen.h"
#include "vat/VatScreens.h"
#include "yearend/YearendScreens.h"

namespace zelvo {

namespace {

ScreenRegistry build() {
    ScreenRegistry r;
    r.add("SCELTA", ScreenRegistry::make<CompanySelection>());
    r.add("APRIAZ", ScreenRegistry::make<CompanyCreation>());
    r.add("primo", ScreenRegistry::make<AboutBox>());
    r.add("Parges", ScreenRegistry::make<ParametersScreen>());
    r.add("REGDATI", ScreenRegistry::make<CompanyDataScreen>());
    RegisterMasterdataScreens(r);
    RegisterReportScreens(r);
    RegisterPostingScreens(r);
    RegisterMaintenanceScreens(r);
    RegisterDueDateScreens(r);
    RegisterAnnualListScreens(r);
    RegisterYearendScreens(r);
    RegisterVatScreens(r);
    RegisterSheetScreens(r);
    return r;
}

}  // namespace

const ScreenRegistry& ProgramScreens() {
    static const ScreenRegistry kScreens = build();
    return kScreens;
}

}  // namespace zelvo
