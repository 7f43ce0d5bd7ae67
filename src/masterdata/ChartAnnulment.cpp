#include "masterdata/ChartAnnulment.h"

#include <memory>

#include "masterdata/ChartFields.h"

namespace zelvo {

ChartAnnulment::ChartAnnulment(Session& session) : ScreenLogic(session, makeSpec()) {}

FormSpec ChartAnnulment::makeSpec() {
    FormSpec f;
    f.name = "anpc";
    f.title = "Annullamento voce del piano dei conti";
    f.text("text1", "Descrizione:", 0, 30).columnSpan = 2;
    f.button("Command1", "&Elimina", 1, 0);
    f.button("Command2", "&Annulla", 1, 1).isCancel = true;
    return f;
}

void ChartAnnulment::leave(const std::string& control) {
    // An empty field names nothing yet: the operator may be on the way to "&Annulla".
    if (control != "text1" || text("text1").empty()) {
        return;
    }
    if (std::optional<chart::Item> item = namedItem()) {
        mayGo(*item);
    }
}

void ChartAnnulment::click(const std::string& control) {
    if (control == "Command1") {
        remove();
    } else if (control == "Command2") {
        requestClose();
    }
}

std::optional<chart::Item> ChartAnnulment::namedItem() {
    std::optional<chart::Item> item = chart::ByDescription(archives(), text("text1"));
    if (!item) {
        dialogs().beep();
        requestFocus("text1");
    }
    return item;
}

void ChartAnnulment::warn(const std::string& text) {
    dialogs().message(text, "ATTENZIONE", Icon::Exclamation);
    requestFocus("text1");
}

bool ChartAnnulment::mayGo(const chart::Item& item) {
    if (item.predefined()) {
        warn("Un conto predefinito non può essere annullato");
        return false;
    }
    if (item.progressiveDebit != 0 || item.progressiveCredit != 0 || item.closingBalance != 0) {
        warn("Non può essere annullato - Valori contabili già registrati");
        return false;
    }
    return true;
}

bool ChartAnnulment::hasChildren(const chart::Item& item) {
    int parentField = 0;
    if (item.kind == chart::kMastro) {
        parentField = chart::kMastroNumber;
    } else if (item.kind == chart::kConto) {
        parentField = chart::kContoNumber;
    } else {
        return false;
    }
    Archives& a = archives();
    // Every item names its mastro and conto by number, and no index leads from a parent to
    // its items: the whole chart is read.
    a.bof(arc::kPc, 0);
    while (a.get(arc::kPc, 0, isam::op::kNext, "") == 0) {
        if (a.primaryKey(arc::kPc) != item.number &&
            a.readBuffer(arc::kPc).text(parentField) == item.number) {
            warn("Non può essere annullato - Risultano registrati conti o sottoconti associati");
            return true;
        }
    }
    if (a.status() != isam::status::kEndOfIndex) {
        // Unread items might depend on it: better keep it.
        a.report(opn::kRead, arc::kPc, kScan);
        return true;
    }
    return false;
}

void ChartAnnulment::remove() {
    // Read again: the field may have changed since it was left, and another station may
    // have posted to the item meanwhile.
    const std::optional<chart::Item> item = namedItem();
    if (!item || !mayGo(*item) || hasChildren(*item)) {
        return;
    }
    if (ScreenHost* host = session().host()) {
        host->openScreen(
            std::make_unique<ChartAnnulmentConfirm>(session(), item->number, item->description),
            true);
    }
}

ChartAnnulmentConfirm::ChartAnnulmentConfirm(Session& session, std::string number,
                                             const std::string& description)
    : ScreenLogic(session, makeSpec()), m_number(std::move(number)), m_description(description) {}

FormSpec ChartAnnulmentConfirm::makeSpec() {
    FormSpec f;
    f.name = "anpc1";
    f.title = "Conferma annullamento:";
    // The item about to go, so that the operator confirms what is really deleted.
    f.add(ControlKind::Label, "Label1", "", 0, 0).columnSpan = 2;
    f.button("Command1", "&Conferma", 1, 0);
    f.button("Command2", "&Annulla", 1, 1).isCancel = true;
    return f;
}

void ChartAnnulmentConfirm::load() {
    form().setText("Label1", m_description);
}

void ChartAnnulmentConfirm::click(const std::string& control) {
    if (control == "Command1") {
        Archives& a = archives();
        if (a.remove(arc::kPc, m_number) != 0 || a.flush(arc::kPc) != 0) {
            a.report(opn::kDelete, arc::kPc, kDelete);
        }
        requestClose();
    } else if (control == "Command2") {
        requestClose();
    }
}

}  // namespace zelvo
