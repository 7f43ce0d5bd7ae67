#include "posting/CollectionEntry.h"

#include <cmath>

#include "base/DateText.h"
#include "base/NumberText.h"
#include "base/Utf8.h"
#include "duedates/DueDateFields.h"
#include "masterdata/Chart.h"
#include "posting/DateChecks.h"
#include "posting/EntryAccounts.h"
#include "posting/InvoiceEntryParts.h"
#include "posting/JournalFields.h"

namespace zelvo {

namespace {

using K = CollectionEntry::Kind;

constexpr int kDueRead = 761;
constexpr int kDueWrite = 762;

FormSpec collectionForm(K kind, bool revision) {
    using C = CollectionEntry;
    const bool collection = kind == K::Collection;
    FormSpec f;
    f.name = std::string(collection ? "MCIF" : "MCPF") + (revision ? "2" : "");
    f.title = revision ? (collection ? "Revisione incasso fattura" : "Revisione pagamento fattura")
                       : (collection ? "Incasso fattura" : "Pagamento fattura");
    f.date(C::kRegDate, "Data reg.:", 0);
    f.text(C::kDocNumber, "N. doc.:", 1, 8, {.pattern = "[0-9]{0,6}"});
    f.date(C::kDocDate, "Data doc.:", 2);
    f.text(C::kDescription, "Descrizione:", 3, 40);
    f.account(C::kParty, collection ? "Cliente:" : "Fornitore:", 4, 40);
    f.amount(C::kTotal, "Importo:", 5, 16, Amounts::SignedLire);
    f.account(C::kCounterAccount, "Contropartita:", 6, 40);
    ControlSpec& list = f.list(C::kOpenItems, "Scadenze aperte:", 7, {.pickByDoubleClick = true});
    list.width = 60;
    list.columnSpan = 4;
    f.grid(C::kGrid, 8,
           {.columns = {TextColumn(C::kInvoiceNumber, "N. fattura", 8, "[0-9]{0,6}"),
                        TextColumn(C::kInvoiceDate, "Data fattura", 10),
                        AmountColumn(C::kAmount, "Importo", 15, Amounts::SignedLire),
                        AmountColumn(C::kDiscount, "Abbuono", 15, Amounts::SignedLire),
                        TextColumn(C::kDueDate, "Scadenza", 10)},
            .rows = C::kRows,
            .pageRows = C::kRows})
        .columnSpan = 5;
    f.button(C::kConfirm, "&Registra", 9, 0);
    f.button(C::kNewParty, collection ? "&Nuovo cliente" : "&Nuovo fornitore", 9, 1);
    f.button(C::kNewAccount, "N&uovo sottoconto", 9, 2);
    f.button(C::kCancel, "&Annulla", 9, 3, {.isCancel = true});
    f.button(C::kSchedule, "&Scadenzario", 9, 4);
    return f;
}

// The invoice number of an instalment as the grid takes it: the numeric value of its last
// five characters (sales references carry the register section before them).
std::string instalmentNumber(const std::string& reference) {
    const std::string last =
        reference.size() > 5 ? reference.substr(reference.size() - 5) : reference;
    return Format(Val(last), "0");
}

std::string keyDate(const std::string& shown) {
    std::string date = shown;
    ClearEmptyDate(date);
    return date.empty() ? std::string() : ToKeyDate(date);
}

}  // namespace

CollectionEntry::CollectionEntry(Session& session, Kind kind, std::string regNumber)
    : ScreenLogic(session, collectionForm(kind, !regNumber.empty())),
      m_kind(kind),
      m_regNumber(std::move(regNumber)) {
    on(Event::Leave, kRegDate, [this] { leaveRegistrationDate(); });
    on(Event::Leave, kDocDate, [this] { leaveDate(kDocDate); });
    on(Event::Leave, kParty, [this] { leaveParty(); });
    on(Event::Leave, kCounterAccount, [this] { leaveCounterAccount(); });
    onCell(Event::Leave, kInvoiceDate, [this](int row) { leaveDate(CellName(kInvoiceDate, row)); });
    onCell(Event::Leave, kDueDate, [this](int row) { leaveDate(CellName(kDueDate, row)); });
    on(Event::DoubleClick, kOpenItems, [this] { pickOpenItem(); });
    on(Event::Click, kConfirm, [this] { confirm(); });
    auto open = [this](const char* screen) {
        if (host() != nullptr) {
            host()->openScreen(screen);
        }
    };
    on(Event::Click, kNewParty, [this, open] { open(collection() ? "RCLIENTE" : "regforn"); });
    on(Event::Click, kNewAccount, [open] { open("RPC"); });
    on(Event::Click, kSchedule, [open] { open("VISSCA"); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

int CollectionEntry::dueArchive() const {
    // Customers' instalments by bank receipt are collected through the bank, not here.
    return collection() ? arc::kSd : arc::kSf;
}

void CollectionEntry::load() {
    Archives& a = archives();
    a.open(arc::kMc);
    a.open(arc::kTt);
    a.open(dueArchive());
    form().setText(kRegDate, session().values().yearDateMask);
    form().setText(kDocDate, session().values().yearDateMask);
    if (revision()) {
        fillFromRegistration();
    }
}

void CollectionEntry::unload() {
    Archives& a = archives();
    a.close(dueArchive());
    a.close(arc::kTt);
    a.close(arc::kMc);
}

std::vector<std::string> CollectionEntry::suggestions(const std::string& control,
                                                      const std::string& typed, bool full) {
    std::vector<std::string> kinds;
    if (control == kParty) {
        kinds = collection() ? std::vector<std::string>{"c"} : std::vector<std::string>{"f", "ag"};
    } else if (control == kCounterAccount) {
        kinds = PostableKinds();
    } else {
        return {};
    }
    return chart::AccountSuggestions(archives(), session().values(), typed, kinds, full);
}

void CollectionEntry::leaveRegistrationDate() {
    std::string date = text(kRegDate);
    if (!CheckRegistrationDate(session(), date)) {
        requestFocus(kRegDate);
        return;
    }
    CheckJournalPrinted(session(), date);
}

void CollectionEntry::leaveDate(const std::string& control) {
    std::string date = text(control);
    ClearEmptyDate(date);
    if (!date.empty() && !CheckDocumentDate(session(), date)) {
        requestFocus(control);
    }
}

bool CollectionEntry::leaveParty() {
    const std::string name = text(kParty);
    if (name.empty()) {
        return true;
    }
    auto party = chart::ByDescription(archives(), name);
    const bool right =
        party && (collection() ? party->kind == chart::kCustomer
                               : party->kind == chart::kSupplier || party->kind == "ag");
    if (!right) {
        m_partyNumber.clear();
        dialogs().beep();
        requestFocus(kParty);
        return false;
    }
    if (party->number != m_partyNumber) {
        listOpenItems(party->number);
    }
    m_partyNumber = party->number;
    return true;
}

bool CollectionEntry::leaveCounterAccount() {
    const std::string name = text(kCounterAccount);
    if (name.empty()) {
        return true;
    }
    auto item = PostableAccount(archives(), name);
    if (!item) {
        m_counterNumber.clear();
        dialogs().beep();
        requestFocus(kCounterAccount);
        return false;
    }
    m_counterNumber = item->number;
    return true;
}

void CollectionEntry::listOpenItems(const std::string& partyNumber) {
    Archives& a = archives();
    const int archive = dueArchive();
    m_openItems.clear();
    std::vector<std::string> items;
    std::int16_t s = a.get(archive, duef::kPartyNumber, isam::op::kFind, partyNumber);
    while (s == 0 && a.readBuffer(archive).text(duef::kPartyNumber) == partyNumber) {
        const isam::Record& r = a.readBuffer(archive);
        if (r.text(duef::kSettledDate).empty()) {
            OpenItem item{instalmentNumber(r.text(duef::kInvoiceNumber)),
                          ShownDate(r.text(duef::kInvoiceDate)), r.number(duef::kAmount),
                          ShownDate(r.text(duef::kDueDate))};
            items.push_back(PadLeft(item.number, 6) + "  " + item.invoiceDate + "  " +
                            PadLeft(Format(item.amount, "#,###,###,###"), 13) + "  " +
                            item.dueDate);
            m_openItems.push_back(std::move(item));
        }
        s = a.get(archive, duef::kPartyNumber, isam::op::kNext, "");
    }
    if (s != 0 && s != isam::status::kNotFound && s != isam::status::kEndOfIndex) {
        a.report(opn::kRead, archive, kDueRead);
    }
    form().setItems(kOpenItems, items);
}

void CollectionEntry::pickOpenItem() {
    const int i = form().selected(kOpenItems);
    if (i < 0 || i >= static_cast<int>(m_openItems.size())) {
        return;
    }
    const OpenItem& item = m_openItems[static_cast<size_t>(i)];
    for (int row = 0; row < kRows; ++row) {
        bool free = true;
        for (const char* column : {kInvoiceNumber, kInvoiceDate, kAmount, kDiscount, kDueDate}) {
            free = free && text(CellName(column, row)).empty();
        }
        if (free) {
            form().setText(CellName(kInvoiceNumber, row), item.number);
            form().setText(CellName(kInvoiceDate, row), item.invoiceDate);
            form().setText(CellName(kAmount, row), wholeNumber(item.amount));
            form().setText(CellName(kDueDate, row), item.dueDate);
            return;
        }
    }
}

bool CollectionEntry::checkHeader() {
    if (const char* failed = CheckEntryDates(session(), form(), kRegDate, kDocDate)) {
        requestFocus(failed);
        return false;
    }
    if (text(kParty).empty()) {
        inputError(collection() ? "NON E' STATO INSERITO IL CLIENTE"
                                : "NON E' STATO INSERITO IL FORNITORE",
                   kParty);
        return false;
    }
    if (!leaveParty()) {
        return false;
    }
    if (Val(text(kTotal)) == 0) {
        inputError(collection() ? "NON E' STATO INSERITO L'IMPORTO INCASSATO"
                                : "NON E' STATO INSERITO L'IMPORTO PAGATO",
                   kTotal);
        return false;
    }
    if (text(kCounterAccount).empty()) {
        inputError("NON E' STATA INSERITA LA CONTROPARTITA", kCounterAccount);
        return false;
    }
    return leaveCounterAccount();
}

bool CollectionEntry::checkRows(std::vector<Row>& rows) {
    double sum = 0;
    for (int row = 0; row < kRows; ++row) {
        Row r{text(CellName(kInvoiceNumber, row)), text(CellName(kInvoiceDate, row)),
              Val(text(CellName(kAmount, row))), Val(text(CellName(kDiscount, row))),
              text(CellName(kDueDate, row))};
        if (r.discount != 0 && r.amount == 0) {
            dialogs().beep();
            dialogs().message("E' STATO INSERITO UN ABBUONO MA NON L'IMPORTO", "Errore",
                              Icon::Exclamation);
            focusCell(kGrid, kAmount, row);
            return false;
        }
        // The dates name the invoice and the instalment: they must be dates.
        for (const char* column : {kInvoiceDate, kDueDate}) {
            std::string date = text(CellName(column, row));
            ClearEmptyDate(date);
            if (r.amount != 0 && !date.empty() && !CheckDocumentDate(session(), date)) {
                focusCell(kGrid, column, row);
                return false;
            }
        }
        sum += r.amount;
        if (r.amount != 0) {
            rows.push_back(std::move(r));
        }
    }
    const double difference = Val(text(kTotal)) - sum;
    if (difference != 0) {
        dialogs().beep();
        dialogs().message(Str(difference), "SBILANCIO", Icon::Exclamation);
        requestFocus(kTotal);
        return false;
    }
    return true;
}

void CollectionEntry::confirm() {
    std::vector<Row> rows;
    if (!checkHeader() || !checkRows(rows)) {
        return;
    }
    post(rows);
    // A revision is over either way: refused, its registration was changed elsewhere.
    if (revision()) {
        requestClose();
    } else if (m_lastPosted != 0) {
        clearDocument();
    }
}

void CollectionEntry::post(const std::vector<Row>& rows) {
    Archives& a = archives();
    const double total = Val(text(kTotal));
    const std::string description = text(kDescription);
    // A collection debits the cash or bank and credits the customer; a payment the reverse.
    auto line = [this](const std::string& account, double amount, const std::string& text) {
        return collection() ? JournalLine{account, amount, 0, text}
                            : JournalLine{account, 0, amount, text};
    };
    JournalEntry e;
    e.regDate = text(kRegDate);
    e.docNumber = text(kDocNumber);
    e.docDate = text(kDocDate);
    e.causal = collection() ? "if" : "pf";
    e.lines.push_back(line(m_counterNumber, total, description));
    // The partner's lines name the invoice each settles, in their document fields too.
    auto partner = [&](double amount, const Row& r, const std::string& text) {
        JournalLine l{m_partyNumber, collection() ? 0 : amount, collection() ? amount : 0, text};
        if (!keyDate(r.invoiceDate).empty()) {
            l.refNumber = r.number.empty() ? std::string("0") : r.number;
            l.refDate = r.invoiceDate;
            l.refFields = true;
        }
        return l;
    };
    for (const Row& r : rows) {
        e.lines.push_back(partner(r.amount, r, description));
    }
    const std::string discountAccount = collection() ? "00020" : "00015";
    for (const Row& r : rows) {
        if (r.discount != 0) {
            e.lines.push_back(partner(r.discount, r, description + " (abbuono)"));
            e.lines.push_back(line(discountAccount, r.discount, description));
        }
    }
    for (const Row& r : rows) {
        NumberedRecord d{arc::kTt, "dati", a.blankRecord(arc::kTt)};
        d.record.setText(ttf::kCell1, r.number);
        // Five cells in four fields: the invoice and due dates share the second.
        d.record.setText(ttf::kCell2, r.invoiceDate + " " + r.dueDate);
        d.record.setText(ttf::kCell3, wholeNumber(r.amount));
        d.record.setText(ttf::kCell4, wholeNumber(r.discount));
        e.detailRows.push_back(std::move(d));
    }
    const std::string regDate = ToKeyDate(text(kRegDate));
    const std::string party = m_partyNumber;
    e.afterLines = [this, rows, party, regDate] { settle(rows, party, regDate, false); };
    PostingEngine engine(session());
    if (revision()) {
        m_lastPosted = engine.replace(m_regNumber, m_loaded, e, [this] {
            settle(m_oldRows, m_oldParty, m_oldRegDate, true);
        });
    } else {
        m_lastPosted = engine.post(e);
    }
}

void CollectionEntry::settle(const std::vector<Row>& rows, const std::string& partyNumber,
                             const std::string& regDate, bool reopen) {
    Archives& a = archives();
    const int archive = dueArchive();
    for (const Row& r : rows) {
        const std::string invoiceDate = keyDate(r.invoiceDate);
        const std::string dueDate = keyDate(r.dueDate);
        std::string found;
        std::int16_t s = a.get(archive, duef::kPartyNumber, isam::op::kFind, partyNumber);
        while (s == 0 && a.readBuffer(archive).text(duef::kPartyNumber) == partyNumber) {
            const isam::Record& d = a.readBuffer(archive);
            const std::string wanted = reopen ? regDate : std::string();
            if (d.text(duef::kSettledDate) == wanted &&
                Val(instalmentNumber(d.text(duef::kInvoiceNumber))) == Val(r.number) &&
                d.text(duef::kInvoiceDate) == invoiceDate && d.text(duef::kDueDate) == dueDate) {
                found = a.primaryKey(archive);
                break;
            }
            s = a.get(archive, duef::kPartyNumber, isam::op::kNext, "");
        }
        if (!found.empty()) {
            const std::string mark = reopen ? std::string() : regDate;
            a.update(
                archive, found, [mark](isam::Record& d) { d.setText(duef::kSettledDate, mark); },
                kDueRead, kDueWrite);
        }
    }
}

bool CollectionEntry::annul() {
    return PostingEngine(session()).annul(
        m_regNumber, m_loaded, [this] { settle(m_oldRows, m_oldParty, m_oldRegDate, true); });
}

void CollectionEntry::fillFromRegistration() {
    PostingEngine engine(session());
    m_loaded = engine.lines(m_regNumber);
    if (m_loaded.size() < 2) {
        return;
    }
    // The counter-account's line comes first, then the partner's.
    const isam::Record& first = m_loaded.front().record;
    m_oldRegDate = first.text(mcf::kRegDate);
    m_oldParty = m_loaded[1].record.text(mcf::kAccount);
    form().setText(kRegDate, ShownDate(m_oldRegDate));
    form().setText(kDocNumber, wholeNumber(Val(first.text(mcf::kDocNumber))));
    form().setText(kDocDate, ShownDate(first.text(mcf::kDocDate)));
    form().setText(kDescription, first.text(mcf::kDescription));
    form().setText(kTotal, wholeNumber(first.number(mcf::kDebit) + first.number(mcf::kCredit)));
    for (const auto& [field, number] :
         {std::pair{kCounterAccount, first.text(mcf::kAccount)}, std::pair{kParty, m_oldParty}}) {
        auto item = chart::ByNumber(archives(), number);
        form().setText(field, item ? item->description : std::string());
    }
    m_counterNumber = first.text(mcf::kAccount);
    int row = 0;
    for (const isam::Record& d : engine.detailRows(m_regNumber)) {
        if (row >= kRows) {
            break;
        }
        const std::string dates = d.text(ttf::kCell2);
        Row r{d.text(ttf::kCell1), dates.substr(0, dates.find(' ')), Val(d.text(ttf::kCell3)),
              Val(d.text(ttf::kCell4)),
              dates.find(' ') == std::string::npos ? std::string()
                                                   : dates.substr(dates.find(' ') + 1)};
        form().setText(CellName(kInvoiceNumber, row), r.number);
        form().setText(CellName(kInvoiceDate, row), r.invoiceDate);
        form().setText(CellName(kAmount, row), wholeNumber(r.amount));
        form().setText(CellName(kDiscount, row), wholeNumber(r.discount));
        form().setText(CellName(kDueDate, row), r.dueDate);
        m_oldRows.push_back(std::move(r));
        ++row;
    }
    // The partner's instalments, the ones this registration settled not among them.
    leaveParty();
}

void CollectionEntry::clearDocument() {
    for (const char* c : {kDocNumber, kTotal}) {
        form().setText(c, "");
    }
    for (int row = 0; row < kRows; ++row) {
        for (const char* column : {kInvoiceNumber, kInvoiceDate, kAmount, kDiscount, kDueDate}) {
            if (!text(CellName(column, row)).empty()) {
                form().setText(CellName(column, row), "");
            }
        }
    }
    // The partner's list shows what is still open.
    listOpenItems(m_partyNumber);
    requestFocus(kRegDate);
}

}  // namespace zelvo
