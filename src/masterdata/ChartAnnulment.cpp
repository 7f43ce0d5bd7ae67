#include "masterdata/ChartAnnulment.h"

#include <memory>

#include "masterdata/ChartFields.h"

namespace zelvo {

ChartAnnulment::ChartAnnulment(Session& session) : ScreenLogic(session, makeSpec()) {
    on(Event::Leave, kDescription, [this] { leaveDescription(); });
    on(Event::Click, kRemove, [this] { remove(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec ChartAnnulment::makeSpec() {
    FormSpec f;
    f.name = "anpc";
    f.title = "Annullamento voce del piano dei conti";
    f.text(kDescription, "Descrizione:", 0, 30).columnSpan = 2;
    f.button(kRemove, "&Elimina", 1, 0);
    f.button(kCancel, "&Annulla", 1, 1, {.isCancel = true});
    return f;
}

void ChartAnnulment::leaveDescription() {
    // An empty field names nothing yet: the operator may be on the way to "&Annulla".
    if (text(kDescription).empty()) {
        return;
    }
    if (std::optional<chart::Item> item = namedItem()) {
        mayGo(*item);
    }
}

std::optional<chart::Item> ChartAnnulment::namedItem() {
    std::optional<chart::Item> item = chart::ByDescription(archives(), text(kDescription));
    if (!item) {
        dialogs().beep();
        requestFocus(kDescription);
    }
    return item;
}

void ChartAnnulment::warn(const std::string& text) {
    dialogs().message(text, "ATTENZIONE", Icon::Exclamation);
    requestFocus(kDescription);
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
    : ScreenLogic(session, makeSpec()), m_number(std::move(number)), m_description(description) {
    on(Event::Click, kConfirm, [this] { confirm(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec ChartAnnulmentConfirm::makeSpec() {
    FormSpec f;
    f.name = "anpc1";
    f.title = "Conferma annullamento:";
    f.label(kItem, "", 0, 0).columnSpan = 2;
    f.button(kConfirm, "&Conferma", 1, 0);
    f.button(kCancel, "&Annulla", 1, 1, {.isCancel = true});
    return f;
}

void ChartAnnulmentConfirm::load() {
    form().setText(kItem, m_description);
}

void ChartAnnulmentConfirm::confirm() {
    Archives& a = archives();
    if (a.remove(arc::kPc, m_number) != 0 || a.flush(arc::kPc) != 0) {
        a.report(opn::kDelete, arc::kPc, kDelete);
    }
    requestClose();
}

}  // namespace zelvo
