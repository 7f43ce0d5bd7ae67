#include "vat/VatScreens.h"

#include "vat/BookCounters.h"
#include "vat/ManualVat.h"
#include "vat/SettlementScreen.h"
#include "vat/VatBalanceScreens.h"
#include "vat/VatRegister.h"
#include "vat/VatSituation.h"

namespace zelvo {

namespace {

template <VatBook book>
ScreenRegistry::Factory registerScreen() {
    return [](Session& session) { return std::make_unique<VatRegisterPrint>(session, book); };
}

template <SettlementScreen::Kind kind>
ScreenRegistry::Factory settlementScreen() {
    return [](Session& session) { return std::make_unique<SettlementScreen>(session, kind); };
}

}  // namespace

void RegisterVatScreens(ScreenRegistry& registry) {
    registry.add("STRIV", registerScreen<VatBook::Sales>());
    registry.add("STRIA", registerScreen<VatBook::Purchases>());
    registry.add("STRIC", registerScreen<VatBook::Receipts>());
    registry.add("LIQIVA", settlementScreen<SettlementScreen::Kind::Periodic>());
    registry.add("LIQIVA1", settlementScreen<SettlementScreen::Kind::Annual>());
    registry.add("RMIVA", ScreenRegistry::make<ManualVatEntry>());
    registry.add("ANNRIVA", ScreenRegistry::make<VatRowAnnulment>());
    registry.add("VIVA", ScreenRegistry::make<VatSituation>());
    registry.add("RIEPCORR", ScreenRegistry::make<ReceiptsSummary>());
    registry.add("REGCRED", ScreenRegistry::make<PreviousYearCredit>());
    registry.add("varsi", ScreenRegistry::make<BalanceChange>());
    registry.add("PROGRES", ScreenRegistry::make<BookCounters>());
    registry.add("LIQIVASR", settlementScreen<SettlementScreen::Kind::SingleRegister>());
}

}  // namespace zelvo
