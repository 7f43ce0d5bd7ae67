#include "app/CompanyDataScreen.h"

#include "app/CompanyRegister.h"

namespace zelvo {

using namespace companyreg;

CompanyDataScreen::CompanyDataScreen(Session& session) : ScreenLogic(session, makeSpec()) {}

FormSpec CompanyDataScreen::makeSpec() {
    FormSpec f;
    f.name = "REGDATI";
    f.title = "Dati aziendali";
    AddCompanyFields(f);
    f.button("Command1", "&Conferma", 4, 0);
    f.button("Command2", "&Annulla", 4, 1).isCancel = true;
    return f;
}

void CompanyDataScreen::load() {
    Archives& a = archives();
    if (a.getByKeyReported(arc::kDataz, session().values().companyCode, kLoadRead) != 0) {
        return;
    }
    const isam::Record& r = a.readBuffer(arc::kDataz);
    form().setText("text1", r.text(kCompanyName));
    form().setText("text2", r.text(kCompanyAddress));
    form().setText("text3", r.text(kCompanyCity));
    form().setText("text4", r.text(kCompanyVatNumber));
}

void CompanyDataScreen::click(const std::string& control) {
    if (control == "Command1") {
        confirm();
    } else if (control == "Command2") {
        requestClose();
    }
}

void CompanyDataScreen::confirm() {
    Archives& a = archives();
    const std::string& code = session().values().companyCode;
    const std::string name = text("text1");
    if (name.empty()) {
        inputError("La ragione sociale non è stata inserita", "text1");
        return;
    }
    // The same name in another letter case is the same company; a name that merely begins
    // like another company's is a name of its own.
    if (a.getIdentical(arc::kDataz, kCompanyName, name) == 0 && a.primaryKey(arc::kDataz) != code) {
        inputError("Ragione sociale già registrata", "text1");
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
    isam::Record& r = a.writeBuffer(arc::kDataz);
    r.setText(kCompanyName, name);
    r.setText(kCompanyAddress, text("text2"));
    r.setText(kCompanyCity, text("text3"));
    r.setText(kCompanyVatNumber, text("text4"));
    if (a.putReported(arc::kDataz, code, isam::mode::kRewrite, kRecordWrite) != 0) {
        return;
    }
    if (a.flush(arc::kDataz) != 0) {
        a.report(opn::kWrite, arc::kDataz, kRecordWrite);
        return;
    }
    session().values().companyName = name;
    session().setPanel(8, name);
    requestClose();
}

}  // namespace zelvo
