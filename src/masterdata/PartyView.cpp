#include "masterdata/PartyView.h"

#include <optional>

#include "base/DateText.h"
#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"

namespace zelvo {

using party::Party;

namespace {

// Fields of the due-date records ("sd", "st", "sf" share the first seven).
constexpr int kInvoiceNumber = 1;
constexpr int kInvoiceDate = 2;
constexpr int kPartyNumber = 3;
constexpr int kAmount = 4;
constexpr int kDueDate = 5;
constexpr int kSettledDate = 6;
constexpr int kPartyDueKey = 7;

constexpr const char* kAnagrafica = "Anagrafica";
constexpr const char* kNote = "Note";
constexpr const char* kScadenze = "Scadenze";
constexpr const char* kBalanceMask = "##,###,###,##0";
constexpr const char* kAmountMask = "##,###,###,###";

// An instalment paid by direct remittance stays open until a collection or payment records
// the registration that settled it.
bool unsettled(const isam::Record& r, const std::string& /*today*/) {
    return r.text(kSettledDate).empty();
}

// Ricevute bancarie record no settlement: those due before today are taken as collected.
bool notYetDue(const isam::Record& r, const std::string& today) {
    return r.text(kDueDate) >= today;
}

std::string shownDate(const std::string& keyDate) {
    return InputToDate(FromKeyDate(keyDate));
}

// Aligned under kDueHeading: number and invoice date in 20 columns, the amount ending under
// "Importo", the due date under "Scadenza".
std::string dueLine(const isam::Record& r) {
    return PadRight(Utf8Left(r.text(kInvoiceNumber), 9), 9) + " " +
           shownDate(r.text(kInvoiceDate)) + PadLeft(Format(r.number(kAmount), kAmountMask), 14) +
           " " + shownDate(r.text(kDueDate));
}

}  // namespace

PartyView::PartyView(Session& session, Party party)
    : ScreenLogic(session, makeSpec(party)), m_party(party) {}

FormSpec PartyView::makeSpec(Party party) {
    const bool customer = party == Party::Customer;
    FormSpec f;
    f.name = customer ? "VISCLI" : "visforn";
    f.title = customer ? "Scheda cliente" : "Scheda fornitore";
    ControlSpec& name = f.text("text17", party::TraitsOf(party).label, 0, 40);
    name.columnSpan = 3;
    name.tab = kAnagrafica;
    name.account = true;
    int row = party::AddPersonalFields(f, kAnagrafica, 1, true);
    auto shown = [&f](const char* control, const char* caption, int r, int column) {
        ControlSpec& c = f.text(control, caption, r, 16);
        c.column = column;
        c.readOnly = true;
        return &c;
    };
    for (ControlSpec* c :
         {shown("saldoiniz", "Saldo iniziale:", row, 0), shown("text10", "Prog. dare:", row, 1),
          shown("text11", "Prog. avere:", row + 1, 0),
          shown("text12", "Saldo finale:", row + 1, 1)}) {
        c->tab = kAnagrafica;
    }

    ControlSpec& notes = f.add(ControlKind::RichText, "RichTextBox1", "", 0, 0);
    notes.columnSpan = 4;
    notes.tab = kNote;
    notes.readOnly = true;

    auto dueList = [&f](int r, const char* heading, const char* list, const char* total) {
        ControlSpec& h = f.add(ControlKind::Label, heading, kDueHeading, r);
        h.tab = kScadenze;
        h.columnSpan = 3;
        ControlSpec& l = f.add(ControlKind::List, list, "", r + 1);
        l.tab = kScadenze;
        l.columnSpan = 3;
        l.width = 50;
        ControlSpec& t = f.text(total, "Totale", r + 2, 16);
        t.tab = kScadenze;
        t.readOnly = true;
    };
    if (customer) {
        f.add(ControlKind::Label, "Label1", "Rimesse dir.", 0).tab = kScadenze;
        dueList(1, "Label2", "List2", "text15");
        f.add(ControlKind::Label, "Label3", "Ric. bancarie", 4).tab = kScadenze;
        dueList(5, "Label4", "List3", "text16");
    } else {
        dueList(0, "Label2", "List2", "text15");
    }
    f.button("Command2", "&Annulla", 0, 0).isCancel = true;
    return f;
}

std::vector<int> PartyView::dueArchives() const {
    if (m_party == Party::Customer) {
        return {arc::kSd, arc::kSt};
    }
    return {arc::kSf};
}

void PartyView::load() {
    for (int archive : dueArchives()) {
        if (archives().open(archive)) {
            m_opened.push_back(archive);
        }
    }
    clear();
}

void PartyView::unload() {
    for (int archive : m_opened) {
        archives().close(archive);
    }
    m_opened.clear();
}

std::vector<std::string> PartyView::suggestions(const std::string& control,
                                                const std::string& typed, bool full) {
    if (control != "text17") {
        return {};
    }
    return chart::AccountSuggestions(archives(), session().values(), typed,
                                     {party::TraitsOf(m_party).kind}, full);
}

void PartyView::leave(const std::string& control) {
    if (control != "text17" || text("text17").empty()) {
        return;
    }
    const std::optional<chart::Item> item = chart::ByDescription(archives(), text("text17"));
    if (!item || item->kind != party::TraitsOf(m_party).kind) {
        clear();
        dialogs().beep();
        requestFocus("text17");
        return;
    }
    show(item->number);
}

void PartyView::click(const std::string& control) {
    if (control == "Command2") {
        requestClose();
    }
}

void PartyView::show(const std::string& number) {
    const isam::Record& r = archives().readBuffer(arc::kPc);
    for (const party::Field& f : party::kPersonalFields) {
        form().setText(f.control, r.text(f.field));
    }
    form().setText("RichTextBox1", r.text(chart::kNotes));
    form().setText("saldoiniz", Format(r.number(chart::kOpeningBalance), kBalanceMask));
    form().setText("text10", Format(r.number(chart::kProgressiveDebit), kBalanceMask));
    form().setText("text11", Format(r.number(chart::kProgressiveCredit), kBalanceMask));
    form().setText("text12", Format(r.number(chart::kClosingBalance), kBalanceMask));

    // Dates in the records are "yyyymmdd": compared as texts they compare as dates.
    if (m_party == Party::Customer) {
        showList("List2", "text15", readDueDates(arc::kSd, kPartyDueKey, number, unsettled));
        showList("List3", "text16", readDueDates(arc::kSt, kPartyNumber, number, notYetDue));
    } else {
        showList("List2", "text15", readDueDates(arc::kSf, kPartyDueKey, number, unsettled));
    }
}

PartyView::DueList PartyView::readDueDates(int archive, int keyField, const std::string& number,
                                           bool (*open)(const isam::Record&, const std::string&)) {
    DueList due;
    Archives& a = archives();
    if (!a.isOpen(archive)) {
        return due;  // its opening failed and was reported
    }
    const std::string today = ToKeyDate(session().values().today);
    std::int16_t s = a.get(archive, keyField, isam::op::kFind, number);
    while (s == 0 && a.readBuffer(archive).text(kPartyNumber) == number) {
        const isam::Record& r = a.readBuffer(archive);
        if (open(r, today)) {
            due.lines.push_back(dueLine(r));
            due.total += r.number(kAmount);
        }
        s = a.get(archive, keyField, isam::op::kNext, "");
    }
    if (s != 0 && s != isam::status::kNotFound && s != isam::status::kEndOfIndex) {
        a.report(opn::kRead, archive, kDueRead);
    }
    return due;
}

void PartyView::showList(const char* list, const char* total, const DueList& due) {
    form().setItems(list, due.lines);
    form().setSelected(list, -1);
    // An empty list still shows its total: 0.
    form().setText(total, Format(due.total, kBalanceMask));
}

void PartyView::clear() {
    for (const party::Field& f : party::kPersonalFields) {
        form().setText(f.control, "");
    }
    for (const char* c : {"RichTextBox1", "saldoiniz", "text10", "text11", "text12"}) {
        form().setText(c, "");
    }
    for (const char* list : {"List2", "List3"}) {
        form().setItems(list, {});
    }
    form().setText("text15", "");
    form().setText("text16", "");
}

}  // namespace zelvo
