#include "sheet/Agenda.h"

#include "base/DateText.h"
#include "posting/DateChecks.h"

namespace zelvo {

namespace {

constexpr int kFirstYear = 1990;
constexpr int kLastYear = 2099;
constexpr int kTextLength = 200;
constexpr int kCreatePosition = 2414;

FormSpec agendaForm() {
    using A = Agenda;
    FormSpec f;
    f.name = "AGENDA";
    f.title = "Agenda";
    f.label(A::kSummary, "", 0).columnSpan = 3;
    f.list(A::kList, "Note:", 1).columnSpan = 3;
    f.check(A::kShowDone, "Mostra anche le note eseguite", 2);
    f.date(A::kDate, "Data:", 3);
    f.text(A::kText, "Nota:", 4, 60, {.maxLength = kTextLength}).columnSpan = 3;
    f.button(A::kAdd, "&Nuova", 5, 0, {.isDefault = true});
    f.button(A::kChange, "&Modifica", 5, 1);
    f.button(A::kDone, "&Eseguita", 5, 2);
    f.button(A::kRemove, "E&limina", 6, 0);
    f.button(A::kClose, "&Chiudi", 6, 2, {.isCancel = true});
    return f;
}

std::string Summary(const std::vector<AgendaNote>& notes, const std::string& today) {
    int overdue = 0;
    int now = 0;
    for (const AgendaNote& n : notes) {
        overdue += StateOf(n, today) == NoteState::Overdue ? 1 : 0;
        now += StateOf(n, today) == NoteState::Today ? 1 : 0;
    }
    if (overdue == 0 && now == 0) {
        return "Nessuna nota scaduta o per oggi";
    }
    return "Note scadute: " + std::to_string(overdue) + "   Note per oggi: " + std::to_string(now);
}

}  // namespace

Agenda::Agenda(Session& session) : ScreenLogic(session, agendaForm()) {
    on(Event::Change, kList, [this] { picked(); });
    on(Event::Change, kShowDone, [this] { refill(); });
    on(Event::Click, kAdd, [this] { addNote(); });
    on(Event::Click, kChange, [this] { changeNote(); });
    on(Event::Click, kDone, [this] { toggleDone(); });
    on(Event::Click, kRemove, [this] { removeNote(); });
    on(Event::Click, kClose, [this] { requestClose(); });
}

void Agenda::load() {
    // An installation that never kept an agenda gets one the first time it is shown.
    Archives& a = archives();
    if (!a.exists(a.fileName(arc::kGg)) && !a.create(arc::kGg, "", "", kCreatePosition)) {
        return;
    }
    m_open = a.open(arc::kGg);
    form().setText(kDate, session().values().today);
    refill();
    requestFocus(kText);
}

void Agenda::unload() {
    if (m_open) {
        archives().close(arc::kGg);
    }
}

std::string Agenda::todayKey() {
    return ToKeyDate(session().values().today);
}

void Agenda::refill() {
    std::vector<AgendaNote> notes;
    if (m_open) {
        notes = AgendaBook(archives()).notes(session().values().userName);
    }
    const std::string today = todayKey();
    SortForAgenda(notes, today);
    m_shown.clear();
    std::vector<std::string> lines;
    for (const AgendaNote& n : notes) {
        if (!n.done || form().checked(kShowDone)) {
            m_shown.push_back(n);
            lines.push_back(NoteLine(n, today));
        }
    }
    form().setItems(kList, lines);
    form().setText(kSummary, Summary(notes, today));
}

void Agenda::picked() {
    if (const AgendaNote* n = selectedNote()) {
        form().setText(kDate, ShownDate(n->date));
        form().setText(kText, n->text);
    }
}

const AgendaNote* Agenda::selectedNote() {
    const int i = form().selected(kList);
    return i >= 0 && i < static_cast<int>(m_shown.size()) ? &m_shown[static_cast<size_t>(i)]
                                                          : nullptr;
}

std::optional<AgendaNote> Agenda::typedNote() {
    std::string date = text(kDate);
    ClearEmptyDate(date);
    if (date.empty()) {
        inputError("Non è stata inserita la data", kDate);
        return std::nullopt;
    }
    if (!IsValidDateText(date, kFirstYear, kLastYear)) {
        inputError("La data inserita non è valida", kDate);
        return std::nullopt;
    }
    if (text(kText).find_first_not_of(' ') == std::string::npos) {
        inputError("Non è stato inserito il testo della nota", kText);
        return std::nullopt;
    }
    AgendaNote note;
    note.date = ToKeyDate(date);
    note.user = session().values().userName;
    note.text = text(kText);
    return note;
}

void Agenda::addNote() {
    if (!m_open) {
        return;
    }
    if (auto note = typedNote()) {
        afterWrite(AgendaBook(archives()).add(*note));
    }
}

void Agenda::changeNote() {
    const AgendaNote* before = selectedNote();
    if (before == nullptr) {
        inputError("Non è stata selezionata nessuna nota", kList);
        return;
    }
    const AgendaNote old = *before;
    if (auto note = typedNote()) {
        note->done = old.done;
        afterWrite(AgendaBook(archives()).change(old, *note));
    }
}

void Agenda::toggleDone() {
    const AgendaNote* before = selectedNote();
    if (before == nullptr) {
        inputError("Non è stata selezionata nessuna nota", kList);
        return;
    }
    AgendaNote after = *before;
    after.done = !after.done;
    afterWrite(AgendaBook(archives()).change(*before, after));
}

void Agenda::removeNote() {
    const AgendaNote* before = selectedNote();
    if (before == nullptr) {
        inputError("Non è stata selezionata nessuna nota", kList);
        return;
    }
    if (dialogs().ask("Eliminare la nota selezionata?", "Zelvo", Icon::Question, true) !=
        Answer::Yes) {
        return;
    }
    afterWrite(AgendaBook(archives()).remove(*before));
}

void Agenda::afterWrite(AgendaBook::Result result) {
    if (result == AgendaBook::Result::Changed) {
        dialogs().message("La nota è stata modificata da un'altra postazione", "Attenzione",
                          Icon::Exclamation);
    }
    if (result != AgendaBook::Result::Failed) {
        form().setText(kText, "");
    }
    refill();
    requestFocus(kText);
}

}  // namespace zelvo
