#include "masterdata/ChartRegistration.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "base/NumberText.h"
#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"
#include "masterdata/Counters.h"

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

ChartRegistration::ChartRegistration(Session& session) : ScreenLogic(session, makeSpec()) {}

FormSpec ChartRegistration::makeSpec() {
    FormSpec f;
    f.name = "RPC";
    f.title = "Registrazione Piano dei Conti";
    f.text("text1", "Descrizione:", 0, 30).columnSpan = 3;
    f.add(ControlKind::Option, "Option1", "&Mastro", 1, 0).group = "Livello";
    f.add(ControlKind::Option, "Option2", "C&onto", 1, 1).group = "Livello";
    f.add(ControlKind::Option, "Option3", "&Sottoconto", 1, 2).group = "Livello";
    f.add(ControlKind::Option, "Option5", "Patrimoniale", 2, 0).group = "Natura";
    f.add(ControlKind::Option, "Option6", "Economico", 2, 1).group = "Natura";
    // The caption of the list that counts for the level: the logic writes it.
    f.add(ControlKind::Label, "Label1", "", 3, 0).columnSpan = 3;
    f.add(ControlKind::List, "List1", "", 4, 0).width = 30;
    f.add(ControlKind::List, "List2", "", 4, 1).width = 30;
    ControlSpec& balance = f.text("text2", "Saldo iniziale:", 5, 16);
    balance.allowed = "0123456789-";
    // Fifteen digits and a sign: beyond that whole lire are no longer exact in a double.
    balance.maxLength = 16;
    f.button("Command1", "&Registra", 6, 0);
    f.button("Command2", "&Annulla", 6, 1).isCancel = true;
    return f;
}

void ChartRegistration::load() {
    Archives& a = archives();
    form().setItems("List1", descriptions(chart::ItemsOfKind(a, chart::kMastro)));
    form().setItems("List2", descriptions(chart::ItemsOfKind(a, chart::kConto)));
    form().setChecked("Option1", true);
    form().setChecked("Option5", true);
    showLevel();
}

void ChartRegistration::change(const std::string& control) {
    if (control == "Option1" || control == "Option2" || control == "Option3") {
        showLevel();
    }
}

void ChartRegistration::click(const std::string& control) {
    if (control == "Command1") {
        registerItem();
    } else if (control == "Command2") {
        requestClose();
    }
}

ChartRegistration::Level ChartRegistration::level() {
    if (form().checked("Option2")) {
        return Level::Conto;
    }
    if (form().checked("Option3")) {
        return Level::Sottoconto;
    }
    return Level::Mastro;
}

void ChartRegistration::showLevel() {
    const Level l = level();
    const char* caption = l == Level::Conto        ? "Mastro associato"
                          : l == Level::Sottoconto ? "Conto associato"
                                                   : "";
    form().setText("Label1", caption);
    form().setEnabled("List1", l == Level::Conto);
    form().setEnabled("List2", l == Level::Sottoconto);
    form().setEnabled("Option5", l == Level::Mastro);
    form().setEnabled("Option6", l == Level::Mastro);
}

void ChartRegistration::registerItem() {
    Archives& a = archives();
    const std::string description = text("text1");
    if (description.empty()) {
        inputError("Non è stata inserita nessuna descrizione", "text1");
        return;
    }
    // The same description in another letter case names the same item; one that merely
    // begins like a registered one is another item.
    if (chart::ByDescription(a, description)) {
        inputError("Descrizione già registrata", "text1");
        return;
    }
    if (a.status() != isam::status::kNotFound) {
        return;  // reported by the look-up
    }

    const Level l = level();
    std::optional<chart::Item> parent;
    if (l != Level::Mastro) {
        const std::string list = l == Level::Conto ? "List1" : "List2";
        if (form().selected(list) < 0) {
            inputError(l == Level::Conto ? "Non è stato associato nessun mastro"
                                         : "Non è stato associato nessun conto",
                       list);
            return;
        }
        // Read by its description, as the list shows it; another station may have renamed
        // or removed it since the list was filled.
        parent = chart::ByDescription(a, text(list));
        if (!parent) {
            if (a.status() == isam::status::kNotFound) {
                a.report(opn::kRead, arc::kPc, kParentRead);
            }
            return;
        }
    }
    if (l == Level::Sottoconto) {
        for (const Reserved& r : kReserved) {
            if (parent->number == r.number) {
                inputError(r.text, "List2");
                return;
            }
        }
    }
    const std::string balanceText = text("text2");
    if (!balanceText.empty() && !isAmount(balanceText)) {
        inputError("Il saldo iniziale non è valido: solo cifre, con il segno meno davanti",
                   "text2");
        return;
    }
    const double balance = balanceText.empty() ? 0 : Val(balanceText);

    // The number and the record commit together. A record whose write fails still uses up
    // its number: a gap in the numbering, never a number given twice.
    Registration tx(a, arc::kPc);
    if (tx.status() != 0) {
        a.setStatus(tx.status());
        a.report(opn::kWrite, arc::kPc, kCommit);
        return;
    }
    const std::string number = NextItemNumber(a);
    if (number.empty()) {
        return;  // reported
    }
    a.clearWriteBuffer(arc::kPc);
    isam::Record& r = a.writeBuffer(arc::kPc);
    using namespace chart;
    const char* kind = l == Level::Mastro ? kMastro : l == Level::Conto ? kConto : kSottoconto;
    r.setText(kDescription, description);
    r.setText(kKind, kind);
    switch (l) {
        case Level::Mastro:
            r.setText(kMastroNumber, number);
            r.setText(kNature, form().checked("Option6") ? "e" : "p");
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
    r.setNumber(kOpeningBalance, balance);
    r.setNumber(kClosingBalance, balance);
    r.setText(kKindKey, KindKey(kind, description));
    r.setText(kGroupKey, GroupKey(kind, description));
    if (a.putReported(arc::kPc, number, isam::mode::kAdd, kRecordWrite) == 0 &&
        a.flush(arc::kPc) != 0) {
        a.report(opn::kWrite, arc::kPc, kRecordWrite);
    }
    const bool written = a.status() == 0;
    if (tx.commit() != 0) {
        a.report(opn::kWrite, arc::kPc, kCommit);
        return;
    }
    if (!written) {
        return;
    }

    // Ready for the next item; a new mastro or conto can be chosen at once for the items
    // beneath it.
    if (l != Level::Sottoconto) {
        const std::string list = l == Level::Mastro ? "List1" : "List2";
        std::vector<std::string> items = form().items(list);
        const int selected = form().selected(list);
        items.push_back(description);
        form().setItems(list, std::move(items));
        form().setSelected(list, selected);
    }
    form().setText("text1", "");
    form().setText("text2", "");
    requestFocus("text1");
}

}  // namespace zelvo
