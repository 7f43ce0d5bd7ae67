#pragma once

#include <string>

namespace zelvo::help {

// Where the user guide is read from: the first of these folders that holds its "index.html":
// the folder named by the environment (ZELVO_HELP_DIR, for a guide kept elsewhere), the
// installed one beside the program (<program dir>/../share/zelvo/help), and the guide of the
// source tree the program was built from (a program run from its build folder). Empty when
// none does.
std::string Folder(const std::string& fromEnvironment, const std::string& programDir,
                   const std::string& sourceDir);
// The same with this process's environment and this build's source tree.
std::string Folder(const std::string& programDir);

// A place in the guide: a page of the folder and an anchor in it (empty: the top).
struct Place {
    std::string page;  // "primanota.html"
    std::string anchor;
    bool operator==(const Place&) const = default;
};

// The place that describes a screen: the page holding the anchor named after the screen
// (id="mcfv"), or for a revision or euro twin (MCFA2, mcca3) the place of its screen. The
// index when the guide says nothing of it, and for the main window.
Place PlaceOf(const std::string& folder, const std::string& screen);

}  // namespace zelvo::help
