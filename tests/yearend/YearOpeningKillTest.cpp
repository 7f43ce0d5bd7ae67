#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <chrono>
#include <filesystem>
#include <thread>

#include "YearendFixture.h"
#include "support/Child.h"
#include "yearend/NewYear.h"

namespace zelvo {
namespace {

using test::Station;

constexpr int kExtraItems = 2000;
constexpr std::int64_t kItems = 22 + kExtraItems;

// A chart large enough for the opening to take a while.
void GrowChart(Archives& a) {
    Registration tx(a, arc::kPc);
    ASSERT_EQ(tx.status(), 0);
    ASSERT_EQ(a.getByKey(arc::kPc, "00011"), 0);
    const isam::Record model = a.readBuffer(arc::kPc);
    for (int i = 0; i < kExtraItems; ++i) {
        a.writeBuffer(arc::kPc) = model;
        a.writeBuffer(arc::kPc).setText(chart::kDescription, "Conto " + std::to_string(i));
        a.writeBuffer(arc::kPc).setNumber(chart::kClosingBalance, i);
        ASSERT_EQ(a.put(arc::kPc, std::to_string(100000 + i), isam::mode::kAdd), 0);
    }
    ASSERT_EQ(tx.commit(), 0);
}

void RemoveYear(const std::string& dataDir, const std::string& stem) {
    for (const auto& e : std::filesystem::directory_iterator(dataDir)) {
        if (e.path().filename().string().rfind(stem, 0) == 0) {
            std::filesystem::remove_all(e.path());
        }
    }
}

// Whether an opening's staging folder is left once another opening has run.
bool StagingLeft(const std::string& dataDir, Session& s) {
    if (OpenNextYear(s, false) == YearOpening::Failed) {
        return true;
    }
    for (const auto& e : std::filesystem::directory_iterator(dataDir)) {
        if (e.path().filename().string().rfind(".apertura-", 0) == 0) {
            return true;
        }
    }
    return false;
}

// Killed at any moment, the opening leaves either the whole year or none of it: never one
// that the selection offers half made or that the next opening refuses.
TEST(YearOpeningKill, AKillLeavesTheWholeYearOrNone) {
    test::TempDir dir;
    {
        test::Year year(dir.prefix());
        GrowChart(year.archives());
    }
    int whole = 0;
    int none = 0;
    // The last opening is left to end, however busy the machine: one whole year at least.
    constexpr int kNoKill = -1;
    for (int delayMs : {0, 20, 60, 150, kNoKill}) {
        test::Child opener([&](test::Child& self) {
            Station s(dir.prefix(), "2026");
            self.tell("go");
            return OpenNextYear(s.session(), false) == YearOpening::Opened ? 0 : 1;
        });
        ASSERT_EQ(opener.hear(), "go");
        if (delayMs == kNoKill) {
            ASSERT_EQ(opener.wait(), 0);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            opener.kill();
        }

        Station s(dir.prefix(), "2026");
        Archives& a = s.archives();
        if (a.exists(a.fileName(arc::kCt, "AB", "2027"))) {
            ++whole;
            Station next(dir.prefix(), "2027");
            std::int64_t items = 0;
            ASSERT_EQ(next.archives().count(arc::kPc, items), 0);
            EXPECT_EQ(items, kItems) << "after " << delayMs << " ms";
            std::int64_t counters = 0;
            ASSERT_EQ(next.archives().count(arc::kPr, counters), 0);
            EXPECT_GT(counters, 60) << "after " << delayMs << " ms";
            EXPECT_EQ(test::Numbers(next.archives(), "101999")[0], 1999);
        } else {
            ++none;
            // Nothing stands in the way of the next attempt.
            ASSERT_EQ(OpenNextYear(s.session(), false), YearOpening::Opened)
                << "after " << delayMs << " ms";
        }
        // What the killed opening left behind went with the next one.
        EXPECT_FALSE(StagingLeft(dir.prefix(), s.session())) << "after " << delayMs << " ms";
        RemoveYear(dir.prefix(), "2027AB");
    }
    EXPECT_GT(none, 0);  // some kills did land in the middle
    EXPECT_GT(whole, 0);
}

// The disk fills in the middle of the opening (a file-size limit makes every write past it
// fail as a full disk does): the failure is reported and no year is left behind.
TEST(YearOpeningKill, AFullDiskLeavesNoYear) {
    test::TempDir dir;
    {
        test::Year year(dir.prefix());
        GrowChart(year.archives());
    }
    test::Child opener([&](test::Child& self) {
        Station s(dir.prefix(), "2026");
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{256 * 1024, 256 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        const YearOpening result = OpenNextYear(s.session(), false);
        self.tell(s.dialogs.boxes().empty() ? "silent" : "reported");
        return result == YearOpening::Failed ? 0 : 1;
    });
    EXPECT_EQ(opener.hear(), "reported");
    EXPECT_EQ(opener.wait(), 0);
    Station s(dir.prefix(), "2026");
    Archives& a = s.archives();
    EXPECT_FALSE(a.exists(a.fileName(arc::kCt, "AB", "2027")));
    EXPECT_FALSE(StagingLeft(dir.prefix(), s.session()));  // and the next opening succeeds
    EXPECT_TRUE(a.exists(a.fileName(arc::kCt, "AB", "2027")));
}

}  // namespace
}  // namespace zelvo
