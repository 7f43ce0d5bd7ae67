#pragma once

#include "session/ScreenLogic.h"

namespace zelvo {

// VIVA, "Situazione Iva": the period as in the settlement, "&Visualizza" (`Command1`) shows
// the purchase, sales and cash-receipts VAT (`Label2`, `Label4`, `Label6`) and the result
// ("Iva a debito:" or "Iva a credito:" in `Label7`, the amount in `Label8`) computed as the
// settlement does; nothing is printed or stored. `Command2` "&Annulla".
class VatSituation : public ScreenLogic {
  public:
    static constexpr const char* kPurchaseVat = "Label2";
    static constexpr const char* kSalesVat = "Label4";
    static constexpr const char* kReceiptsVat = "Label6";
    static constexpr const char* kResultCaption = "Label7";
    static constexpr const char* kResult = "Label8";
    static constexpr const char* kShow = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit VatSituation(Session& session);
    static FormSpec layout();
    void load() override;
    void unload() override;

  private:
    void show();
};

// RIEPCORR, "Riepilogo iva corrispettivi": `text1` "Dalla data:", `text2` "Alla data:",
// "&Visualizza" (`Command1`) lists in `List1`, per VAT rate, the taxable amount and the total
// of the cash receipts between the two dates. `Command2` "&Annulla".
class ReceiptsSummary : public ScreenLogic {
  public:
    static constexpr const char* kList = "List1";
    static constexpr const char* kShow = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit ReceiptsSummary(Session& session);
    static FormSpec layout();
    void load() override;
    void unload() override;

  private:
    void show();
};

}  // namespace zelvo
