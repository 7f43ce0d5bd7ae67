#include "vat/AnnualList.h"

#include <algorithm>
#include <string_view>

#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/ChartFields.h"
#include "masterdata/VatCodeFields.h"
#include "posting/JournalFields.h"

namespace zelvo::vat {

namespace {

// Fields of one kind of VAT row that the list reads.
struct RowFields {
    int archive;
    int number;
    int docDateText;  // dd/mm/yyyy
    int account;
    int taxable;
    int vatCode;
    int vat;
};
constexpr RowFields kSales{arc::kIv,      ivf::kNumber,  ivf::kDocDateText, ivf::kAccount,
                           ivf::kTaxable, ivf::kVatCode, ivf::kVat};
constexpr RowFields kPurchases{arc::kIa,      iaf::kDocNumber, iaf::kDocDateText, iaf::kAccount,
                               iaf::kTaxable, iaf::kVatCode,   iaf::kVat};

constexpr int kCodesPosition = 7401;
constexpr int kRowsPosition = 7402;

struct Code {
    double rate = 0;
    bool article8 = false;
};

std::map<std::string, Code> readCodes(Archives& a) {
    std::map<std::string, Code> codes;
    for (int slot = 0; slot < vatcode::kSlots; ++slot) {
        if (a.getByKey(arc::kCiva, vatcode::SlotKey(slot)) != 0) {
            continue;
        }
        const isam::Record& r = a.readBuffer(arc::kCiva);
        const std::string d = AsciiLower(r.text(vatcode::kVatDescription));
        codes[r.text(vatcode::kVatCode)] = {
            r.number(vatcode::kVatRate),
            d.find("art. 8") != std::string::npos || d.find("art.8") != std::string::npos};
    }
    return codes;
}

void addRow(Amounts& to, const Code& code, ListKind kind, double taxable, double vat) {
    if (code.rate != 0) {
        to.a += taxable;
    } else if (kind == ListKind::Suppliers && code.article8) {
        to.d += taxable;
    } else {
        to.c += taxable;
    }
    to.b += vat;
}

bool italianVatNumber(const std::string& v) {
    return v.size() == 11 &&
           std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The chart data of a counterpart; false when it has no VAT number (or no chart record).
bool describe(Archives& a, Counterpart& c) {
    if (a.getByKey(arc::kPc, c.number) != 0) {
        return false;
    }
    const isam::Record& r = a.readBuffer(arc::kPc);
    c.name = r.text(chart::kDescription);
    c.address = r.text(chart::kAddress);
    c.city = r.text(chart::kCity);
    c.vatNumber = r.text(chart::kVatNumber);
    c.naturalPerson = Utf8Length(r.text(chart::kTaxCode)) == 16;
    c.imports = !italianVatNumber(c.vatNumber);
    return !c.vatNumber.empty();
}

}  // namespace

Amounts& Amounts::operator+=(const Amounts& o) {
    invoices += o.invoices;
    a += o.a;
    b += o.b;
    c += o.c;
    d += o.d;
    return *this;
}

bool CollectCounterparts(Session& session, ListKind kind, const std::string& year,
                         std::vector<Counterpart>& out) {
    Archives& a = session.archives();
    const RowFields& f = kind == ListKind::Customers ? kSales : kPurchases;
    const std::string previous = std::to_string(WholeVal(year) - 1);
    std::map<std::string, Code> codes;
    if (a.open(arc::kCiva, kCodesPosition)) {
        codes = readCodes(a);
        a.close(arc::kCiva, kCodesPosition);
    }
    std::map<std::string, Counterpart> by;
    // The rows of one invoice are written together, one after the other: an invoice is
    // counted where its rows begin.
    std::string previousRow;
    const Code noCode;
    const std::int16_t s = a.recordManager().scan(
        a.handle(f.archive), 0, "", [&](const std::string&, const isam::Record& r) {
            const std::string& date = r.text(f.docDateText);
            const std::string_view y =
                date.size() == 10 ? std::string_view(date).substr(6) : std::string_view();
            if (y != year && y != previous) {
                previousRow.clear();
                return true;
            }
            const std::string& account = r.text(f.account);
            Counterpart& c = by[account];
            c.number = account;
            Amounts& to = y == year ? c.year : c.previousYear;
            auto code = codes.find(r.text(f.vatCode));
            addRow(to, code == codes.end() ? noCode : code->second, kind, r.number(f.taxable),
                   r.number(f.vat));
            std::string invoice = account + "|" + r.text(f.number) + "|" + date;
            if (invoice != previousRow) {
                ++to.invoices;
                previousRow = std::move(invoice);
            }
            return true;
        });
    a.setStatus(s);
    if (s != 0) {
        a.report(opn::kRead, f.archive, kRowsPosition);
        return false;
    }
    out.clear();
    for (auto& [number, c] : by) {
        if (describe(a, c)) {
            out.push_back(std::move(c));
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const Counterpart& x, const Counterpart& y) {
        return x.vatNumber != y.vatNumber ? x.vatNumber < y.vatNumber : x.name < y.name;
    });
    return true;
}

}  // namespace zelvo::vat
