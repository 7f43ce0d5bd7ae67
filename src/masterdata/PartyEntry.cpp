#include "masterdata/PartyEntry.h"

#include <algorithm>
#include <optional>

#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"
#include "masterdata/Counters.h"
#include "masterdata/PaymentTermsScreen.h"

namespace zelvo {

using party::Party;

namespace {

constexpr const char* kAnagrafica = "Anagrafica";
constexpr const char* kNote = "Note";
// Whole lire with an optional minus in front, at most fifteen digits: beyond that a double
// no longer holds them exactly.
constexpr const char* kBalancePattern = "-?[0-9]{0,15}";

}  // namespace

PartyEntry::PartyEntry(Session& session, Party party, Mode mode)
    : ScreenLogic(session, makeSpec(party, mode)), m_party(party), m_mode(mode) {}

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
        ControlSpec& name = f.text("text17", party::TraitsOf(party).label, row++, 40);
        name.columnSpan = 3;
        name.tab = kAnagrafica;
        name.account = true;
    }
    row = party::AddPersonalFields(f, kAnagrafica, row, false);
    // The registered terms, right under the field that shows the chosen ones.
    ControlSpec& terms = f.add(ControlKind::List, "List1", "", row, 0);
    terms.columnSpan = 3;
    terms.width = 40;
    terms.tab = kAnagrafica;
    terms.pickByDoubleClick = true;
    ControlSpec& balance = f.text("saldoiniz", "Saldo iniziale", row + 1, 16);
    balance.pattern = kBalancePattern;
    balance.tab = kAnagrafica;

    ControlSpec& notes = f.add(ControlKind::RichText, "RichTextBox1", "", 0, 0);
    notes.columnSpan = 4;
    notes.tab = kNote;
    const std::pair<const char*, const char*> formatting[] = {
        {"Caratteri e colori", "font"},
        {"Allinea a sinistra", "left"},
        {"Centra", "center"},
        {"Allinea a destra", "right"},
    };
    int column = 0;
    for (const auto& [caption, action] : formatting) {
        ControlSpec& b = f.button("Command" + std::to_string(column + 3), caption, 1, column);
        b.tab = kNote;
        b.richAction = action;
        b.target = "RichTextBox1";
        ++column;
    }
    f.button("Command1", "&Registra", 0, 0);
    f.button("Command2", "&Annulla", 0, 1).isCancel = true;
    return f;
}

void PartyEntry::load() {
    Archives& a = archives();
    // The list is read once: terms registered meanwhile show on the next opening.
    if (a.open(arc::kCpag)) {
        form().setItems("List1", PaymentTermsDescriptions(a));
        a.close(arc::kCpag);
    }
}

std::vector<std::string> PartyEntry::suggestions(const std::string& control,
                                                 const std::string& typed, bool full) {
    if (control != "text17") {
        return {};
    }
    return chart::AccountSuggestions(archives(), session().values(), typed,
                                     {party::TraitsOf(m_party).kind}, full);
}

void PartyEntry::leave(const std::string& control) {
    if (control == "text6" || control == "text9") {
        form().setText(control, party::AsciiUpper(text(control)));
    } else if (control == "text8") {
        leaveTerms();
    } else if (control == "text1" && m_mode == Mode::Registration && !text("text1").empty()) {
        // The name is the chart's description: no item of any kind may have it already.
        if (chart::ByDescription(archives(), text("text1"))) {
            inputError("Già registrato", "text1");
        }
    } else if (control == "text17" && !text("text17").empty()) {
        showParty();
    }
}

void PartyEntry::leaveTerms() {
    // The field may be emptied, or hold terms that exist: typing names no new ones.
    const std::string typed = text("text8");
    if (typed.empty()) {
        m_terms.clear();
        return;
    }
    if (typed == m_terms) {
        return;
    }
    for (const std::string& item : form().items("List1")) {
        if (AsciiLower(item) == AsciiLower(typed)) {
            form().setText("text8", item);
            m_terms = item;
            return;
        }
    }
    dialogs().beep();
    form().setText("text8", m_terms);
}

void PartyEntry::doubleClick(const std::string& control) {
    const int index = form().selected(control);
    const std::vector<std::string>& items = form().items(control);
    if (control != "List1" || index < 0 || index >= static_cast<int>(items.size())) {
        return;
    }
    m_terms = items[static_cast<size_t>(index)];
    form().setText("text8", m_terms);
}

