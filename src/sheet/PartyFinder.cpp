#include "sheet/PartyFinder.h"

#include <algorithm>

#include "base/Utf8.h"
#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"

namespace zelvo {

namespace {

constexpr int kScanPosition = 2420;

std::string Trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string WithoutBlanks(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
    return s;
}

bool Holds(const std::string& text, const std::string& loweredQuery) {
    return !loweredQuery.empty() && AsciiLower(text).find(loweredQuery) != std::string::npos;
}

}  // namespace

std::string FoundParty::line() const {
    std::string out = name + (kind == chart::kCustomer ? " - cliente" : " - fornitore");
    if (!city.empty()) {
        out += " - " + city;
    }
    if (!vatNumber.empty()) {
        out += " - P.IVA " + vatNumber;
    }
    if (!taxCode.empty()) {
        out += " - C.F. " + taxCode;
    }
    return out;
}

bool PartyMatches(const FoundParty& party, const std::string& query) {
    const std::string q = AsciiLower(Trimmed(query));
    const std::string code = WithoutBlanks(q);
    return Holds(party.name, q) || Holds(party.city, q) || Holds(party.vatNumber, code) ||
           Holds(party.taxCode, code);
}

std::vector<FoundParty> FindParties(Archives& a, const std::string& query) {
    std::vector<FoundParty> found;
    const std::int16_t s = a.scan(arc::kPc, chart::kDescription, "",
                                  [&](const std::string& key, const isam::Record& r) {
                                      const std::string kind = r.text(chart::kKind);
                                      if (kind != chart::kCustomer && kind != chart::kSupplier) {
                                          return true;
                                      }
                                      FoundParty p{key,
                                                   r.text(chart::kDescription),
                                                   kind,
                                                   r.text(chart::kCity),
                                                   r.text(chart::kVatNumber),
                                                   r.text(chart::kTaxCode)};
                                      if (PartyMatches(p, query)) {
                                          found.push_back(std::move(p));
                                      }
                                      return true;
                                  });
    if (s != 0 && s != isam::status::kEndOfIndex && s != isam::status::kNotFound) {
        a.report(opn::kRead, arc::kPc, kScanPosition);
    }
    return found;
}

}  // namespace zelvo
