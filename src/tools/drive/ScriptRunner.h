#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Dialogs.h"
#include "session/Clock.h"

class QWidget;

namespace zelvo {
class Program;
}

namespace zelvo::drive {

// Runs one operator script against the real main window, offscreen, with scripted message
// boxes and a fixed date. Stops at the first failed expectation.
class ScriptRunner {
  public:
    // Relative paths of what the script writes (report, file and screenshot) land in
    // `outputFolder`; empty: a fresh temporary folder, removed at the end when the script
    // passed.
    explicit ScriptRunner(std::string scriptPath, std::string outputFolder = {});
    ~ScriptRunner();

    // 0 when every expectation held; prints the result line either way.
    int run();

  private:
    using Words = std::vector<std::string>;
    struct Command;
    static const std::map<std::string, Command>& commands();
    // Each returns an error text, empty when the command did what it should.
    std::string execute(const Words& w);
    std::string doToday(const Words& w, QWidget* target);
    std::string doInstall(const Words& w, QWidget* target);
    std::string installOnServer(const std::string& server);
    std::string doDatadir(const Words& w, QWidget* target);
    std::string doWrite(const Words& w, QWidget* target);
    std::string doRemove(const Words& w, QWidget* target);
    std::string doStart(const Words& w, QWidget* target);
    std::string doAnswer(const Words& w, QWidget* target);
    std::string doFile(const Words& w, QWidget* target);
    std::string doDataFile(const Words& w, QWidget* target);
    std::string doReport(const Words& w, QWidget* target);
    std::string doChoose(const Words& w, QWidget* target);
    std::string doMenu(const Words& w, QWidget* target);
    std::string doScreenshot(const Words& w, QWidget* target);
    std::string doClose(const Words& w, QWidget* target);
    std::string doLeave(const Words& w, QWidget* target);
    std::string doKey(const Words& w, QWidget* target);
    std::string doCell(const Words& w, QWidget* target);
    std::string doFocus(const Words& w, QWidget* target);
    std::string doSet(const Words& w, QWidget* target);
    std::string doType(const Words& w, QWidget* target);
    std::string doPick(const Words& w, QWidget* target);
    std::string doClick(const Words& w, QWidget* target);
    std::string doCheck(const Words& w, QWidget* target);
    std::string pressKey(QWidget* w, const std::string& key);
    struct Expectation;
    static const std::map<std::string, Expectation>& expectations();
    std::string expect(const Words& w);
    std::string checkMessage(const Words& w, QWidget* target);
    std::string checkBeep(const Words& w, QWidget* target);
    std::string checkNoMessage(const Words& w, QWidget* target);
    std::string checkEnded(const Words& w, QWidget* target);
    std::string checkRecord(const Words& w, QWidget* target);
    std::string checkFile(const Words& w, QWidget* target);
    std::string checkWindow(const Words& w, QWidget* target);
    std::string checkStatus(const Words& w, QWidget* target);
    std::string checkFocus(const Words& w, QWidget* target);
    std::string checkCell(const Words& w, QWidget* target);
    std::string checkText(const Words& w, QWidget* target);
    std::string checkItems(const Words& w, QWidget* target);
    std::string checkEnabled(const Words& w, QWidget* target);
    std::string expectMessage(const Words& w, bool pattern);
    std::string expectRecord(const Words& w);
    std::string checkQuestions();

    // Paths the script reads (datadir, the expected side of `expect file`): beside the
    // script.
    std::string resolve(const std::string& relative) const;
    // Paths the program writes: in the output folder, so that a run leaves the script's
    // folder as it found it.
    std::string output(const std::string& relative);
    QWidget* find(const std::string& name) const;
    QWidget* gridCell(const std::string& column, const std::string& row);
    // The active screen's sheet control, when the cell is not a grid's: typing into a cell
    // (`text` given) or reading what it shows. False when the screen has no such cell.
    bool sheetCell(const std::string& column, const std::string& row, const std::string* text,
                   std::string* shown);
    std::string needProgram() const;
    void settle();
    void passReportFile();
    void focusWidget(QWidget* w);
    std::string leave();
    std::string setText(QWidget* w, const std::string& text);
    std::string pick(QWidget* w, const std::string& text);
    std::string click(QWidget* w);

    std::string m_script;
    std::string m_scriptDir;
    FixedClock m_clock;
    ScriptedDialogs m_dialogs;
    std::string m_folder;         // the program's folder, with a separator
    std::string m_dataDirectory;  // m_folder, or the database `install` made on a server
    std::string m_tempFolder;
    std::string m_server;          // ZELVO_TEST_SERVER, once `install` made a database there
    std::string m_serverDatabase;  // that database, dropped at the end
    std::string m_outputFolder;
    bool m_ownOutputFolder = false;  // made here, removed unless the script failed
    std::unique_ptr<Program> m_program;
    size_t m_boxCursor = 0;
    size_t m_beepCursor = 0;
    size_t m_questionCursor = 0;
    std::string m_reportFile;
};

}  // namespace zelvo::drive
