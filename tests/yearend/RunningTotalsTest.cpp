#include "yearend/RunningTotals.h"

#include <gtest/gtest.h>

#include "YearendFixture.h"
#include "support/Child.h"
#include "yearend/TotalsRebuild.h"
#include "yearend/YearFields.h"

namespace zelvo {
namespace {

using test::Movement;
using test::Year;

std::array<double, 4> Numbers(Year& y, const std::string& item) {
    return test::Numbers(y.archives(), item);
}

void SetNumbers(Year& y, const std::string& item, std::array<double, 4> n) {
    test::SetNumbers(y.archives(), item, n);
}

void SetOpeningPosted(Year& y) {
    test::SetYearFlag(y.archives(), yearrec::kOpeningPosted, yearrec::kDone);
}

class RunningTotalsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PostingEngine engine(year.session());
        ASSERT_NE(engine.post(Movement("10/03/2026",
                                       {{"00015", 100, 0}, {"00020", 0, 60}, {"00022", 0, 40}})),
                  0);
        ASSERT_NE(engine.post(Movement("11/03/2026", {{"00011", 700, 0}, {"00012", 0, 700}})), 0);
    }
    RebuildResult rebuild() { return RebuildRunningTotals(year.archives(), "2026"); }

    test::TempDir dir;
    Year year{dir.prefix()};
};

TEST_F(RunningTotalsTest, RightTotalsAreLeftAlone) {
    const auto before = year.storedTotals();
    const RebuildResult r = rebuild();
    EXPECT_TRUE(r.done);
    EXPECT_EQ(r.lines, 5);
    EXPECT_EQ(r.rewritten, 0);
    EXPECT_EQ(year.storedTotals(), before);
    EXPECT_TRUE(year.dialogs.events().empty());
}

// Damage on each level: a sub-account, its conto, its mastro, an item with no lines, and a
// closing balance that disagrees with its own totals.
TEST_F(RunningTotalsTest, DamagedTotalsAreRestoredOnEveryLevel) {
    const auto right = year.recomputedTotals();
    ASSERT_EQ(year.storedTotals(), right);
    SetNumbers(year, "00015", {0, 999, 1, 998});
    SetNumbers(year, "00009", {0, 0, 0, 0});
    SetNumbers(year, "00003", {0, 5, 5, 0});
    SetNumbers(year, "00014", {250, 13, 0, 263});
    SetNumbers(year, "00012", {0, 0, 700, 12345});
    const RebuildResult r = rebuild();
    EXPECT_TRUE(r.done);
    EXPECT_EQ(r.rewritten, 5);
    EXPECT_EQ(year.storedTotals(), right);  // also checks every closing balance
    EXPECT_EQ(Numbers(year, "00014"), (std::array<double, 4>{250, 0, 0, 250}));
    EXPECT_EQ(rebuild().rewritten, 0);
}

TEST_F(RunningTotalsTest, LinesOfAnotherYearCountForNothing) {
    // An open item carried over keeps its old date.
    ASSERT_NE(PostingEngine(year.session())
                  .post(Movement("20/12/2025", {{"00022", 500, 0}, {"00015", 0, 500}})),
              0);
    const RebuildResult r = rebuild();
    EXPECT_EQ(r.lines, 5);
    EXPECT_EQ(Numbers(year, "00022"), (std::array<double, 4>{0, 0, 40, -40}));
    EXPECT_EQ(Numbers(year, "00021"), (std::array<double, 4>{0, 0, 40, -40}));
}

TEST(RunningTotalsEmptyYear, EveryClosingBalanceIsTheOpeningOne) {
    test::TempDir dir;
    Year year(dir.prefix());
    SetNumbers(year, "00011", {1000, 300, 0, 1300});
    SetNumbers(year, "00008", {-70, 0, 80, -150});
    EXPECT_TRUE(RebuildRunningTotals(year.archives(), "2026").done);
    EXPECT_EQ(Numbers(year, "00011"), (std::array<double, 4>{1000, 0, 0, 1000}));
    EXPECT_EQ(Numbers(year, "00008"), (std::array<double, 4>{-70, 0, 0, -70}));
    EXPECT_TRUE(year.storedTotals().empty());
}

// Once the opening registration is posted its amounts are lines of the year; the totals
// hold only what came after it.
TEST(RunningTotalsOpening, OpeningAmountsLeaveTheBalanceSheetTotals) {
    test::TempDir dir;
    Year year(dir.prefix());
    SetNumbers(year, "00011", {1000, 0, 0, 1000});
    SetNumbers(year, "00013", {-400, 0, 0, -400});
    PostingEngine engine(year.session());
    ASSERT_NE(engine.post(Movement("01/01/2026",
                                   {{"00011", 1000, 0}, {"00013", 0, 400}, {"00014", 0, 600}})),
              0);
    ASSERT_NE(engine.post(Movement("05/01/2026", {{"00011", 200, 0}, {"00015", 0, 200}})), 0);
    SetOpeningPosted(year);
    EXPECT_TRUE(RebuildRunningTotals(year.archives(), "2026").done);
    EXPECT_EQ(Numbers(year, "00011"), (std::array<double, 4>{1000, 200, 0, 1200}));
    EXPECT_EQ(Numbers(year, "00013"), (std::array<double, 4>{-400, 0, 0, -400}));
    EXPECT_EQ(Numbers(year, "00015"), (std::array<double, 4>{0, 0, 200, -200}));
}

// Another station posts all the while: each posting either waits for the rebuild or lands
// before it, so no amount is lost and none counted twice.
TEST(RunningTotalsRace, PostingsMeanwhileAreNeitherLostNorDoubled) {
    test::TempDir dir;
    { Year create(dir.prefix()); }
    test::Child poster([&](test::Child& self) {
        Year other(dir.prefix());
        PostingEngine engine(other.session());
        self.tell("ready");
        for (int i = 1; i <= 150; ++i) {
            if (engine.post(Movement("12/03/2026", {{"00015", i, 0}, {"00020", 0, i}})) == 0) {
                return 1;
            }
        }
        return 0;
    });
    ASSERT_EQ(poster.hear(), "ready");
    Year year(dir.prefix());
    SetNumbers(year, "00015", {0, 0, 0, 0});  // damaged while the posts go on
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(RebuildRunningTotals(year.archives(), "2026").done);
    }
    EXPECT_EQ(poster.wait(), 0);
    // No rebuild after the last posting: what the rebuilds and postings left must agree.
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
    EXPECT_EQ(Numbers(year, "00015")[1], 150 * 151 / 2);
}

TEST(TotalsRebuildScreen, ShowsItsProgressAndCloses) {
    test::TempDir dir;
    Year year(dir.prefix());
    ASSERT_NE(PostingEngine(year.session())
                  .post(Movement("10/03/2026", {{"00015", 100, 0}, {"00020", 0, 100}})),
              0);
    SetNumbers(year, "00015", {0, 1, 1, 0});
    TotalsRebuild screen(year.session());
    std::vector<std::string> shown;
    screen.setRepaint([&] { shown.push_back(screen.form().text(TotalsRebuild::kProgress)); });
    screen.load();
    screen.click(TotalsRebuild::kRun);
    EXPECT_TRUE(screen.closeRequested());
    EXPECT_EQ(screen.form().text(TotalsRebuild::kProgress), "100");
    EXPECT_EQ(shown, std::vector<std::string>{"100"});
    screen.unload();
    EXPECT_EQ(Numbers(year, "00015"), (std::array<double, 4>{0, 100, 0, 100}));
}

}  // namespace
}  // namespace zelvo
