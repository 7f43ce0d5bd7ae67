#include "masterdata/Party.h"

#include "masterdata/ChartFields.h"

namespace zelvo::party {

namespace {

constexpr Traits kCustomers{chart::kCustomer, "00001", "00005", "Cliente:"};
constexpr Traits kSuppliers{chart::kSupplier, "00002", "00006", "Fornitore:"};

}  // namespace

const Traits& TraitsOf(Party party) {
    return party == Party::Customer ? kCustomers : kSuppliers;
}

const std::vector<Field> kPersonalFields = {
    {ctl::kName, chart::kDescription},    {ctl::kNameLine2, chart::kNameLine2},
    {ctl::kAddress, chart::kAddress},     {ctl::kPostCode, chart::kPostCode},
    {ctl::kCity, chart::kCity},           {ctl::kProvince, chart::kProvince},
    {ctl::kVatNumber, chart::kVatNumber}, {ctl::kTaxCode, chart::kTaxCode},
    {ctl::kPhone, chart::kPhone},         {ctl::kFax, chart::kFax},
    {ctl::kTerms, chart::kPaymentTerms},
};

int AddPersonalFields(FormSpec& f, const std::string& tab, int row, bool readOnly) {
    auto field = [&](const char* name, const char* caption, int r, int column, int width, int span,
                     TextSettings settings = {}) {
        settings.readOnly = readOnly;
        ControlSpec& c = f.text(name, caption, r, width, std::move(settings));
        c.column = column;
        c.columnSpan = span;
        c.tab = tab;
    };
    field(ctl::kName, "Ragione sociale", row, 0, 40, 3);
    // The second line of the name sits right under the first, without a caption of its own.
    field(ctl::kNameLine2, "", row + 1, 0, 40, 3);
    field(ctl::kAddress, "Indirizzo", row + 2, 0, 40, 3);
    field(ctl::kPostCode, "CAP", row + 3, 0, 5, 1, {.allowed = kDigits});
    field(ctl::kCity, "Città", row + 3, 1, 25, 2);
    // Italian provinces are two letters.
    field(ctl::kProvince, "Prov.", row + 4, 0, 2, 1, {.maxLength = 2});
    field(ctl::kVatNumber, "Partita iva", row + 4, 1, 16, 2, {.allowed = kDigits});
    field(ctl::kTaxCode, "Codice fiscale", row + 5, 0, 16, 1);
    field(ctl::kPhone, "Tel.", row + 5, 1, 15, 2);
    field(ctl::kFax, "Fax", row + 6, 0, 15, 1);
    field(ctl::kTerms, "Condizioni di pagamento", row + 7, 0, 40, 3);
    return row + 8;
}

std::string AsciiUpper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::optional<chart::Item> Named(Archives& archives, Party party, const std::string& name) {
    std::optional<chart::Item> item = chart::ByDescription(archives, name);
    if (item && item->kind != TraitsOf(party).kind) {
        return std::nullopt;
    }
    return item;
}

std::vector<std::string> Suggestions(Session& session, Party party, const std::string& typed,
                                     bool full) {
    return chart::AccountSuggestions(session.archives(), session.values(), typed,
                                     {TraitsOf(party).kind}, full);
}

}  // namespace zelvo::party
