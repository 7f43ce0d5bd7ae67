#pragma once

#include <string>

#include "session/Session.h"

namespace zelvo {

enum class InstallOutcome {
    Installed,
    AlreadyInstalled,  // the data directory already holds a register: nothing was touched
    Incomplete,        // something failed; it was reported and the rest was still done
};

// A fresh installation in the session's data directory (created when missing): the
// company register with its 380 slots, the archives of the sample company "AB" for `year`
// with their initial content, the file "www" naming the sample company, and the archives the
// program expects to find and never creates itself: the parameters, the VAT code table, the
// payment terms, and an empty agenda. Every archive is left closed.
InstallOutcome CreateInstallation(Session& session, const std::string& year);

}  // namespace zelvo
