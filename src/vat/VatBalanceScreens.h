#pragma once

#include "session/ScreenLogic.h"

namespace zelvo {

// REGCRED, "Registrazione credito Iva anno precedente": `text1` "Importo:" (shown as stored)
// and "&Registra" (`Command1`) set position 13 of the VAT balances, every other position kept.
// `Command2` "&Annulla".
class PreviousYearCredit : public ScreenLogic {
  public:
    static constexpr const char* kAmount = "text1";
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit PreviousYearCredit(Session& session);
    static FormSpec layout();
    void load() override;
    void unload() override;

  private:
    void confirm();
};

// varsi, "Variazione saldo liquidazione iva": the period as in the settlement, `text1`
// "Nuovo saldo:", and "&Registra" (`Command1`) which, once "Variare il saldo iva con il
// valore inserito?" is answered yes, sets the period's balance. `Command2` "&Annulla".
class BalanceChange : public ScreenLogic {
  public:
    static constexpr const char* kBalance = "text1";
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit BalanceChange(Session& session);
    static FormSpec layout();
    void load() override;
    void unload() override;

  private:
    void confirm();
};

// Sets one position (1..13) of the VAT balances in one transaction under the entry's lock.
bool SetVatBalance(Archives& archives, int position, double value);

}  // namespace zelvo
