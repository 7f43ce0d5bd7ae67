#include "app/AboutBox.h"

namespace zelvo {

namespace {

FormSpec aboutForm() {
    FormSpec f;
    f.name = "primo";
    f.title = "Informazioni su Zelvo";
    f.add(ControlKind::Label, "Label1", "Zelvo", 0);
    f.add(ControlKind::Label, "Label2", "Contabilità ordinaria in partita doppia", 1);
    f.add(ControlKind::Label, "Label3", "", 2);
    f.button("Command1", "&OK", 3, 0).isDefault = true;
    return f;
}

}  // namespace

AboutBox::AboutBox(Session& session) : ScreenLogic(session, aboutForm()) {}

void AboutBox::load() {
    const ProgramValues& v = session().values();
    form().setText("Label3", v.companyName.empty()
                                 ? std::string()
                                 : "Azienda: " + v.companyName + " - anno " + v.year);
}

void AboutBox::click(const std::string& control) {
    if (control == "Command1") {
        requestClose();
    }
}

}  // namespace zelvo
