// InvoiceEntry's confirm checks, in their order, and the allocation of the register
// section's number under its lock.

#include <cmath>
#include <optional>

#include "archive/RecordLock.h"
#include "base/NumberText.h"
#include "masterdata/Chart.h"
#include "masterdata/Counters.h"
#include "posting/DateChecks.h"
#include "posting/EntryAccounts.h"
#include "posting/InvoiceEntry.h"
#include "posting/InvoiceEntryParts.h"
#include "posting/JournalFields.h"
#include "posting/PostingEngine.h"

namespace zelvo {

bool InvoiceEntry::checkDates() {
    if (const char* failed = CheckEntryDates(session(), form(), kRegDate, kDocDate)) {
        requestFocus(failed);
        return false;
    }
    return true;
}

bool InvoiceEntry::checkParty() {
    if (text(kParty).empty()) {
        inputError(sales()     ? "NON E' STATO INSERITO IL CLIENTE"
                   : receipt() ? "NON E' STATO INSERITO IL CONTO"
                               : "NON E' STATO INSERITO IL FORNITORE",
                   kParty);
        return false;
    }
    return leavePartyField();
}

// The document's own number: the sales invoice's or the receipt's, or the protocol.
bool InvoiceEntry::checkNumber() {
    const char* field = m_base == Kind::Purchase ? kProtocol : kDocNumber;
    if (Val(text(field)) == 0) {
        inputError(m_base == Kind::Purchase ? "NON E' STATO INSERITO IL NUMERO DI PROTOCOLLO"
                                            : "NON E' STATO INSERITO IL NUMERO DEL DOCUMENTO",
                   field);
        return false;
    }
    if (numberTaken(text(field), false)) {
        inputError(sales()     ? "Fattura già registrata"
                   : receipt() ? "Documento già registrato"
                               : "Protocollo già registrato",
                   field);
        return false;
    }
    return true;
}

bool InvoiceEntry::checkReference() {
    if (text(refNumberField()).empty()) {
        inputError("NON E' STATO INSERITO IL RIFERIMENTO DELLA PARTITA (NUMERO FATTURA)",
                   refNumberField());
        return false;
    }
    std::string date = text(refDateField());
    ClearEmptyDate(date);
    if (date.empty()) {
        inputError("NON E' STATO INSERITO IL RIFERIMENTO DELLA PARTITA (DATA FATTURA)",
                   refDateField());
        return false;
    }
    if (!CheckDocumentDate(session(), date)) {
        requestFocus(refDateField());
        return false;
    }
    return true;
}

// A credit note: its party, its own number (never looked up), its amount, the invoice it
// corrects; a supplier's note then its protocol, as the purchase invoice checks it.
bool InvoiceEntry::checkCreditNote() {
    if (!checkParty()) {
        return false;
    }
    if (Val(text(kDocNumber)) == 0) {
        inputError("NON E' STATO INSERITO IL NUMERO DEL DOCUMENTO", kDocNumber);
        return false;
    }
    if (amount(kTotal) == 0) {
        inputError("NON E' STATO INSERITO L'IMPORTO DELLA FATTURA", kTotal);
        return false;
    }
    return checkReference() && (sales() || checkNumber());
}

bool InvoiceEntry::checkHeader() {
    if (!checkDates()) {
        return false;
    }
    if (creditNote()) {
        return checkCreditNote();
    }
    // A receipt checks its number before its account, the invoices after their party.
    const bool ok = receipt() ? checkNumber() && checkParty() : checkParty() && checkNumber();
    if (!ok) {
        return false;
    }
    if (amount(kTotal) == 0) {
        inputError(receipt() ? "NON E' STATO INSERITO L'IMPORTO "
                             : "NON E' STATO INSERITO L'IMPORTO DELLA FATTURA",
                   kTotal);
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
        auto item = PostableAccount(archives(), text(CellName(kCounterAccount, row)));
        if (!item) {
            dialogs().beep();
            focusCell(kGrid, kCounterAccount, row);
            return false;
        }
        auto vatCode = lookUpVatCode(archives(), text(CellName(kVatCode, row)));
        if (!vatCode || (m_base != Kind::Purchase && vatCode->nonDeductible)) {
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

// Runs under the section's counter lock, which the confirm holds.
bool InvoiceEntry::allocateNumber(std::string& number) {
    if (!numberTaken(number, true)) {
        return true;
    }
    dialogs().beep();
    Answer answer = dialogs().ask(
        std::string("Un'altra registrazione è stata nel frattempo effettuata con il numero di ") +
            (receipt() ? "documento" : "protocollo") +
            " inserito. Si vuole effettuare la registrazione con il primo numero successivo "
            "disponibile ?",
        "Zelvo", Icon::Question, false);
    if (answer != Answer::Yes) {
        requestFocus(allocatedField());
        return false;
    }
    double p = Val(number);
    do {
        p += 1;
    } while (numberTaken(Format(p, "0"), true));
    number = Format(p, "0");
    form().setText(allocatedField(), number);
    return true;
}

// The gross amount typed as taxable is split into taxable and VAT, to the nearest lira,
// so that the two always add up to it.

}  // namespace zelvo
