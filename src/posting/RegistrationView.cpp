#include "posting/RegistrationView.h"

#include "base/DateText.h"
#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/Chart.h"
#include "posting/JournalFields.h"
#include "posting/PostingEngine.h"

namespace zelvo {

namespace {

FormSpec viewForm() {
    FormSpec f;
    f.name = "VMC";
    f.title = "Visualizzazione prima nota";
    f.text("text1", "Numero registrazione:", 0, 8).allowed = kDigits;
    for (auto [name, caption, row] :
         {std::tuple{"text2", "Data registrazione:", 1}, std::tuple{"text3", "N. doc.:", 2},
          std::tuple{"text4", "Data doc.:", 3}, std::tuple{"text5", "Protocollo:", 4},
          std::tuple{"text6", "Causale:", 5}}) {
        f.text(name, caption, row, 12).readOnly = true;
    }
    ControlSpec& lines = f.add(ControlKind::List, "List1", "Righe:", 6);
    lines.width = 90;
    lines.columnSpan = 3;
    ControlSpec& vat = f.add(ControlKind::List, "List2", "Righe iva:", 7);
    vat.width = 90;
    vat.columnSpan = 3;
    f.button("Command1", "&Chiudi", 8, 0).isCancel = true;
    return f;
}

// The causals of documents whose detail rows are VAT lines.
bool isDocument(const std::string& causal) {
    return causal == "fv" || causal == "fa" || causal == "ca" || causal == "cv" || causal == "co";
}

std::string shown(const std::string& key) {
    return key.empty() ? std::string() : InputToDate(FromKeyDate(key));
}

}  // namespace

RegistrationView::RegistrationView(Session& session) : ScreenLogic(session, viewForm()) {}

void RegistrationView::load() {
    archives().open(arc::kMc);
    archives().open(arc::kTt);
}

void RegistrationView::unload() {
    archives().close(arc::kTt);
    archives().close(arc::kMc);
}

void RegistrationView::leave(const std::string& control) {
    if (control == "text1") {
        show();
    }
}

void RegistrationView::click(const std::string& control) {
    if (control == "Command1") {
        requestClose();
    }
}

void RegistrationView::show() {
    for (const char* c : {"text2", "text3", "text4", "text5", "text6"}) {
        form().setText(c, "");
    }
    form().setItems("List1", {});
    form().setItems("List2", {});
    if (text("text1").empty()) {
        return;
    }
    const std::string number = Format(Val(text("text1")), "0");
    PostingEngine engine(session());
    auto lines = engine.lines(number);
    if (lines.empty()) {
        dialogs().beep();
        requestFocus("text1");
        return;
    }
    const isam::Record& first = lines.front().record;
    form().setText("text2", shown(first.text(mcf::kRegDate)));
    form().setText("text3", first.text(mcf::kDocNumber));
    form().setText("text4", shown(first.text(mcf::kDocDate)));
    form().setText("text5", first.text(mcf::kProtocol));
    form().setText("text6", first.text(mcf::kCausal));
    std::vector<std::string> rows;
    for (const auto& l : lines) {
        const isam::Record& r = l.record;
        auto item = chart::ByNumber(archives(), r.text(mcf::kAccount));
        std::string name = item ? item->description : r.text(mcf::kAccount);
        rows.push_back(PadRight(Utf8Left(name, 30), 30) + " " +
                       PadRight(Utf8Left(r.text(mcf::kDescription), 37), 37) +
                       PadLeft(Format(r.number(mcf::kDebit), "#,###,###,###"), 14) +
                       PadLeft(Format(r.number(mcf::kCredit), "#,###,###,###"), 14));
    }
    form().setItems("List1", rows);
    if (isDocument(first.text(mcf::kCausal))) {
        std::vector<std::string> vat;
        for (const isam::Record& d : engine.detailRows(number)) {
            vat.push_back(PadRight(Utf8Left(d.text(ttf::kCell1), 30), 30) + " " +
                          PadLeft(d.text(ttf::kCell2), 14) + "  " +
                          PadRight(d.text(ttf::kCell3), 6) + PadLeft(d.text(ttf::kCell4), 14));
        }
        form().setItems("List2", vat);
    }
}

}  // namespace zelvo
