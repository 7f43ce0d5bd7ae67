#pragma once

#include <cstdint>
#include <string>

#include "session/PrintScreen.h"
#include "session/ReportSink.h"

namespace zelvo {

struct GeneralJournalRequest {
    std::string from;  // yyyymmdd
    std::string to;    // yyyymmdd
    // The number of the first line printed; the lines before it were printed by earlier
    // definitive prints.
    std::int32_t firstNumber = 1;
    bool companyHeading = false;
    bool preview = false;
    // Records the last number printed and the end date in the counter "giornale".
    bool definitive = false;
};

// The general journal ("GIORNALE CONTABILITA'"): every movement line up to `to`, in
// registration-date order, counts for the progressive totals; those from `from` on are
// printed with their progressive number. Each page starts with the nine heading lines and
// ends with the overline rule; the book ends with the progressive totals and the rule.
//
// False when nothing was printed (the movements could not be opened, or the operator
// cancelled the document). A read failure is reported and ends the print where it stands:
// the document is closed with what was printed and no totals, and a definitive print records
// nothing, so that no movement is left behind as printed.
bool PrintGeneralJournal(Session& session, ReportSink& sink, const GeneralJournalRequest& request);

// STGC, "Stampa giornale di contabilità": `text1`/`text2` the dates, `text3` "Numero
// progr.:", the last printed date beside "Data ultima stampa:", `Check3` "Intestazione
// azienda", `Check2` "Anteprima di stampa", `Check1` "Stampa definitiva", `Command1`
// "&Stampa", `Command2` "&Annulla". The screen stays open after printing; a definitive print
// refreshes the last printed date and the proposed number, so that a following print goes
// on from where it ended.
class GeneralJournal : public PrintScreen {
  public:
    static constexpr const char* kFirstNumber = "text3";
    static constexpr const char* kLastPrintCaption = "Label1";
    static constexpr const char* kLastPrint = "Label2";
    static constexpr const char* kCompanyHeading = "Check3";
    static constexpr const char* kDefinitive = "Check1";

    explicit GeneralJournal(Session& session);
    static FormSpec layout();
    void load() override;

  protected:
    void printRequested() override;

  private:
    void showLastPrint();
};

}  // namespace zelvo
