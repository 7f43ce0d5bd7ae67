#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelvo {

// How a command opens its screen.
enum class Guard {
    None,   // no screen: the command acts itself ("&Esci", the help entry)
    Plain,  // busy cursor, open as a child window
    Long,   // only when no other window is visible; modal; the long message otherwise
    Short,  // the same with the short message
};

// One entry of the main window's menu tree. Entries are listed in menu order; `menuPath`
// names the menu and submenu captions the entry sits in ("&Prima nota" then
// "&Registrazione"). A separator has the caption "-" and no screen.
struct MenuCommand {
    std::vector<std::string> menuPath;
    std::string control;  // the objectName of the menu action: "ma1", "mbb2", ...
    std::string caption;  // with its "&" accelerator
    std::string screen;   // the screen it opens ("mcfv", "APRIAZ"); empty for none
    Guard guard = Guard::None;
};

// A toolbar button, or an entry of the "pn" drop-down.
struct ToolbarCommand {
    std::string key;     // "p4", "pn3", ...
    std::string text;    // "Esci", "Fattura acquisto", ...
    std::string screen;  // the screen it opens; empty when it acts otherwise
    std::string action;  // for the buttons that open no screen: "exit", "calculator",
                         // "cascade", "dropdown"; empty otherwise
};

// The command map of the main window, as data: the menu tree, the toolbar and the
// drop-down. The main window builds itself from these tables.
class CommandMap {
  public:
    static const std::vector<MenuCommand>& menu();
    static const std::vector<ToolbarCommand>& toolbar();    // "p4" ... "p10", "P20", "p11", "pn"
    static const std::vector<ToolbarCommand>& primaNota();  // "pn1" ... "pn9"
    static const MenuCommand* byControl(std::string_view control);

    // The guard messages and the titles of their boxes.
    static const char* longGuardText();
    static const char* shortGuardText();
};

}  // namespace zelvo
