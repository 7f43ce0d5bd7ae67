#include "posting/PostingScreens.h"

#include "posting/GenericMovement.h"
#include "posting/JournalCheck.h"
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
    r.add("VMC", ScreenRegistry::make<RegistrationView>());
    r.add("AMC", ScreenRegistry::make<RevisionChooser>());
    r.add("VERPN", ScreenRegistry::make<JournalCheck>());
    RevisionScreens()["mg"] = [](Session& s, const std::string& number) {
        return std::make_unique<GenericMovement>(s, GenericMovement::Variant::Revision, number);
    };
}

}  // namespace zelvo
