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
    const char* amounts = variant == V::Euro ? "-?[0-9]{0,13}(,[0-9]{0,2})?" : "-?[0-9]{0,15}";
    f.date("TEXT1", "Data reg.:", 0);
    f.text("text2", "N. doc.:", 1, 8).pattern = sales ? "[0-9]{0,6}" : "";
    f.date("text3", "Data doc.:", 2);
    f.text("text4", "Descrizione:", 3, 40);
    f.text("text5", sales ? "Cliente:" : "Fornitore:", 4, 40).account = true;
    f.text("text6", "Importo fattura:", 5, 16).pattern = amounts;
    if (sales) {
        f.text("text7", "Registro:", 6, 2).pattern = "[0-9]?";
    } else {
        f.text("text7", "Protocollo:", 6, 6).pattern = "[0-9]{0,5}";
        f.text("text8", "Registro:", 7, 2).pattern = "[0-9]?";
    }
    ControlSpec& grid = f.add(ControlKind::Grid, InvoiceEntry::kGrid, "", 8);
    grid.columnSpan = 4;
    grid.rows = InvoiceEntry::kRows;
    grid.pageRows = InvoiceEntry::kRows;
    grid.columns = {
        AccountColumn("controp", "Contropartita", 28),
        TextColumn("imponibile", "Imponibile", 15, amounts),
        TextColumn("codiva", "Codice iva", 6),
        TextColumn("importoiva", "Importo iva", 15, amounts),
    };
    f.button("Command1", "&Registra", 9, 0);
    f.button("Command2", sales ? "&Nuovo cliente" : "&Nuovo fornitore", 9, 1);
    f.button("Command3", variant == V::Euro ? "&Converti in Lire" : "Nuovo &sottoconto", 9, 2);
    f.button("Command4", "&Annulla", 9, 3).isCancel = true;
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
      m_euro(variant == Variant::Euro, "Command3", "Command1") {}

