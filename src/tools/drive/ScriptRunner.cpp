#include "tools/drive/ScriptRunner.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <utility>

#include "app/Installation.h"
#include "archive/Catalog.h"
#include "archive/RecordText.h"
#include "session/Session.h"
#include "tools/drive/ScriptWords.h"
#include "ui/GenericScreen.h"
#include "ui/MainWindow.h"
#include "ui/Program.h"

namespace zelvo::drive {

namespace fs = std::filesystem;

namespace {

using Kind = ScriptedDialogs::Event::Kind;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

std::string withoutAmpersand(const QString& caption) {
    QString c = caption;
    c.remove(QLatin1Char('&'));
    return c.toStdString();
}

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

std::string inQuotes(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return out + "\"";
}

std::string realToday() {
    return SystemClock().today();
}

bool isBox(const ScriptedDialogs::Event& e) {
    return e.kind == Kind::Message || e.kind == Kind::Question;
}

int keyCode(const std::string& key) {
    if (key.size() >= 2 && key[0] == 'F') {
        int n = std::atoi(key.c_str() + 1);
        if (n >= 1 && n <= 12) {
            return Qt::Key_F1 + n - 1;
        }
    }
    if (key == "Enter") {
        return Qt::Key_Return;
    }
    if (key == "Escape") {
        return Qt::Key_Escape;
    }
    if (key == "Tab") {
        return Qt::Key_Tab;
    }
    return 0;
}

std::string widgetText(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        return e->displayText().toStdString();
    }
    if (auto* l = qobject_cast<QLabel*>(w)) {
        return l->text().toStdString();
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        return c->currentText().toStdString();
    }
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        return l->currentItem() != nullptr ? l->currentItem()->text().toStdString() : "";
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        return withoutAmpersand(b->text());
    }
    if (auto* sp = qobject_cast<QSpinBox*>(w)) {
        return std::to_string(sp->value());
    }
    return w->windowTitle().toStdString();
}

std::vector<std::string> widgetItems(QWidget* w) {
    std::vector<std::string> items;
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        for (int i = 0; i < c->count(); ++i) {
            items.push_back(c->itemText(i).toStdString());
        }
    } else if (auto* l = qobject_cast<QListWidget*>(w)) {
        for (int i = 0; i < l->count(); ++i) {
            items.push_back(l->item(i)->text().toStdString());
        }
    }
    return items;
}

GenericScreen* screenOf(QWidget* w) {
    for (QWidget* p = w; p != nullptr; p = p->parentWidget()) {
        if (auto* s = qobject_cast<GenericScreen*>(p)) {
            return s;
        }
    }
    return nullptr;
}

}  // namespace

ScriptRunner::ScriptRunner(std::string scriptPath)
    : m_script(std::move(scriptPath)), m_clock(realToday()) {
    m_scriptDir = fs::absolute(m_script).parent_path().string();
}

ScriptRunner::~ScriptRunner() {
    m_program.reset();
    if (!m_tempFolder.empty()) {
        std::error_code ec;
        fs::remove_all(m_tempFolder, ec);
    }
}

std::string ScriptRunner::resolve(const std::string& relative) const {
    fs::path p(relative);
    return p.is_absolute() ? relative : (fs::path(m_scriptDir) / p).string();
}

int ScriptRunner::run() {
    std::ifstream in(m_script);
    if (!in) {
        std::cout << m_script << ": cannot read the script\n0 passed, 1 failed" << std::endl;
        return 1;
    }
    std::string line;
    int lineNo = 0;
    std::string error;
    while (error.empty() && std::getline(in, line)) {
        ++lineNo;
        auto words = SplitWords(line, error);
        if (!error.empty() || !words) {
            continue;
        }
        error = execute(*words);
        if (error.empty()) {
            error = checkQuestions();
        }
    }
    if (error.empty()) {
        lineNo = 0;
        const auto& events = m_dialogs.events();
        for (size_t i = m_boxCursor; i < events.size(); ++i) {
            if (isBox(events[i])) {
                error = "unexpected message: " + inQuotes(events[i].text);
                break;
            }
        }
    }
    if (!error.empty()) {
        std::cout << m_script << ":" << lineNo << ": " << error << "\n0 passed, 1 failed"
                  << std::endl;
        return 1;
    }
    std::cout << "1 passed, 0 failed" << std::endl;
    return 0;
}

