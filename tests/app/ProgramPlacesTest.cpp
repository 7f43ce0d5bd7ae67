#include "app/ProgramPlaces.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "app/CommandLine.h"
#include "base/Version.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

namespace fs = std::filesystem;

// Where the location file and the data are, for a program in a folder of its own and for
// one installed in a "bin" folder, with and without the XDG variables.
TEST(ProgramPlacesTest, AProgramInABinFolderKeepsItsPlacesInTheUsersFolders) {
    // Every folder lies in the test's own directory, where no location file exists.
    test::TempDir dir;
    const std::string r = dir.prefix();
    struct Case {
        std::string folder;
        std::map<std::string, std::string> env;
        std::string location;
        std::string data;
    };
    const Case cases[] = {
        {r + "opt/zelvo/", {{"HOME", r + "anna"}}, r + "opt/zelvo/rr", r + "opt/zelvo/"},
        {r + "usr/bin/",
         {{"HOME", r + "anna"}},
         r + "anna/.config/zelvo/rr",
         r + "anna/.local/share/zelvo/"},
        {r + "usr/local/bin",
         {{"HOME", r + "anna"}, {"XDG_CONFIG_HOME", r + "cfg"}, {"XDG_DATA_HOME", r + "dati/"}},
         r + "cfg/zelvo/rr",
         r + "dati/zelvo/"},
        // Relative XDG values do not count; without a home there is nowhere of the user's.
        {r + "usr/bin/",
         {{"HOME", r + "anna"}, {"XDG_DATA_HOME", "dati"}},
         r + "anna/.config/zelvo/rr",
         r + "anna/.local/share/zelvo/"},
        {r + "usr/bin/", {}, r + "usr/bin/rr", r + "usr/bin/"},
    };
    for (const Case& c : cases) {
        auto env = [&c](const char* name) -> const char* {
            auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        };
        ProgramPlaces p = ProgramPlaces::Of(c.folder, env);
        EXPECT_EQ(p.locationFile(), c.location) << c.folder;
        EXPECT_EQ(p.defaultDataDirectory(), c.data) << c.folder;
    }
}

// An installed program reads "rr" beside itself first, then the user's own.
TEST(ProgramPlacesTest, TheLocationFileBesideAnInstalledProgramComesFirst) {
    test::TempDir dir;
    fs::create_directories(dir.path() / "bin");
    const std::string home = dir.prefix() + "home";
    auto env = [&home](const char* name) -> const char* {
        return std::string(name) == "HOME" ? home.c_str() : nullptr;
    };
    ProgramPlaces p = ProgramPlaces::Of(dir.prefix() + "bin/", env);
    fs::create_directories(home + "/.config/zelvo");
    const std::string named = dir.prefix() + "utente/";
    std::ofstream(home + "/.config/zelvo/rr") << named << "\n";
    bool network = false;
    EXPECT_EQ(DataDirectoryNamedBy(p.locationFile(), p.defaultDataDirectory(), network), named);
    EXPECT_TRUE(network);
    std::ofstream(dir.path() / "bin" / "rr") << "mono\n";
    EXPECT_EQ(DataDirectoryNamedBy(p.locationFile(), p.defaultDataDirectory(), network),
              home + "/.local/share/zelvo/");
    EXPECT_FALSE(network);  // A server's URI gets the separator archive names follow; a folder
                            // stays as written.
    for (const auto& [written, used] : std::vector<std::pair<std::string, std::string>>{
             {"postgresql:///libri?host=/run/pg", "postgresql:///libri?host=/run/pg/"},
             {"postgres://zelvo@server/libri/\r", "postgres://zelvo@server/libri/"},
             {dir.prefix() + "senza-separatore", dir.prefix() + "senza-separatore"}}) {
        std::ofstream(dir.path() / "bin" / "rr") << written << "\n";
        EXPECT_EQ(DataDirectoryNamedBy(p.locationFile(), p.defaultDataDirectory(), network), used);
        EXPECT_TRUE(network) << written;
    }
}

TEST(CommandLineTest, OptionsAreReadAndMistakesRefused) {
    using A = CommandLine::Action;
    struct Case {
        std::vector<std::string> args;
        A action;
        std::string dataDirectory;
    };
    const Case cases[] = {
        {{}, A::Run, ""},
        {{"--version"}, A::Version, ""},
        {{"--help"}, A::Help, ""},
        {{"-h"}, A::Help, ""},
        {{"--datadir", "/srv/dati"}, A::Run, "/srv/dati"},
        {{"--datadir=/srv/dati/"}, A::Run, "/srv/dati/"},
        {{"-platform", "offscreen", "--datadir", "/a/../b"}, A::Run, "/b"},
        {{"--datadir", "postgresql:///libri?service=ufficio"},
         A::Run,
         "postgresql:///libri?service=ufficio"},
        {{"--datadir"}, A::Refused, ""},
        {{"--datadir="}, A::Refused, ""},
        {{"--versione"}, A::Refused, ""},
        {{"archivio"}, A::Refused, ""},
    };
    for (const Case& c : cases) {
        CommandLine line = CommandLine::Parse(c.args);
        const std::string shown = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(line.action, c.action) << shown;
        EXPECT_EQ(line.dataDirectory, c.dataDirectory) << shown;
        EXPECT_EQ(line.refusal.empty(), c.action != A::Refused) << shown;
    }
    EXPECT_EQ(CommandLine::VersionText(), std::string("zelvo ") + kProgramVersion + "\n");
    // A relative directory is taken from where the program was started.
    EXPECT_EQ(CommandLine::Parse({"--datadir", "dati"}).dataDirectory,
              (fs::current_path() / "dati").string());
}

}  // namespace
}  // namespace zelvo
