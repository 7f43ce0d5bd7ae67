#include "posting/PostingEngine.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <random>

#include "YearFixture.h"
#include "support/Child.h"

namespace zelvo {
namespace {

using test::Movement;
using test::Year;

class PostingEngineTest : public ::testing::Test {
  protected:
    test::DataPlace dir;
    Year year{dir.prefix()};
    PostingEngine engine{year.session()};

    void setCounter(const std::string& name, int value) {
        Archives& a = year.archives();
        a.clearWriteBuffer(arc::kPr);
        a.writeBuffer(arc::kPr).setNumber(prf::kValue, value);
        ASSERT_EQ(a.put(arc::kPr, name, isam::mode::kWrite), 0);
    }
};

TEST_F(PostingEngineTest, RegistrationsTakeTheNumberOfTheirFirstLine) {
    setCounter("mc", 99);
    EXPECT_EQ(engine.post(
                  Movement("10/03/2026", {{"00015", 100, 0}, {"00020", 0, 60}, {"00022", 0, 40}})),
              100);
    EXPECT_EQ(
        engine.post(Movement("11/03/2026",
                             {{"00015", 5, 0}, {"00020", 5, 0}, {"00022", 0, 7}, {"00011", 0, 3}})),
        103);
    auto lines = engine.lines("103");
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_EQ(lines[0].key, "00000103");
    EXPECT_EQ(lines[3].key, "00000106");
    const isam::Record& l = lines[1].record;
    EXPECT_EQ(l.text(mcf::kRegDate), "20260311");
    EXPECT_EQ(l.text(mcf::kDocNumber), "000001");
    EXPECT_EQ(l.text(mcf::kAccountDocKey), "0002020260311000001");
    EXPECT_EQ(l.text(mcf::kAccountDateKey), "0002020260311");
    EXPECT_EQ(l.text(mcf::kDateDocKey), "20260311000001");
    EXPECT_EQ(l.text(mcf::kCausal), "mg");
    EXPECT_EQ(engine.lines("10").size(), 0U);  // "100"-"106" are not registration 10
    EXPECT_TRUE(year.dialogs.events().empty());
}

TEST_F(PostingEngineTest, TotalsOfAllThreeLevelsFollowPostingsAndRevisions) {
    engine.post(Movement("10/03/2026", {{"00015", 100, 0}, {"00020", 0, 100}}));
    std::int32_t second = engine.post(Movement("12/03/2026", {{"00011", 70, 0}, {"00022", 0, 70}}));
    JournalEntry revised =
        Movement("12/03/2026", {{"00011", 10, 0}, {"00015", 20, 0}, {"00022", 0, 30}});
    NumberedRecord row{arc::kTt, "dati", year.archives().blankRecord(arc::kTt)};
    revised.detailRows.push_back(row);
    std::int32_t third =
        engine.replace(std::to_string(second), engine.lines(std::to_string(second)), revised);
    EXPECT_GT(third, second);
    EXPECT_TRUE(engine.lines(std::to_string(second)).empty());
    EXPECT_EQ(engine.detailRows(std::to_string(third)).size(), 1U);
    auto stored = year.storedTotals();
    EXPECT_EQ(stored, year.recomputedTotals());
    // Mastro 00002 (Debiti) carries the purchase VAT of the revised registration only.
    EXPECT_EQ(stored["00002"], std::make_pair(10.0, 0.0));
    EXPECT_EQ(stored["00003"], std::make_pair(120.0, 0.0));
}

TEST_F(PostingEngineTest, RemovingARegistrationTakesItOutOfTheTotals) {
    std::int32_t n = engine.post(Movement("10/03/2026", {{"00015", 100, 0}, {"00020", 0, 100}}));
    EXPECT_EQ(engine.remove(std::to_string(n)), 2);
    EXPECT_TRUE(year.storedTotals().empty());
    EXPECT_EQ(engine.remove(std::to_string(n)), 0);
}

// Stations posting at once, or dying while posting, never leave a registration split,
// unbalanced, interleaved with another, or out of the running totals.
void checkJournal(Year& y) {
    Archives& a = y.archives();
    std::map<std::string, std::vector<std::pair<long, isam::Record>>> regs;
    a.bof(arc::kMc, 0);
    while (a.get(arc::kMc, 0, isam::op::kNext, "") == 0) {
        const isam::Record& r = a.readBuffer(arc::kMc);
        regs[r.text(mcf::kRegNumber)].emplace_back(std::stol(a.primaryKey(arc::kMc)), r);
    }
    for (const auto& [number, lines] : regs) {
        double d = 0, c = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].first, std::stol(number) + static_cast<long>(i)) << number;
            d += lines[i].second.number(mcf::kDebit);
            c += lines[i].second.number(mcf::kCredit);
        }
        EXPECT_EQ(d, c) << "registration " << number;
        EXPECT_EQ(lines.size(), 3U) << "registration " << number;
    }
    EXPECT_EQ(y.storedTotals(), y.recomputedTotals());
}

int postForever(const std::string& dataDir, int count, test::Child* tell) {
    Year y(dataDir);
    PostingEngine e(y.session());
    std::mt19937 rng(static_cast<unsigned>(getpid()));
    for (int i = 0; count < 0 || i < count; ++i) {
        double amount = 1 + static_cast<double>(rng() % 1000);
        if (e.post(Movement("10/03/2026",
                            {{"00015", amount, 0}, {"00020", 0, amount - 1}, {"00022", 0, 1}})) ==
            0) {
            return 1;
        }
        if (tell != nullptr && i == 0) {
            tell->tell("posting");
        }
    }
    return y.dialogs.events().empty() ? 0 : 2;
}

TEST_F(PostingEngineTest, FourStationsPostingAtOnceKeepTheJournalWhole) {
    std::vector<std::unique_ptr<test::Child>> stations;
    for (int i = 0; i < 4; ++i) {
        stations.push_back(std::make_unique<test::Child>(
            [this](test::Child&) { return postForever(dir.prefix(), 25, nullptr); }));
    }
    for (auto& s : stations) {
        EXPECT_EQ(s->wait(), 0);
    }
    std::int64_t n = 0;
    year.archives().count(arc::kMc, n);
    EXPECT_EQ(n, 4 * 25 * 3);
    checkJournal(year);
}

TEST_F(PostingEngineTest, AStationKilledWhilePostingLeavesWholeRegistrationsOnly) {
    std::mt19937 rng(20261205);
    for (int round = 0; round < 12; ++round) {
        test::Child station(
            [this](test::Child& self) { return postForever(dir.prefix(), -1, &self); });
        ASSERT_EQ(station.hear(), "posting");
        usleep(1000 + rng() % 20000);
        station.kill();
    }
    checkJournal(year);
    // And the journal goes on after the crashes.
    EXPECT_GT(engine.post(Movement("11/03/2026", {{"00015", 1, 0}, {"00020", 0, 1}})), 0);
}

}  // namespace
}  // namespace zelvo
