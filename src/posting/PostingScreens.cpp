#include "posting/PostingScreens.h"

#include "posting/AutoCausalTemplate.h"
#include "posting/CollectionEntry.h"
#include "posting/GenericMovement.h"
#include "posting/InvoiceEntry.h"
#include "posting/JournalCheck.h"
#include "posting/OpenItemReference.h"
#include "posting/RegistrationView.h"
#include "posting/RevisionChooser.h"

namespace zelvo {

void RegisterPostingScreens(ScreenRegistry& r) {
    r.add("MCMG", [](Session& s) {
        return std::make_unique<GenericMovement>(s, GenericMovement::Variant::Lire);
    });
    r.add("MCMG3", [](Session& s) {
        return std::make_unique<GenericMovement>(s, GenericMovement::Variant::Euro);
    });
    r.add("MCXX", [](Session& s) {
        return std::make_unique<GenericMovement>(s, GenericMovement::Variant::Causal);
    });
    r.add("regxx", ScreenRegistry::make<AutoCausalTemplate>());
    r.add("VMC", ScreenRegistry::make<RegistrationView>());
    r.add("AMC", ScreenRegistry::make<RevisionChooser>());
    r.add("annsr", [](Session& s) {
        return std::make_unique<RevisionChooser>(s, RevisionChooser::Mode::Annul);
    });
    r.add("VERPN", ScreenRegistry::make<JournalCheck>());
    r.add("VARRIFP", ScreenRegistry::make<OpenItemReference>());
    using K = InvoiceEntry::Kind;
    using V = InvoiceEntry::Variant;
    r.add("mcfv", [](Session& s) { return std::make_unique<InvoiceEntry>(s, K::Sales, V::Lire); });
    r.add("MCFA",
          [](Session& s) { return std::make_unique<InvoiceEntry>(s, K::Purchase, V::Lire); });
    r.add("MCFA3",
          [](Session& s) { return std::make_unique<InvoiceEntry>(s, K::Purchase, V::Euro); });
    r.add("mcco",
          [](Session& s) { return std::make_unique<InvoiceEntry>(s, K::Receipt, V::Lire); });
    r.add("mccv",
          [](Session& s) { return std::make_unique<InvoiceEntry>(s, K::CustomerCredit, V::Lire); });
    r.add("mcca",
          [](Session& s) { return std::make_unique<InvoiceEntry>(s, K::SupplierCredit, V::Lire); });
    r.add("mcca3",
          [](Session& s) { return std::make_unique<InvoiceEntry>(s, K::SupplierCredit, V::Euro); });
    using C = CollectionEntry::Kind;
    r.add("MCIF", [](Session& s) { return std::make_unique<CollectionEntry>(s, C::Collection); });
    r.add("MCPF", [](Session& s) { return std::make_unique<CollectionEntry>(s, C::Payment); });
    RevisionScreens()["if"] = [](Session& s, const std::string& number) {
        return std::make_unique<CollectionEntry>(s, C::Collection, number);
    };
    RevisionScreens()["pf"] = [](Session& s, const std::string& number) {
        return std::make_unique<CollectionEntry>(s, C::Payment, number);
    };
    RevisionScreens()["cv"] = [](Session& s, const std::string& number) {
        return std::make_unique<InvoiceEntry>(s, K::CustomerCredit, V::Revision, number);
    };
    RevisionScreens()["ca"] = [](Session& s, const std::string& number) {
        return std::make_unique<InvoiceEntry>(s, K::SupplierCredit, V::Revision, number);
    };
    RevisionScreens()["co"] = [](Session& s, const std::string& number) {
        return std::make_unique<InvoiceEntry>(s, K::Receipt, V::Revision, number);
    };
    RevisionScreens()["fv"] = [](Session& s, const std::string& number) {
        return std::make_unique<InvoiceEntry>(s, K::Sales, V::Revision, number);
    };
    RevisionScreens()["fa"] = [](Session& s, const std::string& number) {
        return std::make_unique<InvoiceEntry>(s, K::Purchase, V::Revision, number);
    };
    RevisionScreens()["mg"] = [](Session& s, const std::string& number) {
        return std::make_unique<GenericMovement>(s, GenericMovement::Variant::Revision, number);
    };
}

}  // namespace zelvo
