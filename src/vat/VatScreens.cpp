#include "vat/VatScreens.h"

#include "vat/VatRegister.h"

namespace zelvo {

namespace {

template <VatBook book>
ScreenRegistry::Factory registerScreen() {
    return [](Session& session) { return std::make_unique<VatRegisterPrint>(session, book); };
}

}  // namespace

void RegisterVatScreens(ScreenRegistry& registry) {
    registry.add("STRIV", registerScreen<VatBook::Sales>());
    registry.add("STRIA", registerScreen<VatBook::Purchases>());
    registry.add("STRIC", registerScreen<VatBook::Receipts>());
}

}  // namespace zelvo
