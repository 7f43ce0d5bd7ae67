#pragma once

#include "session/ScreenLogic.h"
#include "session/ScreenRegistry.h"
#include "vat/AnnualList.h"

namespace zelvo {

// elc ("Elenco clienti") and ELF ("Elenco fornitori"): the annual list of the chosen year
// goes straight to the printer with "&Stampa", without a preview; "Salva &PDF" writes the
// same pages to a PDF file chosen by the operator, so that the list can be kept and checked.
class AnnualListScreen : public ScreenLogic {
  public:
    static constexpr const char* kPrint = "Command1";
    static constexpr const char* kCancel = "Command2";
    static constexpr const char* kSavePdf = "Command3";

    AnnualListScreen(Session& session, vat::ListKind kind);
    static FormSpec layout(vat::ListKind kind);

  private:
    void print();
    void savePdf();

    vat::ListKind m_kind;
};

// Registers elc and ELF.
void RegisterAnnualListScreens(ScreenRegistry& registry);

}  // namespace zelvo