// The program takes the file once it runs; a `report` given before `start` waits for it.
void ScriptRunner::passReportFile() {
    if (!m_reportFile.empty() && m_program != nullptr && m_program->mainWindow() != nullptr) {
        m_program->mainWindow()->reportToFile(std::exchange(m_reportFile, {}));
    }
}

void ScriptRunner::settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

std::string ScriptRunner::needProgram() const {
    return m_program == nullptr || m_program->mainWindow() == nullptr ? "the program is not started"
                                                                      : "";
}

std::string ScriptRunner::checkQuestions() {
    const auto& events = m_dialogs.events();
    for (; m_questionCursor < events.size(); ++m_questionCursor) {
        const auto& e = events[m_questionCursor];
        if (e.kind == Kind::Question && e.unanswered) {
            ++m_questionCursor;
            return "question without a queued answer: " + inQuotes(e.text);
        }
        if (e.kind == Kind::File && e.unanswered) {
            ++m_questionCursor;
            return "file dialog without a queued answer";
        }
    }
    return {};
}

QWidget* ScriptRunner::find(const std::string& name) const {
    if (m_program == nullptr || m_program->mainWindow() == nullptr) {
        return nullptr;
    }
    MainWindow* main = m_program->mainWindow();
    QWidget* active = main->activeScreen();
    QString n = qs(name);
    for (QWidget* scope : {active, static_cast<QWidget*>(main)}) {
        if (scope == nullptr) {
            continue;
        }
        if (scope->objectName() == n) {
            return scope;
        }
        if (auto* w = scope->findChild<QWidget*>(n)) {
            return w;
        }
    }
    // By caption: a button, check box or option, or the label of a field.
    if (active != nullptr) {
        for (auto* b : active->findChildren<QAbstractButton*>()) {
            // Scripts may also write the caption as the program does, with its "&".
            if (withoutAmpersand(b->text()) == name || b->text() == n) {
                return b;
            }
        }
        for (auto* l : active->findChildren<QLabel*>()) {
            if (withoutAmpersand(l->text()) == name && l->buddy() != nullptr) {
                return l->buddy();
            }
        }
    }
    return nullptr;
}

QWidget* ScriptRunner::gridCell(const std::string& column, const std::string& row) {
    if (m_program == nullptr || m_program->mainWindow() == nullptr) {
        return nullptr;
    }
    auto* screen = qobject_cast<GenericScreen*>(m_program->mainWindow()->activeScreen());
    if (screen == nullptr || row.empty() ||
        row.find_first_not_of("0123456789") != std::string::npos) {
        return nullptr;
    }
    QWidget* cell = screen->cell(column, std::stoi(row));
    settle();
    return cell;
}

void ScriptRunner::focusWidget(QWidget* w) {
    QWidget* win = w->window();
    if (!win->isActiveWindow()) {
        win->activateWindow();
        QApplication::setActiveWindow(win);
        settle();
    }
    if (QApplication::focusWidget() != w) {
        w->setFocus(Qt::OtherFocusReason);
        settle();
    }
}

std::string ScriptRunner::leave() {
    QWidget* w = QApplication::focusWidget();
    if (w == nullptr) {
        return "no control has the focus";
    }
    // The focus moves to the screen itself, as when the operator clicks on its background:
    // the field's leave checks run, and no other field's entry does.
    if (GenericScreen* screen = screenOf(w)) {
        screen->setFocus(Qt::OtherFocusReason);
    } else {
        w->clearFocus();
    }
    settle();
    return {};
}

