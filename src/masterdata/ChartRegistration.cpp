#include "masterdata/ChartRegistration.h"

#include <algorithm>
#include <string_view>

#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/ChartFields.h"

namespace zelvo {

namespace {

std::vector<std::string> descriptions(const std::vector<chart::Item>& items) {
    std::vector<std::string> d;
    d.reserve(items.size());
    for (const chart::Item& i : items) {
        d.push_back(i.description);
    }
    return d;
}

// Whole lire, an optional minus in front: what the field lets through may still be "--5".
bool isAmount(const std::string& text) {
    const std::string_view digits =
        std::string_view(text).substr(!text.empty() && text[0] == '-' ? 1 : 0);
    return !digits.empty() &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Reserved conti: their sottoconti are customers, suppliers and agents, made elsewhere.
struct Reserved {
    const char* number;
    const char* text;
};
constexpr Reserved kReserved[] = {
    {"00005", "Il conto selezionato è riservato ai clienti"},
    {"00006", "Il conto selezionato è riservato ai fornitori"},
    {"00007", "Il conto selezionato è riservato agli agenti"},
};

}  // namespace

ChartRegistration::ChartRegistration(Session& session) : ScreenLogic(session, makeSpec()) {
    for (const char* option : {kMastroLevel, kContoLevel, kSottocontoLevel}) {
        on(Event::Change, option, [this] { showLevel(); });
    }
    on(Event::Click, kRegister, [this] { registerItem(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec ChartRegistration::makeSpec() {
    FormSpec f;
    f.name = "RPC";
    f.title = "Registrazione Piano dei Conti";
    f.text(kDescription, "Descrizione:", 0, 30).columnSpan = 3;
    f.option(kMastroLevel, "&Mastro", "Livello", 1, 0);
    f.option(kContoLevel, "C&onto", "Livello", 1, 1);
    f.option(kSottocontoLevel, "&Sottoconto", "Livello", 1, 2);
    f.option(kPatrimonial, "Patrimoniale", "Natura", 2, 0);
    f.option(kEconomic, "Economico", "Natura", 2, 1);
    f.label(kListCaption, "", 3, 0).columnSpan = 3;
    f.list(kMastri, "", 4).width = 30;
    ControlSpec& conti = f.list(kConti, "", 4);
    conti.column = 1;
    conti.width = 30;
    // Not an amount field: minus signs are let through anywhere while typing and the whole
    // entry is checked on "&Registra", with a message of its own. Fifteen digits and a sign:
    // beyond that whole lire are no longer exact in a double.
    f.text(kBalance, "Saldo iniziale:", 5, 16, {.allowed = "0123456789-", .maxLength = 16});
    f.button(kRegister, "&Registra", 6, 0);
    f.button(kCancel, "&Annulla", 6, 1, {.isCancel = true});
    return f;
}

void ChartRegistration::load() {
    Archives& a = archives();
    form().setItems(kMastri, descriptions(chart::ItemsOfKind(a, chart::kMastro)));
    form().setItems(kConti, descriptions(chart::ItemsOfKind(a, chart::kConto)));
    form().setChecked(kMastroLevel, true);
    form().setChecked(kPatrimonial, true);
    showLevel();
}

ChartRegistration::Level ChartRegistration::level() {
    if (form().checked(kContoLevel)) {
        return Level::Conto;
    }
    if (form().checked(kSottocontoLevel)) {
        return Level::Sottoconto;
    }
    return Level::Mastro;
}

void ChartRegistration::showLevel() {
    const Level l = level();
    const char* caption = l == Level::Conto        ? "Mastro associato"
                          : l == Level::Sottoconto ? "Conto associato"
                                                   : "";
    form().setText(kListCaption, caption);
    form().setEnabled(kMastri, l == Level::Conto);
    form().setEnabled(kConti, l == Level::Sottoconto);
    form().setEnabled(kPatrimonial, l == Level::Mastro);
    form().setEnabled(kEconomic, l == Level::Mastro);
}

std::optional<chart::Item> ChartRegistration::chosenParent(Level l) {
    Archives& a = archives();
    const char* list = l == Level::Conto ? kMastri : kConti;
    if (form().selected(list) < 0) {
        inputError(l == Level::Conto ? "Non è stato associato nessun mastro"
                                     : "Non è stato associato nessun conto",
                   list);
        return std::nullopt;
    }
    // Read by its description, as the list shows it; another station may have renamed or
    // removed it since the list was filled.
    std::optional<chart::Item> parent = chart::ByDescription(a, text(list));
    if (!parent) {
        if (a.status() == isam::status::kNotFound) {
            a.report(opn::kRead, arc::kPc, kParentRead);
        }
        return std::nullopt;
    }
    if (l == Level::Sottoconto) {
        for (const Reserved& r : kReserved) {
            if (parent->number == r.number) {
                inputError(r.text, kConti);
                return std::nullopt;
            }
        }
    }
    return parent;
}

void ChartRegistration::registerItem() {
    const std::string description = text(kDescription);
    if (IsBlank(description)) {
        inputError("Non è stata inserita nessuna descrizione", kDescription);
        return;
    }
    // The same description in another letter case names the same item; one that merely
    // begins like a registered one is another item.
    if (!chart::DescriptionFree(archives(), description, [this] {
            inputError("Descrizione già registrata", kDescription);
        })) {
        return;
    }
    const Level l = level();
    std::optional<chart::Item> parent;
    if (l != Level::Mastro) {
        parent = chosenParent(l);
        if (!parent) {
            return;
        }
    }
    const std::string balanceText = text(kBalance);
    if (!balanceText.empty() && !isAmount(balanceText)) {
        inputError("Il saldo iniziale non è valido: solo cifre, con il segno meno davanti",
                   kBalance);
        return;
    }
    const double balance = balanceText.empty() ? 0 : Val(balanceText);
    const char* kind = l == Level::Mastro  ? chart::kMastro
                       : l == Level::Conto ? chart::kConto
                                           : chart::kSottoconto;
    const std::string number = chart::AddItem(
        archives(), kind, description,
        [&](isam::Record& r, const std::string& n) {
            fill(r, l, parent ? &*parent : nullptr, n);
            r.setNumber(chart::kOpeningBalance, balance);
            r.setNumber(chart::kClosingBalance, balance);
        },
        kRecordWrite, kCommit);
    if (!number.empty()) {
        showRegistered(l, description);
    }
}

void ChartRegistration::fill(isam::Record& r, Level l, const chart::Item* parent,
                             const std::string& number) {
    using namespace chart;
    switch (l) {
        case Level::Mastro:
            r.setText(kMastroNumber, number);
            r.setText(kNature, form().checked(kEconomic) ? "e" : "p");
            r.setText(kAccountCode, number + "0000000000");
            break;
        case Level::Conto:
            r.setText(kMastroNumber, parent->number);
            r.setText(kContoNumber, number);
            r.setText(kNature, parent->nature);
            r.setText(kAccountCode, parent->number + number + "00000");
            break;
        case Level::Sottoconto:
            r.setText(kMastroNumber, parent->mastroNumber);
            r.setText(kContoNumber, parent->contoNumber);
            r.setText(kNature, parent->nature);
            r.setText(kAccountCode, parent->mastroNumber + parent->contoNumber + number);
            break;
    }
}

void ChartRegistration::showRegistered(Level l, const std::string& description) {
    if (l != Level::Sottoconto) {
        const char* list = l == Level::Mastro ? kMastri : kConti;
        std::vector<std::string> items = form().items(list);
        const int selected = form().selected(list);
        items.push_back(description);
        form().setItems(list, std::move(items));
        form().setSelected(list, selected);
    }
    form().setText(kDescription, "");
    form().setText(kBalance, "");
    requestFocus(kDescription);
}

}  // namespace zelvo
