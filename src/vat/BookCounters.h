#pragma once

#include "session/ScreenLogic.h"

namespace zelvo {

// PROGRES, "Progressivi contabili": the journal's last row number and printed date, the
// last protocol of each purchase register section (`nprot1` .. `nprot9`), the last number
// of each cash-receipt section (`Ncorr1` .. `Ncorr9`) and the month each purchase and sales
// register section was printed to. "&Variazione" (`Command2`) writes the eighteen numbers
// back, each over its entry as it stands (its text is kept), in one transaction; the print
// states are only shown. `Command1` "&Annulla" closes.
class BookCounters : public ScreenLogic {
  public:
    static constexpr const char* kJournalNumber = "Label2";
    static constexpr const char* kJournalDate = "Label4";
    static constexpr const char* kClose = "Command1";
    static constexpr const char* kChange = "Command2";

    explicit BookCounters(Session& session);
    static FormSpec layout();
    void load() override;

  private:
    void show();
    void change();
};

// The text of a box refused by "&Variazione": empty, not digits, or above the largest
// counter.
inline constexpr const char* kBadCounter = "Il valore inserito non è valido";

}  // namespace zelvo
