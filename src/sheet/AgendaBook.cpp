#include "sheet/AgendaBook.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "archive/RecordLock.h"
#include "base/DateText.h"

namespace zelvo {

namespace {

constexpr int kUser = 1;
constexpr int kText = 2;
constexpr size_t kNumberDigits = 6;
constexpr const char* kDoneMark = "n";

// Report positions of the agenda's archive calls.
constexpr int kReadPosition = 2410;
constexpr int kWritePosition = 2411;
constexpr int kRemovePosition = 2412;
constexpr int kCommitPosition = 2413;

bool AllDigits(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The lock of a note follows its number, which outlives any change of date or state.
std::string LockKey(int number) {
    return "#" + std::to_string(number);
}

}  // namespace

std::string AgendaNote::key() const {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06d", number);
    return date + digits + (done ? kDoneMark : "");
}

std::optional<AgendaNote> AgendaNote::fromKey(const std::string& key) {
    const size_t plain = 8 + kNumberDigits;
    if (key.size() != plain && !(key.size() == plain + 1 && key.substr(plain) == kDoneMark)) {
        return std::nullopt;
    }
    if (!AllDigits(key.substr(0, plain))) {
        return std::nullopt;
    }
    AgendaNote note;
    note.date = key.substr(0, 8);
    note.number = std::stoi(key.substr(8, kNumberDigits));
    note.done = key.size() > plain;
    return note;
}

NoteState StateOf(const AgendaNote& note, const std::string& todayKey) {
    if (note.done) {
        return NoteState::Done;
    }
    if (note.date < todayKey) {
        return NoteState::Overdue;
    }
    return note.date == todayKey ? NoteState::Today : NoteState::Coming;
}

void SortForAgenda(std::vector<AgendaNote>& notes, const std::string& todayKey) {
    auto rank = [&todayKey](const AgendaNote& n) {
        const NoteState s = StateOf(n, todayKey);
        const int group = s == NoteState::Done ? 2 : s == NoteState::Coming ? 1 : 0;
        // Done notes read from the latest back: the date is turned round so that one order
        // serves every group.
        std::string date = n.date;
        if (group == 2) {
            std::transform(date.begin(), date.end(), date.begin(),
                           [](char c) { return static_cast<char>('9' - c + '0'); });
        }
        return std::make_tuple(group, date, n.number);
    };
    std::stable_sort(notes.begin(), notes.end(), [&rank](const AgendaNote& a, const AgendaNote& b) {
        return rank(a) < rank(b);
    });
}

std::string NoteLine(const AgendaNote& note, const std::string& todayKey) {
    static const char* const kMarks[] = {" SCADUTA", " OGGI", "", " ESEGUITA"};
    return ShownDate(note.date) + kMarks[static_cast<int>(StateOf(note, todayKey))] + " - " +
           note.text;
}

std::vector<AgendaNote> AgendaBook::notes(const std::string& user) {
    std::vector<AgendaNote> out;
    const std::int16_t s =
        m_archives.scan(arc::kGg, 0, "", [&](const std::string& key, const isam::Record& r) {
            auto note = AgendaNote::fromKey(key);
            if (note && (user.empty() || r.text(kUser) == user)) {
                note->user = r.text(kUser);
                note->text = r.text(kText);
                out.push_back(*note);
            }
            return true;
        });
    if (s != 0 && s != isam::status::kEndOfIndex && s != isam::status::kNotFound) {
        m_archives.report(opn::kRead, arc::kGg, kReadPosition);
    }
    return out;
}

int AgendaBook::lastNumber() {
    int last = 0;
    for (const AgendaNote& n : notes({})) {
        last = std::max(last, n.number);
    }
    return last;
}

bool AgendaBook::unchanged(const AgendaNote& note) {
    if (m_archives.getByKey(arc::kGg, note.key()) != 0) {
        return false;
    }
    const isam::Record& r = m_archives.readBuffer(arc::kGg);
    return r.text(kUser) == note.user && r.text(kText) == note.text;
}

AgendaBook::Result AgendaBook::add(AgendaNote& note) {
    // The number is taken inside the registration, which no other station's can overlap,
    // so two stations adding at once never pick the same one.
    return write(nullptr, &note);
}

AgendaBook::Result AgendaBook::change(const AgendaNote& before, AgendaNote after) {
    after.number = before.number;
    return write(&before, &after);
}

AgendaBook::Result AgendaBook::remove(const AgendaNote& note) {
    return write(&note, nullptr);
}

AgendaBook::Result AgendaBook::write(const AgendaNote* before, AgendaNote* after) {
    Archives& a = m_archives;
    Registration tx(a, arc::kGg);
    if (tx.status() != 0) {
        a.setStatus(tx.status());
        a.report(opn::kWrite, arc::kGg, kCommitPosition);
        return Result::Failed;
    }
    if (before == nullptr) {
        after->number = lastNumber() + 1;
    }
    RecordLock lock(a, arc::kGg, LockKey(after != nullptr ? after->number : before->number),
                    kWritePosition);
    if (!lock.held()) {
        return Result::Failed;
    }
    if (before != nullptr && !unchanged(*before)) {
        return Result::Changed;
    }
    if (before != nullptr && a.remove(arc::kGg, before->key()) != 0) {
        a.report(opn::kDelete, arc::kGg, kRemovePosition);
        return Result::Failed;
    }
    if (after != nullptr) {
        a.clearWriteBuffer(arc::kGg);
        a.writeBuffer(arc::kGg).setText(kUser, after->user);
        a.writeBuffer(arc::kGg).setText(kText, after->text);
        if (a.putReported(arc::kGg, after->key(), isam::mode::kAdd, kWritePosition) != 0) {
            return Result::Failed;
        }
    }
    if (tx.commit() != 0) {
        a.report(opn::kWrite, arc::kGg, kCommitPosition);
        return Result::Failed;
    }
    if (a.flush(arc::kGg) != 0) {
        a.report(opn::kWrite, arc::kGg, kWritePosition);
        return Result::Failed;
    }
    return Result::Done;
}

}  // namespace zelvo
