#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "session/ReportSink.h"
#include "vat/VatBooks.h"

namespace zelvo {

// The VAT balances entry "1" of "saldi iva": positions 1 to 12 the balance each period left
// (months, or quarters 1 to 4), position 13 the previous year's credit. A positive balance
// is a credit of the company, a negative one a debit to the tax office.
using VatBalances = std::array<double, 13>;
// Reads the entry of the open archive; a failure is reported at `position`.
bool ReadVatBalances(Archives& archives, VatBalances& balances, int position);

// The archives a settlement reads: the three registers and "saldi iva". A screen that
// settles keeps them open while it is, so that each settlement finds them ready.
bool OpenVatBooks(Archives& archives);
void CloseVatBooks(Archives& archives);

// A month (1..12) or a quarter (1..4); the annual settlement takes the whole year.
struct VatPeriod {
    enum Kind { Month, Quarter, Year } kind = Month;
    int number = 1;
    // The months it covers, "01".."12".
    std::vector<std::string> months() const;
    int lastMonth() const;
    // The balances position it stores its result in (1..12), and the one it starts from
    // (13, the previous year's credit, for the first period).
    int position() const;
    int previousPosition() const;
};

struct SettlementRequest {
    VatPeriod period;
    std::string section;  // "1".."9": that register section alone; empty: all
    bool ventilation = false;
    double receiptsAmount = 0;               // R, the receipts to apportion
    std::vector<std::string> excludedCodes;  // left out of the ventilation base
    bool withReceiptsSection = true;
};

// The figures of one settlement: the tables by VAT code and the five amounts of its summary.
struct Settlement {
    VatCodeTotals purchases;
    VatCodeTotals sales;
    VatCodeTotals receipts;
    VatCodeTotals ventilated;
    double previous = 0;
    double purchaseVat = 0;
    double salesVat = 0;
    double receiptsVat = 0;
    double result = 0;  // previous + purchases - sales - receipts
};

// VAT rounded to thousands of lire; an exact 500 rounds down.
double RoundVat(double amount);
// Whether a definitive settlement stores its result: every credit, and a debit below the
// minimum payable amount.
bool StoresResult(double result, double minimumPayable);

// The computation shared by every settlement and the VAT situation: the VAT rows of the
// period added by code, the ventilation of the receipts, the rounding and the balance from
// the previous period. The VAT archives and "saldi iva" are opened and closed here. Nothing
// when a reading failed (reported).
std::optional<Settlement> ComputeSettlement(Session& session, const SettlementRequest& request);

struct SettlementPrint {
    SettlementRequest request;
    bool companyHeading = false;
    bool preview = false;
    int skipLines = 0;
    std::string note1;
    std::string note2;
    // The periodic settlement: stores the result in "saldi iva" once the document is printed.
    bool definitive = false;
};

// The settlement's title: "LIQUIDAZIONE IVA  Mese: Marzo  Anno: 2026", "LIQUIDAZIONE IVA
// 1° Trimestre  Anno: 2026", "LIQUIDAZIONE IVA Anno: 2026", with "  Registro: n" for one
// section.
std::string SettlementTitle(Session& session, const SettlementRequest& request);
// The printed lines after the heading: the tables and the summary.
std::vector<std::string> SettlementLines(const Settlement& s, const SettlementPrint& print);

// Computes and prints. A definitive print holds the settled-month entry of the counters
// ("liqiva") for its whole length, so that two stations never settle one period twice: a
// period ending at or before the month already settled is refused with "La liquidazione iva
// è stata stampata al mese di " + the month's name (title "ATTENZIONE"). Only once the
// document is complete are the result (over the balances entry as it then stands, the
// period's own position only) and the settled month stored, in one transaction; a cancelled
// or failed print changes nothing. A balance change never waits for a print. True when
// printed.
bool RunSettlement(Session& session, ReportSink& sink, const SettlementPrint& print);

}  // namespace zelvo