std::string ScriptRunner::setText(QWidget* w, const std::string& text) {
    focusWidget(w);
    if (auto* c = qobject_cast<QComboBox*>(w); c != nullptr && !c->isEditable()) {
        return pick(w, text);
    }
    QLineEdit* e = qobject_cast<QLineEdit*>(w);
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        e = c->lineEdit();
    }
    if (e == nullptr) {
        return "control " + w->objectName().toStdString() + " takes no text";
    }
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    e->home(false);
    // QTest only knows ASCII keys; other letters arrive as key events carrying their text,
    // which is what a keyboard with those letters sends.
    for (QChar c : qs(text)) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
            QTest::keyClick(e, static_cast<char>(c.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Press, e, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, e, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    // A completion list that opened while typing is not part of what the script typed.
    for (QWidget* p = QApplication::activePopupWidget(); p != nullptr;
         p = QApplication::activePopupWidget()) {
        p->close();
    }
    settle();
    // Closing it leaves no window active: the screen's window takes the keyboard again.
    focusWidget(e);
    return {};
}

std::string ScriptRunner::pick(QWidget* w, const std::string& text) {
    std::vector<std::string> items = widgetItems(w);
    auto it = std::find(items.begin(), items.end(), text);
    if (it == items.end()) {
        return "no entry " + inQuotes(text) + " in " + w->objectName().toStdString();
    }
    int index = static_cast<int>(it - items.begin());
    focusWidget(w);
    GenericScreen* screen = screenOf(w);
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->setCurrentIndex(index);
    } else if (auto* l = qobject_cast<QListWidget*>(w)) {
        l->setCurrentRow(index);
    }
    if (screen != nullptr) {
        std::string name = w->objectName().toStdString();
        const ControlSpec* layout = screen->logic().layout().find(name);
        screen->pickItem(name, index, layout != nullptr && layout->pickByDoubleClick);
        settle();
    }
    return {};
}

std::string ScriptRunner::click(QWidget* w) {
    auto* b = qobject_cast<QAbstractButton*>(w);
    if (b == nullptr) {
        return "control " + w->objectName().toStdString() + " is not a button";
    }
    if (!b->isEnabled()) {
        return "control " + w->objectName().toStdString() + " is disabled";
    }
    // Pressing a button first takes the focus from the field being left; a field that
    // refuses to be left keeps it, and the button is not pressed.
    QPointer<QAbstractButton> guard(b);
    focusWidget(b);
    if (guard == nullptr || QApplication::focusWidget() != b) {
        return {};
    }
    b->click();
    settle();
    return {};
}

