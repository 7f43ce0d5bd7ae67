#include "vat/VatSituation.h"

#include <map>

#include "base/DateText.h"
#include "base/NumberText.h"
#include "reports/JournalLayout.h"
#include "vat/SettlementScreen.h"

namespace zelvo {

namespace {

// Report positions of the receipts summary.
constexpr int kCodesRead = 5301;
constexpr int kRowsRead = 5302;

constexpr const char* kShownMask = "##,###,###,##0";

std::string shown(double amount) {
    return Format(amount < 0 ? -amount : amount, kShownMask);
}

}  // namespace

VatSituation::VatSituation(Session& session) : ScreenLogic(session, layout()) {
    on(Event::Change, PeriodControls::kMonthly, [this] { PeriodControls::enable(form()); });
    on(Event::Change, PeriodControls::kQuarterly, [this] { PeriodControls::enable(form()); });
    on(Event::Click, kShow, [this] { show(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec VatSituation::layout() {
    FormSpec f;
    f.name = "VIVA";
    f.title = "Situazione Iva";
    PeriodControls::add(f, 0);
    f.label("Label1", "Iva acquisti:", 5, 0);
    f.label(kPurchaseVat, "", 5, 1);
    f.label("Label3", "Iva vendite:", 6, 0);
    f.label(kSalesVat, "", 6, 1);
    f.label("Label5", "Iva corrispettivi:", 7, 0);
    f.label(kReceiptsVat, "", 7, 1);
    f.label(kResultCaption, "", 8, 0);
    f.label(kResult, "", 8, 1);
    f.button(kShow, "&Visualizza", 9, 0, {.isDefault = true});
    f.button(kCancel, "&Annulla", 9, 1, {.isCancel = true});
    return f;
}

void VatSituation::load() {
    OpenVatBooks(archives());
    PeriodControls::start(form());
}

void VatSituation::unload() {
    CloseVatBooks(archives());
}

void VatSituation::show() {
    const auto period = PeriodControls::read(
        *this, form(), [this](const std::string& m, const std::string& c) { inputError(m, c); });
    if (!period) {
        return;
    }
    const auto s = ComputeSettlement(session(), {.period = *period});
    if (!s) {
        return;
    }
    form().setText(kPurchaseVat, shown(s->purchaseVat));
    form().setText(kSalesVat, shown(s->salesVat));
    form().setText(kReceiptsVat, shown(s->receiptsVat));
    form().setText(kResultCaption, s->result < 0 ? "Iva a debito:" : "Iva a credito:");
    form().setText(kResult, shown(s->result));
}

ReceiptsSummary::ReceiptsSummary(Session& session) : ScreenLogic(session, layout()) {
    on(Event::Click, kShow, [this] { show(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec ReceiptsSummary::layout() {
    FormSpec f;
    f.name = "RIEPCORR";
    f.title = "Riepilogo iva corrispettivi";
    AddDateRangeFields(f);
    f.list(kList, "Aliquota            Imponibile          Totale", 2).columnSpan = 2;
    f.button(kShow, "&Visualizza", 3, 0, {.isDefault = true});
    f.button(kCancel, "&Annulla", 3, 1, {.isCancel = true});
    return f;
}

void ReceiptsSummary::load() {
    archives().open(arc::kIc);
}

void ReceiptsSummary::unload() {
    archives().close(arc::kIc);
}

void ReceiptsSummary::show() {
    std::string from, to, focus;
    if (!ReadDateRange(session(), form(), from, to, focus)) {
        requestFocus(focus);
        return;
    }
    VatCodeTotals codes;
    if (!codes.load(archives(), kCodesRead)) {
        return;
    }
    // By rate: two codes of one rate add up.
    std::map<double, std::pair<double, double>> byRate;
    const bool read = ForEachVatRow(
        archives(), VatBook::Receipts, 3, from, kRowsRead, {}, [&](const VatRow& row) {
            if (ToKeyDate(row.docDate) > to) {
                return false;
            }
            const VatCodeSlot* slot = codes.find(row.vatCode);
            const double rate = slot != nullptr ? slot->rate : Val(row.vatRateText);
            byRate[rate].first += row.taxable;
            byRate[rate].second += row.vat;
            return true;
        });
    if (!read) {
        return;
    }
    std::vector<std::string> lines;
    for (const auto& [rate, amounts] : byRate) {
        lines.push_back(PadLeft(Format(rate, "##0"), 8) +
                        PadLeft(Format(amounts.first, "##,###,###,###"), 18) +
                        PadLeft(Format(amounts.first + amounts.second, kShownMask), 16));
    }
    form().setItems(kList, lines);
}

}  // namespace zelvo
