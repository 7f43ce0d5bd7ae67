#include "archive/RecordLock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "YearFixture.h"
#include "masterdata/Counters.h"
#include "support/Child.h"

namespace zelvo {
namespace {

using test::Movement;
using test::Year;

class RecordLockTest : public ::testing::Test {
  protected:
    test::DataPlace dir;
    Year year{dir.prefix()};

    // From now on the year's lock file cannot be opened: a station that opens the year
    // afterwards is refused every record lock by the operating system.
    void breakLockFile() {
        const std::string lockFile =
            year.archives().recordManager().locate(year.archives().fileName(arc::kPr)).container +
            "-lck";
        std::filesystem::remove(lockFile);
        ASSERT_TRUE(std::filesystem::create_directory(lockFile));
    }
    double counter(const std::string& name) {
        EXPECT_EQ(year.archives().getByKey(arc::kPr, name), 0);
        return year.archives().readBuffer(arc::kPr).number(prf::kValue);
    }
};

struct Refusal {
    const char* name;
    // What the station without locks tries on registration `reg`; its result must be 0.
    std::function<std::int32_t(Session&, const std::string& reg)> attempt;
    int position;
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class LockRefusedTest : public RecordLockTest, public ::testing::WithParamInterface<Refusal> {
  protected:
    void SetUp() override {
        ZELVO_FOLDER_ONLY("the record locks are taken in a lock file beside the container");
    }
};

TEST_P(LockRefusedTest, NothingIsWrittenAndTheFailureIsReported) {
    PostingEngine engine(year.session());
    const std::string reg =
        std::to_string(engine.post(Movement("10/03/2026", {{"00015", 100, 0}, {"00020", 0, 100}})));
    const auto linesBefore = year.journal();
    const auto totalsBefore = year.storedTotals();
    const double dati = counter("dati");
    breakLockFile();

    Year station(dir.prefix());
    EXPECT_EQ(GetParam().attempt(station.session(), reg), 0);
    EXPECT_EQ(year.journal(), linesBefore);
    EXPECT_EQ(year.storedTotals(), totalsBefore);
    EXPECT_EQ(counter("dati"), dati);
    auto boxes = station.dialogs.boxes();
    ASSERT_EQ(boxes.size(), 2U);
    EXPECT_EQ(boxes[0].text, "ERRORE DOS");
    EXPECT_EQ(boxes[1].text,
              "Errore: 13\rOperazione: registrazione dati\rArchivio: "
              "progressivi\rPosizione: " +
                  std::to_string(GetParam().position));
}

INSTANTIATE_TEST_SUITE_P(
    Writers, LockRefusedTest,
    ::testing::Values(
        Refusal{"Post",
                [](Session& s, const std::string&) {
                    return PostingEngine(s).post(
                        Movement("11/03/2026", {{"00015", 5, 0}, {"00020", 0, 5}}));
                },
                723},
        Refusal{"Replace",
                [](Session& s, const std::string& reg) {
                    PostingEngine e(s);
                    return e.replace(reg, e.lines(reg),
                                     Movement("11/03/2026", {{"00015", 5, 0}, {"00020", 0, 5}}));
                },
                723},
        Refusal{"Remove",
                [](Session& s, const std::string& reg) { return PostingEngine(s).remove(reg); },
                723},
        Refusal{
            "Counter",
            [](Session& s, const std::string&) { return NextLockedNumber(s.archives(), "dati"); },
            counterpos::kLock}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordLockTest, NestedGuardsOfOneStationKeepTheLockUntilTheOutermostEnds) {
    Year other(dir.prefix());
    {
        RecordLock outer(year.archives(), arc::kPr, "mc", 0);
        ASSERT_TRUE(outer.held());
        {
            RecordLock inner(year.archives(), arc::kPr, "mc", 0);
            EXPECT_TRUE(inner.held());
        }
        EXPECT_EQ(other.archives().lock(arc::kPr, "mc"), isam::status::kLocked);
    }
    EXPECT_EQ(other.archives().lock(arc::kPr, "mc"), 0);
    EXPECT_TRUE(year.dialogs.events().empty());
}

TEST_F(RecordLockTest, AWaitForAnotherStationCallsTheHookUntilTheLockIsGranted) {
    // The other station holds its lock on for a while once we are waiting for it.
    test::Child other([this](test::Child& self) {
        Year station(dir.prefix());
        RecordLock held(station.archives(), arc::kPr, "mc", 0);
        self.tell(held.held() ? "locked" : "refused");
        const bool came = self.awaitGo();
        usleep(300000);
        return came ? 0 : 1;
    });
    ASSERT_EQ(other.hear(), "locked");
    std::vector<LockWait> events;
    year.archives().setLockWaitHook([&events, &other](LockWait e) {
        other.go();
        events.push_back(e);
    });
    PostingEngine engine(year.session());
    EXPECT_GT(engine.post(Movement("10/03/2026", {{"00015", 100, 0}, {"00020", 0, 100}})), 0);
    EXPECT_EQ(other.wait(), 0);
    // Called again and again while waiting, then told once that the wait is over.
    ASSERT_FALSE(events.empty());
    EXPECT_GT(std::count(events.begin(), events.end(), LockWait::Waiting), 10);
    EXPECT_EQ(std::count(events.begin(), events.end(), LockWait::Ended), 1);
    EXPECT_EQ(events.back(), LockWait::Ended);
    // A lock nobody holds is taken without a word.
    events.clear();
    EXPECT_GT(engine.post(Movement("10/03/2026", {{"00015", 1, 0}, {"00020", 0, 1}})), 0);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(year.dialogs.events().empty());
}

}  // namespace
}  // namespace zelvo
