#pragma once

#include <string>

#include "session/PrintScreen.h"
#include "session/ReportSink.h"
#include "vat/VatBooks.h"

namespace zelvo {

struct VatRegisterRequest {
    VatBook book = VatBook::Sales;
    int month = 1;              // 1..12
    std::string section = "1";  // "1".."9"
    int skipLines = 0;          // empty lines before the first heading
    bool companyHeading = false;
    bool preview = false;
    // Records the month as printed in the section's print state ("regiv"/"regia" + section).
    bool definitive = false;
};

// The VAT register of one month and section, in the order of section and number: the nine
// heading lines on every page, the rows of each document, the numbering check, and the
// tables of the totals by VAT code. False when nothing was printed or the reading failed.
bool PrintVatRegister(Session& session, ReportSink& sink, const VatRegisterRequest& request);

// The print state key of a register section ("regiv1", "regia3"); empty for cash receipts,
// which keep none.
std::string PrintStateKey(VatBook book, const std::string& section);

// The print as the screen asks for it. A definitive print holds the section's print state
// for its whole length, so that two stations never print one month definitively twice: a
// month at or before the one already printed is refused with "Il registro iva vendite è
// stato stampato al mese di " + the month's name (title "ATTENZIONE"). Only once the document
// is complete is the month stored, in one transaction; a cancelled or failed print changes
// nothing. True when the document was printed.
bool RunVatRegister(Session& session, ReportSink& sink, const VatRegisterRequest& request);

// STRIV, STRIA, STRIC: the months `mese1` to `mese12`, `Text1` "Registro:", `text40` "Salto
// righe iniziali:", `Check3` "Intestazione azienda", `Check2` "Anteprima di stampa", for sales
// and purchases `Check1` "Stampa definitiva", `Command1` "&Stampa", `Command2` "&Annulla".
class VatRegisterPrint : public PrintScreen {
  public:
    static constexpr const char* kSection = "Text1";
    static constexpr const char* kSkipLines = "text40";
    static constexpr const char* kCompanyHeading = "Check3";
    static constexpr const char* kDefinitive = "Check1";

    VatRegisterPrint(Session& session, VatBook book);
    static FormSpec layout(VatBook book);
    void load() override;
    void unload() override;

  protected:
    void printRequested() override;

  private:
    VatBook m_book;
};

// The month options `mese1` .. `mese12` ("Gennaio" .. "Dicembre") in a frame, four to a row
// from `row`; the number of the one chosen, 0 when none is.
void AddMonthOptions(FormSpec& f, const std::string& frame, int row);
int ChosenMonth(const FormState& form);
// The section typed in "Registro:" ("1".."9"); empty when the text is not one.
std::string SectionOf(const std::string& text);
// The lines to skip typed in "Salto righe iniziali:" (empty: none); -1 unless fewer than a
// page.
int SkipLinesOf(const std::string& text, int linesPerPage);

inline constexpr const char* kNoMonth = "Non è stato scelto il mese";
inline constexpr const char* kBadSection = "Il registro deve essere un numero da 1 a 9";
inline constexpr const char* kBadSkipLines = "Il numero di righe da saltare non è valido";

}  // namespace zelvo
