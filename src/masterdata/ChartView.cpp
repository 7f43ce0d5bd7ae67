#include "masterdata/ChartView.h"

#include "base/NumberText.h"
#include "masterdata/Chart.h"

namespace zelvo {

namespace {
constexpr const char* kAmountMask = "##,###,###,##0";
}  // namespace

ChartView::ChartView(Session& session) : ScreenLogic(session, layout()) {
    on(Event::Leave, kDescription, [this] { show(); });
    on(Event::Click, kCard, [this] { openCard(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec ChartView::layout() {
    FormSpec f;
    f.name = "VISPC";
    f.title = "Piano dei Conti";
    f.account(kDescription, "Descrizione", 0).columnSpan = 2;
    f.label(kNature, "", 1, 1);
    f.label("Label1", "Mastro:", 2, 0);
    f.label(kMastro, "", 2, 1);
    f.label("Label3", "Conto:", 3, 0);
    f.label(kConto, "", 3, 1);
    f.label("Label5", "Saldo iniziale:", 4, 0);
    f.label(kOpening, "", 4, 1);
    f.label("Label7", "Prog. Dare:", 5, 0);
    f.label(kDebit, "", 5, 1);
    f.label("Label9", "Prog. Avere:", 6, 0);
    f.label(kCredit, "", 6, 1);
    f.label("Label11", "Saldo finale:", 7, 0);
    f.label(kClosing, "", 7, 1);
    f.button(kCard, "&Scheda contabile", 8, 0);
    f.button(kCancel, "&Annulla", 8, 1, {.isCancel = true});
    return f;
}

std::vector<std::string> ChartView::suggestions(const std::string&, const std::string& typed,
                                                bool full) {
    return chart::AccountSuggestions(archives(), session().values(), typed, {}, full);
}

void ChartView::show() {
    for (const char* l : {kNature, kMastro, kConto, kOpening, kDebit, kCredit, kClosing}) {
        form().setText(l, "");
    }
    m_number.clear();
    form().setEnabled(kCard, false);
    Archives& a = archives();
    auto item = chart::ByDescription(a, text(kDescription));
    if (!item) {
        if (!text(kDescription).empty()) {
            dialogs().beep();
        }
        return;
    }
    m_number = item->number;
    form().setText(kDescription, item->description);
    form().setText(kOpening, Format(item->openingBalance, kAmountMask));
    form().setText(kDebit, Format(item->progressiveDebit, kAmountMask));
    form().setText(kCredit, Format(item->progressiveCredit, kAmountMask));
    form().setText(kClosing, Format(item->closingBalance, kAmountMask));
    if (item->kind == chart::kMastro) {
        form().setText(kNature, item->nature == "p" ? "patrimoniale" : "economico");
        return;
    }
    if (auto mastro = chart::ByNumber(a, item->mastroNumber)) {
        form().setText(kMastro, mastro->description);
    }
    if (item->kind != chart::kConto) {
        if (auto conto = chart::ByNumber(a, item->contoNumber)) {
            form().setText(kConto, conto->description);
        }
        form().setEnabled(kCard, true);
    }
}

void ChartView::openCard() {
    if (m_number.empty() || host() == nullptr) {
        return;
    }
    auto item = chart::ByNumber(archives(), m_number);
    if (item && item->kind != chart::kMastro && item->kind != chart::kConto) {
        session().values().chosenAccount = item->description;
        host()->openScreen("visched1");
    }
}

}  // namespace zelvo
