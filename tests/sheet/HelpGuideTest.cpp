#include "sheet/HelpGuide.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/ProgramScreens.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

namespace fs = std::filesystem;

void WritePage(const std::string& folder, const std::string& page, const std::string& body) {
    fs::create_directories(folder);
    std::ofstream(folder + "/" + page) << "<html><body>" << body << "</body></html>\n";
}

TEST(HelpGuideTest, TheFolderIsTheFirstThatHoldsTheGuide) {
    test::TempDir dir;
    const std::string env = dir.prefix() + "altrove";
    const std::string program = dir.prefix() + "usr/bin";
    const std::string installed = dir.prefix() + "usr/share/zelvo/help";
    const std::string source = dir.prefix() + "sorgenti/help";
    fs::create_directories(program);
    fs::create_directories(env);  // a folder without the guide does not count
    EXPECT_EQ(help::Folder(env, program, source), "");
    WritePage(source, "index.html", "");
    EXPECT_EQ(help::Folder(env, program, source), source);
    WritePage(installed, "index.html", "");
    EXPECT_EQ(help::Folder(env, program, source), installed);
    WritePage(env, "index.html", "");
    EXPECT_EQ(help::Folder(env, program, source), env);
    EXPECT_EQ(help::Folder("", "", source), source);
}

TEST(HelpGuideTest, AScreenOpensAtItsAnchorATwinAtItsScreens) {
    test::TempDir dir;
    const std::string folder = dir.prefix() + "help";
    WritePage(folder, "index.html", R"(<h2 id="SCELTA">Avvio</h2>)");
    WritePage(folder, "primanota.html", R"(<h2 id="MCFA">Acquisti</h2><h2 id="STMC">S</h2>)");
    WritePage(folder, "varie.html", R"(<h2 id="AGENDA">Agenda</h2><a href="#MCFA2">x</a>)");
    struct Case {
        const char* screen;
        help::Place place;
    };
    const Case cases[] = {
        {"MCFA", {"primanota.html", "MCFA"}},  {"MCFA2", {"primanota.html", "MCFA"}},
        {"MCFA3", {"primanota.html", "MCFA"}}, {"AGENDA", {"varie.html", "AGENDA"}},
        {"SCELTA", {"index.html", "SCELTA"}},  {"STMC1", {"index.html", ""}},
        {"mcfa", {"index.html", ""}},          {"", {"index.html", ""}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(help::PlaceOf(folder, c.screen), c.place) << c.screen;
    }
}

// The guide shipped with the program describes every screen it has.
TEST(HelpGuideTest, TheGuideHasAPlaceForEveryScreen) {
    const std::string folder = help::Folder("", "", ZELVO_TEST_HELP_DIR);
    ASSERT_FALSE(folder.empty());
    for (const std::string& screen : ProgramScreens().names()) {
        EXPECT_NE(help::PlaceOf(folder, screen).anchor, "") << screen;
    }
}

}  // namespace
}  // namespace zelvo
