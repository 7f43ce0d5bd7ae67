#include "masterdata/ChartVariation.h"

#include "base/NumberText.h"
#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"
#include "masterdata/PredefinedChart.h"

namespace zelvo {

ChartVariation::ChartVariation(Session& session) : ScreenLogic(session, layout()) {
    on(Event::Leave, kItem, [this] { leaveItem(); });
    on(Event::Click, kConfirm, [this] { confirm(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec ChartVariation::layout() {
    FormSpec f;
    f.name = "VARPC";
    f.title = "Variazione Piano dei Conti";
    f.account(kItem, "Mastro/Conto/Sottoconto", 0);
    f.text(kDescription, "Descrizione:", 1, 40);
    f.text(kOpeningBalance, "Saldo iniziale:", 2, 16, {.allowed = "0123456789-", .maxLength = 16});
    f.button(kConfirm, "&Registra", 3, 0, {.isDefault = true});
    f.button(kCancel, "&Annulla", 3, 1, {.isCancel = true});
    return f;
}

std::vector<std::string> ChartVariation::suggestions(const std::string&, const std::string& typed,
                                                     bool full) {
    return chart::AccountSuggestions(archives(), session().values(), typed,
                                     {chart::kMastro, chart::kConto, chart::kSottoconto}, full);
}

std::string ChartVariation::PredefinedWarning(const std::string& number) {
    std::string original;
    for (const PredefinedItem& p : PredefinedChart()) {
        if (number == p.number) {
            original = p.description;
        }
    }
    return "Si sta variando un mastro o conto o sottoconto predefinito impostato dal programma. "
           "L'operazione è vivamente sconsigliata. In ogni caso se si cambia la descrizione si "
           "deve tenere presente che la voce del piano dei conti manterrà sempre la stessa "
           "funzione predefinita. L'impostazione originaria è: " +
           original;
}

void ChartVariation::clear() {
    m_number.clear();
    form().setText(kDescription, "");
    form().setText(kOpeningBalance, "");
}

void ChartVariation::leaveItem() {
    if (text(kItem).empty()) {
        return;
    }
    clear();
    auto item = chart::ByDescription(archives(), text(kItem));
    if (!item) {
        dialogs().beep();
        requestFocus(kItem);
        return;
    }
    m_number = item->number;
    form().setText(kDescription, item->description);
    form().setText(kOpeningBalance, Format(item->openingBalance, "0"));
    if (item->predefined()) {
        dialogs().message(PredefinedWarning(item->number), "ATTENZIONE", Icon::Exclamation);
    }
}

void ChartVariation::confirm() {
    if (m_number.empty()) {
        dialogs().beep();
        requestFocus(kItem);
        return;
    }
    const std::string description = text(kDescription);
    if (description.empty()) {
        inputError("Non è stata inserita la descrizione", kDescription);
        return;
    }
    Archives& a = archives();
    // The item's own description in another letter case is still its own.
    const auto other = chart::ByDescription(a, description);
    if (other && other->number != m_number) {
        inputError("Descrizione già registrata", kDescription);
        return;
    }
    if (!other && a.status() != isam::status::kNotFound) {
        return;  // reported by the look-up
    }
    const double opening = Val(text(kOpeningBalance));
    // Read again under lock: the running totals may have moved since the item was shown,
    // and the closing balance follows them.
    const std::int16_t s = a.update(
        arc::kPc, m_number,
        [&](isam::Record& r) {
            const std::string kind = r.text(chart::kKind);
            r.setText(chart::kDescription, description);
            r.setText(chart::kKindKey, chart::KindKey(kind, description));
            r.setText(chart::kGroupKey, chart::GroupKey(kind, description));
            r.setNumber(chart::kOpeningBalance, opening);
            r.setNumber(chart::kClosingBalance, opening + r.number(chart::kProgressiveDebit) -
                                                    r.number(chart::kProgressiveCredit));
        },
        kReread, kRewrite);
    if (s == 0) {
        clear();
        form().setText(kItem, "");
        requestFocus(kItem);
    }
}

}  // namespace zelvo
