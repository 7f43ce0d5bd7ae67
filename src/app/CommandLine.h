#pragma once

#include <string>
#include <vector>

namespace zelvo {

// What the program was asked on its command line. Options of its own start with "--";
// those with one "-" (-platform, -style, …) belong to the window system library and are
// left to it.
struct CommandLine {
    enum class Action { Run, Version, Help, Refused };

    Action action = Action::Run;
    std::string dataDirectory;  // --datadir, made absolute; empty when not given
    std::string refusal;        // what to tell on the error stream when Refused

    static CommandLine Parse(const std::vector<std::string>& args);
    static std::string VersionText();
    static std::string HelpText();
};

}  // namespace zelvo
