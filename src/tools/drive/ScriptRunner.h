#pragma once

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
    // Each returns an error text, empty when the command did what it should.
    std::string execute(const Words& w);
    std::string expect(const Words& w);
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
    std::string m_folder;  // the program's folder and data directory, with a separator
    std::string m_tempFolder;
    std::string m_outputFolder;
    bool m_ownOutputFolder = false;  // made here, removed unless the script failed
    std::unique_ptr<Program> m_program;
    size_t m_boxCursor = 0;
    size_t m_beepCursor = 0;
    size_t m_questionCursor = 0;
    std::string m_reportFile;
};

}  // namespace zelvo::drive
