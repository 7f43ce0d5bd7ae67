#include "app/ProgramScreens.h"

#include "app/AboutBox.h"
#include "app/CompanyCreation.h"
#include "app/CompanySelection.h"
#include "masterdata/MasterdataScreens.h"

namespace zelvo {

namespace {

ScreenRegistry build() {
    ScreenRegistry r;
    r.add("SCELTA", ScreenRegistry::make<CompanySelection>());
    r.add("APRIAZ", ScreenRegistry::make<CompanyCreation>());
    r.add("primo", ScreenRegistry::make<AboutBox>());
    RegisterMasterdataScreens(r);
    return r;
}

}  // namespace

const ScreenRegistry& ProgramScreens() {
    static const ScreenRegistry kScreens = build();
    return kScreens;
}

}  // namespace zelvo
