#include "masterdata/MasterdataScreens.h"

#include "masterdata/ChartAnnulment.h"
#include "masterdata/ChartPrint.h"
#include "masterdata/ChartRegistration.h"
#include "masterdata/ChartTree.h"
#include "masterdata/ChartVariation.h"
#include "masterdata/ChartView.h"
#include "masterdata/PartyEntry.h"
#include "masterdata/PartyView.h"
#include "masterdata/PaymentTermsScreen.h"
#include "masterdata/VatCodeTable.h"

namespace zelvo {

void RegisterMasterdataScreens(ScreenRegistry& registry) {
    registry.add("RPC", ScreenRegistry::make<ChartRegistration>());
    // "anpc1" has no command of its own: "anpc" builds it with the item to delete.
    registry.add("anpc", ScreenRegistry::make<ChartAnnulment>());
    registry.add("VARPC", ScreenRegistry::make<ChartVariation>());
    registry.add("VISPC", ScreenRegistry::make<ChartView>());
    registry.add("LISTAPC", ScreenRegistry::make<ChartTree>());
    registry.add("STPC", ScreenRegistry::make<ChartPrint>());

    registry.add("rtiva", [](Session& s) {
        return std::make_unique<VatCodeTable>(s, VatCodeTable::Mode::Registration);
    });
    registry.add("vistiva", [](Session& s) {
        return std::make_unique<VatCodeTable>(s, VatCodeTable::Mode::View);
    });
    registry.add("REGPAG", ScreenRegistry::make<PaymentTermsScreen>());
    // Customers and suppliers: the same screens over their own conti.
    using party::Party;
    for (Party p : {Party::Customer, Party::Supplier}) {
        const bool c = p == Party::Customer;
        registry.add(c ? "RCLIENTE" : "regforn", [p](Session& s) {
            return std::make_unique<PartyEntry>(s, p, PartyEntry::Mode::Registration);
        });
        registry.add(c ? "VARCLI" : "varforn", [p](Session& s) {
            return std::make_unique<PartyEntry>(s, p, PartyEntry::Mode::Variation);
        });
        registry.add(c ? "VISCLI" : "visforn",
                     [p](Session& s) { return std::make_unique<PartyView>(s, p); });
    }
}

}  // namespace zelvo
