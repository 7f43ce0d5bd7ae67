// The annual customer and supplier lists: which rows they take, how they split the year from
// the year before, the columns of the VAT codes, and the printed pages.

#include "vat/AnnualList.h"

#include <gtest/gtest.h>

#include "../posting/YearFixture.h"

namespace zelvo {
namespace {

using vat::Counterpart;
using vat::ListKind;

class AnnualListTest : public ::testing::Test {
  protected:
    AnnualListTest() {
        party("00051", "Rossi Mario", "c", "01234567890", "RSSMRA80A01L219K");
        party("00052", "Bianchi Srl", "c", "00998877665", "00998877665");
        party("00053", "Senza Partita", "c", "", "");
        party("00054", "Verdi Forniture", "f", "11122233344", "");
        party("00055", "Müller GmbH", "f", "DE123456789", "");
        Archives& a = year.archives();
        EXPECT_EQ(a.getByKey(arc::kDataz, "AB"), 0);
        a.copyReadToWrite(arc::kDataz);
        a.writeBuffer(arc::kDataz).setText(4, "05556667778");  // the company's VAT number
        EXPECT_EQ(a.put(arc::kDataz, "AB", isam::mode::kRewrite), 0);
        year.archives().open(arc::kIv);
        year.archives().open(arc::kIa);
        // Rossi: one invoice of two rows in the year, one of the year before.
        sale(1, "00051", "1", "10/01/2026", 1000, "20", 200);
        sale(2, "00051", "1", "10/01/2026", 500, "E10", 0);
        sale(3, "00051", "90", "20/12/2025", 300, "10", 30);
        // Bianchi: a non-taxable invoice, and one two years back that no list takes.
        sale(4, "00052", "2", "05/02/2026", 2000, "N8", 0);
        sale(5, "00052", "3", "15/11/2024", 999, "20", 199.8);
        // No VAT number: not listed.
        sale(6, "00053", "4", "06/02/2026", 100, "20", 20);
        purchase(1, "00054", "A1", "03/03/2026", 4000, "20", 800);
        purchase(2, "00054", "A1", "03/03/2026", 700, "N8", 0);
        purchase(3, "00054", "A9", "28/12/2025", 250, "F15", 0);
        purchase(4, "00055", "M1", "04/04/2026", 9000, "20", 1800);
    }
    void party(const char* number, const char* name, const char* kind, const char* vat,
               const char* taxCode) {
        year.addItem(number, name, kind, [&](isam::Record& r) {
            r.setText(chart::kAddress, "Via Roma 1");
            r.setText(chart::kCity, "Torino");
            r.setText(chart::kVatNumber, vat);
            r.setText(chart::kTaxCode, taxCode);
        });
    }
    // A VAT row of the sales (or purchases) register with the fields the lists read.
    struct RowFields {
        int archive, number, date, account, taxable, code, vat;
    };
    void row(const RowFields& f, int key, const char* account, const char* number, const char* date,
             double taxable, const char* code, double vat) {
        Archives& a = year.archives();
        a.clearWriteBuffer(f.archive);
        isam::Record& r = a.writeBuffer(f.archive);
        r.setText(f.number, number);
        r.setText(f.date, date);
        r.setText(f.account, account);
        r.setNumber(f.taxable, taxable);
        r.setText(f.code, code);
        r.setNumber(f.vat, vat);
        ASSERT_EQ(a.put(f.archive, " " + std::to_string(key), isam::mode::kAdd), 0);
    }
    template <typename... Args>
    void sale(Args... args) {
        row({arc::kIv, ivf::kNumber, ivf::kDocDateText, ivf::kAccount, ivf::kTaxable, ivf::kVatCode,
             ivf::kVat},
            args...);
    }
    template <typename... Args>
    void purchase(Args... args) {
        row({arc::kIa, iaf::kDocNumber, iaf::kDocDateText, iaf::kAccount, iaf::kTaxable,
             iaf::kVatCode, iaf::kVat},
            args...);
    }
    std::vector<Counterpart> collect(ListKind kind) {
        std::vector<Counterpart> out;
        EXPECT_TRUE(vat::CollectCounterparts(year.session(), kind, "2026", out));
        return out;
    }
    std::string print(ListKind kind, int linesPerPage) {
        year.session().values().print.linesPerPage = linesPerPage;
        const auto path = dir.path() / "elenco.txt";
        TextReportSink sink(path.string());
        EXPECT_TRUE(vat::PrintAnnualList(year.session(), sink, kind));
        return test::ReadFile(path);
    }

    test::TempDir dir;
    test::Year year{dir.prefix()};
};

// number, invoices, A, B, C, D of the year; the same of the year before.
using Row = std::tuple<std::string, int, double, double, double, double, int, double, double,
                       double, double>;

std::vector<Row> rows(const std::vector<Counterpart>& list) {
    std::vector<Row> out;
    for (const Counterpart& c : list) {
        const vat::Amounts& y = c.year;
        const vat::Amounts& p = c.previousYear;
        out.emplace_back(c.number, y.invoices, y.a, y.b, y.c, y.d, p.invoices, p.a, p.b, p.c, p.d);
    }
    return out;
}

TEST_F(AnnualListTest, CustomersTakeTheYearAndTheYearBeforeInTheirColumns) {
    const std::vector<Counterpart> list = collect(ListKind::Customers);
    // By VAT number: Bianchi's comes first. Rows of 2024 and parties without a VAT number
    // are left out.
    EXPECT_EQ(rows(list), (std::vector<Row>{
                              {"00052", 1, 0, 0, 2000, 0, 0, 0, 0, 0, 0},
                              {"00051", 1, 1000, 200, 500, 0, 1, 300, 30, 0, 0},
                          }));
    EXPECT_FALSE(list[0].naturalPerson);
    EXPECT_TRUE(list[1].naturalPerson);
    EXPECT_EQ(list[1].year.total(), 1700);
}

TEST_F(AnnualListTest, SuppliersPutArticle8InColumnDAndForeignSuppliersInTheImports) {
    const std::vector<Counterpart> list = collect(ListKind::Suppliers);
    EXPECT_EQ(rows(list), (std::vector<Row>{
                              {"00054", 1, 4000, 800, 0, 700, 1, 0, 0, 250, 0},
                              {"00055", 1, 9000, 1800, 0, 0, 0, 0, 0, 0, 0},
                          }));
    EXPECT_FALSE(list[0].imports);
    EXPECT_TRUE(list[1].imports);
}

TEST_F(AnnualListTest, TheCustomerListCarriesItsTotalsFromPageToPage) {
    EXPECT_EQ(print(ListKind::Customers, 14),
              test::ReadFile(ZELVO_VAT_EXPECTED "/customers_two_pages.txt"));
    EXPECT_TRUE(year.dialogs.boxes().empty());
}

TEST_F(AnnualListTest, TheSupplierListEndsWithTheImports) {
    EXPECT_EQ(print(ListKind::Suppliers, 60), test::ReadFile(ZELVO_VAT_EXPECTED "/suppliers.txt"));
}

}  // namespace
}  // namespace zelvo
