#include "vat/VatRegister.h"

#include <unordered_map>

#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/ChartFields.h"
#include "posting/JournalFields.h"
#include "reports/JournalLayout.h"
#include "session/ReportPager.h"
#include "session/ReportRun.h"

namespace zelvo {

namespace {

// Report positions of the VAT registers.
constexpr int kCodesRead = 5101;
constexpr int kRowsRead = 5102;
constexpr int kCompanyRead = 5103;
constexpr int kStateRead = 5104;
constexpr int kStateWrite = 5105;

constexpr const char* kPlainAmount = "##########";

std::string overline(int width) {
    std::string rule;
    for (int i = 0; i < width; ++i) {
        rule += kOverline;
    }
    return rule;
}

std::string plain(double value) {
    return Format(value, kPlainAmount);
}

std::string bookName(VatBook book) {
    switch (book) {
        case VatBook::Sales:
            return "vendite";
        case VatBook::Purchases:
            return "acquisti";
        case VatBook::Receipts:
            break;
    }
    return "corrispettivi";
}

std::vector<std::string> heading(Session& session, const VatRegisterRequest& r) {
    const std::vector<std::string> company =
        CompanyHeading(session, r.companyHeading, kCompanyRead);
    const std::string month = MonthName(session, r.month);
    const std::string year = session.values().year;
    if (r.book == VatBook::Receipts) {
        return {overline(95),
                std::string(17, ' ') + "REGISTRO IVA CORRISPETTIVI  " + r.section +
                    " Mese: " + month + "  Anno: " + year,
                company[0],
                company[1],
                company[2],
                company[3],
                overline(65),
                "Data      ",
                "  Imponibile  Aliq.      Imposta     Totale Note"};
    }
    const bool sales = r.book == VatBook::Sales;
    return {OverlineRule(),
            std::string(23, ' ') + (sales ? "REGISTRO IVA VENDITE " : "REGISTRO IVA ACQUISTI ") +
                r.section + "   Mese: " + month + "  Anno: " + year,
            company[0],
            company[1],
            company[2],
            company[3],
            OverlineRule(),
            sales ? "Data reg.   Fatt. Data   " : "N.Reg. Data Reg.   N.Fatt. Data fatt.",
            sales ? "                Ragione sociale               Imponibile Aliq.  Imposta     "
                    "Totale Note      "
                  : "       Ragione sociale                Imponibile Aliq.  Imposta     Totale "
                    "Note"};
}

// The rows of one document follow each other; the first of them carries its dates, number
// and counterpart, the others only their amounts.
class RegisterPrinter {
  public:
    RegisterPrinter(Session& session, ReportPager& pager, VatCodeTotals& codes, VatBook book)
        : m_session(session), m_pager(pager), m_codes(codes), m_book(book) {}

    void print(const VatRow& row) {
        const bool first = row.number != m_number;
        if (first) {
            m_pager.breakIfFull();
            checkNumbering(row.number);
            m_number = row.number;
        }
        const VatCodeSlot* slot = m_codes.find(row.vatCode);
        if (slot == nullptr) {
            ReportMissingVatCode(m_session, row.vatCode);
        }
        m_codes.add(row.vatCode, row.taxable, row.vat);
        const std::string rate =
            slot != nullptr ? Format(slot->rate, "##0") : Trimmed(row.vatRateText);
        const std::string amounts = plain(row.taxable);
        switch (m_book) {
            case VatBook::Sales:
                if (first) {
                    m_pager.print(row.regDate + PadLeft(numberText(row.number), 5) + " " +
                                  row.docDate);
                }
                m_pager.print(std::string(16, ' ') + PadRight(first ? name(row.account) : "", 30) +
                              PadLeft(amounts, 10) + PadLeft(rate, 4) +
                              PadLeft(plain(row.vat), 10) +
                              PadLeft(plain(row.taxable + row.vat), 11) + "  ");
                break;
            case VatBook::Purchases:
                if (first) {
                    m_pager.print(PadLeft(numberText(row.number), 5) + "  " + row.regDate + " " +
                                  PadLeft(row.docNumber, 7) + " " + row.docDate);
                }
                m_pager.print(std::string(7, ' ') + PadRight(first ? name(row.account) : "", 31) +
                              PadLeft(amounts, 10) + PadLeft(rate, 6) + PadLeft(plain(row.vat), 9) +
                              PadLeft(plain(row.taxable + row.vat), 11) + " ");
                break;
            case VatBook::Receipts:
                m_pager.print(PadRight(first ? row.docDate : "", 10) + PadLeft(amounts, 12) +
                              PadLeft(rate, 7) + PadLeft(plain(row.vat), 13) +
                              PadLeft(plain(row.taxable + row.vat), 11) + " ");
                break;
        }
    }

