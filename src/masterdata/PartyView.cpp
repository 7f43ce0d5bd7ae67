#include "masterdata/PartyView.h"

#include <optional>

#include "base/DateText.h"
#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"

namespace zelvo {

using party::Party;
using namespace party::ctl;

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
constexpr const char* kRemittancesCaption = "Label1";
constexpr const char* kRemittancesHeading = "Label2";
constexpr const char* kBankReceiptsCaption = "Label3";
constexpr const char* kBankReceiptsHeading = "Label4";
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

// Aligned under kDueHeading: number and invoice date in 20 columns, the amount ending under
// "Importo", the due date under "Scadenza".
std::string dueLine(const isam::Record& r) {
    return PadRight(Utf8Left(r.text(kInvoiceNumber), 9), 9) + " " +
           ShownDate(r.text(kInvoiceDate)) + PadLeft(Format(r.number(kAmount), kAmountMask), 14) +
           " " + ShownDate(r.text(kDueDate));
}

}  // namespace

PartyView::PartyView(Session& session, Party party)
    : ScreenLogic(session, makeSpec(party)), m_party(party) {
    on(Event::Leave, kParty, [this] { leaveParty(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec PartyView::makeSpec(Party party) {
    const bool customer = party == Party::Customer;
    FormSpec f;
    f.name = customer ? "VISCLI" : "visforn";
    f.title = customer ? "Scheda cliente" : "Scheda fornitore";
    ControlSpec& name = f.account(kParty, party::TraitsOf(party).label, 0, 40);
    name.columnSpan = 3;
    name.tab = kAnagrafica;
    const int row = party::AddPersonalFields(f, kAnagrafica, 1, true);
    // Balances as the card shows them, grouped: read-only texts, not amounts to type.
    auto shown = [&f](const char* control, const char* caption, int r, int column) {
        ControlSpec& c = f.text(control, caption, r, 16, {.readOnly = true});
        c.column = column;
        c.tab = kAnagrafica;
    };
    shown(kOpeningBalance, "Saldo iniziale:", row, 0);
    shown(kDebit, "Prog. dare:", row, 1);
    shown(kCredit, "Prog. avere:", row + 1, 0);
    shown(kClosing, "Saldo finale:", row + 1, 1);

    ControlSpec& notes = f.richText(kNotes, 0, {.readOnly = true});
    notes.columnSpan = 4;
    notes.tab = kNote;

    auto dueList = [&f](int r, const char* heading, const char* list, const char* total) {
        ControlSpec& h = f.label(heading, kDueHeading, r);
        h.tab = kScadenze;
        h.columnSpan = 3;
        ControlSpec& l = f.list(list, "", r + 1);
        l.tab = kScadenze;
        l.columnSpan = 3;
        l.width = 50;
        f.text(total, "Totale", r + 2, 16, {.readOnly = true}).tab = kScadenze;
    };
    if (customer) {
        f.label(kRemittancesCaption, "Rimesse dir.", 0).tab = kScadenze;
        dueList(1, kRemittancesHeading, kRemittances, kRemittancesTotal);
        f.label(kBankReceiptsCaption, "Ric. bancarie", 4).tab = kScadenze;
        dueList(5, kBankReceiptsHeading, kBankReceipts, kBankReceiptsTotal);
    } else {
        dueList(0, kRemittancesHeading, kRemittances, kRemittancesTotal);
    }
    f.button(kCancel, "&Annulla", 0, 0, {.isCancel = true});
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
    if (control != kParty) {
        return {};
    }
    return party::Suggestions(session(), m_party, typed, full);
}

void PartyView::leaveParty() {
    if (text(kParty).empty()) {
        return;
    }
    const std::optional<chart::Item> item = party::Named(archives(), m_party, text(kParty));
    if (!item) {
        clear();
        dialogs().beep();
        requestFocus(kParty);
        return;
    }
    show(item->number);
}

void PartyView::show(const std::string& number) {
    const isam::Record& r = archives().readBuffer(arc::kPc);
    for (const party::Field& f : party::kPersonalFields) {
        form().setText(f.control, r.text(f.field));
    }
    form().setText(kNotes, r.text(chart::kNotes));
    form().setText(kOpeningBalance, Format(r.number(chart::kOpeningBalance), kBalanceMask));
    form().setText(kDebit, Format(r.number(chart::kProgressiveDebit), kBalanceMask));
    form().setText(kCredit, Format(r.number(chart::kProgressiveCredit), kBalanceMask));
    form().setText(kClosing, Format(r.number(chart::kClosingBalance), kBalanceMask));

    // Dates in the records are "yyyymmdd": compared as texts they compare as dates.
    if (m_party == Party::Customer) {
        showList(kRemittances, kRemittancesTotal,
                 readDueDates(arc::kSd, kPartyDueKey, number, unsettled));
        showList(kBankReceipts, kBankReceiptsTotal,
                 readDueDates(arc::kSt, kPartyNumber, number, notYetDue));
    } else {
        showList(kRemittances, kRemittancesTotal,
                 readDueDates(arc::kSf, kPartyDueKey, number, unsettled));
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
    for (const char* c : {kNotes, kOpeningBalance, kDebit, kCredit, kClosing, kRemittancesTotal}) {
        form().setText(c, "");
    }
    form().setItems(kRemittances, {});
    if (m_party == Party::Customer) {
        form().setItems(kBankReceipts, {});
        form().setText(kBankReceiptsTotal, "");
    }
}

}  // namespace zelvo
