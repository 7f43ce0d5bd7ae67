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
    static constexpr const char* kColourField = "text1";
    static constexpr const char* kFontField = "text2";
    static constexpr const char* kFontNote = "Label1";
    static constexpr const char* kFontSizeField = "text3";
    static constexpr const char* kLinesField = "text4";
    static constexpr const char* kZoomField = "Combo1";
    static constexpr const char* kMinimumVatField = "text5";
    static constexpr const char* kRateField = "text6";
    static constexpr const char* kListLengthField = "text7";
    static constexpr const char* kPreviousCheck = "Check9";
    static constexpr const char* kToolbarCheck = "Check10";
    static constexpr const char* kStatusBarCheck = "Check11";
    static constexpr const char* kAgendaCheck = "Check12";
    static constexpr const char* kSingleUser = "Option1";
    static constexpr const char* kNetwork = "Option2";
    static constexpr const char* kProgramPath = "text8";
    static constexpr const char* kBrowse = "Command3";
    static constexpr const char* kRestartNote = "Label2";
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit ParametersScreen(Session& session);

    static FormSpec makeSpec();

    void load() override;
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
    void browse();
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
