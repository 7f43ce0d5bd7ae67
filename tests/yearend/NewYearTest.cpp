#include "yearend/NewYear.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "YearendFixture.h"
#include "masterdata/Counters.h"
#include "posting/EuroConversion.h"
#include "support/Child.h"
#include "yearend/NewYearScreen.h"
#include "yearend/OpeningBalances.h"

namespace zelvo {
namespace {

using test::Numbers;
using test::SetNumbers;
using test::Station;
using test::Year;

struct EuroCase {
    double lire;
    double rate;
    double euro;
};

class ToEuroTest : public ::testing::TestWithParam<EuroCase> {};

TEST_P(ToEuroTest, RoundsHalfUpOnTheThirdDecimal) {
    EXPECT_EQ(ToEuro(GetParam().lire, GetParam().rate), GetParam().euro);
}

INSTANTIATE_TEST_SUITE_P(Amounts, ToEuroTest,
                         ::testing::Values(EuroCase{1000, 2000, 0.5}, EuroCase{1234, 2000, 0.62},
                                           EuroCase{-1234, 2000, -0.62}, EuroCase{1, 3, 0.33},
                                           EuroCase{2, 3, 0.67}, EuroCase{5, 1000, 0.01},
                                           EuroCase{4, 1000, 0}, EuroCase{4999, 1000000, 0},
                                           EuroCase{1000, 0, 1000},
                                           EuroCase{1936270, 1936.27, 1000},
                                           EuroCase{0, 1936.27, 0}));

// Reads the fields of an item of another year.
isam::Record ItemOf(Station& s, const std::string& item) {
    EXPECT_EQ(s.archives().getByKey(arc::kPc, item), 0) << item;
    return s.archives().readBuffer(arc::kPc);
}

bool StagingLeft(const std::string& dataDir) {
    for (const auto& e : std::filesystem::directory_iterator(dataDir)) {
        if (e.path().filename().string().rfind(".apertura-", 0) == 0) {
            return true;
        }
    }
    return false;
}

class NewYearTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Archives& a = year.archives();
        ASSERT_NE(PostingEngine(year.session())
                      .post(test::Movement("10/03/2026", {{"00011", 100, 0}, {"00015", 0, 100}})),
                  0);
        ASSERT_EQ(NextItemNumber(a), "00051");
        SetNumbers(a, "00011", {1000, 334, 100, 1234});
        SetNumbers(a, "00013", {0, 0, 1234, -1234});
        SetNumbers(a, "00015", {0, 0, 100, -100});
        ASSERT_EQ(a.getByKey(arc::kPc, "00011"), 0);
        a.copyReadToWrite(arc::kPc);
        isam::Record& r = a.writeBuffer(arc::kPc);
        r.setNumber(36, 5);
        r.setNumber(38, 2000);
        r.setNumber(44, 4000);
        r.setNumber(45, 9);
        r.setText(60, 30, "trenta");
        r.setText(60, 31, "trentuno");
        ASSERT_EQ(a.put(arc::kPc, "00011", isam::mode::kRewrite), 0);
        ASSERT_TRUE(a.open(arc::kFf, 1));
        a.clearWriteBuffer(arc::kFf);
        a.writeBuffer(arc::kFf).setText(1, "Iva acquisti");
        a.writeBuffer(arc::kFf).setNumber(3, 7);
        ASSERT_EQ(a.put(arc::kFf, "00011", isam::mode::kAdd), 0);
        a.close(arc::kFf);
    }

    test::TempDir dir;
    Year year{dir.prefix()};
};

