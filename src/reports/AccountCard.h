#pragma once

#include <functional>
#include <string>
#include <vector>

#include "isam/Record.h"
#include "masterdata/Chart.h"
#include "session/PrintScreen.h"
#include "session/ReportSink.h"

namespace zelvo {

// How the year counts an account's movements into its running balance, from the year record.
struct CardYear {
    std::string firstDay;     // yyyy0101: movements before it do not count
    std::string openingDate;  // yyyymmdd: the day the opening registration is dated
    // The opening registration has been posted ("n"): its "ap" line repeats the opening
    // balance the account record already starts from.
    bool openingPosted = false;
};
// The year record holds the opening date in its field 5 when the new year's opening wrote
// it; without it the first day of the year serves.
CardYear ReadCardYear(Archives& archives, const std::string& year);

// The running balance of one account: its opening balance, then every movement of the year
// in date order. The "ap" line of a posted opening registration counts once, not on top of
// the opening balance it repeats.
class CardBalance {
  public:
    CardBalance(const CardYear& year, double openingBalance);
    // Goes on from a balance reached earlier (a page of the card on screen), knowing whether
    // the opening line was met before it.
    CardBalance(const CardYear& year, double openingBalance, double balance, bool openingTaken);
    // Adds the movement and answers the balance after it.
    double add(const isam::Record& row);
    double balance() const { return m_balance; }
    bool openingTaken() const { return m_openingTaken; }

  private:
    const CardYear& m_year;
    double m_opening;
    double m_balance;
    bool m_openingTaken = false;
};

// Reads the movement lines of one account in registration-date order (key field 11, account
// and date) from `fromDate` (yyyymmdd; empty: the first) on, skipping the lines of that date
// numbered up to `afterLine` (the last line a page showed; empty: none). `row` gets the line
// number and the line, and answers false to stop. One statement, the handle's position kept.
// A failed read is reported at `position`: false.
bool ForEachAccountMovement(
    Archives& archives, const std::string& account, const std::string& fromDate,
    const std::string& afterLine, int position,
    const std::function<bool(const std::string& line, const isam::Record& row)>& row);

// Which accounts a card print covers.
enum class CardAccounts { One, All, Customers, Suppliers };

struct CardRequest {
    CardAccounts accounts = CardAccounts::One;
    std::string account;  // the item number, for One
    std::string from;     // yyyymmdd
    std::string to;       // yyyymmdd
    bool nonZeroOnly = false;
    bool euro = false;
    bool preview = false;
};

// The account card ("SCHEDA CONTABILE") of one account or of every account of a kind: per
// account its heading block on a page of its own, a row for every movement from `from` to
// `to` with the running balance after it, and the footer with the period's and the running
// totals. False when nothing was printed.
bool PrintAccountCard(Session& session, ReportSink& sink, const CardRequest& request);

// The accounts a card print covers, in account-code order; One: the item itself.
std::vector<chart::Item> CardAccountsOf(Archives& archives, const CardRequest& request);

// STSCHED, "Stampa scheda contabile".
class AccountCardPrint : public PrintScreen {
  public:
    static constexpr const char* kAccount = "text1";
    static constexpr const char* kFrom = "text2";
    static constexpr const char* kTo = "text3";
    static constexpr const char* kOne = "Option1";
    static constexpr const char* kAll = "Option2";
    static constexpr const char* kCustomers = "Option3";
    static constexpr const char* kSuppliers = "Option4";
    static constexpr const char* kNonZero = "Check1";
    static constexpr const char* kEuro = "Check3";

    explicit AccountCardPrint(Session& session);
    static FormSpec layout();
    void load() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

  protected:
    void printRequested() override;
};

}  // namespace zelvo
