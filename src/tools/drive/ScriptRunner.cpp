#include "tools/drive/ScriptRunner.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <utility>

#include "app/CompanySelection.h"
#include "app/Installation.h"
#include "session/Session.h"
#include "tools/drive/ScriptHelpers.h"
#include "tools/drive/ScriptWords.h"
#include "ui/GenericScreen.h"
#include "ui/MainWindow.h"
#include "ui/Program.h"

namespace zelvo::drive {

namespace fs = std::filesystem;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

std::string inQuotes(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return out + "\"";
}

bool isBox(const ScriptedDialogs::Event& e) {
    return e.kind == Kind::Message || e.kind == Kind::Question;
}

namespace {

std::string realToday() {
    return SystemClock().today();
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

}  // namespace

ScriptRunner::ScriptRunner(std::string scriptPath, std::string outputFolder)
    : m_script(std::move(scriptPath)),
      m_clock(realToday()),
      m_outputFolder(std::move(outputFolder)) {
    m_scriptDir = fs::absolute(m_script).parent_path().string();
}

ScriptRunner::~ScriptRunner() {
    m_program.reset();
    std::error_code ec;
    if (!m_tempFolder.empty()) {
        fs::remove_all(m_tempFolder, ec);
    }
    if (m_ownOutputFolder) {
        fs::remove_all(m_outputFolder, ec);
    }
}

std::string ScriptRunner::resolve(const std::string& relative) const {
    fs::path p(relative);
    return p.is_absolute() ? relative : (fs::path(m_scriptDir) / p).string();
}

std::string ScriptRunner::output(const std::string& relative) {
    fs::path p(relative);
    if (p.is_absolute()) {
        return relative;
    }
    if (m_outputFolder.empty()) {
        std::string templ = (fs::temp_directory_path() / "zelvo-drive-out-XXXXXX").string();
        if (mkdtemp(templ.data()) != nullptr) {
            m_outputFolder = templ;
            m_ownOutputFolder = true;
        }
    }
    std::error_code ec;
    fs::create_directories(fs::path(m_outputFolder) / p.parent_path(), ec);
    return (fs::path(m_outputFolder) / p).string();
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
        if (m_ownOutputFolder) {
            // What the program wrote is what one looks at next.
            m_ownOutputFolder = false;
            std::cout << "outputs kept in " << m_outputFolder << std::endl;
        }
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
        m_dialogs.queueFile(output(w[1]));
        return {};
    }
    if (cmd == "report" && args(1)) {
        m_reportFile = output(w[1]);
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
        if (std::string e = pick(s->control(CompanySelection::kCompany), w[1]); !e.empty()) {
            return e;
        }
        if (std::string e = pick(s->control(CompanySelection::kYear), w[2]); !e.empty()) {
            return e;
        }
        return click(s->control(CompanySelection::kOk));
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
        return win->grab().save(qs(output(w[1]))) ? "" : "cannot write " + w[1];
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

}  // namespace zelvo::drive