void InvoiceEntry::load() {
    Archives& a = archives();
    a.open(arc::kMc);
    a.open(arc::kTt);
    a.open(sales() ? arc::kIv : arc::kIa);
    form().setText("TEXT1", session().values().yearDateMask);
    form().setText("text3", session().values().yearDateMask);
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
    if (control == "text5") {
        kinds = sales() ? std::vector<std::string>{"c"} : std::vector<std::string>{"f", "ag"};
    } else if (ParseCell(control, column, row) && column == "controp") {
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

void InvoiceEntry::focus(const std::string& control) {
    if (!sales() && control == "text7") {
        proposeProtocol();
    }
}

void InvoiceEntry::proposeProtocol() {
    // A reading only: the number is taken under the section's lock at confirm.
    if (archives().getByKey(arc::kPr, "prot" + section()) != 0) {
        archives().report(opn::kRead, arc::kPr, kVatRowRead);
        return;
    }
    form().setText("text7", Format(archives().readBuffer(arc::kPr).number(prf::kValue) + 1, "0"));
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
    const std::string name = text("text5");
    if (name.empty()) {
        return true;
    }
    auto party = chart::ByDescription(archives(), name);
    bool right = party && (sales() ? party->kind == chart::kCustomer
                                   : party->kind == chart::kSupplier || party->kind == "ag");
    if (!right) {
        m_partyName.clear();
        dialogs().beep();
        requestFocus("text5");
        return false;
    }
    m_partyName = name;
    m_partyNumber = party->number;
    return true;
}

bool InvoiceEntry::leaveCounterAccount(int row) {
    const std::string name = text(CellName("controp", row));
    if (name.empty()) {
        return true;
    }
    auto item = chart::ByDescription(archives(), name);
    if (!item || item->kind == chart::kMastro || item->kind == chart::kConto) {
        dialogs().beep();
        focusCell(kGrid, "controp", row);
        return false;
    }
    return true;
}

bool InvoiceEntry::leaveVatCode(int row) {
    const std::string code = text(CellName("codiva", row));
    if (code.empty()) {
        return true;
    }
    auto vat = lookUpVatCode(archives(), code);
    // Non-deductible codes belong to purchases.
    if (!vat || (sales() && vat->nonDeductible)) {
        dialogs().beep();
        focusCell(kGrid, "codiva", row);
        return false;
    }
    const std::string vatCell = CellName("importoiva", row);
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
    const double computed = Int(amount(CellName("imponibile", row)) * vat->rate / 100 + 0.9);
    form().setText(vatCell, m_euro.shown(computed));
    return true;
}

void InvoiceEntry::leave(const std::string& control) {
    if (control == "TEXT1") {
        std::string date = text("TEXT1");
        if (!CheckRegistrationDate(session(), date)) {
            requestFocus("TEXT1");
            return;
        }
        CheckJournalPrinted(session(), date);
    } else if (control == "text3") {
        std::string date = text("text3");
        if (!CheckDocumentDate(session(), date)) {
            requestFocus("text3");
        }
    } else if (control == "text2" && sales()) {
        if (Val(text("text2")) != 0 && invoiceNumberTaken(text("text2"))) {
            inputError("Fattura già registrata", "text2");
        }
    } else if (control == "text7" && !sales()) {
        if (Val(text("text7")) == 0) {
            return;
        }
        if (protocolTaken(text("text7"), false)) {
            inputError("Protocollo già registrato", "text7");
            return;
        }
        CheckPurchaseRegisterPrinted(session(), text("TEXT1"), section());
    } else if (control == sectionField()) {
        if (Val(text(sectionField())) == 0) {
            form().setText(sectionField(), "1");
        }
    } else if (control == "text5") {
        leavePartyField();
    } else {
        std::string column;
        int row = 0;
        if (ParseCell(control, column, row)) {
            if (column == "controp") {
                leaveCounterAccount(row);
            } else if (column == "codiva") {
                leaveVatCode(row);
            }
        }
    }
}

void InvoiceEntry::click(const std::string& control) {
    if (control == "Command1") {
        confirm();
    } else if (control == "Command2" && host() != nullptr) {
        host()->openScreen(sales() ? "RCLIENTE" : "regforn");
    } else if (control == "Command3") {
        if (m_euro.active()) {
            std::vector<std::string> amounts = {"text6"};
            for (int row = 0; row < kRows; ++row) {
                amounts.push_back(CellName("imponibile", row));
                amounts.push_back(CellName("importoiva", row));
            }
            m_euro.convert(form(), session().values().exchangeRate, amounts);
        } else if (host() != nullptr) {
            host()->openScreen("RPC");
        }
    } else if (control == "Command4") {
        requestClose();
    }
}

bool InvoiceEntry::checkHeader() {
    std::string regDate = text("TEXT1");
    if (!CheckRegistrationDate(session(), regDate)) {
        requestFocus("TEXT1");
        return false;
    }
    std::string docDate = text("text3");
    ClearEmptyDate(docDate);
    if (docDate.empty()) {
        form().setText("text3", text("TEXT1"));
        docDate = text("TEXT1");
    }
    if (!CheckDocumentDate(session(), docDate)) {
        requestFocus("text3");
        return false;
    }
    if (text("text5").empty()) {
        inputError(
            sales() ? "NON E' STATO INSERITO IL CLIENTE" : "NON E' STATO INSERITO IL FORNITORE",
            "text5");
        return false;
    }
    if (!leavePartyField()) {
        return false;
    }
    if (sales()) {
        if (Val(text("text2")) == 0) {
            inputError("NON E' STATO INSERITO IL NUMERO DEL DOCUMENTO", "text2");
            return false;
        }
        if (invoiceNumberTaken(text("text2"))) {
            inputError("Fattura già registrata", "text2");
            return false;
        }
    } else {
        if (Val(text("text7")) == 0) {
            inputError("NON E' STATO INSERITO IL NUMERO DI PROTOCOLLO", "text7");
            return false;
        }
        if (protocolTaken(text("text7"), false)) {
            inputError("Protocollo già registrato", "text7");
            return false;
        }
    }
    if (amount("text6") == 0) {
        inputError("NON E' STATO INSERITO L'IMPORTO DELLA FATTURA", "text6");
        return false;
    }
    return true;
}

bool InvoiceEntry::checkRows(std::array<Row, kRows>& rows) {
    double sum = 0;
    for (int row = 0; row < kRows; ++row) {
        sum += amount(CellName("imponibile", row)) + amount(CellName("importoiva", row));
    }
    double difference = std::fabs(amount("text6") - sum);
    if (difference != 0) {
        dialogs().beep();
        dialogs().message(Str(difference), "SBILANCIO", Icon::Exclamation);
        requestFocus("text6");
        return false;
    }
    for (int row = 0; row < kRows; ++row) {
        const bool account = !text(CellName("controp", row)).empty();
        const double taxable = amount(CellName("imponibile", row));
        const bool code = !text(CellName("codiva", row)).empty();
        const double vat = amount(CellName("importoiva", row));
        const char* message = nullptr;
        const char* column = nullptr;
        if (account && taxable == 0) {
            message = "E' STATA INSERITA LA CONTROPARTITA MA NON L'IMPONIBILE";
            column = "imponibile";
        } else if (taxable != 0 && !account) {
            message = "E' STATO INSERITO L'IMPONIBILE MA NON LA CONTROPARTITA ";
            column = "controp";
        } else if (taxable != 0 && !code) {
            message = "E' STATO INSERITO L'IMPONIBILE MA NON IL CODICE IVA";
            column = "codiva";
        } else if (vat != 0 && !account) {
            message = "E' STATO INSERITO UN IMPORTO IVA MA NON LA CONTROPARTITA";
            column = "controp";
        } else if (vat != 0 && !code) {
            message = "E' STATO INSERITO UN IMPORTO IVA MA NON IL CODICE IVA";
            column = "codiva";
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
        auto item = chart::ByDescription(archives(), text(CellName("controp", row)));
        if (!item || item->kind == chart::kMastro || item->kind == chart::kConto) {
            dialogs().beep();
            focusCell(kGrid, "controp", row);
            return false;
        }
        auto vatCode = lookUpVatCode(archives(), text(CellName("codiva", row)));
        if (!vatCode || (sales() && vatCode->nonDeductible)) {
            dialogs().beep();
            focusCell(kGrid, "codiva", row);
            return false;
        }
        rows[static_cast<size_t>(row)] = {
            item->number, taxable,       text(CellName("codiva", row)),
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
        requestFocus("text7");
        return false;
    }
    double p = Val(protocol);
    do {
        p += 1;
    } while (protocolTaken(Format(p, "0"), true));
    protocol = Format(p, "0");
    form().setText("text7", protocol);
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
    std::string protocol = sales() ? std::string() : Format(Val(text("text7")), "0");
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
    for (const char* c : {"text2", "text5", "text6"}) {
        form().setText(c, "");
    }
    for (int row = 0; row < kRows; ++row) {
        for (const char* column : {"controp", "imponibile", "codiva", "importoiva"}) {
            if (!text(CellName(column, row)).empty()) {
                form().setText(CellName(column, row), "");
            }
        }
    }
    m_euro.reset(form());
    requestFocus("TEXT1");
}

}  // namespace zelvo
