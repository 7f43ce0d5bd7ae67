// What only a server does: it may go away in the middle of the work. The operator gets the
// archive error report, nothing partial is left, and the next operation connects again.

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include "YearFixture.h"
#include "isam/RecordManager.h"
#include "isam/ServerLocation.h"
#include "isam/WriteGate.h"
#include "posting/PostingEngine.h"
#include "support/Child.h"
#include "support/DataPlace.h"

namespace zelvo {
namespace {

// Ends every other session on the data directory's database, as a server restart would,
// and returns when they are gone (a termination is only asked for otherwise, and a busy
// machine may let the next statement through first).
void CutEveryStationOff(const std::string& dataDirectory) {
    PGconn* c = PQconnectdb(isam::ServerUri(dataDirectory).c_str());
    ASSERT_EQ(PQstatus(c), CONNECTION_OK) << PQerrorMessage(c);
    PGresult* r = PQexec(c,
                         "SELECT count(pg_terminate_backend(pid, 10000)) FROM pg_stat_activity "
                         "WHERE datname = current_database() AND pid <> pg_backend_pid()");
    EXPECT_EQ(PQresultStatus(r), PGRES_TUPLES_OK) << PQerrorMessage(c);
    PQclear(r);
    PQfinish(c);
}

class ServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!place.onServer()) {
            GTEST_SKIP() << "server data only: a folder has no connection to lose";
        }
    }
    test::DataPlace place;
};

TEST_F(ServerTest, ATransactionCutOffCommitsNothingAndTheNextCallConnectsAgain) {
    isam::RecordManager rm(isam::SeparateContainers);
    const std::string file = place.prefix() + "2026ABxx";
    ASSERT_EQ(rm.VmxCreate(file, 8, 0, 0, 0, "x10$,#"), 0);
    std::int16_t h = 0;
    ASSERT_EQ(rm.VmxOpen(file, 0, 3, h), 0);
    isam::Record r(*rm.description(h));
    r.setText(1, "uno");
    ASSERT_EQ(rm.VmxLock(h, "1"), 0);
    {
        isam::Transaction tx(rm, h);
        ASSERT_EQ(tx.status(), 0);
        ASSERT_EQ(rm.VmxPut(h, "1", r, isam::mode::kAdd), 0);
        CutEveryStationOff(place.prefix());
        EXPECT_EQ(rm.VmxPut(h, "2", r, isam::mode::kAdd), isam::status::kIoError);
        EXPECT_EQ(rm.VmxPut(h, "3", r, isam::mode::kAdd), isam::status::kIoError);
        EXPECT_NE(tx.commit(), 0);
    }
    // Connected again: nothing of the transaction is there, and the lost session's lock died
    // with it, so another station takes it.
    std::string key = "1", kv, pk;
    isam::Record got;
    EXPECT_EQ(rm.VmxGet(h, 0, isam::op::kFind, key, kv, pk, got), isam::status::kNotFound);
    // Its archive still open, the station is present on the server again: no restore takes it.
    isam::ContainerClaim claim;
    EXPECT_FALSE(claim.take(file + ".isd"));
    isam::RecordManager other(isam::SeparateContainers);
    std::int16_t oh = 0;
    ASSERT_EQ(other.VmxOpen(file, 0, 3, oh), 0);
    EXPECT_EQ(other.VmxLock(oh, "1"), 0);
    EXPECT_EQ(rm.VmxPut(h, "4", r, isam::mode::kAdd), 0);
    std::int64_t n = 0;
    EXPECT_EQ(other.count(oh, n), 0);
    EXPECT_EQ(n, 1);
}

TEST_F(ServerTest, ARegistrationCutOffIsReportedAndPostsWhenConfirmedAgain) {
    test::Year year(place.prefix());
    PostingEngine engine(year.session());
    ASSERT_NE(engine.post(test::Movement("10/03/2026", {{"00015", 100, 0}, {"00020", 0, 100}})), 0);
    const auto linesBefore = year.journal();
    const auto totalsBefore = year.storedTotals();
    year.takeBoxes();

    CutEveryStationOff(place.prefix());
    EXPECT_EQ(engine.post(test::Movement("11/03/2026", {{"00015", 50, 0}, {"00020", 0, 50}})), 0);
    const auto boxes = year.takeBoxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().rfind("Errore: 14\r", 0), 0U) << boxes.back();
    EXPECT_EQ(year.journal(), linesBefore);
    EXPECT_EQ(year.storedTotals(), totalsBefore);

    EXPECT_NE(engine.post(test::Movement("11/03/2026", {{"00015", 50, 0}, {"00020", 0, 50}})), 0);
    EXPECT_TRUE(year.takeBoxes().empty());
    EXPECT_EQ(year.journal().size(), linesBefore.size() + 2);
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
}

}  // namespace
}  // namespace zelvo
