#include <gtest/gtest.h>

#include "YearFixture.h"
#include "posting/GenericMovement.h"

namespace zelvo {
namespace {

using test::Movement;
using test::Year;

constexpr const char* kChangedElsewhere =
    "La registrazione è stata modificata o annullata da un'altra postazione: la revisione non "
    "è stata registrata.";

// What another station does to registration 1 while this one has its revision open.
struct Interference {
    const char* name;
    std::function<void(Year& other)> act;
};

void PrintTo(const Interference& i, std::ostream* os) {
    *os << i.name;
}

void ReviseElsewhere(Year& other) {
    GenericMovement r(other.session(), GenericMovement::Variant::Revision, "1");
    r.load();
    r.form().input("dare:0", "150");
    r.form().input("avere:1", "150");
    r.click("Command1");
    ASSERT_EQ(r.lastPosted(), 3);
}

void AnnulElsewhere(Year& other) {
    ASSERT_EQ(PostingEngine(other.session()).remove("1"), 2);
}

// A line rewritten in place, the registration keeping its number and lines.
void RewriteALineElsewhere(Year& other) {
    Archives& a = other.archives();
    ASSERT_EQ(a.getByKey(arc::kMc, "00000001"), 0);
    a.copyReadToWrite(arc::kMc);
    a.writeBuffer(arc::kMc).setText(mcf::kDescription, "Movimento corretto");
    ASSERT_EQ(a.put(arc::kMc, "00000001", isam::mode::kRewrite), 0);
}

class RevisionRaceTest : public ::testing::TestWithParam<Interference> {
  protected:
    test::DataPlace dir;
    Year year{dir.prefix()};
};

TEST_P(RevisionRaceTest, TheLaterConfirmPostsNothingAndSaysWhy) {
    ASSERT_EQ(PostingEngine(year.session())
                  .post(Movement("10/03/2026", {{"00015", 100, 0}, {"00020", 0, 100}})),
              1);
    GenericMovement mine(year.session(), GenericMovement::Variant::Revision, "1");
    mine.load();
    ASSERT_EQ(mine.form().text("dare:0"), "100");
    {
        Year other(dir.prefix());
        GetParam().act(other);
        EXPECT_TRUE(other.dialogs.events().empty());
    }
    const auto theirs = year.journal();
    const auto totals = year.storedTotals();

    mine.form().input("dare:0", "200");
    mine.form().input("avere:1", "200");
    mine.click("Command1");
    EXPECT_EQ(mine.lastPosted(), 0);
    auto boxes = year.dialogs.boxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, kChangedElsewhere);
    EXPECT_EQ(boxes[0].title, "Attenzione");
    EXPECT_EQ(boxes[0].icon, Icon::Exclamation);
    // The other station's work stands as it left it.
    EXPECT_EQ(year.journal(), theirs);
    EXPECT_EQ(year.storedTotals(), totals);
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
    // Its lines can never be posted: the revision is over.
    EXPECT_TRUE(mine.closeRequested());
}

INSTANTIATE_TEST_SUITE_P(Stations, RevisionRaceTest,
                         ::testing::Values(Interference{"Revised", ReviseElsewhere},
                                           Interference{"Annulled", AnnulElsewhere},
                                           Interference{"LineRewritten", RewriteALineElsewhere}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RevisionOfNothingTest, ARegistrationGoneBeforeTheScreenOpenedIsNotPostedAgain) {
    test::DataPlace dir;
    Year year(dir.prefix());
    PostingEngine engine(year.session());
    EXPECT_EQ(engine.replace("1", {}, Movement("10/03/2026", {{"00015", 1, 0}, {"00020", 0, 1}})),
              0);
    EXPECT_TRUE(engine.lines("1").empty());
    ASSERT_EQ(year.dialogs.boxes().size(), 1U);
    EXPECT_EQ(year.dialogs.boxes()[0].text, kChangedElsewhere);
}

}  // namespace
}  // namespace zelvo
