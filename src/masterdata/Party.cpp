#include "masterdata/Party.h"

#include "masterdata/Chart.h"
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
    {"text1", chart::kDescription}, {"text2", chart::kNameLine2},    {"text3", chart::kAddress},
    {"text4", chart::kPostCode},    {"text5", chart::kCity},         {"text6", chart::kProvince},
    {"TEXT7", chart::kVatNumber},   {"text9", chart::kTaxCode},      {"text13", chart::kPhone},
    {"text14", chart::kFax},        {"text8", chart::kPaymentTerms},
};

int AddPersonalFields(FormSpec& f, const std::string& tab, int row, bool readOnly) {
    auto field = [&](const char* name, const char* caption, int r, int column, int width,
                     int span) -> ControlSpec& {
        ControlSpec& c = f.text(name, caption, r, width);
        c.column = column;
        c.columnSpan = span;
        c.tab = tab;
        c.readOnly = readOnly;
        return c;
    };
    field("text1", "Ragione sociale", row, 0, 40, 3);
    // The second line of the name sits right under the first, without a caption of its own.
    field("text2", "", row + 1, 0, 40, 3);
    field("text3", "Indirizzo", row + 2, 0, 40, 3);
    field("text4", "CAP", row + 3, 0, 5, 1).allowed = kDigits;
    field("text5", "Città", row + 3, 1, 25, 2);
    // Italian provinces are two letters.
    field("text6", "Prov.", row + 4, 0, 2, 1).maxLength = 2;
    field("TEXT7", "Partita iva", row + 4, 1, 16, 2).allowed = kDigits;
    field("text9", "Codice fiscale", row + 5, 0, 16, 1);
    field("text13", "Tel.", row + 5, 1, 15, 2);
    field("text14", "Fax", row + 6, 0, 15, 1);
    field("text8", "Condizioni di pagamento", row + 7, 0, 40, 3);
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

}  // namespace zelvo::party
