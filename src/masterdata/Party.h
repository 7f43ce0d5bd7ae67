#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/Archives.h"
#include "masterdata/Chart.h"
#include "session/Form.h"
#include "session/Session.h"

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

// The controls the party screens share.
namespace ctl {
inline constexpr const char* kName = "text1";
inline constexpr const char* kNameLine2 = "text2";
inline constexpr const char* kAddress = "text3";
inline constexpr const char* kPostCode = "text4";
inline constexpr const char* kCity = "text5";
inline constexpr const char* kProvince = "text6";
inline constexpr const char* kVatNumber = "TEXT7";
inline constexpr const char* kTerms = "text8";
inline constexpr const char* kTaxCode = "text9";
inline constexpr const char* kPhone = "text13";
inline constexpr const char* kFax = "text14";
// The account field naming the party to vary or show.
inline constexpr const char* kParty = "text17";
inline constexpr const char* kOpeningBalance = "saldoiniz";
inline constexpr const char* kNotes = "RichTextBox1";
}  // namespace ctl

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

// The party of this kind the name gives (letter case aside); nothing for an unknown name or
// one of another kind: a supplier is never shown or varied as a customer. The whole record
// stays in the read buffer of "pc".
std::optional<chart::Item> Named(Archives& archives, Party party, const std::string& name);

// What the field naming a party offers: parties of its kind only.
std::vector<std::string> Suggestions(Session& session, Party party, const std::string& typed,
                                     bool full);

}  // namespace zelvo::party
