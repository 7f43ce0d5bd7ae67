// ScriptRunner's expectations: message boxes, beeps, windows, controls, archives and files.

#include "tools/drive/ScriptRunner.h"

#include <QApplication>
#include <QLabel>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "archive/Catalog.h"
#include "archive/RecordText.h"
#include "tools/drive/ScriptHelpers.h"
#include "tools/drive/ScriptWords.h"
#include "ui/GenericScreen.h"
#include "ui/MainWindow.h"
#include "ui/Program.h"

namespace zelvo::drive {

namespace fs = std::filesystem;

namespace {

const char* iconName(Icon i) {
    switch (i) {
        case Icon::Critical:
            return "critical";
        case Icon::Exclamation:
            return "exclamation";
        case Icon::Information:
            return "information";
        case Icon::Question:
            return "question";
        case Icon::None:
            break;
    }
    return "none";
}

}  // namespace

std::string ScriptRunner::expectMessage(const Words& w, bool pattern) {
    const auto& events = m_dialogs.events();
    while (m_boxCursor < events.size() && !isBox(events[m_boxCursor])) {
        ++m_boxCursor;
    }
    if (m_boxCursor >= events.size()) {
        return "expected message " + inQuotes(w[2]) + ", got none";
    }
    const auto& e = events[m_boxCursor++];
    bool textOk = pattern ? MatchesPattern(e.text, w[2]) : e.text == w[2];
    if (!textOk) {
        return "expected message " + inQuotes(w[2]) + ", got " + inQuotes(e.text);
    }
    for (size_t i = 3; i + 1 < w.size(); i += 2) {
        if (w[i] == "title" && e.title != w[i + 1]) {
            return "expected title " + inQuotes(w[i + 1]) + ", got " + inQuotes(e.title);
        }
        if (w[i] == "icon" && iconName(e.icon) != w[i + 1]) {
            return "expected icon " + w[i + 1] + ", got " + iconName(e.icon);
        }
    }
    return {};
}

std::string ScriptRunner::expectRecord(const Words& w) {
    isam::RecordManager rm(Catalog::locate);
    std::int16_t h = 0;
    if (std::int16_t s = rm.VmxOpen(m_dataDirectory + w[2], 0, 3, h); s != 0) {
        return "archive " + w[2] + " cannot be opened (status " + std::to_string(s) + ")";
    }
    if (w[1] == "count") {
        std::int64_t n = 0;
        rm.count(h, n);
        return std::to_string(n) == w[3]
                   ? ""
                   : "expected " + w[3] + " records in " + w[2] + ", got " + std::to_string(n);
    }
    std::string key = w[3], kv, pk;
    isam::Record r;
    std::int16_t s = rm.VmxGet(h, 0, isam::op::kFind, key, kv, pk, r);
    bool found = s == 0 && pk == w[3];
    if (w[1] == "no-record") {
        return found ? "expected no record " + inQuotes(w[3]) + " in " + w[2] + ", got one" : "";
    }
    if (!found) {
        return "expected record " + inQuotes(w[3]) + " in " + w[2] + ", got none";
    }
    std::string error;
    std::string value = FieldText(r, w[4], error);
    if (!error.empty()) {
        return error;
    }
    return value == w[5] ? ""
                         : "expected field " + w[4] + " of " + inQuotes(w[3]) + " = " +
                               inQuotes(w[5]) + ", got " + inQuotes(value);
}

// The expectations of the script format: how many words they take (the command and its
// kind included), whether the program must be running, and whether the third word names a
// control to look at.
struct ScriptRunner::Expectation {
    size_t minWords;
    size_t maxWords;
    enum class Needs { Nothing, Program, Control } needs;
    std::string (ScriptRunner::*check)(const Words& w, QWidget* target);
};

const std::map<std::string, ScriptRunner::Expectation>& ScriptRunner::expectations() {
    using N = Expectation::Needs;
    using R = ScriptRunner;
    constexpr size_t kAny = static_cast<size_t>(-1);
    static const std::map<std::string, Expectation> table = {
        {"message", {3, kAny, N::Nothing, &R::checkMessage}},
        {"message-matching", {3, kAny, N::Nothing, &R::checkMessage}},
        {"beep", {2, kAny, N::Nothing, &R::checkBeep}},
        {"no-message", {2, kAny, N::Nothing, &R::checkNoMessage}},
        {"ended", {2, kAny, N::Nothing, &R::checkEnded}},
        {"record", {6, 6, N::Nothing, &R::checkRecord}},
        {"no-record", {4, 4, N::Nothing, &R::checkRecord}},
        {"count", {4, 4, N::Nothing, &R::checkRecord}},
        {"file", {4, 4, N::Nothing, &R::checkFile}},
        {"window", {4, 4, N::Program, &R::checkWindow}},
        {"status", {4, 4, N::Program, &R::checkStatus}},
        {"focus", {3, 3, N::Program, &R::checkFocus}},
        {"cell", {5, 5, N::Program, &R::checkCell}},
        {"text", {4, 4, N::Control, &R::checkText}},
        {"items", {3, kAny, N::Control, &R::checkItems}},
        {"enabled", {4, 4, N::Control, &R::checkEnabled}},
    };
    return table;
}

std::string ScriptRunner::expect(const Words& w) {
    if (w.size() < 2) {
        return "bad expectation";
    }
    auto it = expectations().find(w[1]);
    if (it == expectations().end() || w.size() < it->second.minWords ||
        w.size() > it->second.maxWords) {
        return "bad expectation: " + w[1];
    }
    const Expectation& e = it->second;
    if (e.needs != Expectation::Needs::Nothing) {
        if (std::string error = needProgram(); !error.empty()) {
            return error;
        }
    }
    QWidget* target = nullptr;
    if (e.needs == Expectation::Needs::Control) {
        target = find(w[2]);
        if (target == nullptr) {
            return "no control " + w[2];
        }
    }
    return (this->*e.check)(w, target);
}

std::string ScriptRunner::checkMessage(const Words& w, QWidget* /*target*/) {
    return expectMessage(w, w[1] == "message-matching");
}

std::string ScriptRunner::checkBeep(const Words& /*w*/, QWidget* /*target*/) {
    const auto& events = m_dialogs.events();
    while (m_beepCursor < events.size() && events[m_beepCursor].kind != Kind::Beep) {
        ++m_beepCursor;
    }
    if (m_beepCursor >= events.size()) {
        return "expected a beep, got none";
    }
    ++m_beepCursor;
    return {};
}

std::string ScriptRunner::checkNoMessage(const Words& /*w*/, QWidget* /*target*/) {
    const auto& events = m_dialogs.events();
    for (size_t i = m_boxCursor; i < events.size(); ++i) {
        if (isBox(events[i])) {
            return "expected no message, got " + inQuotes(events[i].text);
        }
    }
    return {};
}

std::string ScriptRunner::checkEnded(const Words& /*w*/, QWidget* /*target*/) {
    return m_program != nullptr && m_program->ended() ? "" : "expected the program ended";
}

std::string ScriptRunner::checkRecord(const Words& w, QWidget* /*target*/) {
    return expectRecord(w);
}

std::string ScriptRunner::checkFile(const Words& w, QWidget* /*target*/) {
    // FILE is what the program wrote, in the output folder; a file the script brings along
    // beside it is found there too.
    std::string written = output(w[2]);
    std::error_code ec;
    if (!fs::exists(written, ec)) {
        written = resolve(w[2]);
    }
    std::ifstream a(written, std::ios::binary);
    std::ifstream b(resolve(w[3]), std::ios::binary);
    if (!a || !b) {
        return "expected files " + w[2] + " and " + w[3] + " to exist";
    }
    std::stringstream sa, sb;
    sa << a.rdbuf();
    sb << b.rdbuf();
    return sa.str() == sb.str() ? "" : "expected " + w[2] + " to equal " + w[3];
}

std::string ScriptRunner::checkWindow(const Words& w, QWidget* /*target*/) {
    MainWindow* main = m_program->mainWindow();
    GenericScreen* s = main->screen(w[2]);
    bool open = (s != nullptr && s->isVisible()) ||
                (w[2] == "MDIForm1" && main->isVisible() && !m_program->ended());
    // Windows that are not screens (the print preview ANTEP) are found by their name.
    for (QWidget* top : QApplication::topLevelWidgets()) {
        open = open || (top->isVisible() && top->objectName() == qs(w[2]));
    }
    if (open != (w[3] == "open")) {
        return "expected window " + w[2] + " " + w[3] + ", got " + (open ? "open" : "closed");
    }
    return {};
}

std::string ScriptRunner::checkStatus(const Words& w, QWidget* /*target*/) {
    auto* label = m_program->mainWindow()->findChild<QLabel*>(qs("Panel" + w[2]));
    if (label == nullptr) {
        return "no status-bar panel " + w[2];
    }
    std::string got = label->text().toStdString();
    return got == w[3] ? ""
                       : "expected panel " + w[2] + " " + inQuotes(w[3]) + ", got " + inQuotes(got);
}

std::string ScriptRunner::checkFocus(const Words& w, QWidget* /*target*/) {
    QWidget* f = QApplication::focusWidget();
    std::string got = f != nullptr ? f->objectName().toStdString() : "nothing";
    QWidget* target = find(w[2]);
    return (f != nullptr && (f == target || got == w[2]))
               ? ""
               : "expected focus on " + w[2] + ", got " + got;
}

std::string ScriptRunner::checkCell(const Words& w, QWidget* /*target*/) {
    QWidget* target = gridCell(w[2], w[3]);
    std::string got;
    if (target == nullptr && !sheetCell(w[2], w[3], nullptr, &got)) {
        return "no grid cell " + w[2] + " " + w[3] + " on this screen";
    }
    if (target != nullptr) {
        got = widgetText(target);
    }
    return got == w[4] ? ""
                       : "expected cell " + w[2] + " " + w[3] + " " + inQuotes(w[4]) + ", got " +
                             inQuotes(got);
}

std::string ScriptRunner::checkText(const Words& w, QWidget* target) {
    std::string got = widgetText(target);
    return got == w[3] ? "" : "expected text " + inQuotes(w[3]) + ", got " + inQuotes(got);
}

std::string ScriptRunner::checkItems(const Words& w, QWidget* target) {
    std::vector<std::string> want(w.begin() + 3, w.end());
    std::vector<std::string> got = widgetItems(target);
    if (got == want) {
        return {};
    }
    std::string g;
    for (const auto& s : got) {
        g += (g.empty() ? "" : " ") + inQuotes(s);
    }
    return "expected other items in " + w[2] + ", got [" + g + "]";
}

std::string ScriptRunner::checkEnabled(const Words& w, QWidget* target) {
    const bool on = target->isEnabled();
    return on == (w[3] == "yes")
               ? ""
               : "expected " + w[2] + " enabled " + w[3] + ", got " + (on ? "yes" : "no");
}

}  // namespace zelvo::drive
