#include "session/Form.h"

#include <gtest/gtest.h>

namespace zelvo {
namespace {

// A list refilled by the logic, then read back from the view as the operator left it: what
// the logic reads as the list's text must be what the list shows.
TEST(FormStateTest, AListShowsAndReadsOnlyWhatItOffers) {
    FormState f;
    f.setItems("Combo2", {"2025", "2026"});
    f.setSelected("Combo2", 1);
    EXPECT_EQ(f.text("Combo2"), "2026");

    // Refilled for another company: nothing is chosen and nothing reads as chosen.
    f.setItems("Combo2", {"2031"});
    EXPECT_EQ(f.selected("Combo2"), -1);
    EXPECT_EQ(f.text("Combo2"), "");

    // The view reports no current entry: the text follows, even after an earlier choice.
    f.inputSelected("Combo2", 0);
    EXPECT_EQ(f.text("Combo2"), "2031");
    f.inputSelected("Combo2", -1);
    EXPECT_EQ(f.text("Combo2"), "");
    f.setItems("Combo2", {});
    f.inputSelected("Combo2", -1);
    EXPECT_EQ(f.text("Combo2"), "");

    // An editable combo's typed text arrives after its selection and is kept.
    f.setItems("Combo3", {"a"});
    f.inputSelected("Combo3", -1);
    f.input("Combo3", "typed");
    EXPECT_EQ(f.text("Combo3"), "typed");
}

}  // namespace
}  // namespace zelvo
