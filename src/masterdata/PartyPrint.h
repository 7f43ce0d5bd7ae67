#pragma once

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

// "sps" ("Stampa parametrica clienti") and "spsforn" ("Stampa parametrica fornitori"): the
// columns under "Dati da stampare", "Solo con saldo finale diverso da zero", "Anteprima di
// stampa", "Carica dati nel foglio elettronico" (shown disabled: the program has no
// spreadsheet window to load), "&Stampa" and "&Annulla". "&Stampa" prints and the screen
// stays open; "&Annulla" closes.
class PartyPrint : public ScreenLogic {
  public:
    static constexpr const char* kNonZeroOnly = "Check13";
    static constexpr const char* kPreview = "Check14";
    static constexpr const char* kSpreadsheet = "Check15";
    static constexpr const char* kPrint = "Command1";
    static constexpr const char* kCancel = "Command2";

    PartyPrint(Session& session, party::Party party);

    static FormSpec makeSpec(party::Party party);

    void load() override;

    // Report position of a failed read of the chart while listing it.
    static constexpr int kListRead = 3451;

  private:
    void print();

    party::Party m_party;
};

}  // namespace zelvo