std::string ScriptRunner::execute(const Words& w) {
    const std::string& cmd = w[0];
    auto args = [&w](size_t n) { return w.size() == n + 1; };
    if (cmd == "today" && args(1)) {
        m_clock.set(w[1]);
        return {};
    }
    if (cmd == "install" && args(0)) {
        if (m_folder.empty()) {
            std::string templ = (fs::temp_directory_path() / "zelvo-drive-XXXXXX").string();
            if (mkdtemp(templ.data()) == nullptr) {
                return "cannot make a temporary folder";
            }
            m_tempFolder = templ;
            m_folder = templ + "/";
        }
        Session session(m_dialogs, m_clock);
        session.setDataDirectory(m_folder);
        CreateInstallation(session, std::to_string(m_clock.currentYear()));
        return {};
    }
    if (cmd == "datadir" && args(1)) {
        m_folder = fs::absolute(resolve(w[1])).lexically_normal().string();
        if (m_folder.back() != '/') {
            m_folder += '/';
        }
        return {};
    }
    if (cmd == "write" && args(2)) {
        std::ofstream(m_folder + w[1]) << w[2] << "\n";
        return {};
    }
    if (cmd == "remove" && args(1)) {
        std::error_code ec;
        fs::remove(m_folder + w[1], ec);
        return {};
    }
    if (cmd == "start" && args(0)) {
        if (m_folder.empty()) {
            return "no installation: use install or datadir first";
        }
        m_program = std::make_unique<Program>(Program::Options{m_folder, &m_dialogs, &m_clock});
        m_program->start();
        settle();
        passReportFile();
        return {};
    }
    if (cmd == "answer" && args(1)) {
        m_dialogs.queueAnswer(w[1] == "yes" ? Answer::Yes : Answer::No);
        return {};
    }
    if (cmd == "file" && args(1)) {
        m_dialogs.queueFile(resolve(w[1]));
        return {};
    }
    if (cmd == "report" && args(1)) {
        m_reportFile = resolve(w[1]);
        passReportFile();
        return {};
    }
    if (cmd == "expect") {
        return expect(w);
    }
    if (std::string e = needProgram(); !e.empty()) {
        return e;
    }
    MainWindow* main = m_program->mainWindow();
    if (cmd == "choose" && args(2)) {
        GenericScreen* s = main->screen("SCELTA");
        if (s == nullptr || !s->isVisible()) {
            return "the selection window is not open";
        }
        if (std::string e = pick(s->control("Combo1"), w[1]); !e.empty()) {
            return e;
        }
        if (std::string e = pick(s->control("Combo2"), w[2]); !e.empty()) {
            return e;
        }
        return click(s->control("Command1"));
    }
    if (cmd == "menu" && args(1)) {
        auto* a = main->findChild<QAction*>(qs(w[1]));
        if (a == nullptr) {
            return "no command " + w[1];
        }
        if (!a->isEnabled()) {
            return "command " + w[1] + " is disabled";
        }
        a->trigger();
        settle();
        return {};
    }
    if (cmd == "screenshot" && args(1)) {
        // Not part of the fixed script format: the demo uses it to show the program.
        QWidget* win = main->activeScreen()->window();
        settle();
        return win->grab().save(qs(resolve(w[1]))) ? "" : "cannot write " + w[1];
    }
    if (cmd == "close" && args(0)) {
        QWidget* active = main->activeScreen();
        if (auto* screen = qobject_cast<GenericScreen*>(active)) {
            screen->frame()->close();
        } else if (active != main) {
            // A window of the program that is not a screen: the print preview.
            active->window()->close();
        } else {
            main->close();
        }
        settle();
        return {};
    }
    if (cmd == "leave" && args(0)) {
        return leave();
    }
    if (cmd == "key" && args(1)) {
        QWidget* f = QApplication::focusWidget();
        int code = keyCode(w[1]);
        if (code == 0) {
            return "unknown key " + w[1];
        }
        QTest::keyClick(f != nullptr ? f : main->activeScreen(), static_cast<Qt::Key>(code));
        settle();
        return {};
    }
    if ((cmd == "cell" && args(3)) || (cmd == "cellkey" && args(3))) {
        QWidget* target = gridCell(w[1], w[2]);
        if (target == nullptr) {
            return "no grid cell " + w[1] + " " + w[2] + " on this screen";
        }
        if (cmd == "cell") {
            std::string e = setText(target, w[3]);
            return e.empty() ? leave() : e;
        }
        int code = keyCode(w[3]);
        if (code == 0) {
            return "unknown key " + w[3];
        }
        focusWidget(target);
        QTest::keyClick(target, static_cast<Qt::Key>(code));
        settle();
        return {};
    }
    if (w.size() < 2) {
        return "bad command: " + cmd;
    }
    QWidget* target = find(w[1]);
    if (target == nullptr) {
        return "no control " + w[1];
    }
    if (cmd == "focus" && args(1)) {
        focusWidget(target);
        return {};
    }
    if (cmd == "set" && args(2)) {
        return setText(target, w[2]);
    }
    if (cmd == "type" && args(2)) {
        std::string e = setText(target, w[2]);
        return e.empty() ? leave() : e;
    }
    if (cmd == "pick" && args(2)) {
        return pick(target, w[2]);
    }
    if (cmd == "click" && args(1)) {
        return click(target);
    }
    if (cmd == "check" && args(2)) {
        auto* b = qobject_cast<QAbstractButton*>(target);
        if (b == nullptr || !b->isCheckable()) {
            return "control " + w[1] + " is not a check box or option";
        }
        bool on = w[2] == "on";
        if (b->isChecked() != on) {
            focusWidget(b);
            b->click();
            settle();
        }
        return {};
    }
    return "bad command: " + cmd;
}

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
        std::ifstream a(resolve(w[2]), std::ios::binary);
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