  private:
    static std::string Trimmed(const std::string& text) {
        const size_t start = text.find_first_not_of(' ');
        return start == std::string::npos ? "" : text.substr(start);
    }
    static std::string numberText(const std::string& number) { return Format(Val(number), "0"); }

    // The numbers of a register follow each other: a gap is told, and the print goes on.
    void checkNumbering(const std::string& number) {
        if (m_book == VatBook::Receipts) {
            return;
        }
        const double previous = Val(m_number);
        const double current = Val(number);
        if (previous > 0 && current != previous && current != previous + 1) {
            const char* what = m_book == VatBook::Sales ? "Salto fattura dal numero:"
                                                        : "Salto protocollo dal numero:";
            m_session.dialogs().message(what + Str(previous) + "-" + Str(current), "Zelvo",
                                        Icon::Information);
        }
    }

    std::string name(const std::string& account) {
        auto it = m_names.find(account);
        if (it != m_names.end()) {
            return it->second;
        }
        Archives& a = m_session.archives();
        std::string found;
        if (a.getByKey(arc::kPc, account) == 0) {
            found = Utf8Left(a.readBuffer(arc::kPc).text(chart::kDescription), 30);
        }
        return m_names.emplace(account, found).first->second;
    }

    Session& m_session;
    ReportPager& m_pager;
    VatCodeTotals& m_codes;
    VatBook m_book;
    std::string m_number;
    std::unordered_map<std::string, std::string> m_names;
};

std::vector<std::string> summary(const VatCodeTotals& codes, VatBook book) {
    std::vector<std::string> out{"", "T O T A L I"};
    std::vector<std::string> tables;
    if (book == VatBook::Purchases) {
        tables = PurchaseTables(codes);
    } else {
        tables = RateTable(
            codes, [](const VatCodeSlot&) { return true; }, book == VatBook::Receipts);
    }
    out.insert(out.end(), tables.begin(), tables.end());
    return out;
}

}  // namespace

std::string PrintStateKey(VatBook book, const std::string& section) {
    switch (book) {
        case VatBook::Sales:
            return "regiv" + section;
        case VatBook::Purchases:
            return "regia" + section;
        case VatBook::Receipts:
            break;
    }
    return {};
}

bool PrintVatRegister(Session& session, ReportSink& sink, const VatRegisterRequest& request) {
    Archives& a = session.archives();
    VatCodeTotals codes;
    if (!codes.load(a, kCodesRead)) {
        return false;
    }
    const int archive = VatArchive(request.book);
    ReportRun run(session, sink, request.preview, archive);
    if (!run.opened()) {
        return false;
    }
    const std::vector<std::string> lines = heading(session, request);
    const std::string rule = request.book == VatBook::Receipts ? overline(95) : OverlineRule();
    ReportPager pager(
        sink, session.values().print.linesPerPage,
        [&](int page) {
            std::vector<std::string> h(page == 1 ? static_cast<size_t>(request.skipLines) : 0);
            h.insert(h.end(), lines.begin(), lines.end());
            return h;
        },
        rule);
    pager.start();
    RegisterPrinter printer(session, pager, codes, request.book);
    const VatRowFilter filter{.section = request.section, .months = {Format(request.month, "00")}};
    const bool complete = ForEachVatRow(a, request.book, SectionKeyField(request.book),
                                        request.section, kRowsRead, filter, [&](const VatRow& row) {
                                            printer.print(row);
                                            return true;
                                        });
    if (!complete) {
        return false;
    }
    for (const std::string& l : summary(codes, request.book)) {
        pager.print(l);
        pager.breakIfFull();
    }
    return true;
}

bool RunVatRegister(Session& session, ReportSink& sink, const VatRegisterRequest& request) {
    const std::string key = PrintStateKey(request.book, request.section);
    if (!request.definitive || key.empty()) {
        return PrintVatRegister(session, sink, request);
    }
    return RunDefinitivePrint(
        session, key, request.month,
        "Il registro iva " + bookName(request.book) + " è stato stampato al mese di ", kStateRead,
        kStateWrite, [&] {
            return PrintVatRegister(session, sink, request) &&
                   StorePrintedMonth(session.archives(), key, request.month, kStateWrite);
        });
}

void AddMonthOptions(FormSpec& f, const std::string& frame, int row) {
    static const char* const kNames[] = {"Gennaio",   "Febbraio", "Marzo",    "Aprile",
                                         "Maggio",    "Giugno",   "Luglio",   "Agosto",
                                         "Settembre", "Ottobre",  "Novembre", "Dicembre"};
    for (int m = 1; m <= 12; ++m) {
        f.option("mese" + std::to_string(m), kNames[m - 1], frame, row + (m - 1) / 4, (m - 1) % 4);
    }
}

int ChosenMonth(const FormState& form) {
    for (int m = 1; m <= 12; ++m) {
        if (form.checked("mese" + std::to_string(m))) {
            return m;
        }
    }
    return 0;
}

std::string SectionOf(const std::string& text) {
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '9') {
        return text;
    }
    return {};
}

