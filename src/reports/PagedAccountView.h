#pragma once

#include <string>
#include <vector>

#include "masterdata/Chart.h"
#include "reports/AccountCard.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// What the account views on screen share (the card visched, the statement vec): the list
// `List1` holds one page of an account's movements at a time, read when it is shown, with
// the running balance after each row; "&Avanti" reads the next page from where the shown
// one ended, "&Indietro" goes back. A card of any length therefore opens as fast as its
// first page. The account's running totals stand beside "Saldo iniz.:", "Prog. dare:",
// "Prog. avere:" and "Saldo finale:".
class PagedAccountView : public ScreenLogic {
  public:
    static constexpr const char* kAccount = "text1";
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

    PagedAccountView(Session& session, FormSpec layout);
    void load() override;
    void unload() override;

  protected:
    // Adds the heading, the list, the totals and the buttons from `row` on.
    static void addListControls(FormSpec& f, const std::string& heading, int row);
    // Shows the card of the account named in `text1` from `from` (yyyymmdd; empty: the
    // first movement); an account the chart lacks (or `accept` refuses) leaves it empty.
    void show(const std::string& from);
    // Whether the account may be shown here, whether a movement is listed, and its row.
    virtual bool accept(const chart::Item& item) = 0;
    virtual bool listed(const isam::Record& row) = 0;
    virtual std::string rowText(const isam::Record& row, double balance) = 0;
    const std::string& account() const { return m_account; }

  private:
    // Where a page starts: after the line `line` of `date` (none: the first of the range),
    // with the balance before its first row.
    struct PageStart {
        std::string date;
        std::string line;
        double balance = 0;
        bool openingTaken = false;
    };
    void showPage();
    void clear();

    std::string m_account;  // the item number shown; empty: none
    CardYear m_year;
    double m_opening = 0;
    std::vector<PageStart> m_pages;  // the pages read so far, the shown one last
    PageStart m_next;                // where the page after the shown one starts
    bool m_more = false;
};

}  // namespace zelvo
