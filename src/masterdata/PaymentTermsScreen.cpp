#include "masterdata/PaymentTermsScreen.h"

#include <algorithm>
#include <iterator>

#include "base/NumberText.h"
#include "masterdata/PaymentTermsFields.h"

namespace zelvo {

namespace {

constexpr const char* kTypes[] = {"tipord", "tiporb"};
constexpr const char* kCounts[] = {"rate0", "rate1", "rate2", "rate3", "rate4"};
constexpr const char* kFirst[] = {"salto30", "salto60", "salto90", "salto120", "salto150"};
constexpr const char* kDays[] = {"giornodf", "giorno10", "giorno15", "giorno20", "giornofm"};
constexpr int kDayRules[] = {0, 10, 15, 20, 30};
// The August rules exclude each other.
constexpr const char* kAugust[] = {"Check1", "Check2", "Check4"};
constexpr const char* kDescriptionOnly = "Check3";

constexpr int kLastCode = 2000;

template <size_t N>
int chosen(FormState& f, const char* const (&group)[N]) {
    for (size_t i = 0; i < N; ++i) {
        if (f.checked(group[i])) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Checks the option and clears the others of its group, as the view shows them.
template <size_t N>
void choose(FormState& f, const char* const (&group)[N], const std::string& option) {
    for (const char* name : group) {
        f.setChecked(name, option == name);
    }
}

}  // namespace

std::vector<std::string> PaymentTermsDescriptions(Archives& a) {
    std::vector<std::string> items;
    std::int16_t s = a.bof(arc::kCpag, terms::kDescription);
    while (s == 0) {
        s = a.get(arc::kCpag, terms::kDescription, isam::op::kNext, "");
        if (s == 0) {
            items.push_back(a.readBuffer(arc::kCpag).text(terms::kDescription));
        }
    }
    if (s != isam::status::kEndOfIndex) {
        a.report(opn::kRead, arc::kCpag, PaymentTermsScreen::kListRead);
    }
    return items;
}

PaymentTermsScreen::PaymentTermsScreen(Session& session) : ScreenLogic(session, makeSpec()) {}

FormSpec PaymentTermsScreen::makeSpec() {
    FormSpec f;
    f.name = "REGPAG";
    f.title = "Registrazione condizioni pagamento";
    f.text("text1", "Descrizione", 0, 40).columnSpan = 5;
    ControlSpec& list = f.add(ControlKind::List, "List1", "Condizioni di pagamento", 1);
    list.columnSpan = 5;
    list.width = 40;
    auto options = [&f](int row, const char* group, const char* label,
                        std::initializer_list<std::pair<const char*, const char*>> names) {
        f.add(ControlKind::Label, label, group, row);
        int column = 0;
        for (const auto& [name, caption] : names) {
            f.add(ControlKind::Option, name, caption, row + 1, column++).group = group;
        }
    };
    options(2, "Tipo", "Label1", {{"tipord", "Rimessa diretta"}, {"tiporb", "Ricevuta bancaria"}});
    options(4, "Numero rate", "Label2",
            {{"rate0", "a vista"},
             {"rate1", "1 rata"},
             {"rate2", "2 rate"},
             {"rate3", "3 rate"},
             {"rate4", "4 rate"}});
    options(6, "Prima rata", "Label3",
            {{"salto30", "30 gg."},
             {"salto60", "60 gg."},
             {"salto90", "90 gg."},
             {"salto120", "120 gg."},
             {"salto150", "150 gg."}});
    options(8, "Giorno scadenza", "Label4",
            {{"giornodf", "data fattura"},
             {"giorno10", "al 10"},
             {"giorno15", "al 15"},
             {"giorno20", "al 20"},
             {"giornofm", "fine mese"}});
    f.add(ControlKind::Check, "Check1", "Agosto a fine mese", 10, 0).columnSpan = 2;
    f.add(ControlKind::Check, "Check2", "Salta mese Agosto", 10, 2).columnSpan = 2;
    f.add(ControlKind::Check, "Check4", "Agosto e Dicembre al 15 successivo", 11, 0).columnSpan = 2;
    f.add(ControlKind::Check, "Check3", "Solo descrizione senza registrazione", 11, 2).columnSpan =
        3;
    f.button("Command1", "&Aggiungi", 12, 0);
    f.button("Command2", "&Elimina", 12, 1);
    f.button("Command3", "&Annulla", 12, 2).isCancel = true;
    return f;
}

void PaymentTermsScreen::load() {
    if (!archives().open(arc::kCpag)) {
        requestClose();
        return;
    }
    fillList();
    // What most terms are: one instalment by direct remittance, 30 days, on the invoice's day.
    choose(form(), kTypes, "tipord");
    choose(form(), kCounts, "rate1");
    choose(form(), kFirst, "salto30");
    choose(form(), kDays, "giornodf");
    applyRules();
}

void PaymentTermsScreen::unload() {
    if (archives().isOpen(arc::kCpag)) {
        archives().close(arc::kCpag);
    }
}

void PaymentTermsScreen::fillList() {
    form().setItems("List1", PaymentTermsDescriptions(archives()));
    form().setSelected("List1", -1);
}

void PaymentTermsScreen::applyRules() {
    FormState& f = form();
    // Terms kept as a description only have nothing else to choose.
    const bool all = !f.checked(kDescriptionOnly);
    // At sight there is one instalment on the invoice's own day.
    const bool instalments = all && !f.checked("rate0");
    for (const char* name : kTypes) {
        f.setEnabled(name, all);
    }
    for (const char* name : kCounts) {
        f.setEnabled(name, all);
    }
    for (const char* name : kFirst) {
        f.setEnabled(name, instalments);
    }
    f.setEnabled("giornodf", all);
    for (size_t i = 1; i < std::size(kDays); ++i) {
        f.setEnabled(kDays[i], instalments);
    }
    for (const char* name : kAugust) {
        f.setEnabled(name, all);
    }
}

void PaymentTermsScreen::change(const std::string& control) {
    FormState& f = form();
    if (control == "List1") {
        showTerms();
        return;
    }
    if (control == "rate0" && f.checked("rate0")) {
        choose(form(), kDays, "giornodf");
    }
    for (const char* name : kAugust) {
        if (control == name && f.checked(name)) {
            for (const char* other : kAugust) {
                if (other != control) {
                    f.setChecked(other, false);
                }
            }
        }
    }
    applyRules();
}

void PaymentTermsScreen::showTerms() {
    const int index = form().selected("List1");
    const std::vector<std::string>& items = form().items("List1");
    if (index < 0 || index >= static_cast<int>(items.size())) {
        return;
    }
    Archives& a = archives();
    if (a.getIdentical(arc::kCpag, terms::kDescription, items[static_cast<size_t>(index)]) != 0) {
        // Another station may have deleted it since the list was filled.
        if (a.status() != isam::status::kNotFound) {
            a.report(opn::kRead, arc::kCpag, kTermsRead);
        }
        return;
    }
    const isam::Record& r = a.readBuffer(arc::kCpag);
    const std::string type = r.text(terms::kTermsType);
    const int count = static_cast<int>(r.number(terms::kInstalmentCount));
    const int months = static_cast<int>(r.number(terms::kFirstInstalmentMonths));
    const int dueDay = static_cast<int>(r.number(terms::kDueDayRule));
    const int august = static_cast<int>(r.number(terms::kAugustRule));
    choose(form(), kTypes, type == "rb" ? "tiporb" : "tipord");
    choose(form(), kCounts, kCounts[count >= 0 && count <= 4 ? count : 0]);
    // At sight no first instalment is stored: the first choice stands for it.
    choose(form(), kFirst, kFirst[months >= 1 && months <= 5 ? months - 1 : 0]);
    int day = 0;
    for (size_t i = 0; i < std::size(kDayRules); ++i) {
        if (kDayRules[i] == dueDay) {
            day = static_cast<int>(i);
        }
    }
    choose(form(), kDays, kDays[day]);
    form().setChecked("Check1", august == 1);
    form().setChecked("Check4", august == 2);
    form().setChecked("Check2", r.number(terms::kSkipAugust) == 1);
    form().setChecked(kDescriptionOnly, type.empty());
    applyRules();
}

void PaymentTermsScreen::click(const std::string& control) {
    if (control == "Command1") {
        add();
    } else if (control == "Command2") {
        remove();
    } else if (control == "Command3") {
        requestClose();
    }
}

std::string PaymentTermsScreen::freeCode(int from) {
    Archives& a = archives();
    for (int n = from; n <= kLastCode; ++n) {
        const std::string code = Format(n, "0000");
        if (a.getByKey(arc::kCpag, code) == isam::status::kNotFound) {
            return code;
        }
        if (a.status() != 0) {
            a.report(opn::kRead, arc::kCpag, kCodeRead);
            return {};
        }
    }
    return {};
}

void PaymentTermsScreen::add() {
    Archives& a = archives();
    const std::string description = text("text1");
    if (description.empty()) {
        inputError("Non è stata inserita la descrizione", "text1");
        return;
    }
    if (a.getIdentical(arc::kCpag, terms::kDescription, description) == 0) {
        inputError("Descrizione già registrata", "text1");
        return;
    }
    if (a.status() != isam::status::kNotFound) {
        a.report(opn::kRead, arc::kCpag, kTermsRead);
        return;
    }

    FormState& f = form();
    a.clearWriteBuffer(arc::kCpag);
    isam::Record& r = a.writeBuffer(arc::kCpag);
    r.setText(terms::kDescription, description);
    if (!f.checked(kDescriptionOnly)) {
        const int count = std::max(chosen(f, kCounts), 0);
        r.setText(terms::kTermsType, f.checked("tiporb") ? "rb" : "rd");
        r.setNumber(terms::kInstalmentCount, count);
        r.setNumber(terms::kFirstInstalmentMonths, count == 0 ? 0 : chosen(f, kFirst) + 1);
        const int day = chosen(f, kDays);
        r.setNumber(terms::kDueDayRule, day < 0 ? 0 : kDayRules[day]);
        r.setNumber(terms::kAugustRule, f.checked("Check1") ? 1 : f.checked("Check4") ? 2 : 0);
        r.setNumber(terms::kSkipAugust, f.checked("Check2") ? 1 : 0);
    }

    // Another station may take the same free code between the search and the write: the
    // record is added, never written over, and the search goes on past a taken code.
    std::string code = freeCode(1);
    while (!code.empty() &&
           a.put(arc::kCpag, code, isam::mode::kAdd) == isam::status::kDuplicateKey) {
        code = freeCode(std::stoi(code) + 1);
    }
    if (code.empty()) {
        if (a.status() == 0 || a.status() == isam::status::kNotFound ||
            a.status() == isam::status::kDuplicateKey) {
            inputError("Tutti i codici da 0001 a 2000 sono già utilizzati", "text1");
        }
        return;
    }
    if (a.status() != 0) {
        a.report(opn::kWrite, arc::kCpag, kWrite);
        return;
    }
    if (a.flush(arc::kCpag) != 0) {
        a.report(opn::kWrite, arc::kCpag, kWrite);
    }
    fillList();
    f.setText("text1", "");
    requestFocus("text1");
}

void PaymentTermsScreen::remove() {
    Archives& a = archives();
    const int index = form().selected("List1");
    const std::vector<std::string>& items = form().items("List1");
    if (index < 0 || index >= static_cast<int>(items.size())) {
        inputError("Non è stato selezionato nessun pagamento", "List1");
        return;
    }
    if (a.getIdentical(arc::kCpag, terms::kDescription, items[static_cast<size_t>(index)]) == 0) {
        if (a.remove(arc::kCpag, a.primaryKey(arc::kCpag)) != 0 || a.flush(arc::kCpag) != 0) {
            a.report(opn::kDelete, arc::kCpag, kDelete);
        }
    } else if (a.status() != isam::status::kNotFound) {
        a.report(opn::kRead, arc::kCpag, kTermsRead);
    }
    // Gone here or elsewhere: the list shows what is left.
    fillList();
}

}  // namespace zelvo
