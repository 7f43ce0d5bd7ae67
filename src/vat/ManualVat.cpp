#include "vat/ManualVat.h"

#include "base/NumberText.h"
#include "masterdata/Chart.h"
#include "masterdata/Counters.h"
#include "posting/DateChecks.h"
#include "vat/VatRegister.h"

namespace zelvo {

namespace {

// Report positions of the manual VAT rows.
constexpr int kCodesRead = 5501;
constexpr int kRowWrite = 5502;
constexpr int kRowsRead = 5503;
constexpr int kRowDelete = 5504;

constexpr const char* kPurchases = "Option1";
constexpr const char* kSales = "Option2";
constexpr const char* kReceipts = "Option3";
constexpr const char* kFrame = "Registro iva";

void addBookOptions(FormSpec& f, int row) {
    f.option(kPurchases, "Acquisti", kFrame, row, 0);
    f.option(kSales, "Vendite", kFrame, row, 1);
    f.option(kReceipts, "Corrispettivi", kFrame, row, 2);
}

// The counter that numbers the rows of each register.
std::string rowCounter(VatBook book) {
    switch (book) {
        case VatBook::Sales:
            return "iv";
        case VatBook::Purchases:
            return "ia";
        case VatBook::Receipts:
            break;
    }
    return "ic";
}

// A number of the registers: its digits, padded to five as the section keys expect.
std::string fiveDigits(const std::string& typed) {
    return Format(Val(typed), "00000");
}

}  // namespace

VatBook ChosenBook(const FormState& form) {
    if (form.checked(kSales)) {
        return VatBook::Sales;
    }
    return form.checked(kReceipts) ? VatBook::Receipts : VatBook::Purchases;
}

ManualVatEntry::ManualVatEntry(Session& session) : ScreenLogic(session, layout()) {
    for (const char* option : {kPurchases, kSales, kReceipts}) {
        on(Event::Change, option, [this] { showCaption(); });
    }
    on(Event::Click, kConfirm, [this] { confirm(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec ManualVatEntry::layout() {
    using M = ManualVatEntry;
    FormSpec f;
    f.name = "RMIVA";
    f.title = "Registrazione manuale nel registro iva";
    addBookOptions(f, 0);
    f.date(M::kRegDate, "Data registr.:", 1);
    f.text(M::kDocNumber, "Numero doc.:", 2, 8, {.maxLength = 6});
    f.date(M::kDocDate, "Data doc.:", 3);
    f.text(M::kProtocol, "Protocollo:", 4, 8, {.allowed = kDigits, .maxLength = 5});
    f.label(M::kPartyCaption, "Fornitore:", 5, 0);
    f.account(M::kParty, "", 5).column = 1;
    f.amount(M::kTaxable, "Imponibile:", 6, 16, Amounts::SignedLire);
    f.text(M::kVatCode, "Codice iva:", 7, 4, {.maxLength = 3});
    f.amount(M::kVat, "Importo iva:", 8, 16, Amounts::SignedLire);
    f.text(M::kSection, "Registro:", 9, 4, {.allowed = kDigits, .maxLength = 1});
    f.button(M::kConfirm, "&Registra", 10, 0, {.isDefault = true});
    f.button(M::kCancel, "&Annulla", 10, 1, {.isCancel = true});
    return f;
}

void ManualVatEntry::load() {
    for (int archive : {arc::kIa, arc::kIv, arc::kIc}) {
        archives().open(archive);
    }
    form().setChecked(kPurchases, true);
    form().setText(kRegDate, session().values().yearDateMask);
    form().setText(kSection, "1");
    showCaption();
}

void ManualVatEntry::unload() {
    for (int archive : {arc::kIc, arc::kIv, arc::kIa}) {
        archives().close(archive);
    }
}

std::vector<std::string> ManualVatEntry::suggestions(const std::string&, const std::string& typed,
                                                     bool full) {
    return chart::AccountSuggestions(archives(), session().values(), typed, {"c", "f", "ag"}, full);
}

void ManualVatEntry::showCaption() {
    form().setText(kPartyCaption,
                   ChosenBook(form()) == VatBook::Purchases ? "Fornitore:" : "Cliente:");
}

// The checks in the order the operator is told of them; nothing when one fails.
std::optional<VatRow> ManualVatEntry::readRow() {
    const auto party = chart::ByDescription(archives(), text(kParty));
    if (!party || (party->kind != "c" && party->kind != "f" && party->kind != "ag")) {
        inputError(kNoParty, kParty);
        return std::nullopt;
    }
    std::string regDate = text(kRegDate);
    std::string docDate = text(kDocDate);
    for (auto [date, control] :
         {std::make_pair(&regDate, kRegDate), std::make_pair(&docDate, kDocDate)}) {
        std::string probe = *date;
        ClearEmptyDate(probe);
        if (probe.empty()) {
            inputError(kNoDate, control);
            return std::nullopt;
        }
    }
    if (!CheckRegistrationDate(session(), regDate)) {
        requestFocus(kRegDate);
        return std::nullopt;
    }
    if (!CheckDocumentDate(session(), docDate)) {
        requestFocus(kDocDate);
        return std::nullopt;
    }
    const std::pair<const char*, const char*> required[] = {
        {kDocNumber, kNoDocument}, {kProtocol, kNoProtocol}, {kVatCode, kNoVatCode}};
    for (const auto& [control, message] : required) {
        if (text(control).empty()) {
            inputError(message, control);
            return std::nullopt;
        }
    }
    VatCodeTotals codes;
    if (!codes.load(archives(), kCodesRead)) {
        return std::nullopt;
    }
    const VatCodeSlot* code = codes.find(text(kVatCode));
    if (code == nullptr) {
        inputError(kUnknownVatCode, kVatCode);
        return std::nullopt;
    }
    VatRow row;
    row.section = SectionOf(text(kSection));
    if (row.section.empty()) {
        inputError(kBadSection, kSection);
        return std::nullopt;
    }
    const VatBook book = ChosenBook(form());
    row.month = (book == VatBook::Receipts ? docDate : regDate).substr(3, 2);
    row.number = fiveDigits(book == VatBook::Purchases ? text(kProtocol) : text(kDocNumber));
    row.docNumber =
        std::string(6 - std::min<size_t>(6, text(kDocNumber).size()), '0') + text(kDocNumber);
    row.regDate = regDate;
    row.docDate = docDate;
    row.account = book == VatBook::Receipts ? "" : party->number;
    row.vatCode = code->code;
    row.vatRateText = Str(code->rate);
    row.taxable = Val(text(kTaxable));
    row.vat = Val(text(kVat));
    return row;
}

void ManualVatEntry::confirm() {
    const std::optional<VatRow> row = readRow();
    if (!row) {
        return;
    }
    const VatBook book = ChosenBook(form());
    const int archive = VatArchive(book);
    Archives& a = archives();
    Registration registration(a, archive);
    const std::int32_t n = NextNumber(a, rowCounter(book));
    if (n == 0) {
        return;
    }
    a.clearWriteBuffer(archive);
    FillVatRecord(book, *row, a.writeBuffer(archive));
    if (a.putReported(archive, Str(n), isam::mode::kAdd, kRowWrite) != 0) {
        return;
    }
    if (a.flush(archive) != 0 || registration.commit() != 0) {
        a.report(opn::kWrite, archive, kRowWrite);
        return;
    }
    for (const char* control : {kDocNumber, kProtocol, kTaxable, kVatCode, kVat}) {
        form().setText(control, "");
    }
    requestFocus(kDocNumber);
}

std::optional<std::vector<std::string>> MatchingVatRows(Archives& archives, VatBook book,
                                                        const std::string& section, double number) {
    std::vector<std::string> keys;
    const bool read = ForEachVatRow(archives, book, SectionKeyField(book), section, kRowsRead,
                                    {.section = section}, [&](const VatRow& row) {
                                        if (Val(row.number) == number) {
                                            keys.push_back(row.key);
                                        }
                                        return true;
                                    });
    if (!read) {
        return std::nullopt;
    }
    return keys;
}

VatRowAnnulment::VatRowAnnulment(Session& session) : ScreenLogic(session, layout()) {
    for (const char* option : {kPurchases, kSales, kReceipts}) {
        on(Event::Change, option, [this] { showCaption(); });
    }
    on(Event::Click, kDelete, [this] { remove(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec VatRowAnnulment::layout() {
    using V = VatRowAnnulment;
    FormSpec f;
    f.name = "ANNRIVA";
    f.title = "Annullamento registrazione nel registro iva";
    addBookOptions(f, 0);
    f.text(V::kSection, "Registro:", 1, 4, {.allowed = kDigits, .maxLength = 1});
    f.label(V::kNumberCaption, "Numero protocollo:", 2, 0);
    f.text(V::kNumber, "", 2, 8, {.allowed = kDigits, .maxLength = 5}).column = 1;
    f.button(V::kDelete, "&Elimina", 3, 0, {.isDefault = true});
    f.button(V::kCancel, "&Annulla", 3, 1, {.isCancel = true});
    return f;
}

void VatRowAnnulment::load() {
    dialogs().message("Vengono annullate le registrazioni solo nel registro iva", "ATTENZIONE",
                      Icon::Exclamation);
    for (int archive : {arc::kIa, arc::kIv, arc::kIc}) {
        archives().open(archive);
    }
    form().setChecked(kPurchases, true);
    form().setText(kSection, "1");
    showCaption();
}

void VatRowAnnulment::unload() {
    for (int archive : {arc::kIc, arc::kIv, arc::kIa}) {
        archives().close(archive);
    }
}

void VatRowAnnulment::showCaption() {
    static const char* const kCaptions[] = {
        "Numero fattura:", "Numero protocollo:", "Numero documento:"};
    form().setText(kNumberCaption, kCaptions[static_cast<int>(ChosenBook(form()))]);
}

void VatRowAnnulment::remove() {
    const std::string section = SectionOf(text(kSection));
    if (section.empty()) {
        inputError(kBadSection, kSection);
        return;
    }
    if (text(kNumber).empty()) {
        inputError(kNoNumber, kNumber);
        return;
    }
    const VatBook book = ChosenBook(form());
    const double number = Val(text(kNumber));
    Archives& a = archives();
    const auto found = MatchingVatRows(a, book, section, number);
    if (!found) {
        return;
    }
    if (found->empty()) {
        dialogs().message("Non è stata trovata nessuna registrazione corrispondente", "Attenzione",
                          Icon::Exclamation);
        return;
    }
    if (dialogs().ask("Sono state trovate n." + Str(static_cast<double>(found->size())) +
                          " registrazione/i. Si vogliono annullare?",
                      "Attenzione", Icon::Question, true) != Answer::Yes) {
        return;
    }
    // Read again inside the transaction: what another station removed meanwhile is not there.
    const int archive = VatArchive(book);
    Registration registration(a, archive);
    const auto rows = MatchingVatRows(a, book, section, number);
    if (!rows) {
        return;
    }
    for (const std::string& key : *rows) {
        if (a.remove(archive, key) != 0) {
            a.report(opn::kDelete, archive, kRowDelete);
            return;
        }
    }
    if (a.flush(archive) != 0 || registration.commit() != 0) {
        a.report(opn::kWrite, archive, kRowDelete);
        return;
    }
    form().setText(kNumber, "");
}

}  // namespace zelvo
