#include "tools/bench/YearGenerator.h"

#include <gtest/gtest.h>

#include <map>

#include "duedates/DueDateFields.h"
#include "posting/JournalFields.h"
#include "posting/YearFixture.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

// The generator posts through the entry screens and stops at the first box; a year it
// produces must be a correct set of books: every day balances, and the chart's running
// totals are the sums of the lines.
TEST(YearGeneratorTest, AGeneratedYearBalancesDayByDayAndMatchesItsRunningTotals) {
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(bench::GenerateDataDirectory(dir.prefix(), "2026", 2500, 11, error)) << error;

    test::Year year(dir.prefix());
    Archives& a = year.archives();
    std::map<std::string, std::pair<double, double>> days;
    std::map<std::string, int> causals;
    std::int64_t lines = 0;
    std::string lastDate;
    a.bof(arc::kMc, 0);
    while (a.get(arc::kMc, 0, isam::op::kNext, "") == 0) {
        const isam::Record& l = a.readBuffer(arc::kMc);
        const std::string date = l.text(mcf::kRegDate);
        // Posted in date order: line numbers never go back in time.
        EXPECT_GE(date, lastDate);
        lastDate = date;
        days[date].first += l.number(mcf::kDebit);
        days[date].second += l.number(mcf::kCredit);
        ++causals[l.text(mcf::kCausal)];
        ++lines;
    }
    EXPECT_GE(lines, 2500);
    EXPECT_LT(lines, 2520);
    double debit = 0;
    double credit = 0;
    for (const auto& [date, sums] : days) {
        EXPECT_EQ(sums.first, sums.second) << date;
        debit += sums.first;
        credit += sums.second;
    }
    EXPECT_EQ(debit, credit);
    EXPECT_GT(debit, 0);
    // Every kind of registration is there, spread over the whole year.
    for (const char* causal : {"fv", "fa", "co", "cv", "ca", "if", "pf", "mg"}) {
        EXPECT_GT(causals[causal], 0) << causal;
    }
    // The collections and payments settle instalments of the invoices, one each (two lines,
    // the money and the partner): some instalments, not all.
    int allSettled = 0;
    for (int archive : {arc::kSd, arc::kSf}) {
        ASSERT_TRUE(a.open(archive));
        int settled = 0;
        int open = 0;
        a.bof(archive, 0);
        while (a.get(archive, 0, isam::op::kNext, "") == 0) {
            ++(a.readBuffer(archive).text(duef::kSettledDate).empty() ? open : settled);
        }
        a.close(archive);
        EXPECT_GT(settled, 0) << archive;
        EXPECT_GT(open, 0) << archive;
        allSettled += settled;
    }
    EXPECT_EQ(allSettled, (causals["if"] + causals["pf"]) / 2);
    EXPECT_EQ(days.begin()->first.substr(0, 6), "202601");
    EXPECT_EQ(days.rbegin()->first.substr(0, 6), "202612");
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
}

// The same seed gives the same year: figures measured on it can be reproduced.
TEST(YearGeneratorTest, TheSameSeedPostsTheSameYear) {
    auto digest = [](const std::string& dir) {
        test::Year year(dir);
        Archives& a = year.archives();
        std::string all;
        a.bof(arc::kMc, 0);
        while (a.get(arc::kMc, 0, isam::op::kNext, "") == 0) {
            const isam::Record& l = a.readBuffer(arc::kMc);
            all += l.text(mcf::kAccount) + "/" + std::to_string(l.number(mcf::kDebit)) + "/" +
                   std::to_string(l.number(mcf::kCredit)) + ";";
        }
        return all;
    };
    test::TempDir one;
    test::TempDir two;
    std::string error;
    ASSERT_TRUE(bench::GenerateDataDirectory(one.prefix(), "2026", 300, 5, error)) << error;
    ASSERT_TRUE(bench::GenerateDataDirectory(two.prefix(), "2026", 300, 5, error)) << error;
    EXPECT_EQ(digest(one.prefix()), digest(two.prefix()));
}

}  // namespace
}  // namespace zelvo
