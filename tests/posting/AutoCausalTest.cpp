#include <gtest/gtest.h>

#include "YearFixture.h"
#include "posting/AutoCausalTemplate.h"
#include "posting/GenericMovement.h"

namespace zelvo {
namespace {

using T = AutoCausalTemplate;

class AutoCausalTest : public ::testing::Test {
  protected:
    std::vector<std::string> boxes() { return year.takeBoxes(); }
    // "Abbuoni su acquisti" in debit and "Abbuoni su vendite" in credit, as "GIRO".
    void saveTemplate() {
        T t(year.session());
        t.load();
        t.form().input("TEXT1", "GIRO");
        t.form().input("text2", "Giroconto abbuoni");
        t.form().input("conto:0", "Abbuoni su acquisti");
        t.form().input("agg:0", "acq.");
        t.form().inputChecked("Option1:0", true);
        t.form().input("conto:2", "Abbuoni su vendite");
        t.form().inputChecked("Option2:2", true);
        t.click("Command1");
        EXPECT_TRUE(boxes().empty());
        t.unload();
    }
    test::DataPlace dir;
    test::Year year{dir.prefix()};
};

// The missing code, side and credit are the automated_causal script's.
TEST_F(AutoCausalTest, ATemplateNeedsADebitAndEveryRowASubAccount) {
    T t(year.session());
    t.load();
    t.form().input("TEXT1", "X");
    t.form().input("conto:0", "Abbuoni su acquisti");
    t.form().inputChecked("Option2:0", true);
    t.click("Command1");
    EXPECT_EQ(boxes(), std::vector<std::string>{"NON E' STATA INSERITA NESSUNA VOCE IN DARE"});
    // A conto is not a sub-account.
    t.form().input("conto:1", "Ricavi diversi");
    t.form().inputChecked("Option1:1", true);
    t.click("Command1");
    EXPECT_EQ(year.dialogs.beeps(), 1);
    EXPECT_TRUE(boxes().empty());
    Archives& a = year.archives();
    EXPECT_NE(a.getByKey(arc::kAx, "X"), 0);
    t.unload();
}

TEST_F(AutoCausalTest, MCXXPostsAGenericMovementFromTheTemplate) {
    saveTemplate();
    Archives& a = year.archives();
    a.open(arc::kAx);
    ASSERT_EQ(a.getByKey(arc::kAx, "GIRO"), 0);
    EXPECT_EQ(a.readBuffer(arc::kAx).text(5), "00020");  // gaps closed
    a.close(arc::kAx);

    GenericMovement m(year.session(), GenericMovement::Variant::Causal);
    m.load();
    m.form().inputSelected("Combo1", 0);
    m.form().input("Combo1", "GIRO");
    m.change("Combo1");
    EXPECT_EQ(m.form().text("agg:0"), "acq.");
    EXPECT_EQ(m.form().text("LabelX:1"), "Avere");
    m.form().input("TEXT1", "10/03/2026");
    m.form().input("text3", "10/03/2026");
    m.form().input("dare:0", "500");
    m.form().input("avere:1", "500");
    m.click("Command1");
    EXPECT_TRUE(boxes().empty());
    auto l = year.journal();
    ASSERT_EQ(l.size(), 2U);
    EXPECT_EQ(l[1].text(mcf::kAccount), "00020");
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
    // The template is there again for the next movement.
    EXPECT_EQ(m.form().text("conto:0"), "Abbuoni su acquisti");
    EXPECT_EQ(m.form().text("dare:0"), "");

    // An account annulled since is named when the causal is used.
    ASSERT_EQ(a.remove(arc::kPc, "00020"), 0);
    m.change("Combo1");
    m.form().input("dare:0", "100");
    m.form().input("avere:1", "100");
    m.click("Command1");
    EXPECT_EQ(boxes(), std::vector<std::string>{
                           "Un conto (00020) non risulta più registrato nel piano dei conti"});
    EXPECT_EQ(year.journal().size(), 2U);
    m.unload();
}

}  // namespace
}  // namespace zelvo