TEST_F(NewYearTest, CarriesTheChartWithBalanceSheetBalances) {
    ASSERT_EQ(OpenNextYear(year.session(), false), YearOpening::Opened);
    EXPECT_TRUE(year.dialogs.events().empty());
    EXPECT_FALSE(StagingLeft(dir.prefix()));
    Station next(dir.prefix(), "2027");
    Archives& a = next.archives();
    EXPECT_EQ(Numbers(a, "00011"), (std::array<double, 4>{1234, 0, 0, 1234}));
    EXPECT_EQ(Numbers(a, "00013"), (std::array<double, 4>{-1234, 0, 0, -1234}));
    EXPECT_EQ(Numbers(a, "00015"), (std::array<double, 4>{0, 0, 0, 0}));  // income: from 0
    const isam::Record item = ItemOf(next, "00011");
    EXPECT_EQ(item.number(36), 0);
    EXPECT_EQ(item.number(38), 2000);
    EXPECT_EQ(item.number(44), 0);
    EXPECT_EQ(item.number(45), 4000);
    EXPECT_EQ(item.text(60, 30), "trenta");
    EXPECT_EQ(item.text(60, 31), "");
    EXPECT_EQ(item.text(chart::kDescription), "Iva acquisti");
    std::int64_t items = 0;
    ASSERT_EQ(a.count(arc::kPc, items), 0);
    EXPECT_EQ(items, 22);
    // Numbering of items goes on; lines and registrations start again.
    ASSERT_EQ(a.getByKey(arc::kPr, "conto"), 0);
    EXPECT_EQ(a.readBuffer(arc::kPr).number(1), 51);
    ASSERT_EQ(a.getByKey(arc::kPr, "mc"), 0);
    EXPECT_EQ(a.readBuffer(arc::kPr).number(1), 0);
    ASSERT_EQ(a.getByKey(arc::kPr, "magaz"), 0);
    EXPECT_EQ(a.readBuffer(arc::kPr).number(1), 1);
    EXPECT_EQ(test::YearFlag(a, yearrec::kIncomeClosed), "");
    std::int64_t lines = -1;
    ASSERT_EQ(a.count(arc::kMc, lines), 0);
    EXPECT_EQ(lines, 0);
    ASSERT_TRUE(a.open(arc::kFf, 1));
    ASSERT_EQ(a.getByKey(arc::kFf, "00011"), 0);
    EXPECT_EQ(a.readBuffer(arc::kFf).number(3), 7);
    EXPECT_EQ(a.readBuffer(arc::kFf).text(1), "");
    ASSERT_TRUE(a.open(arc::kSi, 1));
    EXPECT_EQ(a.getByKey(arc::kSi, "1"), 0);
}

TEST_F(NewYearTest, TheEuroVariantConvertsWhatItCarries) {
    year.session().values().exchangeRate = 2000;
    ASSERT_EQ(OpenNextYear(year.session(), true), YearOpening::Opened);
    Station next(dir.prefix(), "2027");
    EXPECT_EQ(Numbers(next.archives(), "00011"), (std::array<double, 4>{0.62, 0, 0, 0.62}));
    EXPECT_EQ(Numbers(next.archives(), "00013"), (std::array<double, 4>{-0.62, 0, 0, -0.62}));
    const isam::Record item = ItemOf(next, "00011");
    EXPECT_EQ(item.number(38), 1);
    EXPECT_EQ(item.number(45), 2);
    // The old year stays in lire.
    EXPECT_EQ(Numbers(year.archives(), "00011")[3], 1234);
}

TEST_F(NewYearTest, ASecondOpeningIsRefusedAndChangesNothing) {
    ASSERT_EQ(OpenNextYear(year.session(), false), YearOpening::Opened);
    SetNumbers(year.archives(), "00011", {0, 0, 0, 99});
    EXPECT_EQ(OpenNextYear(year.session(), false), YearOpening::AlreadyOpen);
    Station next(dir.prefix(), "2027");
    EXPECT_EQ(Numbers(next.archives(), "00011")[0], 1234);
    EXPECT_FALSE(StagingLeft(dir.prefix()));
}

