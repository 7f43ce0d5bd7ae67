#include "app/CompanyDataScreen.h"

#include "app/CompanyRegister.h"

namespace zelvo {

using namespace companyreg;

CompanyDataScreen::CompanyDataScreen(Session& session) : ScreenLogic(session, makeSpec()) {
    on(Event::Click, kConfirm, [this] { confirm(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec CompanyDataScreen::makeSpec() {
    FormSpec f;
    f.name = "REGDATI";
    f.title = "Dati aziendali";
    AddCompanyFields(f);
    f.button(kConfirm, "&Conferma", 4, 0);
    f.button(kCancel, "&Annulla", 4, 1, {.isCancel = true});
    return f;
}

void CompanyDataScreen::load() {
    Archives& a = archives();
    if (a.getByKeyReported(arc::kDataz, session().values().companyCode, kLoadRead) != 0) {
        return;
    }
    ShowCompanyFields(a.readBuffer(arc::kDataz), form());
}

void CompanyDataScreen::confirm() {
    Archives& a = archives();
    const std::string& code = session().values().companyCode;
    const std::string name = text(kNameControl);
    if (name.empty()) {
        inputError("La ragione sociale non è stata inserita", kNameControl);
        return;
    }
    // The same name in another letter case is the same company; a name that merely begins
    // like another company's is a name of its own.
    if (a.getIdentical(arc::kDataz, kCompanyName, name) == 0 && a.primaryKey(arc::kDataz) != code) {
        inputError("Ragione sociale già registrata", kNameControl);
        return;
    }
    if (a.status() != 0 && a.status() != isam::status::kNotFound) {
        a.report(opn::kRead, arc::kDataz, kNameRead);
        return;
    }
    // The name look-up moved the read buffer: the flags are kept as the company's own
    // record holds them.
    if (a.getByKeyReported(arc::kDataz, code, kRecordRead) != 0) {
        return;
    }
    a.copyReadToWrite(arc::kDataz);
    WriteCompanyFields(form(), a.writeBuffer(arc::kDataz));
    if (!RewriteRegisterRecord(a, code, kRecordWrite)) {
        return;
    }
    session().values().companyName = name;
    session().setPanel(8, name);
    requestClose();
}

}  // namespace zelvo
