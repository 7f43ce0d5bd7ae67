#include "app/AboutBox.h"

#include "base/Version.h"

namespace zelvo {

namespace {

FormSpec aboutForm() {
    FormSpec f;
    f.name = "primo";
    f.title = "Informazioni su Zelvo";
    f.label(AboutBox::kProgram, "Zelvo", 0);
    f.label(AboutBox::kPurpose, "Contabilità ordinaria in partita doppia", 1);
    f.label(AboutBox::kVersion, std::string("Versione ") + kProgramVersion, 2);
    f.label(AboutBox::kCompany, "", 3);
    f.button(AboutBox::kOk, "&OK", 4, 0, {.isDefault = true});
    return f;
}

}  // namespace

AboutBox::AboutBox(Session& session) : ScreenLogic(session, aboutForm()) {
    on(Event::Click, kOk, [this] { requestClose(); });
}

void AboutBox::load() {
    const ProgramValues& v = session().values();
    form().setText(kCompany, v.companyName.empty()
                                 ? std::string()
                                 : "Azienda: " + v.companyName + " - anno " + v.year);
}

}  // namespace zelvo
