#include "vat/Settlement.h"

#include <algorithm>
#include <map>

#include "base/NumberText.h"
#include "reports/JournalLayout.h"
#include "session/ReportPager.h"
#include "session/ReportRun.h"

namespace zelvo {

namespace {

// Report positions of the settlements.
constexpr int kCodesRead = 5201;
constexpr int kRowsRead = 5202;
constexpr int kBalancesRead = 5203;
constexpr int kBalancesWrite = 5204;
constexpr int kCompanyRead = 5205;
constexpr int kSettledRead = 5206;
constexpr int kSettledWrite = 5207;

constexpr const char* kBalancesKey = "1";
// The counters entry that keeps how far the periodic settlement has been printed
// definitively: the last month its periods cover ("03" after March or the first quarter).
constexpr const char* kSettledKey = "liqiva";
constexpr const char* kSummaryMask = "##,###,###,##0";

// The archives a settlement reads, open for its length.
class OpenBooks {
  public:
    explicit OpenBooks(Archives& a) : m_a(a), m_ok(OpenVatBooks(a)) {}
    ~OpenBooks() { CloseVatBooks(m_a); }
    OpenBooks(const OpenBooks&) = delete;
    OpenBooks& operator=(const OpenBooks&) = delete;
    bool ok() const { return m_ok; }

