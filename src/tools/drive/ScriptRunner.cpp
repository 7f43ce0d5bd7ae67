#include "tools/drive/ScriptRunner.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <utility>

#include "app/CompanySelection.h"
#include "app/Installation.h"
#include "archive/Catalog.h"
#include "archive/InstallationNotes.h"
#include "isam/ContainerCopy.h"
#include "isam/ServerDatabase.h"
#include "isam/ServerLocation.h"
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
    if (!m_serverDatabase.empty()) {
        std::string message;
        if (!isam::DropServerDatabase(m_server, m_serverDatabase, message)) {
            std::cerr << "cannot drop the database " << m_serverDatabase << ": " << message
                      << std::endl;
        }
    }
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

// The commands of the script format: the number of words after the command, whether the
// program must be running, and whether the first word names a control to act on.
struct ScriptRunner::Command {
    size_t args;
    enum class Needs { Nothing, Program, Control } needs;
    std::string (ScriptRunner::*run)(const Words& w, QWidget* target);
};

const std::map<std::string, ScriptRunner::Command>& ScriptRunner::commands() {
    using N = Command::Needs;
    using R = ScriptRunner;
    static const std::map<std::string, Command> table = {
        {"today", {1, N::Nothing, &R::doToday}},
        {"install", {0, N::Nothing, &R::doInstall}},
        {"datadir", {1, N::Nothing, &R::doDatadir}},
        {"write", {2, N::Nothing, &R::doWrite}},
        {"remove", {1, N::Nothing, &R::doRemove}},
        {"start", {0, N::Nothing, &R::doStart}},
        {"answer", {1, N::Nothing, &R::doAnswer}},
        {"file", {1, N::Nothing, &R::doFile}},
        {"datafile", {1, N::Nothing, &R::doDataFile}},
        {"report", {1, N::Nothing, &R::doReport}},
        {"choose", {2, N::Program, &R::doChoose}},
        {"menu", {1, N::Program, &R::doMenu}},
        {"screenshot", {1, N::Program, &R::doScreenshot}},
        {"close", {0, N::Program, &R::doClose}},
        {"leave", {0, N::Program, &R::doLeave}},
        {"key", {1, N::Program, &R::doKey}},
        {"cell", {3, N::Program, &R::doCell}},
        {"cellkey", {3, N::Program, &R::doCell}},
        {"focus", {1, N::Control, &R::doFocus}},
        {"set", {2, N::Control, &R::doSet}},
        {"type", {2, N::Control, &R::doType}},
        {"pick", {2, N::Control, &R::doPick}},
        {"click", {1, N::Control, &R::doClick}},
        {"check", {2, N::Control, &R::doCheck}},
    };
    return table;
}

std::string ScriptRunner::execute(const Words& w) {
    if (w[0] == "expect") {
        return expect(w);
    }
    auto it = commands().find(w[0]);
    if (it == commands().end() || w.size() != it->second.args + 1) {
        return "bad command: " + w[0];
    }
    const Command& c = it->second;
    QWidget* target = nullptr;
    if (c.needs != Command::Needs::Nothing) {
        if (std::string e = needProgram(); !e.empty()) {
            return e;
        }
    }
    if (c.needs == Command::Needs::Control) {
        target = find(w[1]);
        if (target == nullptr) {
            return "no control " + w[1];
        }
    }
    return (this->*c.run)(w, target);
}

std::string ScriptRunner::doToday(const Words& w, QWidget* /*target*/) {
    m_clock.set(w[1]);
    return {};
}

std::string ScriptRunner::doInstall(const Words& /*w*/, QWidget* /*target*/) {
    if (m_folder.empty()) {
        std::string templ = (fs::temp_directory_path() / "zelvo-drive-XXXXXX").string();
        if (mkdtemp(templ.data()) == nullptr) {
            return "cannot make a temporary folder";
        }
        m_tempFolder = templ;
        m_folder = templ + "/";
    }
    m_dataDirectory = m_folder;
    if (const char* server = std::getenv("ZELVO_TEST_SERVER"); server != nullptr && *server) {
        if (std::string e = installOnServer(server); !e.empty()) {
            return e;
        }
    }
    Session session(m_dialogs, m_clock);
    session.setDataDirectory(m_dataDirectory);
    CreateInstallation(session, std::to_string(m_clock.currentYear()));
    return {};
}

// The server run: the installation goes into a fresh database of the test server, which the
// location file names; the program's folder stays the temporary one. The database is dropped
// when the script ends.
std::string ScriptRunner::installOnServer(const std::string& server) {
    if (m_serverDatabase.empty()) {
        const std::string name = isam::FreshServerDatabaseName();
        std::string message;
        if (!isam::CreateServerDatabase(server, name, message)) {
            return "cannot make a database on " + server + ": " + message;
        }
        m_server = server;
        m_serverDatabase = name;
    }
    m_dataDirectory = isam::ServerUriWithDatabase(m_server, m_serverDatabase) + "/";
    // What the program keeps on the station beside a server installation (backups, sheets)
    // goes into the script's own folder.
    setenv("HOME", m_folder.substr(0, m_folder.size() - 1).c_str(), 1);
    std::ofstream rr(m_folder + "rr", std::ios::trunc);
    rr << m_dataDirectory << "\n";
    return rr.flush() ? "" : "cannot write the location file in " + m_folder;
}

std::string ScriptRunner::doDatadir(const Words& w, QWidget* /*target*/) {
    m_folder = fs::absolute(resolve(w[1])).lexically_normal().string();
    if (m_folder.back() != '/') {
        m_folder += '/';
    }
    m_dataDirectory = m_folder;
    return {};
}

