#pragma once

#include <string>

#include "session/ScreenLogic.h"

namespace zelvo {

// The screen "Parges" ("Parametri gestione"): the installation's parameters (archive
// "param") and the choice between a single-user and a network installation (the location
// file "rr" in the program's folder). The settings of the main window and of the reports
// apply at once; the location counts from the next start.
class ParametersScreen : public ScreenLogic {
  public:
    explicit ParametersScreen(Session& session);

    static FormSpec makeSpec();

    void load() override;
    // "Command1" confirms, "Command2" closes, "Command3" ("Sfoglia") picks the program file.
    void click(const std::string& control) override;
    void unload() override;

    // The program file a network installation names: its folder is the data directory.
    static constexpr const char* kProgramFile = "zelvo";
    // Whether a path names the program file in some folder (the name compared without
    // letter case, as the server's file system may not keep it).
    static bool namesProgramFile(const std::string& path);

    // Report positions.
    static constexpr int kRead = 841;
    static constexpr int kWrite = 842;
    static constexpr int kReadBack = 843;

  private:
    void showParameters();
    void showLocation();
    void confirm();
    // False when the archive could not be opened: there is nothing to apply then.
    bool writeParameters();
    // From the record as confirmed.
    void applySettings();
    void writeLocation();

    bool m_opened = false;
};

}  // namespace zelvo
