#include "reports/CardLayout.h"

#include "base/DateText.h"
#include "base/NumberText.h"
#include "posting/EuroConversion.h"
#include "posting/JournalFields.h"

namespace zelvo {

namespace {
constexpr int kRowWidth = 14;
constexpr int kBalanceWidth = 16;
}  // namespace

std::string CardAmounts::row(double lire) const {
    if (!m_euro) {
        return PadLeft(Format(lire, "#,###,###,###"), kRowWidth);
    }
    const double euro = LireToEuro(lire, m_rate);
    return PadLeft(euro == 0 ? "0,00" : Format(euro, "##,###,##0.00"), kRowWidth);
}

std::string CardAmounts::balance(double lire, int width) const {
    if (!m_euro) {
        return PadLeft(Format(lire, "###,###,###,##0"), width);
    }
    const double euro = LireToEuro(lire, m_rate);
    return PadLeft(euro == 0 ? "0,00" : Format(euro, "###,###,##0.00"), width);
}

std::string CardAmounts::total(double lire) const {
    if (!m_euro) {
        return PadLeft(Format(lire, "###,###,###,##0"), kBalanceWidth);
    }
    const double euro = LireToEuro(lire, m_rate);
    return PadLeft(euro == 0 ? "0,00" : Format(euro, "####,###,##0.00"), kBalanceWidth);
}

std::string DocumentColumns(const isam::Record& row) {
    const std::string& number = row.text(mcf::kDocNumber);
    const std::string& date = row.text(mcf::kDocDate);
    return PadLeft(Val(number) == 0 ? std::string() : Str(Val(number)), 7) + " " +
           (date.empty() ? std::string(10, ' ') : ShownDate(date));
}

std::string CardRowStart(const isam::Record& row) {
    const double protocol = Val(row.text(mcf::kProtocol));
    return ShownDate(row.text(mcf::kRegDate)) + DocumentColumns(row) +
           PadLeft(protocol == 0 ? std::string() : Str(protocol), 6);
}

}  // namespace zelvo
