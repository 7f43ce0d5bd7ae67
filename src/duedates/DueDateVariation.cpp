#include "duedates/DueDateVariation.h"

#include "archive/RecordLock.h"
#include "base/DateText.h"
#include "base/NumberText.h"
#include "duedates/DueDateFields.h"
#include "posting/DateChecks.h"

namespace zelvo {

namespace {

bool same(const duedates::OpenInstalment& listed, const isam::Record& r) {
    return r.text(duef::kSettledDate).empty() && r.number(duef::kAmount) == listed.amount &&
           r.text(duef::kDueDate) == listed.dueDate &&
           r.text(duef::kPartyNumber) == listed.partyNumber &&
           r.text(duef::kInvoiceNumber) == listed.invoiceNumber &&
           r.text(duef::kInvoiceDate) == listed.invoiceDate;
}

}  // namespace

DueDateVariation::DueDateVariation(Session& session)
    : DueDateList(session, layout(), kCustomerHeading) {
    on(Event::Change, kList, [this] { choose(); });
    on(Event::Click, kVary, [this] { vary(); });
    on(Event::Click, kDelete, [this] { remove(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec DueDateVariation::layout() {
    FormSpec f;
    f.name = "VARSCA";
    f.title = "Variazione scadenzario";
    addListControls(f, 4);
    f.amount(kAmount, "Importo:", 6, 16, Amounts::SignedLire);
    f.date(kDueDate, "Scadenza:", 7);
    f.button(kVary, "&Varia", 8, 0, {.isDefault = true});
    f.button(kDelete, "&Elimina", 8, 1);
    f.button(kCancel, "&Annulla", 8, 2, {.isCancel = true});
    return f;
}

const duedates::OpenInstalment* DueDateVariation::chosen() {
    const int line = form().selected(kList);
    if (line < 0 || line >= static_cast<int>(shown().size())) {
        dialogs().beep();
        requestFocus(kList);
        return nullptr;
    }
    return &shown()[static_cast<size_t>(line)];
}

void DueDateVariation::choose() {
    const int line = form().selected(kList);
    if (line < 0 || line >= static_cast<int>(shown().size())) {
        return;
    }
    const duedates::OpenInstalment& i = shown()[static_cast<size_t>(line)];
    form().setText(kAmount, Str(i.amount).substr(i.amount < 0 ? 0 : 1));
    form().setText(kDueDate, ShownDate(i.dueDate));
}

void DueDateVariation::clearEntry() {
    form().setText(kAmount, "");
    form().setText(kDueDate, "");
}

bool DueDateVariation::whileUnchanged(const duedates::OpenInstalment& listed, int position,
                                      const std::function<std::int16_t()>& work) {
    Archives& a = archives();
    const int archive = duedates::InfoOf(book()).archive;
    bool done = false;
    bool changedElsewhere = false;
    {
        Registration tx(a, archive);
        if (tx.status() != 0) {
            a.setStatus(tx.status());
            a.report(opn::kWrite, archive, position);
            return false;
        }
        RecordLock lock(a, archive, listed.primaryKey, position);
        if (!lock.held()) {
            return false;
        }
        const std::int16_t s = a.getByKey(archive, listed.primaryKey);
        if (s != 0 && s != isam::status::kNotFound) {
            a.report(opn::kRead, archive, position);
            return false;
        }
        changedElsewhere = s != 0 || !same(listed, a.readBuffer(archive));
        if (!changedElsewhere && work() == 0) {
            done = tx.commit() == 0;
            if (!done) {
                a.report(opn::kWrite, archive, position);
            }
        }
    }
    if (changedElsewhere) {
        dialogs().beep();
        dialogs().message("La scadenza è stata modificata o eliminata da un'altra postazione.",
                          "Attenzione", Icon::Exclamation);
        refill();
        clearEntry();
    }
    return done;
}

void DueDateVariation::vary() {
    const duedates::OpenInstalment* listed = chosen();
    if (listed == nullptr) {
        return;
    }
    const double amount = Val(text(kAmount));
    if (text(kAmount).empty() || amount == 0) {
        inputError("Non è stato inserito l'importo", kAmount);
        return;
    }
    std::string date = text(kDueDate);
    if (IsEmptyDateMask(date) || date.empty()) {
        inputError("Non è stata inserita la data", kDueDate);
        return;
    }
    if (!CheckDocumentDate(session(), date)) {
        requestFocus(kDueDate);
        return;
    }
    const std::string due = ToKeyDate(date);
    const int archive = duedates::InfoOf(book()).archive;
    const bool partyKey = duedates::InfoOf(book()).partyDueKey;
    const duedates::OpenInstalment was = *listed;
    const bool done = whileUnchanged(was, kWritePosition, [&] {
        Archives& a = archives();
        a.copyReadToWrite(archive);
        isam::Record& r = a.writeBuffer(archive);
        r.setNumber(duef::kAmount, amount);
        r.setText(duef::kDueDate, due);
        if (partyKey) {
            r.setText(duef::kPartyDueKey, was.partyNumber + due);
        }
        return a.putReported(archive, was.primaryKey, isam::mode::kRewrite, kWritePosition);
    });
    if (done) {
        refill();
        clearEntry();
    }
}

void DueDateVariation::remove() {
    const duedates::OpenInstalment* listed = chosen();
    if (listed == nullptr) {
        return;
    }
    const int archive = duedates::InfoOf(book()).archive;
    const duedates::OpenInstalment was = *listed;
    const bool done = whileUnchanged(was, kDeletePosition, [&] {
        const std::int16_t s = archives().remove(archive, was.primaryKey);
        if (s != 0) {
            dialogs().message("L'operazione non è stata effettuata", "Errore", Icon::Exclamation);
        }
        return s;
    });
    if (done) {
        refill();
        clearEntry();
    }
}

}  // namespace zelvo
