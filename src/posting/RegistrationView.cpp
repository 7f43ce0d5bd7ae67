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
    using R = RegistrationView;
    f.text(R::kNumber, "Numero registrazione:", 0, 8, {.allowed = kDigits});
    for (auto [name, caption, row] :
         {std::tuple{R::kRegDate, "Data registrazione:", 1},
          std::tuple{R::kDocNumber, "N. doc.:", 2}, std::tuple{R::kDocDate, "Data doc.:", 3},
          std::tuple{R::kProtocol, "Protocollo:", 4}, std::tuple{R::kCausal, "Causale:", 5}}) {
        f.text(name, caption, row, 12, {.readOnly = true});
    }
    ControlSpec& lines = f.list(R::kLines, "Righe:", 6);
    lines.width = 90;
    lines.columnSpan = 3;
    ControlSpec& vat = f.list(R::kVatLines, "Righe iva:", 7);
    vat.width = 90;
    vat.columnSpan = 3;
    f.button(R::kClose, "&Chiudi", 8, 0, {.isCancel = true});
    return f;
}

// The causals of documents whose detail rows are VAT lines.
bool isDocument(const std::string& causal) {
    return causal == "fv" || causal == "fa" || causal == "ca" || causal == "cv" || causal == "co";
}

}  // namespace

RegistrationView::RegistrationView(Session& session) : ScreenLogic(session, viewForm()) {
    on(Event::Leave, kNumber, [this] { show(); });
    on(Event::Click, kClose, [this] { requestClose(); });
}

void RegistrationView::load() {
    archives().open(arc::kMc);
    archives().open(arc::kTt);
}

void RegistrationView::unload() {
    archives().close(arc::kTt);
    archives().close(arc::kMc);
}

void RegistrationView::show() {
    for (const char* c : {kRegDate, kDocNumber, kDocDate, kProtocol, kCausal}) {
        form().setText(c, "");
    }
    form().setItems(kLines, {});
    form().setItems(kVatLines, {});
    if (text(kNumber).empty()) {
        return;
    }
    const std::string number = Format(Val(text(kNumber)), "0");
    PostingEngine engine(session());
    auto lines = engine.lines(number);
    if (lines.empty()) {
        dialogs().beep();
        requestFocus(kNumber);
        return;
    }
    const isam::Record& first = lines.front().record;
    form().setText(kRegDate, ShownDate(first.text(mcf::kRegDate)));
    form().setText(kDocNumber, first.text(mcf::kDocNumber));
    form().setText(kDocDate, ShownDate(first.text(mcf::kDocDate)));
    form().setText(kProtocol, first.text(mcf::kProtocol));
    form().setText(kCausal, first.text(mcf::kCausal));
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
    form().setItems(kLines, rows);
    if (isDocument(first.text(mcf::kCausal))) {
        std::vector<std::string> vat;
        for (const isam::Record& d : engine.detailRows(number)) {
            vat.push_back(PadRight(Utf8Left(d.text(ttf::kCell1), 30), 30) + " " +
                          PadLeft(d.text(ttf::kCell2), 14) + "  " +
                          PadRight(d.text(ttf::kCell3), 6) + PadLeft(d.text(ttf::kCell4), 14));
        }
        form().setItems(kVatLines, vat);
    }
}

}  // namespace zelvo
