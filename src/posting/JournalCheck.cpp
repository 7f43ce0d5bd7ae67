#include "posting/JournalCheck.h"

#include "base/DateText.h"
#include "base/NumberText.h"
#include "posting/JournalFields.h"

namespace zelvo {

namespace {

constexpr int kReadPosition = 4921;

std::string shown(const std::string& key) {
    return InputToDate(FromKeyDate(key));
}

}  // namespace

JournalCheck::JournalCheck(Session& session) : ScreenLogic(session, layout()) {}

FormSpec JournalCheck::layout() {
    FormSpec f;
    f.name = "VERPN";
    f.title = "Verifica prima nota";
    f.add(ControlKind::Label, "Label1", "", 0).columnSpan = 2;
    f.button("Command1", "&Conferma", 1, 0).isDefault = true;
    f.button("Command2", "&Annulla", 1, 1).isCancel = true;
    return f;
}

void JournalCheck::load() {
    archives().open(arc::kMc);
}

void JournalCheck::unload() {
    archives().close(arc::kMc);
}

void JournalCheck::click(const std::string& control) {
    if (control == "Command1") {
        check();
    } else if (control == "Command2") {
        requestClose();
    }
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
            form().setText("Label1", shown(current));
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
    dialogs().message("Sbilancio di" + Str(balance) + " il giorno " + shown(date), "ATTENZIONE",
                      Icon::Exclamation);
}

}  // namespace zelvo
