#include "posting/InvoiceEntry.h"

#include <algorithm>
#include <cmath>

#include "base/DateText.h"
#include "base/NumberText.h"
#include "duedates/DueDateFields.h"
#include "duedates/DueDates.h"
#include "masterdata/Chart.h"
#include "posting/InvoiceEntryParts.h"
#include "posting/JournalFields.h"
#include "posting/PostingEngine.h"

namespace zelvo {

namespace {

constexpr int kProtocolWrite = 742;
constexpr int kDueDateDelete = 743;
constexpr int kVatRowDelete = 744;

// The reference an invoice's due dates carry, by which its revision finds them again: for
// sales the section followed by the invoice number with at least five digits, for purchases
// the supplier's document number as stored, padded to six. Longer numbers are kept whole.
std::string dueDateReference(bool sales, const std::string& section, const std::string& docNumber) {
    return sales ? section + Format(Val(docNumber), "00000") : PadNumber(docNumber, 6);
}

}  // namespace

void InvoiceEntry::post(const std::array<Row, kRows>& rows, const std::string& allocated) {
    const std::string docDate = text(kDocDate);
    const std::string sec = section();
    const double total = amount(kTotal);
    if (m_partyName != text(kParty) && !leavePartyField()) {
        return;
    }
    JournalEntry e;
    e.regDate = text(kRegDate);
    e.docNumber = text(kDocNumber);
    e.docDate = docDate;
    e.protocol = m_base == Kind::Purchase ? allocated : std::string();
    e.causal = creditNote() ? (sales() ? "cv" : "ca") : sales() ? "fv" : receipt() ? "co" : "fa";
    e.vatSection = sec;
    if (receipt()) {
        // The number actually allocated, which the race may have moved on.
        e.docNumber = allocated;
    }
    const std::string description = text(kDescription);
    // The customer and the till are debited with the total, the supplier credited; a credit
    // note swaps every side and names the invoice it corrects in its party line.
    const bool partyDebit = (m_base != Kind::Purchase) != creditNote();
    e.lines.push_back({m_partyNumber, partyDebit ? total : 0, partyDebit ? 0 : total, description});
    if (creditNote()) {
        // The invoice's number as its own party line keys it: digits as a number ("015" is
        // invoice 15), anything else as typed, since a supplier's numbers need not be digits.
        const std::string ref = text(refNumberField());
        const bool digits = !ref.empty() && std::all_of(ref.begin(), ref.end(), [](char c) {
            return c >= '0' && c <= '9';
        });
        e.lines.back().refNumber = digits ? Format(Val(ref), "0") : ref;
        e.lines.back().refDate = text(refDateField());
    }
    double deductible = 0;
    double nonDeductible = 0;
    for (int i = 0; i < kRows; ++i) {
        const Row& r = rows[static_cast<size_t>(i)];
        if (r.account.empty()) {
            continue;
        }
        // Revenues go in credit and costs in debit; a negative amount goes to the other side.
        double side = std::fabs(r.taxable);
        bool usual = r.taxable >= 0;
        bool credit = partyDebit ? usual : !usual;
        e.lines.push_back({r.account, credit ? 0 : side, credit ? side : 0, description});
        (r.nonDeductible ? nonDeductible : deductible) += r.vat;
        addRowRecords(e, r, i, allocated);
    }
    addVatLines(e, deductible, nonDeductible);
    const std::string partyName = text(kParty);
    const std::string reference = dueDateReference(sales(), sec, text(kDocNumber));
    const std::string keyDate = ToKeyDate(docDate);
    const std::string counter = allocationCounter();
    e.afterLines = [this, partyName, total, reference, keyDate, allocated, counter]() {
        Archives& ar = archives();
        if (!sales()) {
            // The section's counter holds the highest number used and never goes back.
            if (ar.getByKey(arc::kPr, counter) == 0 &&
                Val(allocated) > ar.readBuffer(arc::kPr).number(prf::kValue)) {
                ar.copyReadToWrite(arc::kPr);
                ar.writeBuffer(arc::kPr).setNumber(prf::kValue, Val(allocated));
                if (ar.putReported(arc::kPr, counter, isam::mode::kWrite, kProtocolWrite) == 0) {
                    ar.flush(arc::kPr);
                }
            }
        }
        if (!receipt() && !creditNote()) {
            GenerateDueDates(session(), partyName, total, reference, keyDate);
        }
    };
    PostingEngine engine(session());
    if (m_variant == Variant::Revision) {
        m_lastPosted = engine.replace(m_regNumber, m_loaded, e, [this] { removeOldDocument(); });
    } else {
        m_lastPosted = engine.post(e);
    }
}

// The register row and the detail row of one grid row.
void InvoiceEntry::addRowRecords(JournalEntry& e, const Row& r, int row,
                                 const std::string& allocated) {
    Archives& a = archives();
    const std::string regDate = text(kRegDate);
    const std::string docDate = text(kDocDate);
    const std::string sec = section();
    const int archive = vatArchive(m_base);
    // A credit note's register rows subtract from the register and its settlements.
    const double sign = creditNote() ? -1 : 1;
    auto signed_ = [sign](double v) { return v == 0 ? 0.0 : sign * v; };
    NumberedRecord v{archive, sales() ? "iv" : receipt() ? "ic" : "ia", a.blankRecord(archive)};
    if (receipt()) {
        // The receipts' register goes by the document's date and has no party.
        const std::string number = PadNumber(allocated, 5);
        v.record.setText(icf::kMonth, docDate.substr(3, 2));
        v.record.setText(icf::kNumber, number);
        v.record.setText(icf::kDocDate, ToKeyDate(docDate));
        v.record.setNumber(icf::kTaxable, r.taxable);
        v.record.setText(icf::kVatCode, r.vatCode);
        v.record.setText(icf::kVatRateText, Str(r.rate));
        v.record.setNumber(icf::kVat, r.vat);
        v.record.setText(icf::kVatSection, sec);
        v.record.setText(icf::kSectionNumberKey, sec + number);
    } else {
        // Sales rows carry the invoice number where purchase rows carry the protocol (and
        // the supplier's number beside it); the other fields are the same in both.
        const VatRowFields& f = sales() ? kSalesRowFields : kPurchaseRowFields;
        const std::string docNumber = PadNumber(text(kDocNumber), 6);
        const std::string number =
            sales() ? docNumber.substr(docNumber.size() - 5) : PadNumber(allocated, 5);
        v.record.setText(f.month, regDate.substr(3, 2));
        v.record.setText(f.number, number);
        if (!sales()) {
            v.record.setText(iaf::kDocNumber, docNumber);
        }
        v.record.setText(f.docDateText, docDate);
        v.record.setText(f.account, m_partyNumber);
        v.record.setNumber(f.taxable, signed_(r.taxable));
        v.record.setText(f.vatCode, r.vatCode);
        v.record.setText(f.vatRateText, Str(r.rate));
        v.record.setNumber(f.vat, signed_(r.vat));
        v.record.setText(f.vatSection, sec);
        v.record.setText(f.sectionKey, sec + number);
        v.record.setText(f.regDateText, regDate);
    }
    e.vatRows.push_back(std::move(v));

    NumberedRecord d{arc::kTt, "dati", a.blankRecord(arc::kTt)};
    d.record.setText(ttf::kCell1, text(CellName(kCounterAccount, row)));
    d.record.setText(ttf::kCell2, text(CellName(kTaxable, row)));
    d.record.setText(ttf::kCell3, text(CellName(kVatCode, row)));
    d.record.setText(ttf::kCell4, text(CellName(kVat, row)));
    e.detailRows.push_back(std::move(d));
}

void InvoiceEntry::addVatLines(JournalEntry& e, double deductible, double nonDeductible) {
    const std::string description = text(kDescription);
    if (m_base != Kind::Purchase) {
        // Unlike the rows, the sales VAT never changes side: a negative total is a negative
        // credit, so the account's Avere and the journal's column net it as the rule says.
        // The receipts' VAT follows the same rule on its own account.
        // A customer's credit note debits it, by the same rule.
        if (deductible != 0) {
            const std::string account = sales() ? "00012" : "00013";
            e.lines.push_back(creditNote() ? JournalLine{account, deductible, 0, description}
                                           : JournalLine{account, 0, deductible, description});
        }
        return;
    }
    // Purchase VAT goes in debit, a negative total in credit as its absolute value; a
    // supplier's credit note the other way round.
    const bool mirrored = creditNote();
    auto vatLine = [&e, &description, mirrored](const char* account, double amount) {
        if (amount != 0) {
            const double usual = amount > 0 ? amount : 0;
            const double other = amount < 0 ? -amount : 0;
            e.lines.push_back(
                {account, mirrored ? other : usual, mirrored ? usual : other, description});
        }
    };
    vatLine("00011", deductible);
    vatLine("00014", nonDeductible);
}

bool InvoiceEntry::annul() {
    return PostingEngine(session()).annul(m_regNumber, m_loaded, [this] { removeOldDocument(); });
}

void InvoiceEntry::removeOldDocument() {
    Archives& a = archives();
    // The VAT rows of the old document, found by section and number (or protocol).
    const int vatArchive = registerFields(m_base).archive;
    const int keyField = registerFields(m_base).sectionKey;
    const std::string key = m_oldSection + oldRegisterNumber();
    // Sales and purchase rows also name their party and dates: a credit note may share its
    // number with an invoice of the section.
    const RegisterFields& f = registerFields(m_base);
    const std::string regDateText = ShownDate(m_loaded.front().record.text(mcf::kRegDate));
    std::vector<std::string> doomed;
    std::int16_t s = a.get(vatArchive, keyField, isam::op::kFind, key);
    while (s == 0 && a.readBuffer(vatArchive).text(keyField) == key) {
        const isam::Record& row = a.readBuffer(vatArchive);
        const bool own = receipt() || (row.text(f.account) == m_oldParty &&
                                       row.text(f.regDateText) == regDateText &&
                                       row.text(f.docDateText) == ShownDate(m_oldDocDate));
        if (own) {
            doomed.push_back(a.primaryKey(vatArchive));
        }
        s = a.get(vatArchive, keyField, isam::op::kNext, "");
    }
    for (const std::string& k : doomed) {
        if (a.remove(vatArchive, k) != 0) {
            a.report(opn::kDelete, vatArchive, kVatRowDelete);
        }
    }
    if (receipt() || creditNote()) {
        return;  // only invoices have due dates
    }
    // The due dates the old invoice generated: its party, reference and date.
    const std::string reference = dueDateReference(sales(), m_oldSection, m_oldDocNumber);
    const std::vector<int> dueArchives =
        sales() ? std::vector<int>{arc::kSd, arc::kSt} : std::vector<int>{arc::kSf};
    for (int archive : dueArchives) {
        if (!a.open(archive)) {
            continue;
        }
        std::vector<std::string> keys;
        s = a.get(archive, duef::kPartyNumber, isam::op::kFind, m_oldParty);
        while (s == 0 && a.readBuffer(archive).text(duef::kPartyNumber) == m_oldParty) {
            const isam::Record& r = a.readBuffer(archive);
            if (r.text(duef::kInvoiceNumber) == reference &&
                r.text(duef::kInvoiceDate) == m_oldDocDate) {
                keys.push_back(a.primaryKey(archive));
            }
            s = a.get(archive, duef::kPartyNumber, isam::op::kNext, "");
        }
        for (const std::string& k : keys) {
            if (a.remove(archive, k) != 0) {
                a.report(opn::kDelete, archive, kDueDateDelete);
            }
        }
        a.close(archive);
    }
}

void InvoiceEntry::fillFromRegistration() {
    PostingEngine engine(session());
    const auto& lines = m_loaded = engine.lines(m_regNumber);
    if (lines.empty()) {
        return;
    }
    // The first line is the party's: the customer and the till in debit, the supplier in
    // credit.
    const isam::Record& first = lines.front().record;
    m_oldParty = first.text(mcf::kAccount);
    m_oldSection = first.text(mcf::kVatSection);
    m_oldDocNumber = first.text(mcf::kDocNumber);
    m_oldNumber = m_oldDocNumber.size() >= 5 ? m_oldDocNumber.substr(m_oldDocNumber.size() - 5)
                                             : PadNumber(m_oldDocNumber, 5);
    m_oldProtocol = first.text(mcf::kProtocol);
    m_oldDocDate = first.text(mcf::kDocDate);
    form().setText(kRegDate, ShownDate(first.text(mcf::kRegDate)));
    form().setText(kDocNumber,
                   m_base != Kind::Purchase ? wholeNumber(Val(m_oldDocNumber)) : m_oldDocNumber);
    form().setText(kDocDate, ShownDate(m_oldDocDate));
    form().setText(kDescription, first.text(mcf::kDescription));
    auto party = chart::ByNumber(archives(), m_oldParty);
    form().setText(kParty, party ? party->description : std::string());
    form().setText(kTotal, wholeNumber(first.number(mcf::kDebit) + first.number(mcf::kCredit)));
    form().setText(sectionField(), m_oldSection);
    if (m_base == Kind::Purchase) {
        form().setText(kProtocol, wholeNumber(Val(m_oldProtocol)));
    }
    if (creditNote()) {
        // The invoice corrected, as the party line's account-document key names it.
        const std::string key = first.text(mcf::kAccountDocKey);
        if (key.size() >= 19) {
            form().setText(refDateField(), ShownDate(key.substr(5, 8)));
            // Without its padding, not as a number: a supplier's invoice numbers need not
            // be digits ("A/15" is kept as "00A/15"), and the reference must name it again.
            const std::string padded = key.substr(13);
            const size_t digit = padded.find_first_not_of('0');
            form().setText(refNumberField(),
                           digit == std::string::npos ? std::string() : padded.substr(digit));
        }
    }
    int row = 0;
    for (const isam::Record& d : engine.detailRows(m_regNumber)) {
        if (row >= kRows) {
            break;
        }
        form().setText(CellName(kCounterAccount, row), d.text(ttf::kCell1));
        form().setText(CellName(kTaxable, row), d.text(ttf::kCell2));
        form().setText(CellName(kVatCode, row), d.text(ttf::kCell3));
        form().setText(CellName(kVat, row), d.text(ttf::kCell4));
        ++row;
    }
}

}  // namespace zelvo
