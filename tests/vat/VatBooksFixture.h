#pragma once

#include <string>

#include "base/NumberText.h"
#include "posting/JournalFields.h"
#include "posting/YearFixture.h"
#include "vat/VatBooks.h"

namespace zelvo::test {

// A year whose VAT registers are written row by row, as posting leaves them.
class VatYear : public Year {
  public:
    explicit VatYear(const std::string& dataDir) : Year(dataDir) {
        for (int archive : {arc::kIv, arc::kIa, arc::kIc, arc::kSi}) {
            archives().open(archive, 1);
        }
        // What the start-up gives every screen.
        static const char* const kMonths[] = {"Gennaio",   "Febbraio", "Marzo",    "Aprile",
                                              "Maggio",    "Giugno",   "Luglio",   "Agosto",
                                              "Settembre", "Ottobre",  "Novembre", "Dicembre"};
        for (int m = 1; m <= 12; ++m) {
            session().values().monthNames[static_cast<size_t>(m)] = kMonths[m - 1];
        }
    }

    // One row: `date` is the registration date (the document date of a cash receipt).
    void row(VatBook book, const std::string& date, const std::string& number,
             const std::string& code, double taxable, double vat, const std::string& section = "1",
             const std::string& account = "00051") {
        Archives& a = archives();
        const int archive = VatArchive(book);
        const std::string month = date.substr(3, 2);
        const std::string n = Format(Val(number), "00000");
        a.clearWriteBuffer(archive);
        VatRow v;
        v.month = month;
        v.section = section;
        v.number = n;
        v.docNumber = "A-" + number;
        v.regDate = v.docDate = date;
        v.account = book == VatBook::Receipts ? "" : account;
        v.vatCode = code;
        v.taxable = taxable;
        v.vat = vat;
        FillVatRecord(book, v, a.writeBuffer(archive));
        ASSERT_EQ(a.put(archive, Str(++m_key), isam::mode::kAdd), 0);
    }

    void setBalance(int position, double value) {
        Archives& a = archives();
        ASSERT_EQ(a.getByKey(arc::kSi, "1"), 0);
        a.copyReadToWrite(arc::kSi);
        a.writeBuffer(arc::kSi).setNumber(position, value);
        ASSERT_EQ(a.put(arc::kSi, "1", isam::mode::kWrite), 0);
    }

    double balance(int position) {
        Archives& a = archives();
        EXPECT_EQ(a.getByKey(arc::kSi, "1"), 0);
        return a.readBuffer(arc::kSi).number(position);
    }

    // The text of a counters entry ("regiv1", "liqiva"): how far a book was printed; "?"
    // when the entry is missing.
    std::string printedMonth(const std::string& key) {
        Archives& a = archives();
        return a.getByKey(arc::kPr, key) == 0 ? a.readBuffer(arc::kPr).text(prf::kText) : "?";
    }

  private:
    double m_key = 0;
};

}  // namespace zelvo::test
