#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/Archives.h"

namespace zelvo {

// One note of the agenda: a dated reminder or deadline of one operator.
struct AgendaNote {
    std::string date;  // "yyyymmdd"
    int number = 0;    // unique in the agenda, kept for the note's whole life
    bool done = false;
    std::string user;
    std::string text;

    // The primary key: the date, so that the agenda reads in date order, then the number,
    // then "n" when done - the program's mark for a done flag. The archive has room for two
    // fields only, which hold the user and the text.
    std::string key() const;
    static std::optional<AgendaNote> fromKey(const std::string& key);
    bool operator==(const AgendaNote&) const = default;
};

// How a note stands on a given day.
enum class NoteState { Overdue, Today, Coming, Done };
NoteState StateOf(const AgendaNote& note, const std::string& todayKey);

// The notes in the order the agenda shows them: what is overdue and what falls today first
// (oldest first, as that is what is most late), then what is coming (nearest first), then
// what is done (latest first).
void SortForAgenda(std::vector<AgendaNote>& notes, const std::string& todayKey);

// The line of the list for a note: "10/03/2026 SCADUTA - Versamento IVA".
std::string NoteLine(const AgendaNote& note, const std::string& todayKey);

// The agenda archive "gg" of the installation, opened by the caller. Every change is one
// registration under the note's record lock; a change to a note that another station has
// changed or removed meanwhile writes nothing.
class AgendaBook {
  public:
    enum class Result { Done, Changed, Failed };

    explicit AgendaBook(Archives& archives) : m_archives(archives) {}

    // The notes of one operator (all of them with an empty user), in key order.
    std::vector<AgendaNote> notes(const std::string& user);
    // Adds the note under the next free number, which it then holds.
    Result add(AgendaNote& note);
    // Replaces `before` (as it was read) by `after`, which keeps its number.
    Result change(const AgendaNote& before, AgendaNote after);
    Result remove(const AgendaNote& note);

  private:
    int lastNumber();
    bool unchanged(const AgendaNote& note);
    // A new note (no `before`) takes its number here.
    Result write(const AgendaNote* before, AgendaNote* after);

    Archives& m_archives;
};

}  // namespace zelvo
