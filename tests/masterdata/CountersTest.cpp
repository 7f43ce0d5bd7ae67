#include "masterdata/Counters.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "ChartFixture.h"
#include "masterdata/ChartRegistration.h"
#include "support/Child.h"

namespace zelvo {
namespace {

using test::ChartFixture;
class CountersTest : public ChartFixture {};

constexpr double kLargest = std::numeric_limits<std::int32_t>::max();

struct Step {
    const char* name;
    double before;  // < 0: no such counter
    std::int32_t number;
    double after;
    const char* report;  // the general box of the archive error report, or none
};

void PrintTo(const Step& s, std::ostream* os) {
    *os << s.name << " " << s.before;
}

class NextNumberTest : public ChartFixture, public ::testing::WithParamInterface<Step> {};

TEST_P(NextNumberTest, TakesTheNextValueOrReportsAndWritesNothing) {
    const Step& s = GetParam();
    if (s.before >= 0) {
        setCounter(s.name, s.before);
    }
    EXPECT_EQ(NextNumber(archives(), s.name), s.number);
    std::vector<std::string> texts;
    for (const auto& b : dialogs.boxes()) {
        texts.push_back(b.text);
    }
    EXPECT_EQ(texts, s.report == nullptr ? std::vector<std::string>{}
                                         : std::vector<std::string>{s.report});
    if (s.before >= 0) {
        EXPECT_EQ(counterValue(s.name), s.after);
        EXPECT_EQ(archives().readBuffer(arc::kPr).text(2), "testo");  // the text stays
    } else {
        EXPECT_EQ(archives().getByKey(arc::kPr, s.name), isam::status::kNotFound);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NextNumberTest,
    ::testing::Values(
        Step{"mc", 0, 1, 1, nullptr}, Step{"conto", 50, 51, 51, nullptr},
        Step{"prot3", kLargest - 1, std::numeric_limits<std::int32_t>::max(), kLargest, nullptr},
        Step{"iv", kLargest, 0, kLargest,
             "Errore: 9\rOperazione: registrazione dati\rArchivio: progressivi\rPosizione: 803"},
        // "conto" exists: a name that merely begins it is another counter.
        Step{"cont", -1, 0, 0,
             "Errore: 2\rOperazione: lettura dati\rArchivio: progressivi\rPosizione: 801"}));

TEST_F(CountersTest, ItemNumbersFollowOneAnotherWithFiveDigits) {
    EXPECT_EQ(NextItemNumber(archives()), "00051");
    EXPECT_EQ(NextItemNumber(archives()), "00052");
    EXPECT_EQ(counterValue("conto"), 52);
    setCounter("conto", 99999);
    EXPECT_EQ(NextItemNumber(archives()), "100000");
    EXPECT_TRUE(dialogs.events().empty());
}

TEST_F(CountersTest, LockedNumberLandsWithTheCallersRegistration) {
    {
        Registration outer(archives(), arc::kPc);
        EXPECT_EQ(NextLockedNumber(archives(), "conto"), 51);
        // Given up: the number is given back with everything else the caller wrote.
    }
    EXPECT_EQ(counterValue("conto"), 50);
    {
        Registration outer(archives(), arc::kPc);
        EXPECT_EQ(NextLockedNumber(archives(), "conto"), 51);
        EXPECT_EQ(outer.commit(), 0);
    }
    EXPECT_EQ(counterValue("conto"), 51);
    // The lock went with the number: another station takes the next one at once.
    isam::RecordManager station(Catalog::locate);
    ScriptedDialogs quiet;
    Archives other(station, quiet);
    other.setDataDirectory(dir.prefix());
    other.setCompany("AB");
    other.setYear("2026");
    ASSERT_TRUE(other.open(arc::kPr));
    EXPECT_EQ(other.lock(arc::kPr, "conto"), 0);
}

TEST_F(CountersTest, StationsRegisteringAtOnceNeverShareAnItemNumber) {
    constexpr int kStations = 2;
    constexpr int kEach = 25;
    std::vector<std::unique_ptr<test::Child>> children;
    for (int station = 0; station < kStations; ++station) {
        children.push_back(std::make_unique<test::Child>([this, station](test::Child&) {
            ScriptedDialogs d;
            FixedClock c("15/03/2026");
            Session s(d, c);
            s.setDataDirectory(dir.prefix());
            s.chooseCompany("AB", "Azienda di prova", "2026");
            for (int archive : {arc::kPr, arc::kPc}) {
                s.archives().open(archive);
            }
            ChartRegistration screen(s);
            screen.load();
            for (int i = 0; i < kEach; ++i) {
                // Mastri, so that the stations' items need nothing of each other.
                screen.form().input("text1",
                                    "Mastro " + std::to_string(station) + "-" + std::to_string(i));
                screen.click("Command1");
                // Between registrations the other station's number comes in too.
                NextItemNumber(s.archives());
            }
            return d.events().empty() ? 0 : 1;
        }));
    }
    for (auto& child : children) {
        EXPECT_EQ(child->wait(), 0);
    }
    // A number taken twice would have failed a registration (the item is added, never
    // replaced) or left a counter short of the numbers handed out.
    EXPECT_EQ(counterValue("conto"), 50 + 2 * kStations * kEach);
    EXPECT_EQ(count(arc::kPc), 22 + kStations * kEach);
    std::set<std::string> descriptions;
    archives().bof(arc::kPc, 0);
    while (archives().get(arc::kPc, 0, isam::op::kNext, "") == 0) {
        descriptions.insert(archives().readBuffer(arc::kPc).text(chart::kDescription));
    }
    EXPECT_EQ(descriptions.size(), 22U + kStations * kEach);
}

}  // namespace
}  // namespace zelvo
