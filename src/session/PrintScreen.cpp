#include "session/PrintScreen.h"

namespace zelvo {

void PrintScreen::addPrintControls(FormSpec& layout, int row) {
    layout.add(ControlKind::Check, "Check2", "Anteprima di stampa", row);
    layout.button("Command1", "&Stampa", row + 1, 0).isDefault = true;
    layout.button("Command2", "&Annulla", row + 1, 1).isCancel = true;
}

void PrintScreen::click(const std::string& control) {
    if (control == "Command2") {
        requestClose();
    } else if (control == "Command1") {
        printRequested();
    }
}

}  // namespace zelvo