// Two stations open the same year at the same moment: one year, one refusal.
TEST_F(NewYearTest, OfTwoStationsAtOnceOneOpensAndTheOtherIsRefused) {
    auto station = [&](test::Child& self) {
        Station s(dir.prefix(), "2026");
        self.tell("ready");
        return static_cast<int>(OpenNextYear(s.session(), false));
    };
    test::Child first(station);
    test::Child second(station);
    ASSERT_EQ(first.hear(), "ready");
    ASSERT_EQ(second.hear(), "ready");
    const std::multiset<int> outcomes{first.wait(), second.wait()};
    EXPECT_EQ(outcomes, (std::multiset<int>{static_cast<int>(YearOpening::Opened),
                                            static_cast<int>(YearOpening::AlreadyOpen)}));
    Station next(dir.prefix(), "2027");
    EXPECT_EQ(Numbers(next.archives(), "00011")[0], 1234);
    EXPECT_FALSE(StagingLeft(dir.prefix()));
}

// Late postings of the old year reach the new year's opening balances; the new year's own
// totals stay. The screen's labels are the year_opening script's.
TEST_F(NewYearTest, TheUpdateCarriesLatePostingsOfTheOldYear) {
    ASSERT_EQ(OpenNextYear(year.session(), false), YearOpening::Opened);
    ASSERT_NE(PostingEngine(year.session())
                  .post(test::Movement("30/12/2026", {{"00011", 66, 0}, {"00015", 0, 66}})),
              0);
    Station next(dir.prefix(), "2027");
    ASSERT_NE(PostingEngine(next.session())
                  .post(test::Movement("10/01/2027", {{"00011", 10, 0}, {"00020", 0, 10}})),
              0);
    OpeningBalanceUpdate screen(next.session());
    screen.load();
    screen.click(OpeningBalanceUpdate::kRun);
    EXPECT_TRUE(next.dialogs.events().empty());
    EXPECT_EQ(Numbers(next.archives(), "00011"), (std::array<double, 4>{1300, 10, 0, 1310}));
    EXPECT_EQ(Numbers(next.archives(), "00015")[0], 0);
    EXPECT_EQ(Numbers(next.archives(), "00020"), (std::array<double, 4>{0, 0, 10, -10}));
}

TEST_F(NewYearTest, TheUpdateTellsOfAnItemTheNewYearLacks) {
    ASSERT_EQ(OpenNextYear(year.session(), false), YearOpening::Opened);
    Archives& a = year.archives();
    ASSERT_EQ(a.getByKey(arc::kPc, "00011"), 0);
    a.copyReadToWrite(arc::kPc);
    a.writeBuffer(arc::kPc).setText(chart::kDescription, "Conto nuovo");
    ASSERT_EQ(a.put(arc::kPc, "00051", isam::mode::kAdd), 0);
    Station next(dir.prefix(), "2027");
    EXPECT_EQ(RefreshOpeningBalances(next.session()), 12);  // every balance-sheet item but 00051
    auto boxes = next.dialogs.boxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, "Il conto 00051 non è registrato");
    EXPECT_EQ(boxes[0].title, "ATTENZIONE");
}

// Once the opening registration is posted the update is told and changes nothing. A year
// without a previous one is the year_opening script's.
TEST_F(NewYearTest, TheUpdateIsRefusedOnceTheOpeningRegistrationIsPosted) {
    ASSERT_EQ(OpenNextYear(year.session(), false), YearOpening::Opened);
    SetNumbers(year.archives(), "00011", {0, 0, 0, 5});
    Station station(dir.prefix(), "2027");
    test::SetYearFlag(station.archives(), yearrec::kOpeningPosted, yearrec::kDone);
    const auto before = Numbers(station.archives(), "00011");
    OpeningBalanceUpdate screen(station.session());
    screen.load();
    screen.click(OpeningBalanceUpdate::kRun);
    auto boxes = station.dialogs.boxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, "Operazione non effettuabile. Bilancio apertura già effettuato.");
    EXPECT_EQ(boxes[0].title, "Errore");
    EXPECT_FALSE(screen.closeRequested());
    EXPECT_EQ(Numbers(station.archives(), "00011"), before);
}

}  // namespace
}  // namespace zelvo
