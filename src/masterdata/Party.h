#pragma once

#include <string>
#include <vector>

#include "archive/Archives.h"
#include "session/Form.h"

namespace zelvo::party {

// Customers and suppliers are the same screens over two conti of the chart: everything
// that tells them apart is here.
enum class Party { Customer, Supplier };

struct Traits {
    const char* kind;    // the chart kind: "c", "f"
    const char* mastro;  // "00001", "00002"
    const char* conto;   // "00005", "00006"
    const char* label;   // the caption of the field naming one: "Cliente:", "Fornitore:"
};

const Traits& TraitsOf(Party party);

// The personal fields of a party as the screens show them: control name and chart field.
struct Field {
    const char* control;
    int field;
};
extern const std::vector<Field> kPersonalFields;

// Lays out the personal fields ("Ragione sociale" ... "Fax", the payment terms) on the tab
// page from `row` on; read-only on the view. Returns the first row left free.
int AddPersonalFields(FormSpec& f, const std::string& tab, int row, bool readOnly);

// A-Z only: province and tax code are ASCII, and the indexes fold no other letters.
std::string AsciiUpper(std::string text);

}  // namespace zelvo::party
