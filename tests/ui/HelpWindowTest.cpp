#include "ui/HelpWindow.h"

#include <gtest/gtest.h>

#include "sheet/HelpGuide.h"

namespace zelvo {
namespace {

// The guide's pages load from its folder, at the anchor of the screen, and the links
// between pages lead on.
TEST(HelpWindowTest, OpensThePageOfTheScreenAndFollowsItsLinks) {
    const std::string folder = ZELVO_TEST_HELP_DIR;
    const help::Place place = help::PlaceOf(folder, "MCFA2");
    HelpWindow window(folder, nullptr);
    window.showPlace(place.page, place.anchor);
    EXPECT_EQ(window.objectName(), "GUIDA");
    EXPECT_EQ(window.source().fileName(), "primanota.html");
    EXPECT_EQ(window.source().fragment(), "MCFA");
    EXPECT_TRUE(window.toPlainText().contains("Fattura acquisto"));
    window.setSource(QUrl("varie.html#AGENDA"));
    EXPECT_TRUE(window.toPlainText().contains("Mostra anche le note eseguite"));
}

}  // namespace
}  // namespace zelvo
