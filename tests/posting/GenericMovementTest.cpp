#include "posting/GenericMovement.h"

#include <gtest/gtest.h>

#include "YearFixture.h"

namespace zelvo {
namespace {

using V = GenericMovement::Variant;

class EuroMovementTest : public ::testing::Test {
  protected:
    EuroMovementTest() { year.session().values().exchangeRate = 1936.27; }
    void type(GenericMovement& s, const std::string& control, const std::string& value) {
        s.form().input(control, value);
        s.leave(control);
    }
    std::vector<std::pair<double, double>> postedAmounts() {
        Archives& a = year.archives();
        std::vector<std::pair<double, double>> out;
        a.bof(arc::kMc, 0);
        while (a.get(arc::kMc, 0, isam::op::kNext, "") == 0) {
            out.emplace_back(a.readBuffer(arc::kMc).number(mcf::kDebit),
                             a.readBuffer(arc::kMc).number(mcf::kCredit));
        }
        return out;
    }

    test::DataPlace dir;
    test::Year year{dir.prefix()};
};

TEST_F(EuroMovementTest, AmountsAreConvertedOnceAndCellsEditedAfterwardsHoldLire) {
    GenericMovement s(year.session(), V::Euro);
    s.load();
    // The euro twin has the lire screen's buttons besides its conversion.
    for (const char* button : {"Command1", "Command2", "Command3", "Command4"}) {
        EXPECT_NE(s.layout().find(button), nullptr) << button;
    }
    type(s, "TEXT1", "10/03/2026");
    type(s, "text3", "10/03/2026");
    type(s, "conto:0", "Iva acquisti");
    type(s, "dare:0", "12,50");
    type(s, "conto:1", "Abbuoni su acquisti");
    type(s, "avere:1", "12,5");
    s.click("Command1");
    EXPECT_TRUE(postedAmounts().empty());

    s.click("Command2");
    s.leave("dare:0");
    s.click("Command2");
    EXPECT_EQ(s.form().text("dare:0"), "24203");
    EXPECT_TRUE(s.form().enabled("Command1"));
    type(s, "dare:0", "24210");
    type(s, "avere:1", "24210");
    s.click("Command1");
    EXPECT_TRUE(year.dialogs.boxes().empty());
    EXPECT_EQ(postedAmounts(), (std::vector<std::pair<double, double>>{{24210, 0}, {0, 24210}}));
    s.unload();
}

}  // namespace
}  // namespace zelvo
