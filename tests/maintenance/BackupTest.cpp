#include "maintenance/BackupFile.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "Damage.h"
#include "maintenance/BackupScreens.h"
#include "posting/YearFixture.h"
#include "support/Child.h"

namespace zelvo {
namespace {

namespace fs = std::filesystem;
using maintenance::RestoreBackup;
using maintenance::WriteBackup;
using test::Movement;
using test::Year;

class BackupTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    test::TempDir elsewhere;
    std::unique_ptr<Year> year = std::make_unique<Year>(dir.prefix());

    void post(int registrations, double base = 100) {
        PostingEngine engine(year->session());
        for (int i = 0; i < registrations; ++i) {
            engine.post(Movement("10/03/2026", {{"00015", base + i, 0}, {"00020", 0, base + i}}));
        }
    }
    std::string zip() const { return elsewhere.prefix() + "copia.zip"; }
    isam::RecordManager& rm() { return year->archives().recordManager(); }
    maintenance::BackupResult backup(std::uint64_t volume = 0) {
        return WriteBackup(rm(), dir.prefix(), maintenance::AllContainers(dir.prefix()), zip(),
                           volume);
    }
    maintenance::BackupResult restore() {
        // The restore runs with the archives closed, as its screen leaves them.
        year.reset();
        isam::RecordManager station(Catalog::locate);
        auto result = RestoreBackup(station, zip(), dir.prefix());
        year = std::make_unique<Year>(dir.prefix());
        return result;
    }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        // The journals come and go with the connections; the files themselves must stay.
        for (const auto& e : fs::directory_iterator(dir.path())) {
            std::string name = e.path().filename().string();
            if (name.find('-') == std::string::npos) {
                names.push_back(name);
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(BackupTest, ARestoreBringsBackExactlyWhatTheArchivesHeldAtBackupTime) {
    post(20);
    auto atBackup = test::DumpAll(dir.prefix());
    ASSERT_TRUE(backup().ok);
    post(15, 7000);
    ASSERT_NE(test::DumpAll(dir.prefix()), atBackup);
    ASSERT_TRUE(restore().ok);
    EXPECT_EQ(test::DumpAll(dir.prefix()), atBackup);
}

TEST_F(BackupTest, ALargeBackupOnRemovableDisksIsWrittenInPartsAndReadBackInOrder) {
    post(200);
    auto atBackup = test::DumpAll(dir.prefix());
    ASSERT_TRUE(backup(16 * 1024).ok);
    ASSERT_TRUE(fs::exists(maintenance::VolumePath(zip(), 2)));
    EXPECT_LE(fs::file_size(zip()), 16U * 1024U);
    post(3, 9000);
    ASSERT_TRUE(restore().ok);
    EXPECT_EQ(test::DumpAll(dir.prefix()), atBackup);
}

// A station with a strict umask writes backups and restores the other stations can use too,
// and nobody else can read.
TEST_F(BackupTest, BackupPartsAndRestoredContainersAreForOwnerAndGroupWhateverTheUmask) {
    post(200);
    const mode_t old = ::umask(077);
    ASSERT_TRUE(backup(16 * 1024).ok);
    int parts = 0;
    for (int part = 1; fs::exists(maintenance::VolumePath(zip(), part)); ++part, ++parts) {
        EXPECT_EQ(fs::status(maintenance::VolumePath(zip(), part)).permissions(),
                  static_cast<fs::perms>(0660))
            << part;
    }
    EXPECT_GE(parts, 2);
    ASSERT_TRUE(restore().ok);
    ::umask(old);
    for (const std::string& name : files()) {
        EXPECT_EQ(fs::status(dir.path() / name).permissions(), static_cast<fs::perms>(0660))
            << name;
    }
}

// How a backup file can be spoilt, and what the operator is told.
struct Spoilt {
    const char* name;
    void (*spoil)(const std::string& zip);
    const char* text;
};

void truncateHalf(const std::string& zip) {
    fs::resize_file(zip, fs::file_size(zip) / 2);
}
void flipBytes(const std::string& zip) {
    std::fstream f(zip, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(static_cast<std::streamoff>(fs::file_size(zip) / 3));
    f.write("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
}
void foreignZip(const std::string& zip) {
    for (int part = 2; fs::exists(maintenance::VolumePath(zip, part)); ++part) {
        fs::remove(maintenance::VolumePath(zip, part));
    }
    int error = 0;
    zip_t* z = zip_open(zip.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    static const char text[] = "non sono archivi";
    zip_file_add(z, "dataz.isd", zip_source_buffer(z, text, sizeof text, 0), 0);
    zip_close(z);
}
void notAZip(const std::string& zip) {
    std::ofstream(zip, std::ios::trunc) << "testo qualunque\n";
}
void missingPart(const std::string& zip) {
    fs::remove(maintenance::VolumePath(zip, 2));
}

class SpoiltBackupTest : public BackupTest, public ::testing::WithParamInterface<Spoilt> {};

TEST_P(SpoiltBackupTest, IsRefusedAndTheDataDirectoryStaysAsItWas) {
    post(200);
    ASSERT_TRUE(backup(16 * 1024).ok);
    post(2, 5000);
    GetParam().spoil(zip());
    auto before = test::DumpAll(dir.prefix());
    auto names = files();
    auto result = restore();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.text, GetParam().text);
    EXPECT_EQ(test::DumpAll(dir.prefix()), before);
    EXPECT_EQ(files(), names);  // no work folder left behind either
}

INSTANTIATE_TEST_SUITE_P(
    Files, SpoiltBackupTest,
    ::testing::Values(
        Spoilt{"Truncated", truncateHalf, "Il file di backup è danneggiato o incompleto"},
        Spoilt{"Corrupted", flipBytes, "Il file di backup è danneggiato o incompleto"},
        Spoilt{"Foreign", foreignZip, "Il file scelto non è un backup degli archivi"},
        Spoilt{"NotAZip", notAZip, "Il file di backup è danneggiato o incompleto"},
        Spoilt{"MissingPart", missingPart, "Il file di backup è danneggiato o incompleto"}),
    [](const auto& info) { return std::string(info.param.name); });

// Another station posts all the time; each backup is a snapshot in which every
// registration is whole and the totals equal those the lines add up to.
TEST_F(BackupTest, ABackupTakenWhileAnotherStationPostsIsAConsistentSnapshot) {
    test::Child station([this](test::Child& self) {
        Year y(dir.prefix());
        PostingEngine e(y.session());
        for (int i = 0;; ++i) {
            double amount = 1 + i % 997;
            if (e.post(Movement(
                    "10/03/2026",
                    {{"00015", amount, 0}, {"00020", 0, amount - 1}, {"00022", 0, 1}})) == 0) {
                return 1;
            }
            if (i == 20) {
                self.tell("posting");
            }
        }
    });
    ASSERT_EQ(station.hear(), "posting");
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(backup().ok);
    }
    station.kill();
    test::TempDir restored;
    isam::RecordManager other(Catalog::locate);
    ASSERT_TRUE(RestoreBackup(other, zip(), restored.prefix()).ok);
    Year snapshot(restored.prefix());
    std::map<std::string, double> balance;
    auto journal = snapshot.journal();
    ASSERT_GT(journal.size(), 60U);
    EXPECT_EQ(journal.size() % 3, 0U);
    for (const auto& line : journal) {
        balance[line.text(mcf::kRegNumber)] += line.number(mcf::kDebit) - line.number(mcf::kCredit);
    }
    for (const auto& [registration, sum] : balance) {
        EXPECT_EQ(sum, 0) << registration;
    }
    EXPECT_EQ(snapshot.storedTotals(), snapshot.recomputedTotals());
}

// Another station at work keeps every container of the backup from being replaced under it;
// once it has left (here: killed, as a station that crashed), the restore goes through.
TEST_F(BackupTest, ARestoreIsRefusedWhileAnotherStationHasTheArchivesOpen) {
    post(5);
    const auto atBackup = test::DumpAll(dir.prefix());
    ASSERT_TRUE(backup().ok);
    post(3, 7000);
    const auto beforeRestore = test::DumpAll(dir.prefix());
    // Nothing of this station is open when the other one starts: the archives it holds are
    // its own.
    year.reset();
    test::Child station([this](test::Child& self) {
        Year y(dir.prefix());
        self.tell("at work");
        for (;;) {
            pause();
        }
        return 0;
    });
    ASSERT_EQ(station.hear(), "at work");
    const maintenance::BackupResult refused = restore();
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.text,
              "Gli archivi da ripristinare sono in uso su un'altra postazione: chiudere il "
              "programma sulle altre postazioni e ripetere il ripristino");
    EXPECT_EQ(test::DumpAll(dir.prefix()), beforeRestore);
    station.kill();
    ASSERT_TRUE(restore().ok);
    EXPECT_EQ(test::DumpAll(dir.prefix()), atBackup);
}

TEST(BackupNameTest, ANameOnDriveAIsWrittenInVolumesUnderTheBackupFolder) {
    EXPECT_TRUE(IsRemovableDrive("a:\\copia"));
    EXPECT_TRUE(IsRemovableDrive("A:\\backup archivi Azienda di prova 2026"));
    EXPECT_FALSE(IsRemovableDrive("C:\\copia"));
    EXPECT_FALSE(IsRemovableDrive("copia"));
    EXPECT_EQ(BackupPath("/d/", "A:\\backup archivi Azienda di prova 2026"),
              "/d/backup/backup archivi Azienda di prova 2026.zip");
    EXPECT_EQ(BackupPath("/d/", "C:\\salvataggi\\copia"), "/d/backup/salvataggi/copia.zip");
}

}  // namespace
}  // namespace zelvo
