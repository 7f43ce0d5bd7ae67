#pragma once

#include <string>

#include "app/CommandMap.h"
#include "session/Session.h"

namespace zelvo {

// The main window's own rules: the guards of the commands, the end of the program, the
// change of company and the status-bar double click.
class MainCommands {
  public:
    explicit MainCommands(Session& session);

    enum class Opening { Refused, Child, Modal };
    // The guard of a command: Refused after its message when other windows are open.
    Opening guard(Guard g);

    // Closing the main window: asks when other windows are open; true when it may close.
    bool confirmEnd();
    // The program ends: the main archives are closed and "www" written.
    void closeMainArchives();

    // "&Scelta azienda": true when the selection window is to be shown again (the year's
    // archives are then closed).
    bool chooseAnotherCompany();

    void panelDoubleClicked();

    // The message of a command whose screen could not be loaded: the archive maintenance
    // commands have texts of their own, the others name the reason.
    static std::string loadFailureText(const std::string& control, const std::string& reason);

  private:
    Session& m_session;
};

}  // namespace zelvo
