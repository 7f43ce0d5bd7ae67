#pragma once

#include "session/PrintScreen.h"
#include "session/ReportSink.h"

namespace zelvo {

// The list of the companies in the register ("Elenco aziende"), in code order: code, name,
// city and VAT number, one company a line, free slots left out. Each page starts with
// "Data: " and today, the title and "Pag. " with the page number, the column captions and
// a "-" rule; a page ends with a "-" rule; the list ends with a rule and the number of
// companies. Names and cities longer than their columns are cut.
//
// Returns false when nothing was printed: the register could not be opened (reported) or
// the operator cancelled the document.
bool PrintCompanyList(Session& session, ReportSink& sink, bool preview);

// STAZ, "Stampa elenco aziende": `Check2` "Anteprima di stampa", `Command1` "&Stampa",
// `Command2` "&Annulla". The screen stays open after printing, so the operator can print
// again or close it.
class CompanyListPrint : public PrintScreen {
  public:
    explicit CompanyListPrint(Session& session);
    static FormSpec layout();

  protected:
    void printRequested() override;
};

}  // namespace zelvo
