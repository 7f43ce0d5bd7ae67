#include "vat/VatBooks.h"

#include <algorithm>

#include "archive/RecordLock.h"
#include "base/DateText.h"
#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/VatCodeFields.h"
#include "posting/JournalFields.h"

namespace zelvo {

namespace {

constexpr const char* kAmountMask = "##,###,###,###";
constexpr int kAmountWidth = 14;
constexpr int kLabelWidth = 17;

std::string amount(double value) {
    return PadLeft(Format(value, kAmountMask), kAmountWidth);
}

std::string rateText(double rate) {
    return Format(rate, "##0");
}

}  // namespace

int VatArchive(VatBook book) {
    switch (book) {
        case VatBook::Sales:
            return arc::kIv;
        case VatBook::Purchases:
            return arc::kIa;
        case VatBook::Receipts:
            break;
    }
    return arc::kIc;
}

int SectionKeyField(VatBook book) {
    switch (book) {
        case VatBook::Sales:
            return ivf::kSectionNumberKey;
        case VatBook::Purchases:
            return iaf::kSectionProtocolKey;
        case VatBook::Receipts:
            break;
    }
    return icf::kSectionNumberKey;
}

VatRow ReadVatRow(VatBook book, const isam::Record& r) {
    VatRow v;
    switch (book) {
        case VatBook::Sales:
            v = {r.text(ivf::kMonth),       r.text(ivf::kVatSection),
                 r.text(ivf::kNumber),      "",
                 r.text(ivf::kRegDateText), r.text(ivf::kDocDateText),
                 r.text(ivf::kAccount),     r.text(ivf::kVatCode),
                 r.text(ivf::kVatRateText), r.number(ivf::kTaxable),
                 r.number(ivf::kVat)};
            break;
        case VatBook::Purchases:
            v = {r.text(iaf::kMonth),     r.text(iaf::kVatSection),  r.text(iaf::kProtocol),
                 r.text(iaf::kDocNumber), r.text(iaf::kRegDateText), r.text(iaf::kDocDateText),
                 r.text(iaf::kAccount),   r.text(iaf::kVatCode),     r.text(iaf::kVatRateText),
                 r.number(iaf::kTaxable), r.number(iaf::kVat)};
            break;
        case VatBook::Receipts: {
            const std::string date = ShownDate(r.text(icf::kDocDate));
            v = {r.text(icf::kMonth),
                 r.text(icf::kVatSection),
                 r.text(icf::kNumber),
                 "",
                 date,
                 date,
                 "",
                 r.text(icf::kVatCode),
                 r.text(icf::kVatRateText),
                 r.number(icf::kTaxable),
                 r.number(icf::kVat)};
            break;
        }
    }
    return v;
}

void FillVatRecord(VatBook book, const VatRow& v, isam::Record& r) {
    switch (book) {
        case VatBook::Sales:
        case VatBook::Purchases: {
            const VatRowFields& f = book == VatBook::Sales ? kSalesRowFields : kPurchaseRowFields;
            r.setText(f.month, v.month);
            r.setText(f.number, v.number);
            if (book == VatBook::Purchases) {
                r.setText(iaf::kDocNumber, v.docNumber);
            }
            r.setText(f.docDateText, v.docDate);
            r.setText(f.account, v.account);
            r.setNumber(f.taxable, v.taxable);
            r.setText(f.vatCode, v.vatCode);
            r.setText(f.vatRateText, v.vatRateText);
            r.setNumber(f.vat, v.vat);
            r.setText(f.vatSection, v.section);
            r.setText(f.sectionKey, v.section + v.number);
            r.setText(f.regDateText, v.regDate);
            break;
        }
        case VatBook::Receipts:
            r.setText(icf::kMonth, v.month);
            r.setText(icf::kNumber, v.number);
            r.setText(icf::kDocDate, ToKeyDate(v.docDate));
            r.setNumber(icf::kTaxable, v.taxable);
            r.setText(icf::kVatCode, v.vatCode);
            r.setText(icf::kVatRateText, v.vatRateText);
            r.setNumber(icf::kVat, v.vat);
            r.setText(icf::kVatSection, v.section);
            r.setText(icf::kSectionNumberKey, v.section + v.number);
            break;
    }
}

bool ForEachVatRow(Archives& archives, VatBook book, int keyField, const std::string& from,
                   int position, const VatRowFilter& filter,
                   const std::function<bool(const VatRow&)>& row) {
    const int archive = VatArchive(book);
    // The month is field 1 of every register; the section is not.
    constexpr int kMonthField = 1;
    const int sectionField = book == VatBook::Purchases ? iaf::kVatSection : ivf::kVatSection;
    std::vector<isam::RecordManager::ScanFilter> filters;
    if (!filter.section.empty()) {
        filters.push_back({sectionField, {filter.section}});
    }
    if (!filter.months.empty()) {
        filters.push_back({kMonthField, filter.months});
    }
    isam::RecordManager& rm = archives.recordManager();
    isam::Snapshot snapshot(rm, archives.handle(archive));
    const std::int16_t s =
        rm.scan(archives.handle(archive), static_cast<std::int16_t>(keyField), from, filters,
                [&](const std::string& key, const isam::Record& r) {
                    VatRow v = ReadVatRow(book, r);
                    v.key = key;
                    return row(v);
                });
    archives.setStatus(s);
    if (s != isam::status::kOk) {
        archives.report(opn::kRead, archive, position);
        return false;
    }
    return true;
}

VatKind VatCodeSlot::table() const {
    if (kind > 0) {
        return VatKind::NonDeductible;
    }
    return rate == 0 ? VatKind::Exempt : VatKind::Normal;
}

bool VatCodeTotals::load(Archives& archives, int position) {
    for (int i = 0; i < vatcode::kSlots; ++i) {
        VatCodeSlot& slot = m_slots[static_cast<size_t>(i)];
        slot = {};
        const std::int16_t s = archives.getByKey(arc::kCiva, vatcode::SlotKey(i));
        if (s == isam::status::kNotFound) {
            continue;
        }
        if (s != 0) {
            archives.report(opn::kRead, arc::kCiva, position);
            return false;
        }
        const isam::Record& r = archives.readBuffer(arc::kCiva);
        slot.code = r.text(vatcode::kVatCode);
        slot.rate = r.number(vatcode::kVatRate);
        slot.kind = static_cast<int>(r.number(vatcode::kNonDeductiblePercent));
        slot.description = r.text(vatcode::kVatDescription);
    }
    return true;
}

const VatCodeSlot* VatCodeTotals::find(const std::string& code) const {
    if (code.empty()) {
        return nullptr;
    }
    for (const VatCodeSlot& slot : m_slots) {
        if (slot.code == code) {
            return &slot;
        }
    }
    return nullptr;
}

bool VatCodeTotals::add(const std::string& code, double taxable, double vat) {
    auto* slot = const_cast<VatCodeSlot*>(find(code));
    if (slot == nullptr) {
        return false;
    }
    slot->taxable += taxable;
    slot->vat += vat;
    return true;
}

double VatCodeTotals::vatOf(VatKind kind) const {
    double sum = 0;
    for (const VatCodeSlot& slot : m_slots) {
        if (!slot.code.empty() && slot.table() == kind) {
            sum += slot.vat;
        }
    }
    return sum;
}

double VatCodeTotals::vatTotal() const {
    double sum = 0;
    for (const VatCodeSlot& slot : m_slots) {
        sum += slot.vat;
    }
    return sum;
}

void ReportMissingVatCode(Session& session, const std::string& code) {
    session.dialogs().message("Il codice iva " + code +
                                  " non risulta più registrato nella tabella iva. Il registro "
                                  "non sarà stampato correttamente.",
                              "Errore", Icon::Exclamation);
}

std::vector<std::string> RateTable(const VatCodeTotals& totals,
                                   const std::function<bool(const VatCodeSlot&)>& in,
                                   bool withTotal) {
    std::string head = "Aliquota             Imponibile       Imposta";
    if (withTotal) {
        head += "        Totale";
    }
    std::vector<std::string> out{head};
    double taxable = 0;
    double vat = 0;
    auto line = [&](const std::string& label, double t, double v) {
        std::string l = PadRight(label, kLabelWidth) + amount(t) + amount(v);
        out.push_back(withTotal ? l + amount(t + v) : l);
    };
    for (const VatCodeSlot& slot : totals.slots()) {
        if (slot.code.empty() || !in(slot) || (slot.taxable == 0 && slot.vat == 0)) {
            continue;
        }
        line(PadRight(Utf8Left(slot.description, 12), 13) + PadLeft(rateText(slot.rate), 3) + "%",
             slot.taxable, slot.vat);
        taxable += slot.taxable;
        vat += slot.vat;
    }
    line("Totale", taxable, vat);
    return out;
}

std::vector<std::string> ExemptTable(const VatCodeTotals& totals) {
    std::vector<std::string> out{"Articolo           Imponibile  "};
    double taxable = 0;
    for (const VatCodeSlot& slot : totals.slots()) {
        if (slot.code.empty() || slot.table() != VatKind::Exempt || slot.taxable == 0) {
            continue;
        }
        out.push_back(PadRight(Utf8Left(slot.description, 15), 15) + amount(slot.taxable));
        taxable += slot.taxable;
    }
    out.push_back(PadRight("Totale", 15) + amount(taxable));
    return out;
}

std::vector<std::string> PurchaseTables(const VatCodeTotals& totals) {
    std::vector<std::string> out{"IVA NORMALE"};
    auto append = [&out](const std::vector<std::string>& lines) {
        out.insert(out.end(), lines.begin(), lines.end());
    };
    append(RateTable(
        totals, [](const VatCodeSlot& s) { return s.table() == VatKind::Normal; }, false));
    out.push_back("");
    out.push_back("IVA INDETRAIBILE");
    append(RateTable(
        totals, [](const VatCodeSlot& s) { return s.table() == VatKind::NonDeductible; }, false));
    out.push_back("");
    out.push_back("ESENTE - NON SOGGETTO");
    append(ExemptTable(totals));
    return out;
}

std::string MonthName(Session& session, int month) {
    if (month < 1 || month > 12) {
        return {};
    }
    return session.values().monthNames[static_cast<size_t>(month)];
}

int PrintedMonth(Archives& a, const std::string& key, int position) {
    const std::int16_t s = a.getByKey(arc::kPr, key);
    if (s == isam::status::kNotFound) {
        return 0;
    }
    if (s != 0) {
        a.report(opn::kRead, arc::kPr, position);
        return -1;
    }
    return static_cast<int>(Val(a.readBuffer(arc::kPr).text(prf::kText)));
}

bool StorePrintedMonth(Archives& a, const std::string& key, int month, int position) {
    Registration registration(a, arc::kPr);
    double value = 0;
    if (a.getByKey(arc::kPr, key) == 0) {
        value = a.readBuffer(arc::kPr).number(prf::kValue);
    }
    a.clearWriteBuffer(arc::kPr);
    isam::Record& r = a.writeBuffer(arc::kPr);
    r.setNumber(prf::kValue, value);
    r.setText(prf::kText, Format(month, "00"));
    if (a.putReported(arc::kPr, key, isam::mode::kWrite, position) != 0) {
        return false;
    }
    if (a.flush(arc::kPr) != 0 || registration.commit() != 0) {
        a.report(opn::kWrite, arc::kPr, position);
        return false;
    }
    return true;
}

bool RunDefinitivePrint(Session& session, const std::string& key, int month,
                        const std::string& printedText, int readPosition, int writePosition,
                        const std::function<bool()>& print) {
    Archives& a = session.archives();
    RecordLock lock(a, arc::kPr, key, writePosition);
    if (!lock.held()) {
        return false;
    }
    const int printed = PrintedMonth(a, key, readPosition);
    if (printed < 0) {
        return false;
    }
    if (printed >= month) {
        session.dialogs().beep();
        session.dialogs().message(printedText + MonthName(session, printed), "ATTENZIONE",
                                  Icon::Exclamation);
        return false;
    }
    return print();
}

}  // namespace zelvo
