#pragma once

#include <string>

#include "session/Session.h"

namespace zelvo {

// What the start-up needs to know about the printer's fonts.
class FontCatalog {
  public:
    virtual ~FontCatalog() = default;
    virtual bool printerAvailable() const = 0;
    // Whether the family is installed as a fixed-pitch font.
    virtual bool isInstalled(const std::string& family) const = 0;
};

// The start-up sequence of the main window: data directory, company register, VAT codes,
// parameters, month names, print font and user name. The selection window follows.
class StartUp {
  public:
    StartUp(Session& session, const FontCatalog& fonts);

    // False when the program cannot go on: the register could not be opened, or the data
    // directory belongs to a newer version of the program; the operator has been told so.
    bool run();

    // The data directory given on the command line, in place of the one "rr" names.
    void useDataDirectory(std::string dir);

    // The data directory named by the location file "rr" of a program folder (ProgramPlaces:
    // beside the program, or the user's own for an installed program).
    static std::string DataDirectory(const std::string& programFolder, bool& network);

  private:
    void checkPrintFont();
    bool refuseNewerData();

    Session& m_session;
    const FontCatalog& m_fonts;
    std::string m_dataDirectory;
};

}  // namespace zelvo
