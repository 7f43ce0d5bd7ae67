#include "vat/VatBalanceScreens.h"

#include "base/NumberText.h"
#include "vat/SettlementScreen.h"

namespace zelvo {

namespace {

// Report positions of the balance screens.
constexpr int kBalancesRead = 5311;
constexpr int kBalancesWrite = 5312;

}  // namespace

bool SetVatBalance(Archives& archives, int position, double value) {
    return archives.update(
               arc::kSi, "1", [&](isam::Record& r) { r.setNumber(position, value); }, kBalancesRead,
               kBalancesWrite) == 0;
}

PreviousYearCredit::PreviousYearCredit(Session& session) : ScreenLogic(session, layout()) {
    on(Event::Click, kConfirm, [this] { confirm(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec PreviousYearCredit::layout() {
    FormSpec f;
    f.name = "REGCRED";
    f.title = "Registrazione credito Iva anno precedente";
    f.amount(kAmount, "Importo:", 0, 16, Amounts::Lire);
    f.button(kConfirm, "&Registra", 1, 0, {.isDefault = true});
    f.button(kCancel, "&Annulla", 1, 1, {.isCancel = true});
    return f;
}

void PreviousYearCredit::load() {
    Archives& a = archives();
    a.open(arc::kSi);
    VatBalances balances;
    if (ReadVatBalances(a, balances, kBalancesRead)) {
        form().setText(kAmount, Format(balances[12], "0"));
    }
}

void PreviousYearCredit::unload() {
    archives().close(arc::kSi);
}

void PreviousYearCredit::confirm() {
    if (text(kAmount).empty()) {
        inputError(kNoReceiptsAmount, kAmount);
        return;
    }
    if (SetVatBalance(archives(), 13, Val(text(kAmount)))) {
        requestClose();
    }
}

BalanceChange::BalanceChange(Session& session) : ScreenLogic(session, layout()) {
    on(Event::Change, PeriodControls::kMonthly, [this] { PeriodControls::enable(form()); });
    on(Event::Change, PeriodControls::kQuarterly, [this] { PeriodControls::enable(form()); });
    on(Event::Click, kConfirm, [this] { confirm(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec BalanceChange::layout() {
    FormSpec f;
    f.name = "varsi";
    f.title = "Variazione saldo liquidazione iva";
    PeriodControls::add(f, 0);
    f.amount(kBalance, "Nuovo saldo:", 5, 16, Amounts::SignedLire);
    f.button(kConfirm, "&Registra", 6, 0, {.isDefault = true});
    f.button(kCancel, "&Annulla", 6, 1, {.isCancel = true});
    return f;
}

void BalanceChange::load() {
    archives().open(arc::kSi);
    PeriodControls::start(form());
}

void BalanceChange::unload() {
    archives().close(arc::kSi);
}

void BalanceChange::confirm() {
    const auto period = PeriodControls::read(
        *this, form(), [this](const std::string& m, const std::string& c) { inputError(m, c); });
    if (!period) {
        return;
    }
    const std::string& typed = text(kBalance);
    if (typed.empty() || typed == "-") {
        inputError(kNoReceiptsAmount, kBalance);
        return;
    }
    if (dialogs().ask("Variare il saldo iva con il valore inserito?", "Attenzione", Icon::Question,
                      false) != Answer::Yes) {
        return;
    }
    if (SetVatBalance(archives(), period->position(), Val(typed))) {
        form().setText(kBalance, "");
    }
}

}  // namespace zelvo
