#include "session/PrintScreen.h"

namespace zelvo {

PrintScreen::PrintScreen(Session& session, FormSpec layout)
    : ScreenLogic(session, std::move(layout)) {
    on(Event::Click, kCancel, [this] { requestClose(); });
    on(Event::Click, kPrint, [this] { printRequested(); });
}

void PrintScreen::addPrintControls(FormSpec& layout, int row) {
    layout.check(kPreview, "Anteprima di stampa", row);
    layout.button(kPrint, "&Stampa", row + 1, 0, {.isDefault = true});
    layout.button(kCancel, "&Annulla", row + 1, 1, {.isCancel = true});
}

}  // namespace zelvo
