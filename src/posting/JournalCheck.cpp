#include "posting/JournalCheck.h"

#include "base/DateText.h"
#include "base/NumberText.h"
#include "posting/JournalFields.h"

namespace zelvo {

namespace {

constexpr int kReadPosition = 4921;

}  // namespace

JournalCheck::JournalCheck(Session& session) : ScreenLogic(session, layout()) {
    on(Event::Click, kConfirm, [this] { check(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec JournalCheck::layout() {
    FormSpec f;
    f.name = "VERPN";
    f.title = "Verifica prima nota";
    f.label(kDay, "", 0).columnSpan = 2;
    f.button(kConfirm, "&Conferma", 1, 0, {.isDefault = true});
    f.button(kCancel, "&Annulla", 1, 1, {.isCancel = true});
    return f;
}

void JournalCheck::load() {
    archives().open(arc::kMc);
}

void JournalCheck::unload() {
    archives().close(arc::kMc);
}

void JournalCheck::check() {
    Archives& a = archives();
    ScreenHost* host = session().host();
    if (host != nullptr) {
        host->setBusy(true);
    }
    std::string current;
    // Whole lire in doubles add up exactly: a day balances only at exactly 0.
    double balance = 0;
    std::int16_t s = a.bof(arc::kMc, mcf::kRegDate);
    while (s == 0) {
        s = a.get(arc::kMc, mcf::kRegDate, isam::op::kNext, "");
        if (s != 0) {
            break;
        }
        const isam::Record& r = a.readBuffer(arc::kMc);
        const std::string& date = r.text(mcf::kRegDate);
        if (date != current) {
            if (!current.empty()) {
                dayEnds(current, balance);
            }
            balance = 0;
            current = date;
            form().setText(kDay, ShownDate(current));
        }
        balance += r.number(mcf::kDebit) - r.number(mcf::kCredit);
    }
    if (host != nullptr) {
        host->setBusy(false);
    }
    if (s != isam::status::kEndOfIndex) {
        a.report(opn::kRead, arc::kMc, kReadPosition);
        return;
    }
    if (!current.empty()) {
        dayEnds(current, balance);
    }
    dialogs().message("Operazione effettuata", "Zelvo", Icon::Information);
}

void JournalCheck::dayEnds(const std::string& date, double balance) {
    if (balance == 0) {
        return;
    }
    dialogs().beep();
    dialogs().message("Sbilancio di" + Str(balance) + " il giorno " + ShownDate(date), "ATTENZIONE",
                      Icon::Exclamation);
}

}  // namespace zelvo