  private:
    Archives& m_a;
    bool m_ok;
};

bool inPeriod(const std::vector<std::string>& months, const std::string& month) {
    return std::find(months.begin(), months.end(), month) != months.end();
}

// Adds the rows of one register in the period to `totals`; `each` sees every row of the
// section (the ventilation base reads the purchases of the year so far).
bool addBook(Session& session, VatBook book, const SettlementRequest& request,
             VatCodeTotals& totals, const std::function<void(const VatRow&)>& each = {}) {
    const std::vector<std::string> months = request.period.months();
    // The ventilation base needs the months before the period too.
    VatRowFilter filter{.section = request.section,
                        .months = each ? std::vector<std::string>{} : months};
    return ForEachVatRow(
        session.archives(), book, 0, "", kRowsRead, filter, [&](const VatRow& row) {
            if (each) {
                each(row);
            }
            if (inPeriod(months, row.month) && !totals.add(row.vatCode, row.taxable, row.vat)) {
                ReportMissingVatCode(session, row.vatCode);
            }
            return true;
        });
}

// The receipts amount shared among the purchase codes in proportion to their purchases of
// the year up to the period's end.
void ventilate(const SettlementRequest& request, const std::map<std::string, double>& base,
               Settlement& s) {
    double whole = 0;
    for (const auto& [code, amount] : base) {
        whole += amount;
    }
    if (whole == 0) {
        return;
    }
    for (VatCodeSlot& slot : s.ventilated.slots()) {
        auto it = base.find(slot.code);
        if (slot.code.empty() || it == base.end() || it->second == 0) {
            continue;
        }
        const double share = it->second * request.receiptsAmount / whole;
        slot.taxable = share / ((slot.rate + 100) / 100);
        slot.vat = Int(slot.taxable * slot.rate / 100 + 0.5);
    }
}

bool excluded(const SettlementRequest& request, const std::string& code) {
    return std::find(request.excludedCodes.begin(), request.excludedCodes.end(), code) !=
           request.excludedCodes.end();
}

std::string summaryLine(const std::string& label, double amount) {
    return label + PadLeft(Format(amount < 0 ? -amount : amount, kSummaryMask), 14);
}

void append(std::vector<std::string>& out, const std::vector<std::string>& lines) {
    out.insert(out.end(), lines.begin(), lines.end());
}

}  // namespace

constexpr int kBooks[] = {arc::kIa, arc::kIv, arc::kIc, arc::kSi};

bool OpenVatBooks(Archives& archives) {
    bool ok = true;
    for (int archive : kBooks) {
        ok = archives.open(archive) && ok;
    }
    return ok;
}

void CloseVatBooks(Archives& archives) {
    for (int archive : kBooks) {
        archives.close(archive);
    }
}

bool ReadVatBalances(Archives& a, VatBalances& balances, int position) {
    balances.fill(0);
    const std::int16_t s = a.getByKey(arc::kSi, kBalancesKey);
    if (s == isam::status::kNotFound) {
        return true;
    }
    if (s != 0) {
        a.report(opn::kRead, arc::kSi, position);
        return false;
    }
    const isam::Record& r = a.readBuffer(arc::kSi);
    for (int i = 0; i < 13; ++i) {
        balances[static_cast<size_t>(i)] = r.number(i + 1);
    }
    return true;
}

std::vector<std::string> VatPeriod::months() const {
    std::vector<std::string> out;
    const int first = kind == Quarter ? 3 * number - 2 : (kind == Year ? 1 : number);
    for (int m = first; m <= lastMonth(); ++m) {
        out.push_back(Format(m, "00"));
    }
    return out;
}

int VatPeriod::lastMonth() const {
    return kind == Quarter ? 3 * number : (kind == Year ? 12 : number);
}

int VatPeriod::position() const {
    return kind == Year ? 13 : number;
}

int VatPeriod::previousPosition() const {
    return kind == Year || number == 1 ? 13 : number - 1;
}

double RoundVat(double amount) {
    return Int(amount / 1000 + 0.499) * 1000;
}

bool StoresResult(double result, double minimumPayable) {
    return result > 0 || -result < minimumPayable;
}

std::optional<Settlement> ComputeSettlement(Session& session, const SettlementRequest& request) {
    Archives& a = session.archives();
    OpenBooks books(a);
    Settlement s;
    VatBalances balances;
    if (!books.ok() || !s.purchases.load(a, kCodesRead) ||
        !ReadVatBalances(a, balances, kBalancesRead)) {
        return std::nullopt;
    }
    s.sales = s.receipts = s.ventilated = s.purchases;
    s.previous = balances[static_cast<size_t>(request.period.previousPosition() - 1)];
    std::map<std::string, double> base;
    const std::string last = Format(request.period.lastMonth(), "00");
    std::function<void(const VatRow&)> ventilationBase;
    if (request.ventilation) {
        ventilationBase = [&](const VatRow& row) {
            const VatCodeSlot* slot = s.purchases.find(row.vatCode);
            if (row.month <= last && slot != nullptr && slot->table() == VatKind::Normal &&
                !excluded(request, row.vatCode)) {
                base[row.vatCode] += row.taxable + row.vat;
            }
        };
    }
    const bool read = addBook(session, VatBook::Purchases, request, s.purchases, ventilationBase) &&
                      addBook(session, VatBook::Sales, request, s.sales) &&
                      addBook(session, VatBook::Receipts, request, s.receipts);
    if (!read) {
        return std::nullopt;
    }
    if (request.ventilation) {
        ventilate(request, base, s);
    }
    s.purchaseVat = RoundVat(s.purchases.vatOf(VatKind::Normal));
    s.salesVat = RoundVat(s.sales.vatTotal());
    s.receiptsVat = RoundVat(request.ventilation ? s.ventilated.vatTotal() : s.receipts.vatTotal());
    s.result = s.previous + s.purchaseVat - s.salesVat - s.receiptsVat;
    return s;
}

std::string SettlementTitle(Session& session, const SettlementRequest& request) {
    const std::string year = session.values().year;
    std::string title;
    switch (request.period.kind) {
        case VatPeriod::Month:
            title = "LIQUIDAZIONE IVA  Mese: " + MonthName(session, request.period.number) +
                    "  Anno: " + year;
            break;
        case VatPeriod::Quarter:
            title = "LIQUIDAZIONE IVA  " + std::to_string(request.period.number) +
                    "° Trimestre  Anno: " + year;
            break;
        case VatPeriod::Year:
            title = "LIQUIDAZIONE IVA Anno: " + year;
            break;
    }
    return request.section.empty() ? title : title + "  Registro: " + request.section;
}

std::vector<std::string> SettlementLines(const Settlement& s, const SettlementPrint& print) {
    std::vector<std::string> out{"", "                   IVA ACQUISTI", ""};
    append(out, PurchaseTables(s.purchases));
    append(out, {"", "                   IVA VENDITE ", ""});
    append(out, PurchaseTables(s.sales));
    if (print.request.withReceiptsSection) {
        append(out, {"", "                  CORRISPETTIVI", ""});
        append(out, RateTable(
                        s.receipts, [](const VatCodeSlot&) { return true; }, false));
    }
    if (print.request.ventilation) {
        append(out, {"", "           VENTILAZIONE IVA CORRISPETTIVI", ""});
        append(out, RateTable(
                        s.ventilated, [](const VatCodeSlot&) { return true; }, false));
    }
    append(out,
           {"",
            summaryLine(s.previous < 0 ? "Debito precedente :" : "Credito precedente:", s.previous),
            summaryLine("Iva acquisti:      ", s.purchaseVat),
            summaryLine("Iva vendite:       ", s.salesVat),
            summaryLine("Iva corrispettivi: ", s.receiptsVat), "",
            summaryLine(s.result < 0 ? "Iva a debito:      " : "Iva a credito:     ", s.result),
            print.note1, print.note2});
    return out;
}

namespace {

bool printSettlement(Session& session, ReportSink& sink, const SettlementPrint& print,
                     const Settlement& s) {
    ReportRun run(session, sink, print.preview);
    if (!run.opened()) {
        return false;
    }
    std::vector<std::string> heading(static_cast<size_t>(print.skipLines));
    if (print.companyHeading) {
        append(heading, CompanyHeading(session, true, kCompanyRead));
    }
    heading.push_back(SettlementTitle(session, print.request));
    ReportPager pager(
        sink, session.values().print.linesPerPage,
        [&](int page) { return page == 1 ? heading : std::vector<std::string>{}; }, "");
    pager.start();
    for (const std::string& line : SettlementLines(s, print)) {
        pager.print(line);
        pager.breakIfFull();
    }
    return true;
}

// Only the period's own position is written, over the entry as it stands then: a balance
// another station changed meanwhile is kept. The month settled is written with it, in the
// same transaction.
bool storeResult(Session& session, const SettlementPrint& print, const Settlement& s) {
    Archives& a = session.archives();
    OpenBooks books(a);
    if (!books.ok()) {
        return false;
    }
    Registration registration(a, arc::kPr);
    if (StoresResult(s.result, session.values().minimumVatPayable)) {
        const int position = print.request.period.position();
        if (a.update(
                arc::kSi, kBalancesKey, [&](isam::Record& r) { r.setNumber(position, s.result); },
                kBalancesRead, kBalancesWrite) != 0) {
            return false;
        }
    }
    if (!StorePrintedMonth(a, kSettledKey, print.request.period.lastMonth(), kSettledWrite)) {
        return false;
    }
    if (registration.commit() != 0) {
        a.report(opn::kWrite, arc::kPr, kSettledWrite);
        return false;
    }
    return true;
}

bool settle(Session& session, ReportSink& sink, const SettlementPrint& print) {
    const std::optional<Settlement> s = ComputeSettlement(session, print.request);
    if (!s || !printSettlement(session, sink, print, *s)) {
        return false;
    }
    return !print.definitive || storeResult(session, print, *s);
}

}  // namespace

bool RunSettlement(Session& session, ReportSink& sink, const SettlementPrint& print) {
    if (!print.definitive) {
        return settle(session, sink, print);
    }
    // A balance change takes no lock of the settled month and never waits for a print.
    return RunDefinitivePrint(session, kSettledKey, print.request.period.lastMonth(),
                              "La liquidazione iva è stata stampata al mese di ", kSettledRead,
                              kSettledWrite, [&] { return settle(session, sink, print); });
}

}  // namespace zelvo