int SkipLinesOf(const std::string& text, int linesPerPage) {
    if (text.empty()) {
        return 0;
    }
    if (text.size() > 4 || text.find_first_not_of(kDigits) != std::string::npos) {
        return -1;
    }
    const int lines = std::stoi(text);
    return lines < linesPerPage ? lines : -1;
}

VatRegisterPrint::VatRegisterPrint(Session& session, VatBook book)
    : PrintScreen(session, layout(book)), m_book(book) {}

FormSpec VatRegisterPrint::layout(VatBook book) {
    FormSpec f;
    switch (book) {
        case VatBook::Sales:
            f.name = "STRIV";
            f.title = "Stampa registro iva vendite";
            break;
        case VatBook::Purchases:
            f.name = "STRIA";
            f.title = "Stampa registro iva acquisti";
            break;
        case VatBook::Receipts:
            f.name = "STRIC";
            f.title = "Stampa registro iva corrispettivi";
            break;
    }
    AddMonthOptions(f, "Stampa mese", 0);
    f.text(kSection, "Registro:", 3, 4, {.allowed = kDigits, .maxLength = 1});
    f.text(kSkipLines, "Salto righe iniziali:", 4, 4, {.allowed = kDigits, .maxLength = 3});
    f.check(kCompanyHeading, "Intestazione azienda", 5);
    f.check(kPreview, "Anteprima di stampa", 6);
    if (book != VatBook::Receipts) {
        f.check(kDefinitive, "Stampa definitiva", 7);
    }
    f.button(kPrint, "&Stampa", 8, 0, {.isDefault = true});
    f.button(kCancel, "&Annulla", 8, 1, {.isCancel = true});
    return f;
}

// The register stays open while the screen is, so that every print finds it ready.
void VatRegisterPrint::load() {
    archives().open(VatArchive(m_book));
}

void VatRegisterPrint::unload() {
    archives().close(VatArchive(m_book));
}

void VatRegisterPrint::printRequested() {
    VatRegisterRequest request;
    request.book = m_book;
    request.month = ChosenMonth(form());
    if (request.month == 0) {
        inputError(kNoMonth, "mese1");
        return;
    }
    request.section = SectionOf(text(kSection));
    if (request.section.empty()) {
        inputError(kBadSection, kSection);
        return;
    }
    request.skipLines = SkipLinesOf(text(kSkipLines), session().values().print.linesPerPage);
    if (request.skipLines < 0) {
        inputError(kBadSkipLines, kSkipLines);
        return;
    }
    request.companyHeading = form().checked(kCompanyHeading);
    request.preview = preview();
    request.definitive = m_book != VatBook::Receipts && form().checked(kDefinitive);
    printReport([&](ReportSink& sink) { return RunVatRegister(session(), sink, request); });
}

}  // namespace zelvo
