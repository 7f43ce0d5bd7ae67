// ScriptRunner's expectations: message boxes, beeps, windows, controls, archives and files.

#include "tools/drive/ScriptRunner.h"

#include <QApplication>
#include <QLabel>
#include <filesystem>
#include <fstream>
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
    if (std::int16_t s = rm.VmxOpen(m_folder + w[2], 0, 3, h); s != 0) {
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

std::string ScriptRunner::expect(const Words& w) {
    if (w.size() < 2) {
        return "bad expectation";
    }
    const std::string& what = w[1];
    if ((what == "message" || what == "message-matching") && w.size() >= 3) {
        return expectMessage(w, what == "message-matching");
    }
    if (what == "beep") {
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
    if (what == "no-message") {
        const auto& events = m_dialogs.events();
        for (size_t i = m_boxCursor; i < events.size(); ++i) {
            if (isBox(events[i])) {
                return "expected no message, got " + inQuotes(events[i].text);
            }
        }
        return {};
    }
    if (what == "ended") {
        return m_program != nullptr && m_program->ended() ? "" : "expected the program ended";
    }
    if ((what == "record" && w.size() == 6) || (what == "no-record" && w.size() == 4) ||
        (what == "count" && w.size() == 4)) {
        return expectRecord(w);
    }
    if (what == "file" && w.size() == 4) {
        // FILE is what the program wrote, in the output folder; a file the script brings
        // along beside it is found there too.
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
    if (std::string e = needProgram(); !e.empty()) {
        return e;
    }
    MainWindow* main = m_program->mainWindow();
    if (what == "window" && w.size() == 4) {
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
    if (what == "status" && w.size() == 4) {
        auto* label = main->findChild<QLabel*>(qs("Panel" + w[2]));
        if (label == nullptr) {
            return "no status-bar panel " + w[2];
        }
        std::string got = label->text().toStdString();
        return got == w[3]
                   ? ""
                   : "expected panel " + w[2] + " " + inQuotes(w[3]) + ", got " + inQuotes(got);
    }
    if (what == "focus" && w.size() == 3) {
        QWidget* f = QApplication::focusWidget();
        std::string got = f != nullptr ? f->objectName().toStdString() : "nothing";
        QWidget* target = find(w[2]);
        return (f != nullptr && (f == target || got == w[2]))
                   ? ""
                   : "expected focus on " + w[2] + ", got " + got;
    }
    if (what == "cell" && w.size() == 5) {
        QWidget* target = gridCell(w[2], w[3]);
        if (target == nullptr) {
            return "no grid cell " + w[2] + " " + w[3] + " on this screen";
        }
        std::string got = widgetText(target);
        return got == w[4] ? ""
                           : "expected cell " + w[2] + " " + w[3] + " " + inQuotes(w[4]) +
                                 ", got " + inQuotes(got);
    }
    if (w.size() < 3) {
        return "bad expectation";
    }
    QWidget* target = find(w[2]);
    if (target == nullptr) {
        return "no control " + w[2];
    }
    if (what == "text" && w.size() == 4) {
        std::string got = widgetText(target);
        return got == w[3] ? "" : "expected text " + inQuotes(w[3]) + ", got " + inQuotes(got);
    }
    if (what == "items") {
        std::vector<std::string> want(w.begin() + 3, w.end());
        std::vector<std::string> got = widgetItems(target);
        if (got != want) {
            std::string g;
            for (const auto& s : got) {
                g += (g.empty() ? "" : " ") + inQuotes(s);
            }
            return "expected other items in " + w[2] + ", got [" + g + "]";
        }
        return {};
    }
    if (what == "enabled" && w.size() == 4) {
        bool on = target->isEnabled();
        return on == (w[3] == "yes")
                   ? ""
                   : "expected " + w[2] + " enabled " + w[3] + ", got " + (on ? "yes" : "no");
    }
    return "bad expectation: " + what;
}

}  // namespace zelvo::drive
