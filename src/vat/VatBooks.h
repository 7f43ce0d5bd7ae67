#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "archive/Archives.h"
#include "session/Session.h"

namespace zelvo {

// The three VAT registers and the rows posting writes into them.
enum class VatBook { Sales, Purchases, Receipts };

int VatArchive(VatBook book);

// One VAT register row, whatever its register: the fields the books and settlements read.
struct VatRow {
    std::string month;    // "01".."12"
    std::string section;  // "1".."9"
    // The number the register follows: invoice number (sales), protocol (purchases),
    // document number (cash receipts); five digits.
    std::string number;
    std::string docNumber;  // purchases: the supplier's invoice number
    std::string regDate;    // dd/mm/yyyy as typed; cash receipts: the document date
    std::string docDate;    // dd/mm/yyyy
    std::string account;    // customer or supplier item number; none for cash receipts
    std::string vatCode;
    std::string vatRateText;
    double taxable = 0;
    double vat = 0;
    std::string key;  // the primary key, set by ForEachVatRow
};
VatRow ReadVatRow(VatBook book, const isam::Record& record);
// The record of `row` in its register's layout (`record` already shaped by it); the section
// keys are built from section and number, a cash receipt's date key from `docDate`.
void FillVatRecord(VatBook book, const VatRow& row, isam::Record& record);

// The index of section + number of each register (key field 10 or 11).
int SectionKeyField(VatBook book);

// Which rows a reading keeps: those of one section (empty: all) and of some months (empty:
// all). Reading in the order of the section key, it ends with the section's last row.
struct VatRowFilter {
    std::string section;
    std::vector<std::string> months;
};

// Reads the rows of the (open) register archive in the order of `keyField` from `from` on,
// in one consistent state, until `row` answers false; rows the filter leaves out are skipped
// before they are unpacked. False when the reading failed; the failure is reported at
// `position`.
bool ForEachVatRow(Archives& archives, VatBook book, int keyField, const std::string& from,
                   int position, const VatRowFilter& filter,
                   const std::function<bool(const VatRow&)>& row);

// How a VAT code is treated in the tables of the registers and settlements.
enum class VatKind { Normal, NonDeductible, Exempt };

// One slot of the VAT code table with the totals a print adds to it.
struct VatCodeSlot {
    std::string code;
    std::string description;
    double rate = 0;
    int kind = 0;  // the non-deductible percentage: 0 normal, greater than 0 non-deductible
    double taxable = 0;
    double vat = 0;
    VatKind table() const;
};

// The VAT code table as the prints load it: the 25 slots read by slot key ("0", "01" ..
// "24") with their totals at 0.
class VatCodeTotals {
  public:
    // Reads the slots from the open "codici iva" archive; a failed read is reported.
    bool load(Archives& archives, int position);
    // Adds the amounts to the slot of `code`; false when the table has no such code.
    bool add(const std::string& code, double taxable, double vat);
    const VatCodeSlot* find(const std::string& code) const;
    const std::array<VatCodeSlot, 25>& slots() const { return m_slots; }
    std::array<VatCodeSlot, 25>& slots() { return m_slots; }
    // The VAT total of the codes of one table.
    double vatOf(VatKind kind) const;
    double vatTotal() const;

  private:
    std::array<VatCodeSlot, 25> m_slots;
};

// "Il codice iva " + code + " non risulta più registrato nella tabella iva. Il registro non
// sarà stampato correttamente." titled "Errore".
void ReportMissingVatCode(Session& session, const std::string& code);

// The amount tables of the registers and settlements: the column headings ("Aliquota
// Imponibile       Imposta", with "        Totale" when `withTotal`), one line per code of
// the table `in` selects whose totals are not both zero (description and rate, taxable, VAT
// and their sum), and the line of the totals. Amounts with the mask "##,###,###,###".
std::vector<std::string> RateTable(const VatCodeTotals& totals,
                                   const std::function<bool(const VatCodeSlot&)>& in,
                                   bool withTotal);
// The exempt table: "Articolo           Imponibile  ", the description (the law article)
// and the taxable amount of each exempt code with a non-zero total, and their total.
std::vector<std::string> ExemptTable(const VatCodeTotals& totals);
// The purchase tables: "IVA NORMALE", "IVA INDETRAIBILE" and "ESENTE - NON SOGGETTO".
std::vector<std::string> PurchaseTables(const VatCodeTotals& totals);

// The month name of "01".."12", or the text itself.
std::string MonthName(Session& session, int month);

// How far a book has been printed definitively: the month ("01".."12") a counters entry
// keeps in its text. 0 before the first definitive print; -1 when the reading failed
// (reported at `position`).
int PrintedMonth(Archives& archives, const std::string& key, int position);
// Stores `month` in the entry's text, keeping its number, and flushes; in a transaction of
// its own, or of the caller's when it writes more with it. False when it failed (reported).
bool StorePrintedMonth(Archives& archives, const std::string& key, int month, int position);

// A definitive print of a book up to `month` under its print state `key`. The state is held
// for the whole print, so that a second station waits and then finds the month printed; a
// month at or before the one stored is refused with `printedText` + that month's name (title
// "ATTENZIONE"). `print` prints and stores the new state; its answer is returned.
bool RunDefinitivePrint(Session& session, const std::string& key, int month,
                        const std::string& printedText, int readPosition, int writePosition,
                        const std::function<bool()>& print);

}  // namespace zelvo
