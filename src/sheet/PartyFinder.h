#pragma once

#include <string>
#include <vector>

#include "archive/Archives.h"

namespace zelvo {

// A customer or supplier as the finder lists it.
struct FoundParty {
    std::string number;
    std::string name;
    std::string kind;  // "c" or "f"
    std::string city;
    std::string vatNumber;
    std::string taxCode;

    // "Rossi Mario - cliente - Milano - P.IVA 01234567890 - C.F. RSSMRA70A01F205X",
    // leaving out what the party lacks.
    std::string line() const;
    bool operator==(const FoundParty&) const = default;
};

// Whether any of the texts holds the query, letter case and surrounding blanks aside. Blanks
// inside a VAT number or tax code as typed ("IT 0123") count for nothing, as the archives
// keep them without.
bool PartyMatches(const FoundParty& party, const std::string& query);

// The customers and suppliers of the chart whose name, city, VAT number or tax code holds the
// query, in name order. Reads the open "pc" through one scan; a failed read is reported.
std::vector<FoundParty> FindParties(Archives& archives, const std::string& query);

}  // namespace zelvo
