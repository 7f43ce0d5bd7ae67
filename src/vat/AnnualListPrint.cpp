// The page of the annual lists. Each counterpart takes three lines: its name, address and
// town; its progressive number, VAT number and the amounts of the invoices dated in the
// year; "PF" for a natural person and the amounts of the year before. Amounts end under the
// end of their column's caption. A page that is full carries its totals to the next, which
// starts with "Riporti prec."; the list ends with "Totali" and, for suppliers, the imports.

#include "base/NumberText.h"
#include "base/Utf8.h"
#include "session/ReportPager.h"
#include "session/ReportRun.h"
#include "vat/AnnualList.h"

namespace zelvo::vat {

namespace {

constexpr const char* kAmountMask = "##,###,###,##0";
constexpr int kCompanyVatNumber = 4;  // of the company register record
constexpr int kCompanyPosition = 7411;

const std::vector<std::string> kCustomerCaptions = {
    "                      (A)Operazioni       (B)Imposte          (C)Non imponibili          "
    "Totale",
    "                         imponibili          addebitate          ed esenti              "
    "(A+B+C)"};
const std::vector<std::string> kSupplierCaptions = {
    "                  N.  (A)Operazioni  (B)Imposte     (C)Acq.senza   (D)Acquisti non       "
    "Totale",
    "                Fatt.    imponibili     addebitate     imposta        imp.art.8/2c    "
    "(A+B+C+D)"};

std::string overline(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        s += kOverline;
    }
    return s;
}

// Where each amount of a line ends: under the end of its caption on the first caption line.
std::vector<int> columnEnds(ListKind kind) {
    const std::string& h =
        kind == ListKind::Customers ? kCustomerCaptions[0] : kSupplierCaptions[0];
    std::vector<const char*> words = {"(A)Operazioni", "(B)Imposte"};
    if (kind == ListKind::Customers) {
        words.insert(words.end(), {"(C)Non imponibili", "Totale"});
    } else {
        words.insert(words.begin(), "N.");
        words.insert(words.end(), {"(C)Acq.senza", "(D)Acquisti non", "Totale"});
    }
    std::vector<int> ends;
    for (const char* w : words) {
        ends.push_back(static_cast<int>(h.find(w) + std::string(w).size()));
    }
    return ends;
}

// `label` at the left, then the amounts, each ending at its column.
std::string amountLine(ListKind kind, std::string label, const Amounts& m) {
    std::vector<std::string> values;
    if (kind == ListKind::Suppliers) {
        values.push_back(Format(m.invoices, "#0"));
    }
    for (double v : {m.a, m.b, m.c}) {
        values.push_back(Format(v, kAmountMask));
    }
    if (kind == ListKind::Suppliers) {
        values.push_back(Format(m.d, kAmountMask));
    }
    values.push_back(Format(m.total(), kAmountMask));
    const std::vector<int> ends = columnEnds(kind);
    std::string line = std::move(label);
    for (size_t i = 0; i < values.size(); ++i) {
        line = PadRight(line, Utf8Length(line) + 1);
        line += PadLeft(values[i], ends[i] - Utf8Length(line));
    }
    return line;
}

struct Totals {
    Amounts year;
    Amounts previousYear;
};

struct Layout {
    ListKind kind;
    std::string title;
    std::string company;
    std::string vatNumber;

    std::vector<std::string> heading(int page, const Totals& carried) const {
        std::vector<std::string> h = {
            std::string(40, ' ') + title + std::string(32, ' ') + "Pag." + std::to_string(page),
            "Dichiarante: " + company, "Partita iva: " + vatNumber, overline(95),
            "     Denominazione o Rag.Sociale o Cognome e Nome   Sede, "
            "Domicilio, Via e n.civico,  Comune"};
        const auto& captions = kind == ListKind::Customers ? kCustomerCaptions : kSupplierCaptions;
        h.insert(h.end(), captions.begin(), captions.end());
        h.insert(h.end(), {overline(90), "N.   ",
                           "Prog.  Partita iva                         Da fatture emesse nell'anno",
                           "     PF - da barrare se persona fisica     Da fatture emesse "
                           "nell'anno precedente ",
                           Rule('-')});
        if (page > 1) {
            h.push_back(amountLine(kind, "    Riporti prec.   ", carried.year));
            h.push_back(amountLine(kind, "", carried.previousYear));
        }
        return h;
    }
};

std::string companyVatNumber(Session& session) {
    Archives& a = session.archives();
    std::string vat;
    if (a.open(arc::kDataz, kCompanyPosition)) {
        if (a.getByKey(arc::kDataz, session.values().companyCode) == 0) {
            vat = a.readBuffer(arc::kDataz).text(kCompanyVatNumber);
        }
        a.close(arc::kDataz, kCompanyPosition);
    }
    return vat;
}

void printCounterpart(ReportPager& pager, ListKind kind, int progressive, const Counterpart& c) {
    pager.print(RightTrim("     " + PadRight(Utf8Left(c.name, 46), 47) +
                          Utf8Left(c.address + (c.city.empty() ? "" : ", " + c.city), 45)));
    pager.print(
        amountLine(kind, PadLeft(Format(progressive, "###0"), 4) + "   " + c.vatNumber, c.year));
    pager.print(amountLine(kind, c.naturalPerson ? "     PF" : "", c.previousYear));
}

}  // namespace

bool PrintAnnualList(Session& session, ReportSink& sink, ListKind kind) {
    const int archive = kind == ListKind::Customers ? arc::kIv : arc::kIa;
    ReportRun run(session, sink, false, archive);
    if (!run.opened()) {
        return false;
    }
    std::vector<Counterpart> list;
    CollectCounterparts(session, kind, session.values().year, list);
    const Layout layout{kind, kind == ListKind::Customers ? "ELENCO CLIENTI  " : "ELENCO FORNITORI",
                        session.values().companyName, companyVatNumber(session)};
    Totals totals;
    Totals imports;
    ReportPager pager(
        sink, session.values().print.linesPerPage,
        [&layout, &totals](int page) { return layout.heading(page, totals); }, Rule('-'));
    pager.start();
    std::vector<const Counterpart*> listed;
    for (const Counterpart& c : list) {
        if (kind == ListKind::Suppliers && c.imports) {
            imports.year += c.year;
            imports.previousYear += c.previousYear;
        } else {
            listed.push_back(&c);
        }
    }
    for (size_t i = 0; i < listed.size(); ++i) {
        printCounterpart(pager, kind, static_cast<int>(i + 1), *listed[i]);
        totals.year += listed[i]->year;
        totals.previousYear += listed[i]->previousYear;
        // The totals stay on the page of the last counterpart.
        if (i + 1 < listed.size()) {
            pager.breakIfFull();
        }
    }
    pager.print(Rule('-'));
    pager.print(amountLine(kind, "Totali          ", totals.year));
    pager.print(amountLine(kind, "", totals.previousYear));
    if (kind == ListKind::Suppliers) {
        pager.print("");
        pager.print("Dati relativi import.");
        pager.print(amountLine(kind, "", imports.year));
        pager.print(amountLine(kind, "", imports.previousYear));
    }
    return true;
}

}  // namespace zelvo::vat
