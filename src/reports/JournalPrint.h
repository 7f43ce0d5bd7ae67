#pragma once

#include <cstdint>
#include <string>

#include "session/PrintScreen.h"
#include "session/ReportSink.h"

namespace zelvo {

// The prima nota ("PRIMA NOTA"): the movement lines from `from` to `to` (yyyymmdd) in
// registration-date order, laid out as in the general journal without its row numbers,
// then the period totals and the progressive totals since the start of the year. It
// records nothing. Each page starts with "Data: ", the title and "Pag. ", a blank line and
// the column headings, and ends with a "-" rule. False when nothing was printed.
bool PrintJournalEntries(Session& session, ReportSink& sink, const std::string& from,
                         const std::string& to, bool preview);

// The control print ("CONTROLLO PRIMA NOTA"): the movement lines in line-number order from
// `firstLine` to the last, each preceded by its line number. False when nothing was printed.
bool PrintJournalControl(Session& session, ReportSink& sink, std::int64_t firstLine, bool preview);

// STMC, "Stampa prima nota": `text1`/`text2` the dates, `Check2` "Anteprima di stampa",
// `Command1` "&Stampa", `Command2` "&Annulla".
class JournalEntriesPrint : public PrintScreen {
  public:
    explicit JournalEntriesPrint(Session& session);
    static FormSpec layout();

  protected:
    void printRequested() override;
};

// STMC1, "Stampa controllo prima nota": `text1` the first line number (digits only),
// `Check2` "Anteprima di stampa", `Command1` "&Stampa", `Command2` "&Annulla".
class JournalControlPrint : public PrintScreen {
  public:
    static constexpr const char* kFirstLine = "text1";

    explicit JournalControlPrint(Session& session);
    static FormSpec layout();

  protected:
    void printRequested() override;
};

}  // namespace zelvo
