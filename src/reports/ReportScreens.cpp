#include "reports/ReportScreens.h"

#include "reports/AccountCard.h"
#include "reports/AccountCardView.h"
#include "reports/AccountStatement.h"
#include "reports/AccountStatementView.h"
#include "reports/BalanceSheet.h"
#include "reports/CompanyListPrint.h"
#include "reports/GeneralJournal.h"
#include "reports/JournalPrint.h"

namespace zelvo {

void RegisterReportScreens(ScreenRegistry& registry) {
    registry.add("STAZ", ScreenRegistry::make<CompanyListPrint>());
    registry.add("STGC", ScreenRegistry::make<GeneralJournal>());
    registry.add("STMC", ScreenRegistry::make<JournalEntriesPrint>());
    registry.add("STMC1", ScreenRegistry::make<JournalControlPrint>());
    registry.add("visched", ScreenRegistry::make<AccountCardView>());
    registry.add("visched1", [](Session& s) {
        return std::make_unique<AccountCardView>(s, s.values().chosenAccount);
    });
    registry.add("STSCHED", ScreenRegistry::make<AccountCardPrint>());
    registry.add("vec", ScreenRegistry::make<AccountStatementView>());
    registry.add("STEC", ScreenRegistry::make<AccountStatementPrint>());
    registry.add("BIL", ScreenRegistry::make<BalanceSheetPrint>());
}

}  // namespace zelvo
