#pragma once

#include <string>
#include <vector>

#include "reports/AccountCard.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// visched, the account card on screen: `text1` "Sottoconto:" (the account's name), `text2`
// "Dalla data:", the list `List1` of the movements with the running balance after each, and
// the account's running totals beside "Saldo iniz.:", "Prog. dare:", "Prog. avere:",
// "Saldo finale:". The list holds one page of rows at a time, read when it is shown:
// "&Avanti" reads the next page from where this one ended, "&Indietro" goes back, so a card
// of any length opens as fast as its first page. An account name the chart lacks leaves the
// card empty.
//
// visched1 is the same view opened for an account chosen on another screen: it shows that
// account's card as it opens.
class AccountCardView : public ScreenLogic {
  public:
    static constexpr const char* kAccount = "text1";
    static constexpr const char* kFrom = "text2";
    static constexpr const char* kHeading = "Label1";
    static constexpr const char* kRows = "List1";
    static constexpr const char* kOpening = "Label3";
    static constexpr const char* kDebit = "Label5";
    static constexpr const char* kCredit = "Label7";
    static constexpr const char* kClosing = "Label9";
    static constexpr const char* kNext = "Command1";
    static constexpr const char* kPrevious = "Command2";
    static constexpr const char* kClose = "Command3";
    static constexpr int kPageRows = 20;

    explicit AccountCardView(Session& session);
    // visched1: the card of the account named `description`.
    AccountCardView(Session& session, std::string description);
    static FormSpec viewLayout(const std::string& name);
    void load() override;
    void unload() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

    // One list row: date, document, protocol, description, debit, credit, running balance.
    static std::string rowText(const isam::Record& row, double balance);

  private:
    // Where a page starts: after the line `line` of `date` (none: the first of the range),
    // with the balance before its first row.
    struct PageStart {
        std::string date;
        std::string line;
        double balance = 0;
        bool openingTaken = false;
    };
    void show();
    void showPage();
    void clear();

    std::string m_preset;
    std::string m_account;  // the item number shown; empty: none
    CardYear m_year;
    double m_opening = 0;
    std::vector<PageStart> m_pages;  // the pages read so far, the shown one last
    PageStart m_next;                // where the page after the shown one starts
    bool m_more = false;
};

}  // namespace zelvo