// On a server the data directory's notes and containers are the server's, so that a script
// writing or removing them runs unchanged there; the location file stays a file.
std::string ScriptRunner::doWrite(const Words& w, QWidget* /*target*/) {
    if (isam::IsServerLocation(m_dataDirectory) && IsInstallationNote(w[1])) {
        isam::RecordManager rm(Catalog::locate);
        return WriteServerNote(rm, m_dataDirectory, w[1], w[2]) ? "" : "cannot write " + w[1];
    }
    std::ofstream(m_folder + w[1]) << w[2] << "\n";
    return {};
}

std::string ScriptRunner::doRemove(const Words& w, QWidget* /*target*/) {
    if (isam::IsServerLocation(m_dataDirectory) &&
        (IsInstallationNote(w[1]) || w[1].ends_with(".isd"))) {
        isam::RecordManager rm(isam::ContainerTables);
        isam::RemoveContainer(rm,
                              m_dataDirectory + (IsInstallationNote(w[1]) ? w[1] + ".isd" : w[1]));
        return {};
    }
    std::error_code ec;
    fs::remove(m_folder + w[1], ec);
    return {};
}

std::string ScriptRunner::doStart(const Words& /*w*/, QWidget* /*target*/) {
    if (m_folder.empty()) {
        return "no installation: use install or datadir first";
    }
    m_program = std::make_unique<Program>(Program::Options{m_folder, &m_dialogs, &m_clock});
    m_program->start();
    settle();
    passReportFile();
    return {};
}

std::string ScriptRunner::doAnswer(const Words& w, QWidget* /*target*/) {
    m_dialogs.queueAnswer(w[1] == "yes" ? Answer::Yes : Answer::No);
    return {};
}

std::string ScriptRunner::doFile(const Words& w, QWidget* /*target*/) {
    m_dialogs.queueFile(output(w[1]));
    return {};
}

// A file the program itself wrote (a backup under "backup/"): its folder is known only once
// the installation is made.
std::string ScriptRunner::doDataFile(const Words& w, QWidget* /*target*/) {
    if (m_folder.empty()) {
        return "no installation: use install or datadir first";
    }
    m_dialogs.queueFile(LocalFilesFolder(m_dataDirectory) + w[1]);
    return {};
}

std::string ScriptRunner::doReport(const Words& w, QWidget* /*target*/) {
    m_reportFile = output(w[1]);
    passReportFile();
    return {};
}

std::string ScriptRunner::doChoose(const Words& w, QWidget* /*target*/) {
    GenericScreen* s = m_program->mainWindow()->screen("SCELTA");
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

std::string ScriptRunner::doMenu(const Words& w, QWidget* /*target*/) {
    auto* a = m_program->mainWindow()->findChild<QAction*>(qs(w[1]));
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

std::string ScriptRunner::doScreenshot(const Words& w, QWidget* /*target*/) {
    // Not part of the fixed script format: the demo uses it to show the program.
    QWidget* win = m_program->mainWindow()->activeScreen()->window();
    settle();
    return win->grab().save(qs(output(w[1]))) ? "" : "cannot write " + w[1];
}

std::string ScriptRunner::doClose(const Words& /*w*/, QWidget* /*target*/) {
    MainWindow* main = m_program->mainWindow();
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

std::string ScriptRunner::doLeave(const Words& /*w*/, QWidget* /*target*/) {
    return leave();
}

std::string ScriptRunner::pressKey(QWidget* w, const std::string& key) {
    const int code = keyCode(key);
    if (code == 0) {
        return "unknown key " + key;
    }
    QTest::keyClick(w, static_cast<Qt::Key>(code));
    settle();
    return {};
}

std::string ScriptRunner::doKey(const Words& w, QWidget* /*target*/) {
    QWidget* f = QApplication::focusWidget();
    return pressKey(f != nullptr ? f : m_program->mainWindow()->activeScreen(), w[1]);
}

std::string ScriptRunner::doCell(const Words& w, QWidget* /*target*/) {
    QWidget* target = gridCell(w[1], w[2]);
    if (target == nullptr && w[0] == "cell" && sheetCell(w[1], w[2], &w[3], nullptr)) {
        return {};
    }
    if (target == nullptr) {
        return "no grid cell " + w[1] + " " + w[2] + " on this screen";
    }
    if (w[0] == "cell") {
        std::string e = setText(target, w[3]);
        return e.empty() ? leave() : e;
    }
    if (keyCode(w[3]) == 0) {
        return "unknown key " + w[3];
    }
    focusWidget(target);
    return pressKey(target, w[3]);
}

std::string ScriptRunner::doFocus(const Words& /*w*/, QWidget* target) {
    focusWidget(target);
    return {};
}

std::string ScriptRunner::doSet(const Words& w, QWidget* target) {
    return setText(target, w[2]);
}

std::string ScriptRunner::doType(const Words& w, QWidget* target) {
    std::string e = setText(target, w[2]);
    return e.empty() ? leave() : e;
}

std::string ScriptRunner::doPick(const Words& w, QWidget* target) {
    return pick(target, w[2]);
}

std::string ScriptRunner::doClick(const Words& /*w*/, QWidget* target) {
    return click(target);
}

std::string ScriptRunner::doCheck(const Words& w, QWidget* target) {
    auto* b = qobject_cast<QAbstractButton*>(target);
    if (b == nullptr || !b->isCheckable()) {
        return "control " + w[1] + " is not a check box or option";
    }
    const bool on = w[2] == "on";
    if (b->isChecked() != on) {
        focusWidget(b);
        b->click();
        settle();
    }
    return {};
}

}  // namespace zelvo::drive