void PartyEntry::click(const std::string& control) {
    if (control == "Command1") {
        if (m_mode == Mode::Registration) {
            registerParty();
        } else {
            varyParty();
        }
    } else if (control == "Command2") {
        requestClose();
    }
}

void PartyEntry::showParty() {
    const std::optional<chart::Item> item = chart::ByDescription(archives(), text("text17"));
    // Only a party of this screen's kind: a supplier is not varied as a customer.
    if (!item || item->kind != party::TraitsOf(m_party).kind) {
        // The card of a party named before goes too: the screen never shows one party's
        // data under another's name.
        clearScreen();
        m_number.clear();
        dialogs().beep();
        requestFocus("text17");
        return;
    }
    const isam::Record& r = archives().readBuffer(arc::kPc);
    for (const party::Field& f : party::kPersonalFields) {
        form().setText(f.control, r.text(f.field));
    }
    form().setText("RichTextBox1", r.text(chart::kNotes));
    form().setText("saldoiniz", Format(item->openingBalance, "0"));
    m_terms = r.text(chart::kPaymentTerms);
    const std::vector<std::string>& items = form().items("List1");
    const auto it = std::find(items.begin(), items.end(), m_terms);
    form().setSelected("List1", it == items.end() ? -1 : static_cast<int>(it - items.begin()));
    m_number = item->number;
}

void PartyEntry::store(isam::Record& r) const {
    for (const party::Field& f : party::kPersonalFields) {
        r.setText(f.field, text(f.control));
    }
    // Upper-cased when left; a registration pressed from the field itself gets it here.
    r.setText(chart::kProvince, party::AsciiUpper(text("text6")));
    r.setText(chart::kTaxCode, party::AsciiUpper(text("text9")));
    r.setText(chart::kNotes, text("RichTextBox1"));
    r.setNumber(chart::kOpeningBalance, Val(text("saldoiniz")));
}

void PartyEntry::registerParty() {
    Archives& a = archives();
    const std::string name = text("text1");
    if (name.empty()) {
        inputError("Non è stata inserita la ragione sociale", "text1");
        return;
    }
    // Checked again: another station may have registered the name since the field was left.
    if (chart::ByDescription(a, name)) {
        inputError("Già registrato", "text1");
        return;
    }
    if (a.status() != isam::status::kNotFound) {
        return;  // reported by the look-up
    }

    // The number and the record commit together; a failed write still uses up its number.
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
    const party::Traits& t = party::TraitsOf(m_party);
    a.clearWriteBuffer(arc::kPc);
    isam::Record& r = a.writeBuffer(arc::kPc);
    store(r);
    r.setText(chart::kMastroNumber, t.mastro);
    r.setText(chart::kContoNumber, t.conto);
    r.setText(chart::kKind, t.kind);
    r.setText(chart::kNature, "p");
    r.setText(chart::kAccountCode, std::string(t.mastro) + t.conto + number);
    r.setNumber(chart::kClosingBalance, r.number(chart::kOpeningBalance));
    r.setText(chart::kKindKey, chart::KindKey(t.kind, name));
    r.setText(chart::kGroupKey, chart::GroupKey(t.kind, name));
    if (a.putReported(arc::kPc, number, isam::mode::kAdd, kRecordWrite) == 0 &&
        a.flush(arc::kPc) != 0) {
        a.report(opn::kWrite, arc::kPc, kRecordWrite);
    }
    const bool written = a.status() == 0;
    if (tx.commit() != 0) {
        a.report(opn::kWrite, arc::kPc, kCommit);
        return;
    }
    if (written) {
        clearScreen();
        requestFocus("text1");
    }
}

void PartyEntry::varyParty() {
    Archives& a = archives();
    if (m_number.empty()) {
        // No party named yet: there is nothing to vary.
        dialogs().beep();
        requestFocus("text17");
        return;
    }
    const std::string name = text("text1");
    if (name.empty()) {
        inputError("Non è stata inserita la ragione sociale", "text1");
        return;
    }
    // The party's own name in another letter case is still its own.
    const std::optional<chart::Item> other = chart::ByDescription(a, name);
    if (other && other->number != m_number) {
        inputError("Descrizione già registrata", "text1");
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
        form().setText("text17", "");
        m_number.clear();
        requestFocus("text17");
    }
}

void PartyEntry::clearScreen() {
    for (const party::Field& f : party::kPersonalFields) {
        form().setText(f.control, "");
    }
    form().setText("RichTextBox1", "");
    form().setText("saldoiniz", "");
    form().setSelected("List1", -1);
    m_terms.clear();
}

}  // namespace zelvo
