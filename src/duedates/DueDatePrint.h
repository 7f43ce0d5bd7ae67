#pragma once

#include <string>

#include "duedates/DueDateBooks.h"
#include "session/PrintScreen.h"
#include "session/ReportSink.h"

namespace zelvo {

// The schedule of the open instalments of one due-date archive due between two dates (key
// form, both included; empty: no bound), of one party or of all: a page heading with the
// archive's title, "Data: " and today, "Pag. " and the page number, the column captions and
// a rule; one line per instalment in due-date order; a rule at the end of every page; after
// the last line "Totale importo: " and the sum of the amounts printed. False when nothing was
// printed (the archive could not be opened, or the document was cancelled).
bool PrintDueDates(Session& session, ReportSink& sink, bool preview, duedates::Book book,
                   const duedates::DueFilter& filter);

// STSCAD, "Stampa scadenzario": the archive options, "Dalla scadenza:", "Alla scadenza:",
// the optional "Cliente/Fornitore:", then "Anteprima di stampa", "&Stampa", "&Annulla".
class DueDatePrint : public PrintScreen {
  public:
    static constexpr const char* kFrom = "text1";
    static constexpr const char* kTo = "text2";
    static constexpr const char* kParty = "text3";
    static constexpr const char* kCustomerHeading =
        " N. e data fatt.   Cliente                              Importo  Scadenza ";

    static constexpr int kReadPosition = 7231;

    explicit DueDatePrint(Session& session);
    static FormSpec layout();
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

  protected:
    void printRequested() override;
};

}  // namespace zelvo
