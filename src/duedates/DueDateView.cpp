#include "duedates/DueDateView.h"

#include "base/NumberText.h"
#include "duedates/DuePartyField.h"

namespace zelvo {

DueDateView::DueDateView(Session& session) : DueDateList(session, layout(), kCustomerHeading) {
    on(Event::Leave, kParty, [this] { refill(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec DueDateView::layout() {
    FormSpec f;
    f.name = "VISSCA";
    f.title = "Scadenzario";
    addListControls(f, 5);
    f.account(kParty, "Cliente/Fornitore:", 4);
    f.text(kTotal, "Totale importo:", 7, 16, {.readOnly = true});
    f.button(kCancel, "&Annulla", 8, 0, {.isCancel = true});
    return f;
}

std::vector<std::string> DueDateView::suggestions(const std::string& control,
                                                  const std::string& typed, bool full) {
    return control == kParty ? duedates::PartySuggestions(session(), book(), typed, full)
                             : std::vector<std::string>{};
}

bool DueDateView::partyFilter(std::string& number) {
    if (!duedates::PartyOfBook(session(), book(), text(kParty), number)) {
        inputError("NON E' STATO INSERITO IL CLIENTE", kParty);
        return false;
    }
    return true;
}

void DueDateView::listed() {
    form().setText(kTotal, Format(shownTotal(), duedates::kAmountMask));
}

}  // namespace zelvo
