#pragma once

#include "session/ScreenLogic.h"

namespace zelvo {

// A screen that only asks what to print: its own fields, then "Anteprima di stampa"
// (`Check2`), "&Stampa" (`Command1`) and "&Annulla" (`Command2`) on the rows it names.
class PrintScreen : public ScreenLogic {
  public:
    static constexpr const char* kPreview = "Check2";
    static constexpr const char* kPrint = "Command1";
    static constexpr const char* kCancel = "Command2";

    // The layout must hold the print controls (addPrintControls).
    PrintScreen(Session& session, FormSpec layout);

    // Adds the preview check box on `row` and the two buttons on the row after it.
    static void addPrintControls(FormSpec& layout, int row);

  protected:
    // "&Stampa" was pressed: check the fields and print.
    virtual void printRequested() = 0;
    bool preview() { return form().checked(kPreview); }
};

}  // namespace zelvo
