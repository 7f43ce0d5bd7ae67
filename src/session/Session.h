#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "archive/Archives.h"
#include "base/Dialogs.h"
#include "isam/RecordManager.h"
#include "session/Clock.h"

namespace zelvo {

struct PrintSettings {
    std::string font = "Courier New";
    int fontSize = 10;
    int linesPerPage = 60;
    std::string zoom = "100";
};

// The values every screen reads, set at start-up and when a company and year are chosen.
struct ProgramValues {
    std::string programFolder;  // ends with a separator
    std::string dataDirectory;  // ends with a separator
    std::string companyCode;
    std::string companyName;
    std::string year;          // four digits
    std::string yearDateMask;  // "__/__/" + year
    std::string yearStart;     // "01/01/" + year
    std::string today;         // dd/mm/yyyy
    std::string userName;
    std::array<std::string, 13> monthNames;  // 1 to 12
    PrintSettings print;
    int listLength = 30;
    double exchangeRate = 1;
    std::int32_t backgroundColour = 0;
    double minimumVatPayable = 0;
    bool showPreviousDescriptions = false;
    bool showToolbar = true;
    bool showStatusBar = true;
    bool agendaAtStartUp = false;
    // The account another screen chose (by description) before opening its card, visched1.
    std::string chosenAccount;
};

// What the screens may ask of the program around them.
class ScreenLogic;
class ReportSink;

class ScreenHost {
  public:
    virtual ~ScreenHost() = default;
    virtual void openScreen(const std::string& name) = 0;
    // Opens a screen built by the caller (a confirmation window that needs to know what it
    // confirms, say); modal ones block the rest of the program until closed.
    virtual void openScreen(std::unique_ptr<ScreenLogic> screen, bool modal) = 0;
    // The program's visible windows, the main window included.
    virtual int visibleWindows() const = 0;
    virtual void endProgram() = 0;
    virtual void setBusy(bool busy) = 0;
    // The status bar changed (panel 2, 4, 6 or 8).
    virtual void panelChanged(int panel) = 0;
    virtual void settingsChanged() = 0;
    // Where the next document goes: every report gets its sink here, just before opening it.
    virtual std::unique_ptr<ReportSink> openReport() = 0;
    // A document written to a PDF file when it closes, for reports that are kept rather than
    // previewed (the annual lists go straight to the printer). None: the host cannot.
    virtual std::unique_ptr<ReportSink> openPdfReport(const std::string& path);
    // F1 in a screen: the user guide at the page of that screen. Nothing where there is no
    // guide to show (tests of the logic).
    virtual void showHelp(const std::string& /*screen*/) {}
};

// The busy cursor for the length of a scope, whatever way it ends; nothing without a host.
class BusyCursor {
  public:
    explicit BusyCursor(ScreenHost* host) : m_host(host) {
        if (m_host != nullptr) {
            m_host->setBusy(true);
        }
    }
    ~BusyCursor() {
        if (m_host != nullptr) {
            m_host->setBusy(false);
        }
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    ScreenHost* m_host;
};

// One running program: the program-wide values, the record manager and archives of this
// station, the operator's dialogs and the clock. Passed to whoever needs them; there are no
// global variables.
class Session {
  public:
    Session(Dialogs& dialogs, const Clock& clock);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ProgramValues& values() { return m_values; }
    const ProgramValues& values() const { return m_values; }
    Archives& archives() { return *m_archives; }
    Dialogs& dialogs() { return m_dialogs; }
    const Clock& clock() const { return m_clock; }

    void setHost(ScreenHost* host) { m_host = host; }
    ScreenHost* host() { return m_host; }

    void setDataDirectory(const std::string& dir);
    // Sets company code and name, year, year date mask and year start, and the archive paths.
    void chooseCompany(const std::string& code, const std::string& name, const std::string& year);

    // Status-bar panels 2, 4, 6 and 8.
    const std::string& panel(int n) const;
    void setPanel(int n, std::string text);

  private:
    Dialogs& m_dialogs;
    const Clock& m_clock;
    std::unique_ptr<isam::RecordManager> m_records;
    std::unique_ptr<Archives> m_archives;
    ProgramValues m_values;
    ScreenHost* m_host = nullptr;
    std::array<std::string, 9> m_panels;
};

}  // namespace zelvo
