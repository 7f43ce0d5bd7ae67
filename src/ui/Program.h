#pragma once

#include <memory>
#include <string>

#include "base/Dialogs.h"
#include "session/Clock.h"
#include "session/Session.h"

namespace zelvo {

class MainWindow;

// One running Zelvo: the session, the main window and the start-up. The program itself
// runs it with real dialogs and the system clock; the operator-script driver with scripted
// dialogs and a fixed date.
class Program {
  public:
    struct Options {
        std::string programFolder;  // ends with a separator
        Dialogs* dialogs = nullptr;
        const Clock* clock = nullptr;
        // Given on the command line: used instead of the one the location file names.
        std::string dataDirectory;
    };

    explicit Program(Options options);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Shows the main window and runs the start-up; returns when the selection window is
    // shown or the program has ended.
    void start();
    bool ended() const;
    MainWindow* mainWindow() { return m_main.get(); }
    Session& session() { return *m_session; }

  private:
    Options m_options;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<MainWindow> m_main;
};

}  // namespace zelvo
