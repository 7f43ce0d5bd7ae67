#pragma once

#include "session/ScreenLogic.h"

namespace zelvo {

// A screen that only asks what to print: its own fields, then "Anteprima di stampa"
// (`Check2`), "&Stampa" (`Command1`) and "&Annulla" (`Command2`) on the rows it names.
class PrintScreen : public ScreenLogic {
  public:
    using ScreenLogic::ScreenLogic;

    // Adds the preview check box on `row` and the two buttons on the row after it.
    static void addPrintControls(FormSpec& layout, int row);

    void click(const std::string& control) override;

  protected:
    // "&Stampa" was pressed: check the fields and print.
    virtual void printRequested() = 0;
    bool preview() { return form().checked("Check2"); }
};

}  // namespace zelvo
