#include "duedates/DueDateRegistration.h"

#include "base/DateText.h"
#include "base/NumberText.h"
#include "duedates/DueDateBooks.h"
#include "duedates/DueDateFields.h"
#include "duedates/DuePartyField.h"
#include "masterdata/Counters.h"
#include "posting/DateChecks.h"

namespace zelvo {

using duedates::Book;

namespace {

constexpr const char* kSide = "Clienti/Fornitori";
constexpr const char* kPayment = "Tipo di pagamento";

}  // namespace

DueDateRegistration::DueDateRegistration(Session& session) : ScreenLogic(session, layout()) {
    auto relabel = [this] { form().setText(kPartyLabel, suppliers() ? "Fornitore:" : "Cliente:"); };
    on(Event::Change, kCustomers, relabel);
    on(Event::Change, kSuppliers, relabel);
    on(Event::Click, kRegister, [this] { registerInstalment(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec DueDateRegistration::layout() {
    using R = DueDateRegistration;
    FormSpec f;
    f.name = "REGSCA";
    f.title = "Registrazione scadenzario";
    f.option(R::kCustomers, "Clienti", kSide, 0, 0);
    f.option(R::kSuppliers, "Fornitori", kSide, 0, 1);
    f.option(R::kRemittances, "Rimesse dirette", kPayment, 1, 0);
    f.option(R::kBankReceipts, "Ricevute bancarie", kPayment, 1, 1);
    f.label(R::kPartyLabel, "Cliente:", 2);
    f.account(R::kParty, "", 2).column = 1;
    f.text(R::kInvoiceNumber, "Numero fatt.:", 3, 10);
    f.date(R::kInvoiceDate, "Data fattura:", 4);
    f.amount(R::kAmount, "Importo:", 5, 16, Amounts::Lire);
    f.date(R::kDueDate, "Scadenza:", 6);
    f.button(R::kRegister, "&Registra", 7, 0, {.isDefault = true});
    f.button(R::kCancel, "&Annulla", 7, 1, {.isCancel = true});
    return f;
}

void DueDateRegistration::load() {
    for (Book b : {Book::CustomerRemittances, Book::CustomerBankReceipts, Book::Suppliers}) {
        const int archive = duedates::InfoOf(b).archive;
        if (archives().open(archive)) {
            m_opened.push_back(archive);
        }
    }
    form().setChecked(kCustomers, true);
    form().setChecked(kRemittances, true);
}

void DueDateRegistration::unload() {
    for (int archive : m_opened) {
        archives().close(archive);
    }
    m_opened.clear();
}

std::vector<std::string> DueDateRegistration::suggestions(const std::string& control,
                                                          const std::string& typed, bool full) {
    return control == kParty ? duedates::PartySuggestions(session(), side(), typed, full)
                             : std::vector<std::string>{};
}

bool DueDateRegistration::suppliers() {
    return form().checked(kSuppliers);
}

Book DueDateRegistration::side() {
    if (suppliers()) {
        return Book::Suppliers;
    }
    return form().checked(kBankReceipts) ? Book::CustomerBankReceipts : Book::CustomerRemittances;
}

// A name that is not a party of the chosen side counts as no party at all.
std::optional<std::string> DueDateRegistration::checkedParty() {
    std::string number;
    if (text(kParty).empty() || !duedates::PartyOfBook(session(), side(), text(kParty), number)) {
        inputError("NON E' STATO INSERITO IL CLIENTE", kParty);
        return std::nullopt;
    }
    return number;
}

bool DueDateRegistration::requiredDate(const char* control, const char* missing,
                                       std::string& date) {
    date = text(control);
    if (date.empty() || IsEmptyDateMask(date)) {
        inputError(missing, control);
        return false;
    }
    if (!CheckDocumentDate(session(), date)) {
        requestFocus(control);
        return false;
    }
    return true;
}

bool DueDateRegistration::checkFields(std::string& invoiceDate, std::string& dueDate) {
    if (text(kInvoiceNumber).empty()) {
        inputError("NON E' STATO INSERITO IL NUMERO DELLA FATTURA", kInvoiceNumber);
        return false;
    }
    if (!requiredDate(kInvoiceDate, "NON E' STATA INSERITA LA DATA DELLA FATTURA", invoiceDate)) {
        return false;
    }
    if (Val(text(kAmount)) == 0) {
        inputError("NON E' STATO INSERITO L'IMPORTO", kAmount);
        return false;
    }
    return requiredDate(kDueDate, "NON E' STATA INSERITA LA DATA DELLA SCADENZA", dueDate);
}

void DueDateRegistration::registerInstalment() {
    std::optional<std::string> party = checkedParty();
    std::string invoiceDate;
    std::string dueDate;
    if (!party || !checkFields(invoiceDate, dueDate)) {
        return;
    }
    if (write(*party, ToKeyDate(invoiceDate), ToKeyDate(dueDate))) {
        form().setText(kAmount, "");
        form().setText(kDueDate, "");
        requestFocus(kAmount);
    }
}

bool DueDateRegistration::write(const std::string& party, const std::string& invoiceDate,
                                const std::string& dueDate) {
    const bool bankReceipts = form().checked(kBankReceipts);
    const duedates::BookInfo& info = duedates::InfoOf(side());
    Archives& a = archives();
    if (!a.isOpen(info.archive)) {
        return false;  // its opening failed and was reported
    }
    // The counter and the record land together: a failed write leaves the number unused.
    Registration tx(a, info.archive);
    const std::int32_t n = tx.status() == 0 ? NextLockedNumber(a, info.counter) : 0;
    if (n == 0) {
        return false;
    }
    a.clearWriteBuffer(info.archive);
    isam::Record& r = a.writeBuffer(info.archive);
    r.setText(duef::kInvoiceNumber, text(kInvoiceNumber));
    r.setText(duef::kInvoiceDate, invoiceDate);
    r.setText(duef::kPartyNumber, party);
    r.setNumber(duef::kAmount, Val(text(kAmount)));
    r.setText(duef::kDueDate, dueDate);
    if (info.partyDueKey) {
        r.setText(duef::kPartyDueKey, party + dueDate);
    }
    if (info.suppliers) {
        r.setText(duef::kPaymentType, bankReceipts ? "rb" : "rd");
    }
    if (a.putReported(info.archive, Format(n, "00000000"), isam::mode::kAdd, kWritePosition) != 0) {
        return false;
    }
    if (tx.commit() != 0) {
        a.report(opn::kWrite, info.archive, kCommitPosition);
        return false;
    }
    return true;
}

}  // namespace zelvo
