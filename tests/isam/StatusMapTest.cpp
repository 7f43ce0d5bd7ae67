#include <sqlite3.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>

#include "isam/SqliteUtil.h"
#include "isam/Status.h"
#include "support/DataPlace.h"

namespace zelvo::isam {
namespace {

// What SQLite and the system say, and the status the archive error report then shows: the
// disk statuses must name the disk's real trouble whichever call met it.
class StatusMapTest : public ::testing::TestWithParam<std::tuple<int, int, std::int16_t>> {
  protected:
    void SetUp() override { ZELVO_FOLDER_ONLY("SQLite's errors; the server's have their own map"); }
};

TEST_P(StatusMapTest, SqliteAndSystemErrorsBecomeTheReportedStatus) {
    auto [rc, sysErrno, expected] = GetParam();
    EXPECT_EQ(MapSqliteError(rc, sysErrno), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Disk, StatusMapTest,
    ::testing::Values(std::make_tuple(SQLITE_FULL, 0, status::kDiskFull),
                      std::make_tuple(SQLITE_FULL, ENOSPC, status::kDiskFull),
                      std::make_tuple(SQLITE_IOERR_WRITE, ENOSPC, status::kDiskFull),
                      std::make_tuple(SQLITE_IOERR_SHMSIZE, ENOSPC, status::kDiskFull),
                      std::make_tuple(SQLITE_IOERR_FSYNC, EDQUOT, status::kDiskFull),
                      std::make_tuple(SQLITE_IOERR_WRITE, EIO, status::kIoError),
                      std::make_tuple(SQLITE_IOERR_FSYNC, 0, status::kIoError),
                      std::make_tuple(SQLITE_IOERR_NOMEM, ENOSPC, status::kOutOfMemory),
                      std::make_tuple(SQLITE_NOMEM, 0, status::kOutOfMemory),
                      std::make_tuple(SQLITE_CANTOPEN, EMFILE, status::kTooManyFiles),
                      std::make_tuple(SQLITE_CANTOPEN, EACCES, status::kOsError)));

}  // namespace
}  // namespace zelvo::isam
