#include "masterdata/MasterdataScreens.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ChartFixture.h"
#include "masterdata/ChartAnnulment.h"

namespace zelvo {
namespace {

using test::ChartFixture;

class MasterdataScreensTest : public ChartFixture {};

// Building a screen checks its layout (no name twice) and its handlers (none for a control
// the layout lacks): every mode of every screen is built here, so that a mistake in one
// that no other test opens still fails.
TEST_F(MasterdataScreensTest, EveryScreenBuildsLoadsAndClosesFromItsCancelButton) {
    ASSERT_TRUE(archives().open(arc::kCiva));
    ScreenRegistry registry;
    RegisterMasterdataScreens(registry);
    std::vector<std::unique_ptr<ScreenLogic>> screens;
    for (const char* name : {"RPC", "anpc", "rtiva", "vistiva", "REGPAG", "RCLIENTE", "regforn",
                             "VARCLI", "varforn", "VISCLI", "visforn"}) {
        ASSERT_TRUE(registry.has(name)) << name;
        screens.push_back(registry.create(name, session));
        EXPECT_EQ(screens.back()->layout().name, name);
    }
    screens.push_back(std::make_unique<ChartAnnulmentConfirm>(session, "00051", "Cassa"));
    for (const std::unique_ptr<ScreenLogic>& screen : screens) {
        const std::string& name = screen->layout().name;
        screen->load();
        const std::vector<ControlSpec>& controls = screen->layout().controls;
        const auto cancel =
            std::find_if(controls.begin(), controls.end(), [](const ControlSpec& c) {
                return c.kind == ControlKind::Button && c.as<ButtonSettings>().isCancel;
            });
        ASSERT_NE(cancel, controls.end()) << name;
        EXPECT_FALSE(screen->closeRequested()) << name;
        screen->click(cancel->name);
        EXPECT_TRUE(screen->closeRequested()) << name;
        screen->unload();
    }
    EXPECT_TRUE(dialogs.events().empty());
}

}  // namespace
}  // namespace zelvo
