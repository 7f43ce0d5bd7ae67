#include "yearend/NewYearScreen.h"

#include "yearend/NewYear.h"

namespace zelvo {

namespace {

FormSpec newYearForm() {
    using N = NewYearScreen;
    FormSpec f;
    f.name = "APANNO";
    f.title = "Apertura archivi nuovo anno";
    f.label(N::kYearLabel, "", 0, 0).columnSpan = 2;
    f.check(N::kEuro, "Converti in Euro", 1, 0);
    f.button(N::kRun, "&Ok", 2, 0);
    f.button(N::kCancel, "&Annulla", 2, 1, {.isCancel = true});
    return f;
}

constexpr const char* kEuroQuestion =
    "E' stata scelta l'opzione di conversione in Euro. Per operare nel nuovo anno contabile si "
    "dovrà utilizzare il programma Zelvo III Euro. Si vuole continuare?";

}  // namespace

NewYearScreen::NewYearScreen(Session& session) : ScreenLogic(session, newYearForm()) {
    on(Event::Click, kRun, [this] { run(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void NewYearScreen::load() {
    form().setText(kYearLabel, "Nuovo anno contabile " + NextYear(session().values().year));
}

void NewYearScreen::run() {
    Archives& a = archives();
    const std::string& company = session().values().companyCode;
    if (a.exists(a.fileName(arc::kCt, company, NextYear(session().values().year)))) {
        dialogs().message("Archivi già aperti", "Errore", Icon::Exclamation);
        return;
    }
    const bool euro = form().checked(kEuro);
    if (euro && dialogs().ask(kEuroQuestion, "Attenzione", Icon::Question, true) != Answer::Yes) {
        return;
    }
    YearOpening result = YearOpening::Failed;
    {
        BusyCursor busy(session().host());
        result = OpenNextYear(session(), euro);
    }
    if (result == YearOpening::AlreadyOpen) {
        // Another station opened it between the check above and the move into place.
        dialogs().message("Archivi già aperti", "Errore", Icon::Exclamation);
        return;
    }
    if (result == YearOpening::Opened) {
        requestClose();
    }
}

}  // namespace zelvo
