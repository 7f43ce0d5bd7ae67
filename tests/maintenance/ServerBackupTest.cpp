#include "maintenance/ServerBackup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "maintenance/BackupFile.h"
#include "maintenance/BackupScreens.h"
#include "posting/YearFixture.h"
#include "support/ArchiveDump.h"
#include "support/DataPlace.h"

namespace zelvo {
namespace {

namespace fs = std::filesystem;
using test::Movement;

// The server's backup and restore, on the test server.
class ServerBackupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!dir.onServer()) {
            GTEST_SKIP() << "server data only: a folder's backup copies files";
        }
        year = std::make_unique<test::Year>(dir.prefix());
    }
    test::DataPlace dir;
    test::TempDir work;
    std::unique_ptr<test::Year> year;

    void post(int registrations, double base) {
        PostingEngine engine(year->session());
        for (int i = 0; i < registrations; ++i) {
            engine.post(Movement("10/03/2026", {{"00015", base + i, 0}, {"00020", 0, base + i}}));
        }
    }
    // Every container copied into the work folder as a backup keeps it.
    std::vector<std::string> copyAll() {
        const std::vector<std::string> names = maintenance::AllContainers(dir.prefix());
        for (const std::string& name : names) {
            EXPECT_TRUE(maintenance::CopyIntoBackupFile(dir.prefix() + name, work.prefix() + name))
                << name;
        }
        return names;
    }
    bool replace(const std::vector<std::string>& names) {
        year.reset();  // the restore runs with the archives closed
        isam::RecordManager station(Catalog::locate);
        const bool ok = maintenance::ReplaceOnServer(station, names, work.prefix(), dir.prefix());
        year = std::make_unique<test::Year>(dir.prefix());
        return ok;
    }
};

// The copies are containers a folder restore accepts, in the rollback journal's format as
// the online backup's, and the restore through the record manager brings back exactly what
// they held.
TEST_F(ServerBackupTest, CopiedContainersAreWholeAndRestoreWhatTheyHeld) {
    post(20, 100);
    const auto atBackup = test::DumpAll(dir.prefix());
    const std::vector<std::string> names = copyAll();
    ASSERT_GE(names.size(), 2U);
    isam::RecordManager checker(Catalog::locate);
    for (const std::string& name : names) {
        std::ifstream in(work.prefix() + name, std::ios::binary);
        char header[20] = {};
        in.read(header, sizeof header);
        EXPECT_EQ(header[18], 1) << name << ": not the rollback journal's format";
        EXPECT_FALSE(fs::exists(work.prefix() + name + "-wal")) << name;
        std::string message;
        EXPECT_EQ(checker.checkContainer(work.prefix() + name, message), 0) << message;
    }
    post(15, 7000);
    ASSERT_NE(test::DumpAll(dir.prefix()), atBackup);
    ASSERT_TRUE(replace(names));
    EXPECT_EQ(test::DumpAll(dir.prefix()), atBackup);
}

// A container of the backup that cannot be copied in (one that is not ours) stops the
// restore, and the containers already replaced get their archives back: the whole
// replacement is one server transaction.
TEST_F(ServerBackupTest, AFailedReplacementPutsEveryContainerBack) {
    post(10, 100);
    std::vector<std::string> names = copyAll();
    post(5, 7000);
    const auto before = test::DumpAll(dir.prefix());
    std::ofstream(work.prefix() + "zz.isd") << "questo non è un archivio, solo testo qualunque";
    names.push_back("zz.isd");
    EXPECT_FALSE(replace(names));
    EXPECT_EQ(test::DumpAll(dir.prefix()), before);
    EXPECT_FALSE(dir.holds("zz"));
}

TEST(ServerBackupPlaceTest, AServerKeepsItsBackupsInTheUsersHome) {
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(BackupPath("postgresql:///contabilita?host=/run/pg/", "A:\\backup archivi AB 2026"),
              std::string(home) + "/Zelvo/backup/backup archivi AB 2026.zip");
    EXPECT_EQ(BackupFolder("/dati/"), "/dati/backup/");
}

}  // namespace
}  // namespace zelvo
