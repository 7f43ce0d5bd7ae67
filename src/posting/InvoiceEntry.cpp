#include "posting/InvoiceEntry.h"

#include <cmath>
#include <optional>

#include "archive/RecordLock.h"
#include "base/NumberText.h"
#include "masterdata/Chart.h"
#include "masterdata/Counters.h"
#include "masterdata/VatCodeFields.h"
#include "posting/DateChecks.h"
#include "posting/EntryAccounts.h"
#include "posting/InvoiceEntryParts.h"
#include "posting/JournalFields.h"
#include "posting/PostingEngine.h"

namespace zelvo {

namespace {

using K = InvoiceEntry::Kind;
using V = InvoiceEntry::Variant;

constexpr int kVatRowRead = 741;
constexpr int kProtocolLock = 745;

struct Titles {
    const char* name;
    const char* title;
};

Titles titles(K kind, V variant) {
    const bool revision = variant == V::Revision;
    switch (kind) {
        case K::Sales:
            return revision ? Titles{"mcfv2", "Revisione fattura vendita"}
                            : Titles{"mcfv", "Registrazione fattura vendita"};
        case K::Receipt:
            return revision ? Titles{"mcco2", "Revisione corrispettivo"}
                            : Titles{"mcco", "Corrispettivo"};
        case K::CustomerCredit:
            return revision ? Titles{"mccv2", "Revisione nota credito cliente"}
                            : Titles{"mccv", "Nota credito cliente"};
        case K::SupplierCredit:
            return revision             ? Titles{"mcca2", "Revisione nota credito fornitore"}
                   : variant == V::Euro ? Titles{"mcca3", "Nota credito fornitore in Euro"}
                                        : Titles{"mcca", "Nota credito fornitore"};
        case K::Purchase:
            break;
    }
    return revision             ? Titles{"MCFA2", "Revisione fattura acquisto"}
           : variant == V::Euro ? Titles{"MCFA3", "Registrazione fattura acquisto in Euro"}
                                : Titles{"MCFA", "Registrazione fattura acquisto"};
}

// The header down to the section and the invoice reference; the row the grid takes.
int headerFields(FormSpec& f, K kind, Amounts amounts) {
    using I = InvoiceEntry;
    const K base = InvoiceEntry::Base(kind);
    const bool credit = kind != base;
    f.date(I::kRegDate, "Data reg.:", 0);
    f.text(I::kDocNumber, "N. doc.:", 1, 8,
           {.pattern = base == K::Sales     ? "[0-9]{0,6}"
                       : base == K::Receipt ? "[0-9]{0,5}"
                                            : ""});
    f.date(I::kDocDate, "Data doc.:", 2);
    f.text(I::kDescription, base == K::Receipt ? "Descrizione :" : "Descrizione:", 3, 40);
    f.account(I::kParty,
              base == K::Sales     ? "Cliente:"
              : base == K::Receipt ? "Sottoconto:"
                                   : "Fornitore:",
              4, 40);
    f.amount(I::kTotal,
             credit               ? "Importo nota credito:"
             : base == K::Receipt ? "Importo:"
                                  : "Importo fattura:",
             5, 16, amounts);
    int row = 6;
    if (base == K::Purchase) {
        f.text(I::kProtocol, "Protocollo:", row++, 6, {.pattern = "[0-9]{0,5}"});
        f.text(I::kPurchaseSection, "Registro:", row++, 2, {.pattern = "[0-9]?"});
    }
    if (credit) {
        const bool sales = base == K::Sales;
        f.text(sales ? I::kCustomerRefNumber : I::kSupplierRefNumber, "Riferimento partita:", row++,
               8, {.pattern = "[0-9]{0,6}"});
        f.date(sales ? I::kCustomerRefDate : I::kSupplierRefDate, "Data", row++);
    }
    if (base != K::Purchase) {
        f.text(kind == K::CustomerCredit ? I::kCustomerCreditSection : I::kSalesSection,
               "Registro:", row++, 2, {.pattern = "[0-9]?"});
    }
    return row;
}

FormSpec invoiceForm(K kind, V variant) {
    using I = InvoiceEntry;
    FormSpec f;
    f.name = titles(kind, variant).name;
    f.title = titles(kind, variant).title;
    const Amounts amounts = variant == V::Euro ? Amounts::SignedEuro : Amounts::SignedLire;
    const int gridRow = headerFields(f, kind, amounts);
    f.grid(I::kGrid, gridRow,
           {.columns = {AccountColumn(I::kCounterAccount, "Contropartita", 28),
                        AmountColumn(I::kTaxable, "Imponibile", 15, amounts),
                        TextColumn(I::kVatCode, "Codice iva", 6),
                        AmountColumn(I::kVat, "Importo iva", 15, amounts)},
            .rows = I::kRows,
            .pageRows = I::kRows})
        .columnSpan = 4;
    const int buttons = gridRow + 1;
    const K base = InvoiceEntry::Base(kind);
    f.button(I::kConfirm, "&Registra", buttons, 0);
    if (base != K::Receipt) {
        f.button(I::kNewParty, base == K::Sales ? "&Nuovo cliente" : "&Nuovo fornitore", buttons,
                 1);
    }
    f.button(I::kNewAccountOrConvert,
             variant == V::Euro ? "&Converti in Lire" : "Nuovo &sottoconto", buttons, 2);
    f.button(I::kCancel, "&Annulla", buttons, 3, {.isCancel = true});
    return f;
}

}  // namespace

InvoiceEntry::InvoiceEntry(Session& session, Kind kind, Variant variant, std::string regNumber)
    : ScreenLogic(session, invoiceForm(kind, variant)),
      m_kind(kind),
      m_base(Base(kind)),
      m_variant(variant),
      m_regNumber(std::move(regNumber)),
      m_euro(variant == Variant::Euro, kNewAccountOrConvert, kConfirm) {
    registerEvents();
}

InvoiceEntry::Kind InvoiceEntry::Base(Kind kind) {
    switch (kind) {
        case Kind::CustomerCredit:
            return Kind::Sales;
        case Kind::SupplierCredit:
            return Kind::Purchase;
        default:
            return kind;
    }
}

void InvoiceEntry::registerEvents() {
    on(Event::Leave, kRegDate, [this] { leaveRegistrationDate(); });
    on(Event::Leave, kDocDate, [this] { leaveDocumentDate(); });
    on(Event::Leave, kParty, [this] { leavePartyField(); });
    on(Event::Leave, sectionField(), [this] { leaveSection(); });
    if (creditNote()) {
        // A credit note's own number is not checked; the invoice it names must be a date.
        on(Event::Leave, refDateField(), [this] {
            std::string date = text(refDateField());
            ClearEmptyDate(date);
            if (!date.empty() && !CheckDocumentDate(session(), date)) {
                requestFocus(refDateField());
            }
        });
    } else if (sales()) {
        on(Event::Leave, kDocNumber, [this] { leaveDocNumber(); });
    }
    if (!sales()) {
        on(Event::Focus, allocatedField(), [this] { proposeNumber(); });
    }
    if (m_base == Kind::Purchase) {
        on(Event::Leave, kProtocol, [this] { leaveProtocol(); });
    }
    if (receipt()) {
        onCell(Event::Focus, kVat, [this](int) { session().setPanel(2, "F6 scorporo iva"); });
        onCell(Event::Leave, kVat, [this](int) { session().setPanel(2, ""); });
        onCellKey(kVat, [this](int row, const std::string& key) {
            return key == "F6" && extractVat(row);
        });
    }
    onCell(Event::Leave, kCounterAccount, [this](int row) { leaveCounterAccount(row); });
    onCell(Event::Leave, kVatCode, [this](int row) { leaveVatCode(row); });
    on(Event::Click, kConfirm, [this] { confirm(); });
    if (!receipt()) {
        on(Event::Click, kNewParty, [this] {
            if (host() != nullptr) {
                host()->openScreen(sales() ? "RCLIENTE" : "regforn");
            }
        });
    }
    on(Event::Click, kNewAccountOrConvert, [this] { pressNewAccountOrConvert(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void InvoiceEntry::load() {
    Archives& a = archives();
    a.open(arc::kMc);
    a.open(arc::kTt);
    a.open(vatArchive(m_base));
    form().setText(kRegDate, session().values().yearDateMask);
    form().setText(kDocDate, session().values().yearDateMask);
    form().setText(sectionField(), "1");
    if (creditNote()) {
        form().setText(refDateField(), session().values().yearDateMask);
    }
    m_euro.reset(form());
    if (m_variant == Variant::Revision) {
        fillFromRegistration();
    }
}

void InvoiceEntry::unload() {
    Archives& a = archives();
    a.close(vatArchive(m_base));
    a.close(arc::kTt);
    a.close(arc::kMc);
}

std::vector<std::string> InvoiceEntry::suggestions(const std::string& control,
                                                   const std::string& typed, bool full) {
    std::vector<std::string> kinds;
    std::string column;
    int row = 0;
    if (control == kParty) {
        kinds = sales()     ? std::vector<std::string>{"c"}
                : receipt() ? PostableKinds()
                            : std::vector<std::string>{"f", "ag"};
    } else if (ParseCell(control, column, row) && column == kCounterAccount) {
        kinds = PostableKinds();
    } else {
        return {};
    }
    return chart::AccountSuggestions(archives(), session().values(), typed, kinds, full);
}

std::string InvoiceEntry::section() const {
    std::string s = text(sectionField());
    return Val(s) == 0 ? std::string("1") : Format(Val(s), "0");
}

double InvoiceEntry::amount(const std::string& control) const {
    return m_euro.amount(text(control));
}

void InvoiceEntry::proposeNumber() {
    // A reading only: the number is taken under the section's lock at confirm.
    if (archives().getByKey(arc::kPr, allocationCounter()) != 0) {
        archives().report(opn::kRead, arc::kPr, kVatRowRead);
        return;
    }
    form().setText(allocatedField(),
                   Format(archives().readBuffer(arc::kPr).number(prf::kValue) + 1, "0"));
}

bool InvoiceEntry::numberTaken(const std::string& number, bool inSection) const {
    Archives& a = const_cast<InvoiceEntry*>(this)->archives();
    const RegisterFields& r = registerFields(m_base);
    const std::string padded = PadNumber(number, 5);
    const int field = inSection ? r.sectionKey : r.number;
    const std::string key = inSection ? section() + padded : padded;
    std::int16_t s = a.get(r.archive, field, isam::op::kFind, key);
    while (s == 0 && a.readBuffer(r.archive).text(field) == key) {
        // The document under revision does not stand in its own way.
        bool own = m_variant == Variant::Revision && padded == oldRegisterNumber() &&
                   a.readBuffer(r.archive).text(r.section) == m_oldSection;
        if (!own) {
            return true;
        }
        s = a.get(r.archive, field, isam::op::kNext, "");
    }
    return false;
}

bool InvoiceEntry::leavePartyField() {
    const std::string name = text(kParty);
    if (name.empty()) {
        return true;
    }
    auto party = chart::ByDescription(archives(), name);
    bool right = false;
    if (party && sales()) {
        right = party->kind == chart::kCustomer;
    } else if (party && receipt()) {
        right = party->kind != chart::kMastro && party->kind != chart::kConto;
    } else if (party) {
        right = party->kind == chart::kSupplier || party->kind == "ag";
    }
    if (!right) {
        m_partyName.clear();
        dialogs().beep();
        requestFocus(kParty);
        return false;
    }
    m_partyName = name;
    m_partyNumber = party->number;
    return true;
}

bool InvoiceEntry::leaveCounterAccount(int row) {
    const std::string name = text(CellName(kCounterAccount, row));
    if (name.empty()) {
        return true;
    }
    if (!PostableAccount(archives(), name)) {
        dialogs().beep();
        focusCell(kGrid, kCounterAccount, row);
        return false;
    }
    return true;
}

bool InvoiceEntry::leaveVatCode(int row) {
    const std::string code = text(CellName(kVatCode, row));
    if (code.empty()) {
        return true;
    }
    auto vat = lookUpVatCode(archives(), code);
    // Non-deductible codes belong to purchases.
    if (!vat || (m_base != Kind::Purchase && vat->nonDeductible)) {
        dialogs().beep();
        focusCell(kGrid, kVatCode, row);
        return false;
    }
    const std::string vatCell = CellName(kVat, row);
    if (vat->rate == 0) {
        dialogs().message(vat->description, "CODICE IVA", Icon::Information);
        form().setText(vatCell, "");
        return true;
    }
    if (vat->nonDeductible) {
        dialogs().message("Iva indetraibile", "CODICE IVA", Icon::Information);
    }
    // Rounded up to the next whole unit unless the fraction is below a tenth; the euro twin
    // rounds its euro amounts by the same rule.
    const double computed = Int(amount(CellName(kTaxable, row)) * vat->rate / 100 + 0.9);
    form().setText(vatCell, m_euro.shown(computed));
    return true;
}

void InvoiceEntry::leaveRegistrationDate() {
    std::string date = text(kRegDate);
    if (!CheckRegistrationDate(session(), date)) {
        requestFocus(kRegDate);
        return;
    }
    CheckJournalPrinted(session(), date);
}

void InvoiceEntry::leaveDocumentDate() {
    std::string date = text(kDocDate);
    if (!CheckDocumentDate(session(), date)) {
        requestFocus(kDocDate);
    }
}

void InvoiceEntry::leaveDocNumber() {
    if (Val(text(kDocNumber)) != 0 && numberTaken(text(kDocNumber), false)) {
        inputError("Fattura già registrata", kDocNumber);
    }
}

void InvoiceEntry::leaveProtocol() {
    if (Val(text(kProtocol)) == 0) {
        return;
    }
    if (numberTaken(text(kProtocol), false)) {
        inputError("Protocollo già registrato", kProtocol);
        return;
    }
    CheckPurchaseRegisterPrinted(session(), text(kRegDate), section());
}

void InvoiceEntry::leaveSection() {
    if (Val(text(sectionField())) == 0) {
        form().setText(sectionField(), "1");
    }
}

void InvoiceEntry::pressNewAccountOrConvert() {
    if (!m_euro.active()) {
        if (host() != nullptr) {
            host()->openScreen("RPC");
        }
        return;
    }
    std::vector<std::string> amounts = {kTotal};
    for (int row = 0; row < kRows; ++row) {
        amounts.push_back(CellName(kTaxable, row));
        amounts.push_back(CellName(kVat, row));
    }
    m_euro.convert(form(), session().values().exchangeRate, amounts);
}

bool InvoiceEntry::extractVat(int row) {
    auto vat = lookUpVatCode(archives(), text(CellName(kVatCode, row)));
    if (!vat) {
        return false;
    }
    const double gross = amount(CellName(kTaxable, row));
    const double taxable = Int(gross / (1 + vat->rate / 100) + 0.5);
    form().setText(CellName(kTaxable, row), m_euro.shown(taxable));
    form().setText(CellName(kVat, row), m_euro.shown(gross - taxable));
    return true;
}

void InvoiceEntry::confirm() {
    if (m_euro.inEuro()) {
        return;
    }
    if (!checkHeader()) {
        return;
    }
    std::array<Row, kRows> rows;
    if (!checkRows(rows)) {
        return;
    }
    std::string number = sales() ? std::string() : Format(Val(text(allocatedField())), "0");
    // The section's counter lock is held from the re-check to the end of the registration,
    // outside its transaction: the operator may be asked a question meanwhile.
    std::optional<RecordLock> numberLock;
    if (!sales()) {
        numberLock.emplace(archives(), arc::kPr, allocationCounter(), kProtocolLock);
        if (!numberLock->held() || !allocateNumber(number)) {
            return;
        }
    }
    post(rows, number);
    numberLock.reset();
    if (m_variant == Variant::Revision) {
        requestClose();
        return;
    }
    // As the collection screen does: a document that was not posted stays to be confirmed
    // again.
    if (m_lastPosted != 0) {
        clearDocument();
    }
}

void InvoiceEntry::clearDocument() {
    // The protocol stays: the next invoice of the section is proposed from it. A receipt
    // keeps its sub-account: the takings of a till follow one another.
    for (const char* c : {kDocNumber, kParty, kTotal}) {
        if (!(receipt() && std::string(c) == kParty)) {
            form().setText(c, "");
        }
    }
    if (creditNote()) {
        form().setText(refNumberField(), "");
        form().setText(refDateField(), session().values().yearDateMask);
    }
    for (int row = 0; row < kRows; ++row) {
        for (const char* column : {kCounterAccount, kTaxable, kVatCode, kVat}) {
            if (!text(CellName(column, row)).empty()) {
                form().setText(CellName(column, row), "");
            }
        }
    }
    m_euro.reset(form());
    requestFocus(kRegDate);
}

}  // namespace zelvo
