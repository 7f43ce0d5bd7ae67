#include "masterdata/PartyEntry.h"

#include <algorithm>
#include <optional>

#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"
#include "masterdata/PaymentTermsScreen.h"

namespace zelvo {

using party::Party;
using namespace party::ctl;

namespace {

constexpr const char* kAnagrafica = "Anagrafica";
constexpr const char* kNote = "Note";

// The buttons that format the notes in the view itself.
struct Formatting {
    const char* button;
    const char* caption;
    const char* action;
};
constexpr Formatting kFormatting[] = {
    {"Command3", "Caratteri e colori", "font"},
    {"Command4", "Allinea a sinistra", "left"},
    {"Command5", "Centra", "center"},
    {"Command6", "Allinea a destra", "right"},
};

}  // namespace

PartyEntry::PartyEntry(Session& session, Party party, Mode mode)
    : ScreenLogic(session, makeSpec(party, mode)), m_party(party), m_mode(mode) {
    on(Event::Leave, kProvince, [this] { upperCase(kProvince); });
    on(Event::Leave, kTaxCode, [this] { upperCase(kTaxCode); });
    on(Event::Leave, kTerms, [this] { leaveTerms(); });
    if (mode == Mode::Registration) {
        on(Event::Leave, kName, [this] { leaveName(); });
    } else {
        on(Event::Leave, kParty, [this] {
            if (!text(kParty).empty()) {
                showParty();
            }
        });
    }
    on(Event::DoubleClick, kTermsList, [this] { pickTerms(); });
    on(Event::Click, kRegister, [this] {
        if (m_mode == Mode::Registration) {
            registerParty();
        } else {
            varyParty();
        }
    });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec PartyEntry::makeSpec(Party party, Mode mode) {
    const bool customer = party == Party::Customer;
    FormSpec f;
    int row = 0;
    if (mode == Mode::Registration) {
        f.name = customer ? "RCLIENTE" : "regforn";
        f.title = customer ? "Registrazione cliente" : "Registrazione fornitore";
    } else {
        f.name = customer ? "VARCLI" : "varforn";
        f.title = customer ? "Variazione scheda cliente" : "Variazione scheda fornitore";
        ControlSpec& name = f.account(kParty, party::TraitsOf(party).label, row++, 40);
        name.columnSpan = 3;
        name.tab = kAnagrafica;
    }
    row = party::AddPersonalFields(f, kAnagrafica, row, false);
    ControlSpec& terms = f.list(kTermsList, "", row, {.pickByDoubleClick = true});
    terms.columnSpan = 3;
    terms.width = 40;
    terms.tab = kAnagrafica;
    f.amount(kOpeningBalance, "Saldo iniziale", row + 1, 16, Amounts::SignedLire).tab = kAnagrafica;

    ControlSpec& notes = f.richText(kNotes, 0);
    notes.columnSpan = 4;
    notes.tab = kNote;
    int column = 0;
    for (const Formatting& b : kFormatting) {
        f.button(b.button, b.caption, 1, column++, {.richAction = b.action, .target = kNotes}).tab =
            kNote;
    }
    f.button(kRegister, "&Registra", 0, 0);
    f.button(kCancel, "&Annulla", 0, 1, {.isCancel = true});
    return f;
}

void PartyEntry::load() {
    Archives& a = archives();
    // The list is read once: terms registered meanwhile show on the next opening.
    if (a.open(arc::kCpag)) {
        form().setItems(kTermsList, PaymentTermsDescriptions(a));
        a.close(arc::kCpag);
    }
}

std::vector<std::string> PartyEntry::suggestions(const std::string& control,
                                                 const std::string& typed, bool full) {
    if (control != kParty) {
        return {};
    }
    return party::Suggestions(session(), m_party, typed, full);
}

void PartyEntry::upperCase(const char* control) {
    form().setText(control, party::AsciiUpper(text(control)));
}

bool PartyEntry::nameFree() {
    // The name is the chart's description: no item of any kind may have it already.
    return chart::DescriptionFree(archives(), text(kName),
                                  [this] { inputError("Già registrato", kName); });
}

void PartyEntry::leaveName() {
    if (!text(kName).empty()) {
        nameFree();
    }
}

void PartyEntry::leaveTerms() {
    // The field may be emptied, or hold terms that exist: typing names no new ones.
    const std::string typed = text(kTerms);
    if (typed.empty()) {
        m_terms.clear();
        return;
    }
    if (typed == m_terms) {
        return;
    }
    for (const std::string& item : form().items(kTermsList)) {
        if (AsciiLower(item) == AsciiLower(typed)) {
            form().setText(kTerms, item);
            m_terms = item;
            return;
        }
    }
    dialogs().beep();
    form().setText(kTerms, m_terms);
}

void PartyEntry::pickTerms() {
    const int index = form().selected(kTermsList);
    const std::vector<std::string>& items = form().items(kTermsList);
    if (index < 0 || index >= static_cast<int>(items.size())) {
        return;
    }
    m_terms = items[static_cast<size_t>(index)];
    form().setText(kTerms, m_terms);
}

void PartyEntry::showParty() {
    const std::optional<chart::Item> item = party::Named(archives(), m_party, text(kParty));
    if (!item) {
        // The card of a party named before goes too: the screen never shows one party's
        // data under another's name.
        clearScreen();
        m_number.clear();
        dialogs().beep();
        requestFocus(kParty);
        return;
    }
    const isam::Record& r = archives().readBuffer(arc::kPc);
    for (const party::Field& f : party::kPersonalFields) {
        form().setText(f.control, r.text(f.field));
    }
    form().setText(kNotes, r.text(chart::kNotes));
    form().setText(kOpeningBalance, Format(item->openingBalance, "0"));
    m_terms = r.text(chart::kPaymentTerms);
    const std::vector<std::string>& items = form().items(kTermsList);
    const auto it = std::find(items.begin(), items.end(), m_terms);
    form().setSelected(kTermsList, it == items.end() ? -1 : static_cast<int>(it - items.begin()));
    m_number = item->number;
}

void PartyEntry::store(isam::Record& r) const {
    for (const party::Field& f : party::kPersonalFields) {
        r.setText(f.field, text(f.control));
    }
    // Upper-cased when left; a registration pressed from the field itself gets it here.
    r.setText(chart::kProvince, party::AsciiUpper(text(kProvince)));
    r.setText(chart::kTaxCode, party::AsciiUpper(text(kTaxCode)));
    r.setText(chart::kNotes, text(kNotes));
    r.setNumber(chart::kOpeningBalance, Val(text(kOpeningBalance)));
}

void PartyEntry::registerParty() {
    const std::string name = text(kName);
    if (IsBlank(name)) {
        inputError("Non è stata inserita la ragione sociale", kName);
        return;
    }
    // Checked again: another station may have registered the name since the field was left.
    if (!nameFree()) {
        return;
    }
    const party::Traits& t = party::TraitsOf(m_party);
    const std::string number = chart::AddItem(
        archives(), t.kind, name,
        [&](isam::Record& r, const std::string& n) {
            store(r);
            r.setText(chart::kMastroNumber, t.mastro);
            r.setText(chart::kContoNumber, t.conto);
            r.setText(chart::kNature, "p");
            r.setText(chart::kAccountCode, std::string(t.mastro) + t.conto + n);
            r.setNumber(chart::kClosingBalance, r.number(chart::kOpeningBalance));
        },
        kRecordWrite, kCommit);
    if (!number.empty()) {
        clearScreen();
        requestFocus(kName);
    }
}

void PartyEntry::varyParty() {
    Archives& a = archives();
    if (m_number.empty()) {
        // No party named yet: there is nothing to vary.
        dialogs().beep();
        requestFocus(kParty);
        return;
    }
    const std::string name = text(kName);
    if (IsBlank(name)) {
        inputError("Non è stata inserita la ragione sociale", kName);
        return;
    }
    // The party's own name in another letter case is still its own.
    const std::optional<chart::Item> other = chart::ByDescription(a, name);
    if (other && other->number != m_number) {
        inputError("Descrizione già registrata", kName);
        return;
    }
    if (!other && a.status() != isam::status::kNotFound) {
        return;  // reported by the look-up
    }
    const std::string kind = party::TraitsOf(m_party).kind;
    // Read again under lock: the running totals may have moved since the card was shown,
    // and the closing balance follows them.
    const std::int16_t s = a.update(
        arc::kPc, m_number,
        [&](isam::Record& r) {
            store(r);
            r.setText(chart::kKindKey, chart::KindKey(kind, name));
            r.setText(chart::kGroupKey, chart::GroupKey(kind, name));
            r.setNumber(chart::kClosingBalance, r.number(chart::kOpeningBalance) +
                                                    r.number(chart::kProgressiveDebit) -
                                                    r.number(chart::kProgressiveCredit));
        },
        kReread, kRewrite);
    if (s == 0) {
        clearScreen();
        form().setText(kParty, "");
        m_number.clear();
        requestFocus(kParty);
    }
}

void PartyEntry::clearScreen() {
    for (const party::Field& f : party::kPersonalFields) {
        form().setText(f.control, "");
    }
    form().setText(kNotes, "");
    form().setText(kOpeningBalance, "");
    form().setSelected(kTermsList, -1);
    m_terms.clear();
}

}  // namespace zelvo
