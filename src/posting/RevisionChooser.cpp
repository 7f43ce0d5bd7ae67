#include "posting/RevisionChooser.h"

#include <stdexcept>

#include "base/DateText.h"
#include "base/NumberText.h"
#include "base/Utf8.h"
#include "posting/Annullable.h"
#include "posting/DateChecks.h"
#include "posting/JournalFields.h"
#include "posting/PostingEngine.h"

namespace zelvo {

namespace {

constexpr int kReadPosition = 731;

FormSpec chooserForm(RevisionChooser::Mode mode) {
    FormSpec f;
    const bool annul = mode == RevisionChooser::Mode::Annul;
    f.name = annul ? "annsr" : "AMC";
    f.title = annul ? "Annullamento singola registrazione" : "Revisione prima nota";
    using R = RevisionChooser;
    f.date(R::kDate, "Data registrazione:", 0);
    f.text(R::kNumber, "Numero registrazione:", 1, 8, {.allowed = kDigits});
    ControlSpec& list = f.list(R::kList, "Registrazioni:", 2);
    list.width = 70;
    list.columnSpan = 3;
    f.button(R::kConfirm, "&Conferma", 3, 0);
    f.button(R::kCancel, "&Annulla", 3, 1, {.isCancel = true});
    return f;
}

const std::map<std::string, const char*> kYearEndQuestions = {
    {"ce", "Si vogliono annullare le registrazioni della chiusura conti economici ?"},
    {"cp", "Si vogliono annullare le registrazioni della chiusura conti patrimoniali ?"},
    {"ap", "Si vogliono annullare le registrazioni del bilancio d'apertura ?"},
};

}  // namespace

std::map<std::string, RevisionFactory>& RevisionScreens() {
    static std::map<std::string, RevisionFactory> screens;
    return screens;
}

RevisionChooser::RevisionChooser(Session& session, Mode mode)
    : ScreenLogic(session, chooserForm(mode)), m_mode(mode) {
    on(Event::Leave, kDate, [this] { listDay(); });
    on(Event::Leave, kNumber, [this] { listNumber(); });
    on(Event::Click, kConfirm, [this] { confirm(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void RevisionChooser::load() {
    archives().open(arc::kMc);
    archives().open(arc::kTt);
    form().setText(kDate, session().values().yearDateMask);
}

void RevisionChooser::unload() {
    archives().close(arc::kTt);
    archives().close(arc::kMc);
}

void RevisionChooser::add(const std::string& regNumber) {
    PostingEngine engine(session());
    auto lines = engine.lines(regNumber);
    if (lines.empty()) {
        return;
    }
    const isam::Record& r = lines.front().record;
    m_numbers.push_back(regNumber);
    auto items = form().items(kList);
    items.push_back(PadLeft(regNumber, 8) + "  " + ShownDate(r.text(mcf::kRegDate)) + "  " +
                    r.text(mcf::kCausal) + "  " + r.text(mcf::kDescription));
    form().setItems(kList, items);
}

void RevisionChooser::listDay() {
    std::string date = text(kDate);
    ClearEmptyDate(date);
    if (date.empty() || !IsValidDateText(date, 1950, 2050)) {
        return;
    }
    m_numbers.clear();
    form().setItems(kList, {});
    const std::string key = ToKeyDate(date);
    Archives& a = archives();
    std::vector<std::string> numbers;
    std::int16_t s = a.get(arc::kMc, mcf::kRegDate, isam::op::kFind, key);
    while (s == 0 && a.readBuffer(arc::kMc).text(mcf::kRegDate) == key) {
        const std::string& n = a.readBuffer(arc::kMc).text(mcf::kRegNumber);
        if (numbers.empty() || numbers.back() != n) {
            numbers.push_back(n);
        }
        s = a.get(arc::kMc, mcf::kRegDate, isam::op::kNext, "");
    }
    if (s != 0 && s != isam::status::kNotFound && s != isam::status::kEndOfIndex) {
        a.report(opn::kRead, arc::kMc, kReadPosition);
    }
    for (const std::string& n : numbers) {
        add(n);
    }
}

void RevisionChooser::listNumber() {
    const std::string number = text(kNumber);
    if (number.empty()) {
        return;
    }
    m_numbers.clear();
    form().setItems(kList, {});
    add(Format(Val(number), "0"));
    if (m_numbers.size() == 1) {
        form().setSelected(kList, 0);
    }
}

void RevisionChooser::confirm() {
    int i = form().selected(kList);
    if (i < 0 || i >= static_cast<int>(m_numbers.size())) {
        inputError("Non è stato scelto un articolo");
        return;
    }
    const std::string number = m_numbers[static_cast<size_t>(i)];
    PostingEngine engine(session());
    auto lines = engine.lines(number);
    if (lines.empty()) {
        return;
    }
    const isam::Record& first = lines.front().record;
    if (first.number(mcf::kOriginFlag) == 1) {
        dialogs().message("La registrazione è stata effettuata con l'emissione documenti",
                          "Attenzione", Icon::Exclamation);
        return;
    }
    const std::string causal = first.text(mcf::kCausal);
    if (m_mode == Mode::Annul) {
        annul(number, causal);
        if (engine.lines(number).empty()) {
            dropChosen(i);
        }
        return;
    }
    auto yearEnd = kYearEndQuestions.find(causal);
    if (yearEnd != kYearEndQuestions.end()) {
        if (dialogs().ask(yearEnd->second, "ATTENZIONE", Icon::Question, false) == Answer::Yes) {
            engine.remove(number);
            dropChosen(i);
        }
        return;
    }
    auto screen = RevisionScreens().find(causal);
    if (screen == RevisionScreens().end() || host() == nullptr) {
        unavailable(causal);
        return;
    }
    host()->openScreen(screen->second(session(), number), false);
    requestClose();
}

void RevisionChooser::unavailable(const std::string& causal) {
    dialogs().message(
        "Impossibile caricare il modulo. Revisione della causale " + causal + " non disponibile",
        "Zelvo", Icon::Critical);
}

void RevisionChooser::dropChosen(int i) {
    m_numbers.erase(m_numbers.begin() + i);
    auto items = form().items(kList);
    items.erase(items.begin() + i);
    form().setItems(kList, items);
}

// The registration's own revision screen removes it, unseen, exactly as its confirm would
// before posting the revised one; year-end registrations have no screen and only lines.
void RevisionChooser::annul(const std::string& number, const std::string& causal) {
    if (dialogs().ask("Si vuole annullare la registrazione n. " + number + " ?", "ATTENZIONE",
                      Icon::Question, false) != Answer::Yes) {
        return;
    }
    PostingEngine engine(session());
    if (kYearEndQuestions.count(causal) != 0) {
        engine.annul(number, engine.lines(number));
        return;
    }
    auto screen = RevisionScreens().find(causal);
    if (screen == RevisionScreens().end()) {
        // Its register rows or instalments would stay behind.
        unavailable(causal);
        return;
    }
    std::unique_ptr<ScreenLogic> revision = screen->second(session(), number);
    auto* annullable = dynamic_cast<Annullable*>(revision.get());
    if (annullable == nullptr) {
        throw std::logic_error("revision screen without annulment: " + causal);
    }
    revision->load();
    annullable->annul();
    revision->unload();
}

}  // namespace zelvo
