#pragma once

#include <string>
#include <vector>

#include "session/ScreenLogic.h"

namespace zelvo {

// The descriptions of every registered payment terms, in description order, read from the
// open "codici pag."; a failed read is reported and ends the list.
std::vector<std::string> PaymentTermsDescriptions(Archives& archives);

// "REGPAG" ("Registrazione condizioni pagamento"): adds and deletes the payment terms of the
// installation ("cpag"), which customers and suppliers name by description and the due
// dates of their invoices follow.
//
// An entry of the list shows its terms; the options and check boxes keep their rules.
// "&Aggiungi" adds, "&Elimina" deletes the chosen entry, "&Annulla" closes.
class PaymentTermsScreen : public ScreenLogic {
  public:
    explicit PaymentTermsScreen(Session& session);

    static FormSpec makeSpec();

    // Opens "codici pag." and lists the registered terms.
    void load() override;
    void unload() override;

    // Report positions.
    static constexpr int kListRead = 3411;  // also the position of PaymentTermsDescriptions
    static constexpr int kTermsRead = 3412;
    static constexpr int kCodeRead = 3413;
    static constexpr int kWrite = 3414;
    static constexpr int kDelete = 3415;

  private:
    void fillList();
    void showTerms();
    void applyRules();
    // An option or check box the operator changed.
    void choiceChanged(const char* control);
    void add();
    void remove();
    // The first code from "0001" to "2000" no record uses; empty when all are taken or the
    // archive failed (reported).
    std::string freeCode(int from);
};

}  // namespace zelvo
