#include "posting/InvoiceEntry.h"

#include <cmath>
#include <optional>

#include "archive/RecordLock.h"
#include "base/NumberText.h"
#include "masterdata/Chart.h"
#include "masterdata/Counters.h"
#include "masterdata/VatCodeFields.h"
#include "posting/DateChecks.h"
#include "posting/InvoiceEntryParts.h"
#include "posting/JournalFields.h"
#include "posting/PostingEngine.h"

namespace zelvo {

namespace {

using K = InvoiceEntry::Kind;
using V = InvoiceEntry::Variant;

constexpr int kVatRowRead = 741;
constexpr int kProtocolLock = 745;

// Counter-accounts: every sub-account, never a mastro or conto.
const std::vector<std::string> kPostable = {"s", "c", "f", "ag"};

FormSpec invoiceForm(K kind, V variant) {
    using I = InvoiceEntry;
    const bool sales = kind == K::Sales;
    FormSpec f;
    if (sales) {
        f.name = variant == V::Revision ? "mcfv2" : "mcfv";
        f.title =
            variant == V::Revision ? "Revisione fattura vendita" : "Registrazione fattura vendita";
    } else {
        f.name = variant == V::Revision ? "MCFA2" : variant == V::Euro ? "MCFA3" : "MCFA";
        f.title = variant == V::Revision ? "Revisione fattura acquisto"
                  : variant == V::Euro   ? "Registrazione fattura acquisto in Euro"
                                         : "Registrazione fattura acquisto";
    }
    const Amounts amounts = variant == V::Euro ? Amounts::SignedEuro : Amounts::SignedLire;
    f.date(I::kRegDate, "Data reg.:", 0);
    f.text(I::kDocNumber, "N. doc.:", 1, 8, {.pattern = sales ? "[0-9]{0,6}" : ""});
    f.date(I::kDocDate, "Data doc.:", 2);
    f.text(I::kDescription, "Descrizione:", 3, 40);
    f.account(I::kParty, sales ? "Cliente:" : "Fornitore:", 4, 40);
    f.amount(I::kTotal, "Importo fattura:", 5, 16, amounts);
    if (sales) {
        f.text(I::kSalesSection, "Registro:", 6, 2, {.pattern = "[0-9]?"});
    } else {
        f.text(I::kProtocol, "Protocollo:", 6, 6, {.pattern = "[0-9]{0,5}"});
        f.text(I::kPurchaseSection, "Registro:", 7, 2, {.pattern = "[0-9]?"});
    }
    f.grid(I::kGrid, 8,
           {.columns = {AccountColumn(I::kCounterAccount, "Contropartita", 28),
                        AmountColumn(I::kTaxable, "Imponibile", 15, amounts),
                        TextColumn(I::kVatCode, "Codice iva", 6),
                        AmountColumn(I::kVat, "Importo iva", 15, amounts)},
            .rows = I::kRows,
            .pageRows = I::kRows})
        .columnSpan = 4;
    f.button(I::kConfirm, "&Registra", 9, 0);
    f.button(I::kNewParty, sales ? "&Nuovo cliente" : "&Nuovo fornitore", 9, 1);
    f.button(I::kNewAccountOrConvert,
             variant == V::Euro ? "&Converti in Lire" : "Nuovo &sottoconto", 9, 2);
    f.button(I::kCancel, "&Annulla", 9, 3, {.isCancel = true});
    return f;
}

struct VatCode {
    double rate = 0;
    bool nonDeductible = false;
    std::string description;
};

// The VAT code as the table holds it: the same code in any letter case.
std::optional<VatCode> lookUpVatCode(Archives& a, const std::string& code) {
    if (code.empty() || a.getIdentical(arc::kCiva, vatcode::kVatCode, code) != 0) {
        return std::nullopt;
    }
    const isam::Record& r = a.readBuffer(arc::kCiva);
    return VatCode{r.number(vatcode::kVatRate), r.number(vatcode::kNonDeductiblePercent) > 0,
                   r.text(vatcode::kVatDescription)};
}

}  // namespace

InvoiceEntry::InvoiceEntry(Session& session, Kind kind, Variant variant, std::string regNumber)
    : ScreenLogic(session, invoiceForm(kind, variant)),
      m_kind(kind),
      m_variant(variant),
      m_regNumber(std::move(regNumber)),
      m_euro(variant == Variant::Euro, kNewAccountOrConvert, kConfirm) {
    registerEvents();
}

void InvoiceEntry::registerEvents() {
    on(Event::Leave, kRegDate, [this] { leaveRegistrationDate(); });
    on(Event::Leave, kDocDate, [this] { leaveDocumentDate(); });
    on(Event::Leave, kParty, [this] { leavePartyField(); });
    on(Event::Leave, sectionField(), [this] { leaveSection(); });
    if (sales()) {
        on(Event::Leave, kDocNumber, [this] { leaveDocNumber(); });
    } else {
        on(Event::Focus, kProtocol, [this] { proposeProtocol(); });
        on(Event::Leave, kProtocol, [this] { leaveProtocol(); });
    }
    onCell(Event::Leave, kCounterAccount, [this](int row) { leaveCounterAccount(row); });
    onCell(Event::Leave, kVatCode, [this](int row) { leaveVatCode(row); });
    on(Event::Click, kConfirm, [this] { confirm(); });
    on(Event::Click, kNewParty, [this] {
        if (host() != nullptr) {
            host()->openScreen(sales() ? "RCLIENTE" : "regforn");
        }
    });
    on(Event::Click, kNewAccountOrConvert, [this] { pressNewAccountOrConvert(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void InvoiceEntry::load() {
    Archives& a = archives();
    a.open(arc::kMc);
    a.open(arc::kTt);
    a.open(sales() ? arc::kIv : arc::kIa);
    form().setText(kRegDate, session().values().yearDateMask);
    form().setText(kDocDate, session().values().yearDateMask);
    form().setText(sectionField(), "1");
    m_euro.reset(form());
    if (m_variant == Variant::Revision) {
        fillFromRegistration();
    }
}

void InvoiceEntry::unload() {
    Archives& a = archives();
    a.close(sales() ? arc::kIv : arc::kIa);
    a.close(arc::kTt);
    a.close(arc::kMc);
}

std::vector<std::string> InvoiceEntry::suggestions(const std::string& control,
                                                   const std::string& typed, bool full) {
    std::vector<std::string> kinds;
    std::string column;
    int row = 0;
    if (control == kParty) {
        kinds = sales() ? std::vector<std::string>{"c"} : std::vector<std::string>{"f", "ag"};
    } else if (ParseCell(control, column, row) && column == kCounterAccount) {
        kinds = kPostable;
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

void InvoiceEntry::proposeProtocol() {
    // A reading only: the number is taken under the section's lock at confirm.
    if (archives().getByKey(arc::kPr, "prot" + section()) != 0) {
        archives().report(opn::kRead, arc::kPr, kVatRowRead);
        return;
    }
    form().setText(kProtocol, Format(archives().readBuffer(arc::kPr).number(prf::kValue) + 1, "0"));
}

bool InvoiceEntry::invoiceNumberTaken(const std::string& number) const {
    Archives& a = const_cast<InvoiceEntry*>(this)->archives();
    const std::string key = PadNumber(number, 5);
    std::int16_t s = a.get(arc::kIv, ivf::kNumber, isam::op::kFind, key);
    while (s == 0 && a.readBuffer(arc::kIv).text(ivf::kNumber) == key) {
        // The invoice under revision does not stand in its own way.
        bool own = m_variant == Variant::Revision && key == m_oldNumber &&
                   a.readBuffer(arc::kIv).text(ivf::kVatSection) == m_oldSection;
        if (!own) {
            return true;
        }
        s = a.get(arc::kIv, ivf::kNumber, isam::op::kNext, "");
    }
    return false;
}

bool InvoiceEntry::protocolTaken(const std::string& protocol, bool inSection) const {
    Archives& a = const_cast<InvoiceEntry*>(this)->archives();
    const std::string padded = PadNumber(protocol, 5);
    const int field = inSection ? iaf::kSectionProtocolKey : iaf::kProtocol;
    const std::string key = inSection ? section() + padded : padded;
    std::int16_t s = a.get(arc::kIa, field, isam::op::kFind, key);
    while (s == 0 && a.readBuffer(arc::kIa).text(field) == key) {
        bool own = m_variant == Variant::Revision && padded == m_oldProtocol &&
                   a.readBuffer(arc::kIa).text(iaf::kVatSection) == m_oldSection;
        if (!own) {
            return true;
        }
        s = a.get(arc::kIa, field, isam::op::kNext, "");
    }
    return false;
}

bool InvoiceEntry::leavePartyField() {
    const std::string name = text(kParty);
    if (name.empty()) {
        return true;
    }
    auto party = chart::ByDescription(archives(), name);
    bool right = party && (sales() ? party->kind == chart::kCustomer
                                   : party->kind == chart::kSupplier || party->kind == "ag");
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
    auto item = chart::ByDescription(archives(), name);
    if (!item || item->kind == chart::kMastro || item->kind == chart::kConto) {
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
    if (!vat || (sales() && vat->nonDeductible)) {
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
    if (Val(text(kDocNumber)) != 0 && invoiceNumberTaken(text(kDocNumber))) {
        inputError("Fattura già registrata", kDocNumber);
    }
}

void InvoiceEntry::leaveProtocol() {
    if (Val(text(kProtocol)) == 0) {
        return;
    }
    if (protocolTaken(text(kProtocol), false)) {
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

bool InvoiceEntry::checkHeader() {
    std::string regDate = text(kRegDate);
    if (!CheckRegistrationDate(session(), regDate)) {
        requestFocus(kRegDate);
        return false;
    }
    std::string docDate = text(kDocDate);
    ClearEmptyDate(docDate);
    if (docDate.empty()) {
        form().setText(kDocDate, text(kRegDate));
        docDate = text(kRegDate);
    }
    if (!CheckDocumentDate(session(), docDate)) {
        requestFocus(kDocDate);
        return false;
    }
    if (text(kParty).empty()) {
        inputError(
            sales() ? "NON E' STATO INSERITO IL CLIENTE" : "NON E' STATO INSERITO IL FORNITORE",
            kParty);
        return false;
    }
    if (!leavePartyField()) {
        return false;
    }
    if (sales()) {
        if (Val(text(kDocNumber)) == 0) {
            inputError("NON E' STATO INSERITO IL NUMERO DEL DOCUMENTO", kDocNumber);
            return false;
        }
        if (invoiceNumberTaken(text(kDocNumber))) {
            inputError("Fattura già registrata", kDocNumber);
            return false;
        }
    } else {
        if (Val(text(kProtocol)) == 0) {
            inputError("NON E' STATO INSERITO IL NUMERO DI PROTOCOLLO", kProtocol);
            return false;
        }
        if (protocolTaken(text(kProtocol), false)) {
            inputError("Protocollo già registrato", kProtocol);
            return false;
        }
    }
    if (amount(kTotal) == 0) {
        inputError("NON E' STATO INSERITO L'IMPORTO DELLA FATTURA", kTotal);
        return false;
    }
    return true;
}

bool InvoiceEntry::checkRows(std::array<Row, kRows>& rows) {
    double sum = 0;
    for (int row = 0; row < kRows; ++row) {
        sum += amount(CellName(kTaxable, row)) + amount(CellName(kVat, row));
    }
    double difference = std::fabs(amount(kTotal) - sum);
    if (difference != 0) {
        dialogs().beep();
        dialogs().message(Str(difference), "SBILANCIO", Icon::Exclamation);
        requestFocus(kTotal);
        return false;
    }
    for (int row = 0; row < kRows; ++row) {
        const bool account = !text(CellName(kCounterAccount, row)).empty();
        const double taxable = amount(CellName(kTaxable, row));
        const bool code = !text(CellName(kVatCode, row)).empty();
        const double vat = amount(CellName(kVat, row));
        const char* message = nullptr;
        const char* column = nullptr;
        if (account && taxable == 0) {
            message = "E' STATA INSERITA LA CONTROPARTITA MA NON L'IMPONIBILE";
            column = kTaxable;
        } else if (taxable != 0 && !account) {
            message = "E' STATO INSERITO L'IMPONIBILE MA NON LA CONTROPARTITA ";
            column = kCounterAccount;
        } else if (taxable != 0 && !code) {
            message = "E' STATO INSERITO L'IMPONIBILE MA NON IL CODICE IVA";
            column = kVatCode;
        } else if (vat != 0 && !account) {
            message = "E' STATO INSERITO UN IMPORTO IVA MA NON LA CONTROPARTITA";
            column = kCounterAccount;
        } else if (vat != 0 && !code) {
            message = "E' STATO INSERITO UN IMPORTO IVA MA NON IL CODICE IVA";
            column = kVatCode;
        }
        if (message != nullptr) {
            dialogs().beep();
            dialogs().message(message, "Errore", Icon::Exclamation);
            focusCell(kGrid, column, row);
            return false;
        }
        if (!account) {
            continue;
        }
        // Names and codes are read again: another station may have changed them.
        auto item = chart::ByDescription(archives(), text(CellName(kCounterAccount, row)));
        if (!item || item->kind == chart::kMastro || item->kind == chart::kConto) {
            dialogs().beep();
            focusCell(kGrid, kCounterAccount, row);
            return false;
        }
        auto vatCode = lookUpVatCode(archives(), text(CellName(kVatCode, row)));
        if (!vatCode || (sales() && vatCode->nonDeductible)) {
            dialogs().beep();
            focusCell(kGrid, kVatCode, row);
            return false;
        }
        rows[static_cast<size_t>(row)] = {
            item->number, taxable,       text(CellName(kVatCode, row)),
            vat,          vatCode->rate, vatCode->nonDeductible};
    }
    return true;
}

// Runs under the section's protocol lock, which the confirm holds.
bool InvoiceEntry::allocateProtocol(std::string& protocol) {
    if (!protocolTaken(protocol, true)) {
        return true;
    }
    dialogs().beep();
    Answer answer = dialogs().ask(
        "Un'altra registrazione è stata nel frattempo effettuata con il numero di protocollo "
        "inserito. Si vuole effettuare la registrazione con il primo numero successivo "
        "disponibile ?",
        "Zelvo", Icon::Question, false);
    if (answer != Answer::Yes) {
        requestFocus(kProtocol);
        return false;
    }
    double p = Val(protocol);
    do {
        p += 1;
    } while (protocolTaken(Format(p, "0"), true));
    protocol = Format(p, "0");
    form().setText(kProtocol, protocol);
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
    std::string protocol = sales() ? std::string() : Format(Val(text(kProtocol)), "0");
    // The section's protocol lock is held from the re-check to the end of the registration,
    // outside its transaction: the operator may be asked a question meanwhile.
    std::optional<RecordLock> protocolLock;
    if (!sales()) {
        protocolLock.emplace(archives(), arc::kPr, "prot" + section(), kProtocolLock);
        if (!protocolLock->held() || !allocateProtocol(protocol)) {
            return;
        }
    }
    post(rows, protocol);
    protocolLock.reset();
    if (m_variant == Variant::Revision) {
        requestClose();
        return;
    }
    clearDocument();
}

void InvoiceEntry::clearDocument() {
    // The protocol stays: the next invoice of the section is proposed from it.
    for (const char* c : {kDocNumber, kParty, kTotal}) {
        form().setText(c, "");
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
