#pragma once

#include <functional>
#include <string>
#include <vector>

#include "masterdata/Party.h"
#include "session/ReportSink.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// The columns the parametric print offers, in print order: check boxes "Check1" ... "Check12".
inline constexpr int kPartyPrintColumns = 12;

// The list of the customers or suppliers in name order with the ticked columns. Each page
// starts with "Data: " and today, "STAMPA CLIENTI" or "STAMPA FORNITORI" and "Pag. " with the
// page number, then the column titles and a "-" rule, and ends with a "-" rule. Columns that
// do not fit the 97 columns of the page go on to the next line, titles and parties alike;
// texts longer than their column are cut. With `nonZeroOnly` parties whose closing balance
// is exactly 0 are left out.
//
// False when nothing was printed: no column ticked, or the operator cancelled the document.
bool PrintParties(Session& session, ReportSink& sink, party::Party party,
                  const std::vector<bool>& columns, bool nonZeroOnly, bool preview);

// The list as a table for the spreadsheet window: the ticked columns' titles, which of them
// hold amounts, and a row per party.
struct PartyTable {
    std::string title;
    std::vector<std::string> titles;
    std::vector<bool> amounts;
    std::vector<std::vector<std::string>> rows;
};
// Where "Carica dati nel foglio elettronico" sends the table: the spreadsheet window, which
// lives above the master data and is handed in by whoever registers the screen.
using PartyTableTarget = std::function<void(Session&, PartyTable)>;

// The same parties as PrintParties, as a table; false when a read failed (reported) or no
// column is ticked.
bool ListParties(Session& session, party::Party party, const std::vector<bool>& columns,
                 bool nonZeroOnly, PartyTable& table);

// "sps" ("Stampa parametrica clienti") and "spsforn" ("Stampa parametrica fornitori"): the
// columns under "Dati da stampare", "Solo con saldo finale diverso da zero", "Anteprima di
// stampa", "Carica dati nel foglio elettronico" (enabled when the screen has a spreadsheet
// window to send the list to; ticked, "&Stampa" loads the list there instead of printing it),
// "&Stampa" and "&Annulla". "&Stampa" prints and the screen stays open; "&Annulla" closes.
class PartyPrint : public ScreenLogic {
  public:
    static constexpr const char* kNonZeroOnly = "Check13";
    static constexpr const char* kPreview = "Check14";
    static constexpr const char* kSpreadsheet = "Check15";
    static constexpr const char* kPrint = "Command1";
    static constexpr const char* kCancel = "Command2";

    PartyPrint(Session& session, party::Party party, PartyTableTarget toSheet = {});

    static FormSpec makeSpec(party::Party party);

    void load() override;

    // Report position of a failed read of the chart while listing it.
    static constexpr int kListRead = 3451;

  private:
    void print();

    party::Party m_party;
    PartyTableTarget m_toSheet;
};

}  // namespace zelvo
