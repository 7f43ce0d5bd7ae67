#include "masterdata/PaymentTermsScreen.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "base/NumberText.h"
#include "masterdata/PaymentTermsFields.h"

namespace zelvo {

namespace {

constexpr const char* kDescription = "text1";
constexpr const char* kList = "List1";
constexpr const char* kAdd = "Command1";
constexpr const char* kRemove = "Command2";
constexpr const char* kCancel = "Command3";

// An option of an exclusive group.
struct Choice {
    const char* name;
    const char* caption;
};
// Each group has a label of its own over its options.
struct Group {
    const char* label;
    const char* caption;
};
constexpr Group kTypeGroup{"Label1", "Tipo"};
constexpr Choice kTypes[] = {{"tipord", "Rimessa diretta"}, {"tiporb", "Ricevuta bancaria"}};
constexpr Group kCountGroup{"Label2", "Numero rate"};
constexpr Choice kCounts[] = {{"rate0", "a vista"},
                              {"rate1", "1 rata"},
                              {"rate2", "2 rate"},
                              {"rate3", "3 rate"},
                              {"rate4", "4 rate"}};
constexpr Group kFirstGroup{"Label3", "Prima rata"};
constexpr Choice kFirst[] = {{"salto30", "30 gg."},
                             {"salto60", "60 gg."},
                             {"salto90", "90 gg."},
                             {"salto120", "120 gg."},
                             {"salto150", "150 gg."}};
constexpr Group kDayGroup{"Label4", "Giorno scadenza"};
constexpr Choice kDays[] = {{"giornodf", "data fattura"},
                            {"giorno10", "al 10"},
                            {"giorno15", "al 15"},
                            {"giorno20", "al 20"},
                            {"giornofm", "fine mese"}};
constexpr int kDayRules[] = {0, 10, 15, 20, 30};

constexpr const char* kBankReceipt = kTypes[1].name;
constexpr const char* kAtSight = kCounts[0].name;
constexpr const char* kInvoiceDay = kDays[0].name;

constexpr const char* kAugustAtMonthEnd = "Check1";
constexpr const char* kSkipAugust = "Check2";
constexpr const char* kAugustTo15th = "Check4";
// The August rules exclude each other.
constexpr const char* kAugust[] = {kAugustAtMonthEnd, kSkipAugust, kAugustTo15th};
constexpr const char* kDescriptionOnly = "Check3";

constexpr int kLastCode = 2000;

template <size_t N>
int chosen(FormState& f, const Choice (&group)[N]) {
    for (size_t i = 0; i < N; ++i) {
        if (f.checked(group[i].name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Checks the option and clears the others of its group, as the view shows them.
template <size_t N>
void choose(FormState& f, const Choice (&group)[N], size_t option) {
    for (size_t i = 0; i < N; ++i) {
        f.setChecked(group[i].name, i == option);
    }
}

template <size_t N>
void enable(FormState& f, const Choice (&group)[N], bool enabled, size_t from = 0) {
    for (size_t i = from; i < N; ++i) {
        f.setEnabled(group[i].name, enabled);
    }
}

template <size_t N>
void addGroup(FormSpec& f, int row, const Group& group, const Choice (&choices)[N]) {
    f.label(group.label, group.caption, row);
    int column = 0;
    for (const Choice& c : choices) {
        f.option(c.name, c.caption, group.caption, row + 1, column++);
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

PaymentTermsScreen::PaymentTermsScreen(Session& session) : ScreenLogic(session, makeSpec()) {
    on(Event::Change, kList, [this] { showTerms(); });
    auto changes = [this](const auto& group) {
        for (const Choice& c : group) {
            on(Event::Change, c.name, [this, name = c.name] { choiceChanged(name); });
        }
    };
    changes(kTypes);
    changes(kCounts);
    changes(kFirst);
    changes(kDays);
    for (const char* name : kAugust) {
        on(Event::Change, name, [this, name] { choiceChanged(name); });
    }
    on(Event::Change, kDescriptionOnly, [this] { choiceChanged(kDescriptionOnly); });
    on(Event::Click, kAdd, [this] { add(); });
    on(Event::Click, kRemove, [this] { remove(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec PaymentTermsScreen::makeSpec() {
    FormSpec f;
    f.name = "REGPAG";
    f.title = "Registrazione condizioni pagamento";
    f.text(kDescription, "Descrizione", 0, 40).columnSpan = 5;
    ControlSpec& list = f.list(kList, "Condizioni di pagamento", 1);
    list.columnSpan = 5;
    list.width = 40;
    addGroup(f, 2, kTypeGroup, kTypes);
    addGroup(f, 4, kCountGroup, kCounts);
    addGroup(f, 6, kFirstGroup, kFirst);
    addGroup(f, 8, kDayGroup, kDays);
    f.check(kAugustAtMonthEnd, "Agosto a fine mese", 10, 0).columnSpan = 2;
    f.check(kSkipAugust, "Salta mese Agosto", 10, 2).columnSpan = 2;
    f.check(kAugustTo15th, "Agosto e Dicembre al 15 successivo", 11, 0).columnSpan = 2;
    f.check(kDescriptionOnly, "Solo descrizione senza registrazione", 11, 2).columnSpan = 3;
    f.button(kAdd, "&Aggiungi", 12, 0);
    f.button(kRemove, "&Elimina", 12, 1);
    f.button(kCancel, "&Annulla", 12, 2, {.isCancel = true});
    return f;
}

void PaymentTermsScreen::load() {
    if (!archives().open(arc::kCpag)) {
        requestClose();
        return;
    }
    fillList();
    // What most terms are: one instalment by direct remittance, 30 days, on the invoice's day.
    choose(form(), kTypes, 0);
    choose(form(), kCounts, 1);
    choose(form(), kFirst, 0);
    choose(form(), kDays, 0);
    applyRules();
}

void PaymentTermsScreen::unload() {
    if (archives().isOpen(arc::kCpag)) {
        archives().close(arc::kCpag);
    }
}

void PaymentTermsScreen::fillList() {
    form().setItems(kList, PaymentTermsDescriptions(archives()));
    form().setSelected(kList, -1);
}

void PaymentTermsScreen::applyRules() {
    FormState& f = form();
    // Terms kept as a description only have nothing else to choose.
    const bool all = !f.checked(kDescriptionOnly);
    // At sight there is one instalment on the invoice's own day.
    const bool instalments = all && !f.checked(kAtSight);
    enable(f, kTypes, all);
    enable(f, kCounts, all);
    enable(f, kFirst, instalments);
    f.setEnabled(kInvoiceDay, all);
    enable(f, kDays, instalments, 1);
    for (const char* name : kAugust) {
        f.setEnabled(name, all);
    }
}

void PaymentTermsScreen::choiceChanged(const char* control) {
    FormState& f = form();
    const std::string_view changed = control;
    if (changed == kAtSight && f.checked(kAtSight)) {
        choose(f, kDays, 0);
    }
    if (std::find(std::begin(kAugust), std::end(kAugust), changed) != std::end(kAugust) &&
        f.checked(control)) {
        for (const char* other : kAugust) {
            if (other != changed) {
                f.setChecked(other, false);
            }
        }
    }
    applyRules();
}

void PaymentTermsScreen::showTerms() {
    const int index = form().selected(kList);
    const std::vector<std::string>& items = form().items(kList);
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
    choose(form(), kTypes, type == "rb" ? 1 : 0);
    choose(form(), kCounts, count >= 0 && count <= 4 ? static_cast<size_t>(count) : 0);
    // At sight no first instalment is stored: the first choice stands for it.
    choose(form(), kFirst, months >= 1 && months <= 5 ? static_cast<size_t>(months - 1) : 0);
    size_t day = 0;
    for (size_t i = 0; i < std::size(kDayRules); ++i) {
        if (kDayRules[i] == dueDay) {
            day = i;
        }
    }
    choose(form(), kDays, day);
    form().setChecked(kAugustAtMonthEnd, august == 1);
    form().setChecked(kAugustTo15th, august == 2);
    form().setChecked(kSkipAugust, r.number(terms::kSkipAugust) == 1);
    form().setChecked(kDescriptionOnly, type.empty());
    applyRules();
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
    const std::string description = text(kDescription);
    if (description.empty()) {
        inputError("Non è stata inserita la descrizione", kDescription);
        return;
    }
    if (a.getIdentical(arc::kCpag, terms::kDescription, description) == 0) {
        inputError("Descrizione già registrata", kDescription);
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
        r.setText(terms::kTermsType, f.checked(kBankReceipt) ? "rb" : "rd");
        r.setNumber(terms::kInstalmentCount, count);
        r.setNumber(terms::kFirstInstalmentMonths, count == 0 ? 0 : chosen(f, kFirst) + 1);
        const int day = chosen(f, kDays);
        r.setNumber(terms::kDueDayRule, day < 0 ? 0 : kDayRules[day]);
        r.setNumber(terms::kAugustRule, f.checked(kAugustAtMonthEnd) ? 1
                                        : f.checked(kAugustTo15th)   ? 2
                                                                     : 0);
        r.setNumber(terms::kSkipAugust, f.checked(kSkipAugust) ? 1 : 0);
    }

    // Another station may take the same free code between the search and the write: the
    // record is added, never written over, and the search goes on past a taken code.
    std::string code = freeCode(1);
    while (!code.empty() &&
           a.put(arc::kCpag, code, isam::mode::kAdd) == isam::status::kDuplicateKey) {
        code = freeCode(WholeVal(code) + 1);
    }
    if (code.empty()) {
        if (a.status() == 0 || a.status() == isam::status::kNotFound ||
            a.status() == isam::status::kDuplicateKey) {
            inputError("Tutti i codici da 0001 a 2000 sono già utilizzati", kDescription);
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
    f.setText(kDescription, "");
    requestFocus(kDescription);
}

void PaymentTermsScreen::remove() {
    Archives& a = archives();
    const int index = form().selected(kList);
    const std::vector<std::string>& items = form().items(kList);
    if (index < 0 || index >= static_cast<int>(items.size())) {
        inputError("Non è stato selezionato nessun pagamento", kList);
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
