#include <gtest/gtest.h>

#include <fstream>

#include "ChartFixture.h"
#include "app/Parameters.h"
#include "app/ParametersScreen.h"

namespace zelvo {
namespace {

using test::ChartFixture;

class ParametersScreenTest : public ChartFixture {
  protected:
    std::unique_ptr<ParametersScreen> open() {
        auto screen = std::make_unique<ParametersScreen>(session);
        screen->load();
        return screen;
    }
    void writeLocation(const std::string& line) {
        std::ofstream(dir.prefix() + "rr") << line << "\n";
    }
    std::string location() {
        std::ifstream rr(dir.prefix() + "rr");
        std::string line;
        std::getline(rr, line);
        return rr ? line : "(none)";
    }
    isam::Record stored() {
        EXPECT_TRUE(archives().open(arc::kParam));
        EXPECT_EQ(archives().getByKey(arc::kParam, "1"), 0);
        isam::Record r = archives().readBuffer(arc::kParam);
        archives().close(arc::kParam);
        return r;
    }
};

TEST_F(ParametersScreenTest, ConfirmedSettingsAreStoredAndAppliedAtOnce) {
    auto screen = open();
    FormState& f = screen->form();
    for (auto [control, text] : {std::pair{"text1", "255"},
                                 {"text2", ""},
                                 {"text3", "12"},
                                 {"text4", "99999"},
                                 {"text5", "100000"},
                                 {"text6", "0"},
                                 {"text7", "0"}}) {
        f.input(control, text);
    }
    f.inputSelected("Combo1", 10);
    f.inputChecked("Check9", true);
    f.inputChecked("Check10", false);
    screen->click("Command1");
    EXPECT_TRUE(dialogs.events().empty());
    EXPECT_TRUE(screen->closeRequested());
    EXPECT_EQ(host.settingsChanges, 1);
    const ProgramValues& v = session.values();
    EXPECT_EQ(v.backgroundColour, 255);
    EXPECT_EQ(v.print.font, "Courier New");
    EXPECT_EQ(v.print.fontSize, 12);
    EXPECT_EQ(v.print.linesPerPage, 32767);
    EXPECT_FALSE(v.showToolbar);
    EXPECT_EQ(v.exchangeRate, 1);

    using namespace param;
    const isam::Record r = stored();
    EXPECT_EQ(r.text(kPrintFont), "Courier New");
    EXPECT_EQ(r.text(kPreviewZoom), "120");
    EXPECT_EQ(r.number(kMinimumVatPayable), 100000);
    EXPECT_EQ(r.number(kExchangeRate), 0);
    EXPECT_EQ(r.number(kListLength), 0);
    EXPECT_EQ(r.number(kShowPreviousDescriptions), 1);
    EXPECT_EQ(r.number(kShowStatusBar), 1);
    // The next start reads 0 as 30 lines and as one lira per euro.
    ProgramValues next;
    next.listLength = 7;
    ASSERT_TRUE(ReadParameters(archives(), next));
    EXPECT_EQ(next.listLength, 30);
    EXPECT_EQ(next.exchangeRate, 1);
    EXPECT_EQ(location(), "mono");
}

TEST_F(ParametersScreenTest, RateTakesEitherDecimalMark) {
    auto screen = open();
    screen->form().input("text6", "1936,27");
    screen->click("Command1");
    EXPECT_EQ(session.values().exchangeRate, 1936.27);
    EXPECT_EQ(stored().number(param::kExchangeRate), 1936.27);
}

struct Location {
    bool network;
    const char* path;
    const char* refused;  // the message, or none
    const char* written;  // the location file afterwards
};

void PrintTo(const Location& l, std::ostream* os) {
    *os << (l.network ? "Rete " : "Monoutente ") << l.path;
}

class LocationTest : public ParametersScreenTest, public ::testing::WithParamInterface<Location> {};

TEST_P(LocationTest, WritesTheLocationFileOrRefusesThePath) {
    const Location& l = GetParam();
    writeLocation("/vecchio/");
    auto screen = open();
    screen->form().inputChecked("Option1", !l.network);
    screen->form().inputChecked("Option2", l.network);
    screen->form().input("text8", l.path);
    screen->click("Command1");
    if (l.refused != nullptr) {
        ASSERT_EQ(dialogs.boxes().size(), 1U);
        EXPECT_EQ(dialogs.boxes()[0].text, l.refused);
        EXPECT_EQ(dialogs.boxes()[0].title, "Errore");
        EXPECT_EQ(screen->takeFocusRequest(), "text8");
        EXPECT_FALSE(screen->closeRequested());
        EXPECT_EQ(host.settingsChanges, 0);
    } else {
        EXPECT_TRUE(dialogs.events().empty());
    }
    EXPECT_EQ(location(), l.written);
}

constexpr const char* kNoPath = "Non è stato inserito il percorso di rete";

INSTANTIATE_TEST_SUITE_P(
    Cases, LocationTest,
    ::testing::Values(
        // No path, a file of another name and a path in capitals are the parameters script's.
        Location{true, "/srv/zelvo/", kNoPath, "/vecchio/"},
        Location{true, "zelvo", kNoPath, "/vecchio/"}, Location{true, "/zelvo", nullptr, "/"},
        Location{false, "", nullptr, "mono"}, Location{false, "/srv/qualsiasi", nullptr, "mono"}));

TEST_F(ParametersScreenTest, ShowsTheLocationFileAsTheProgramFileInItsFolder) {
    struct Shown {
        const char* line;  // nullptr: no location file
        bool network;
        const char* path;
    };
    for (const Shown& s : {Shown{nullptr, false, ""}, Shown{"mono", false, ""},
                           Shown{"", false, ""}, Shown{"/srv/zelvo/", true, "/srv/zelvo/zelvo"},
                           Shown{"/srv/zelvo", true, "/srv/zelvo/zelvo"}}) {
        std::filesystem::remove(dir.prefix() + "rr");
        if (s.line != nullptr) {
            writeLocation(s.line);
        }
        auto screen = open();
        EXPECT_EQ(screen->form().checked("Option2"), s.network) << s.path;
        EXPECT_EQ(screen->form().checked("Option1"), !s.network) << s.path;
        EXPECT_EQ(screen->form().text("text8"), s.path);
        screen->unload();
    }
}

}  // namespace
}  // namespace zelvo
