#pragma once

#include <string>

#include "isam/Record.h"

namespace zelvo {

// How the account card and the account statement show amounts: whole lire with the masks
// "#,###,###,###" (rows, blank for 0) and "###,###,###,##0" (balances), or with "Importi in
// Euro" every amount converted first and shown with two decimals ("0,00" for 0).
class CardAmounts {
  public:
    CardAmounts(bool euro, double rate) : m_euro(euro), m_rate(rate) {}
    // A debit or credit of a row, right-aligned in 14 columns.
    std::string row(double lire) const;
    // A running or final balance, right-aligned in `width` columns.
    std::string balance(double lire, int width = 16) const;
    // A balance of the footer's second column, right-aligned in 16 columns.
    std::string total(double lire) const;

  private:
    bool m_euro;
    double m_rate;
};

// The document number and date of a movement as the card and statement rows show them:
// the number right-aligned in 7 columns, a blank, the date (blank when never given).
std::string DocumentColumns(const isam::Record& row);
// The first line of a printed card row, under "Data reg.    N. e data doc.   Prot.": the
// registration date, the document and the protocol (blank when 0).
std::string CardRowStart(const isam::Record& row);

}  // namespace zelvo
