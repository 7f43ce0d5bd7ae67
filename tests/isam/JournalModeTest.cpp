#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "isam/FileSystemKind.h"
#include "isam/RecordManager.h"
#include "support/Child.h"
#include "support/DataPlace.h"
#include "support/TempDir.h"

namespace zelvo::isam {
namespace {

namespace fs = std::filesystem;
using test::Child;
using test::TempDir;

// How a folder's file system decides the container's journal: a server keeps no journal of
// ours.
constexpr const char* kFolderOnly = "file systems and SQLite journals";

struct MagicCase {
    std::uint32_t magic;
    bool network;
};

class FileSystemMagicTest : public ::testing::TestWithParam<MagicCase> {
  protected:
    void SetUp() override { ZELVO_FOLDER_ONLY(kFolderOnly); }
};

TEST_P(FileSystemMagicTest, SharesAreToldFromLocalDisks) {
    EXPECT_EQ(IsNetworkFileSystem(GetParam().magic), GetParam().network)
        << std::hex << GetParam().magic;
}

INSTANTIATE_TEST_SUITE_P(Magics, FileSystemMagicTest,
                         ::testing::Values(MagicCase{0x6969, true},       // NFS
                                           MagicCase{0x517B, true},       // SMB
                                           MagicCase{0xFE534D42, true},   // SMB2
                                           MagicCase{0xFF534D42, true},   // CIFS
                                           MagicCase{0x01021997, true},   // 9p
                                           MagicCase{0x00C36400, true},   // Ceph
                                           MagicCase{0xEF53, false},      // ext2/3/4
                                           MagicCase{0x01021994, false},  // tmpfs
                                           MagicCase{0x58465342, false},  // XFS
                                           MagicCase{0x9123683E, false},  // Btrfs
                                           MagicCase{0x794C7630, false},  // overlayfs
                                           MagicCase{0x65735546, false},  // FUSE
                                           MagicCase{0, false}));

TEST(FileSystemProbeTest, ATestFolderIsLocalAndAMissingOneCountsAsLocal) {
    ZELVO_FOLDER_ONLY(kFolderOnly);
    TempDir dir;
    EXPECT_EQ(ProbeFileSystemKind(dir.path().string()), FileSystemKind::Local);
    EXPECT_EQ(ProbeFileSystemKind((dir.path() / "non-esiste").string()), FileSystemKind::Local);
}

// The journal mode SQLite keeps in the container file, read through a connection of its own.
std::string journalMode(const std::string& container) {
    sqlite3* db = nullptr;
    std::string mode;
    if (sqlite3_open_v2(container.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW) {
            mode = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        }
        sqlite3_finalize(st);
    }
    sqlite3_close_v2(db);
    return mode;
}

// Stations whose record manager is told that the data directory is local or on a share.
class JournalModeTest : public ::testing::TestWithParam<FileSystemKind> {
  protected:
    void SetUp() override { ZELVO_FOLDER_ONLY(kFolderOnly); }
    RecordManager::Options options(FileSystemKind kind) {
        RecordManager::Options o;
        o.fileSystem = [this, kind](const std::string& folder) {
            asked.push_back(folder);
            return kind;
        };
        return o;
    }
    bool onShare() const { return GetParam() == FileSystemKind::Network; }
    std::string file() const { return dir.prefix() + "2026ABxx"; }
    std::string container() const { return file() + ".isd"; }
    Record named(const RecordManager& rm, std::int16_t h, const std::string& name) {
        Record r(*rm.description(h));
        r.setText(1, name);
        return r;
    }
    std::int64_t count(RecordManager& rm, std::int16_t h) {
        std::int64_t n = -1;
        EXPECT_EQ(rm.count(h, n), 0);
        return n;
    }

    TempDir dir;
    std::vector<std::string> asked;
};

TEST_P(JournalModeTest, TheFolderDecidesTheJournalAndTwoStationsWorkAsEver) {
    RecordManager a(SeparateContainers, options(GetParam()));
    RecordManager b(SeparateContainers, options(GetParam()));
    ASSERT_EQ(a.VmxCreate(file(), 1, 0, 0, 0, "x10$,#"), 0);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(fs::path(asked.front()), dir.path());
    std::int16_t ha = 0, hb = 0;
    ASSERT_EQ(a.VmxOpen(file(), 0, 3, ha), 0);
    ASSERT_EQ(b.VmxOpen(file(), 0, 3, hb), 0);
    EXPECT_EQ(journalMode(container()), onShare() ? "delete" : "wal");

    ASSERT_EQ(a.VmxPut(ha, "1", named(a, ha, "uno"), mode::kAdd), 0);
    {
        Transaction tx(a, ha);
        ASSERT_EQ(tx.status(), 0);
        ASSERT_EQ(a.VmxPut(ha, "2", named(a, ha, "due"), mode::kAdd), 0);
        ASSERT_EQ(a.VmxPut(ha, "3", named(a, ha, "tre"), mode::kAdd), 0);
        EXPECT_EQ(tx.commit(), 0);
    }
    {
        Transaction tx(a, ha);
        ASSERT_EQ(a.VmxPut(ha, "4", named(a, ha, "quattro"), mode::kAdd), 0);
    }  // abandoned: rolled back
    EXPECT_EQ(count(b, hb), 3);
    std::string key = "DU", kv, pk;
    Record r;
    ASSERT_EQ(b.VmxGet(hb, 1, op::kFind, key, kv, pk, r), 0);
    EXPECT_EQ(pk, "2");
    EXPECT_EQ(r.text(1), "due");

    // The other station writes in its turn; record locks still keep the stations apart.
    ASSERT_EQ(b.VmxLock(hb, "2"), 0);
    EXPECT_EQ(a.VmxLock(ha, "2"), status::kLocked);
    ASSERT_EQ(b.VmxPut(hb, "2", named(b, hb, "DUE"), mode::kRewrite), 0);
    ASSERT_EQ(b.VmxUnlock(hb, "2"), 0);
    EXPECT_EQ(a.VmxLock(ha, "2"), 0);
    key = "2";
    ASSERT_EQ(a.VmxGet(ha, 0, op::kFind, key, kv, pk, r), 0);
    EXPECT_EQ(r.text(1), "DUE");
    EXPECT_EQ(a.VmxFlush(ha), 0);

    // A snapshot, then a write of the same station, which ends it.
    {
        Snapshot snapshot(a, ha);
        EXPECT_EQ(count(a, ha), 3);
        Transaction tx(a, ha);
        ASSERT_EQ(tx.status(), 0);
        ASSERT_EQ(a.VmxPut(ha, "5", named(a, ha, "cinque"), mode::kAdd), 0);
        EXPECT_EQ(tx.commit(), 0);
    }
    EXPECT_EQ(count(b, hb), 4);
    // No write-ahead log, and so no shared-memory index, ever appears on a share.
    EXPECT_EQ(fs::exists(container() + "-wal"), !onShare());
    EXPECT_EQ(fs::exists(container() + "-shm"), !onShare());
}

// A writer killed in the middle of a transaction: on a share its rollback journal is left
// hot beside the container, and the next station to open it plays it back.
TEST_P(JournalModeTest, AKilledWriterLeavesAllOrNothing) {
    {
        RecordManager creator(SeparateContainers, options(GetParam()));
        ASSERT_EQ(creator.VmxCreate(file(), 1, 0, 0, 0, "x10$,#"), 0);
    }
    for (bool commitFirst : {false, true}) {
        Child writer([this, commitFirst](Child& self) {
            RecordManager other(SeparateContainers, options(GetParam()));
            std::int16_t h = 0;
            other.VmxOpen(file(), 0, 3, h);
            Transaction tx(other, h);
            for (int i = 0; i < 50; ++i) {
                std::string pk(1, commitFirst ? 'b' : 'a');
                pk += std::to_string(i);
                other.VmxPut(h, pk, named(other, h, "riga"), mode::kAdd);
            }
            if (commitFirst) {
                tx.commit();
            }
            self.tell("written");
            for (;;) {
                pause();
            }
            return 0;
        });
        ASSERT_EQ(writer.hear(), "written");
        writer.kill();
        if (onShare()) {
            EXPECT_EQ(fs::exists(container() + "-journal"), !commitFirst);
        }
        RecordManager rm(SeparateContainers, options(GetParam()));
        std::int16_t h = 0;
        ASSERT_EQ(rm.VmxOpen(file(), 0, 3, h), 0);
        EXPECT_EQ(count(rm, h), commitFirst ? 50 : 0);
    }
}

// On a share a long read holds the container's shared lock: a station that writes meanwhile
// waits for it instead of failing, and the reader keeps seeing one state. (The reader is the
// child: a process must not fork while it has a container open, as SQLite's locks would then
// be wrong in the child.)
TEST_P(JournalModeTest, AWriterWaitsForAnotherStationsSnapshotOrGoesAlongsideIt) {
    using Clock = std::chrono::steady_clock;
    {
        RecordManager creator(SeparateContainers, options(GetParam()));
        ASSERT_EQ(creator.VmxCreate(file(), 1, 0, 0, 0, "x10$,#"), 0);
        std::int16_t h = 0;
        ASSERT_EQ(creator.VmxOpen(file(), 0, 3, h), 0);
        ASSERT_EQ(creator.VmxPut(h, "1", named(creator, h, "uno"), mode::kAdd), 0);
    }
    // The reading lasts from the moment the writer starts, however slow the machine.
    constexpr auto kReading = std::chrono::milliseconds(400);
    Child reader([this, kReading](Child& self) {
        RecordManager other(SeparateContainers, options(GetParam()));
        std::int16_t h = 0;
        std::string container;
        if (other.VmxOpen(file(), 0, 3, h) != 0 || other.beginSnapshot(h, container) != 0) {
            self.tell("failed");
            return 1;
        }
        self.tell("reading " + std::to_string(count(other, h)));
        if (!self.awaitGo()) {
            return 1;
        }
        std::this_thread::sleep_for(kReading);
        self.tell("read " + std::to_string(count(other, h)));
        other.endSnapshot(container);
        return 0;
    });
    ASSERT_EQ(reader.hear(), "reading 1");
    const auto start = Clock::now();
    reader.go();
    RecordManager rm(SeparateContainers, options(GetParam()));
    std::int16_t h = 0;
    ASSERT_EQ(rm.VmxOpen(file(), 0, 3, h), 0);
    {
        Transaction tx(rm, h);
        ASSERT_EQ(tx.status(), 0);
        ASSERT_EQ(rm.VmxPut(h, "2", named(rm, h, "due"), mode::kAdd), 0);
        EXPECT_EQ(tx.commit(), 0);
    }
    const auto waited = Clock::now() - start;
    if (onShare()) {
        EXPECT_GE(waited, kReading / 2);
    }
    EXPECT_EQ(reader.hear(), "read 1");
    EXPECT_EQ(reader.wait(), 0);
    EXPECT_EQ(count(rm, h), 2);
}

INSTANTIATE_TEST_SUITE_P(LocalAndShare, JournalModeTest,
                         ::testing::Values(FileSystemKind::Local, FileSystemKind::Network),
                         [](const ::testing::TestParamInfo<FileSystemKind>& info) {
                             return info.param == FileSystemKind::Local ? "Local" : "Share";
                         });

// A container used on a local disk keeps WAL in its file; moved to a share it is switched
// to the rollback journal at its first opening there, with its records, and back again.
TEST(JournalModeSwitchTest, AContainerMovedBetweenDiskAndShareChangesItsJournal) {
    ZELVO_FOLDER_ONLY(kFolderOnly);
    TempDir dir;
    const std::string file = dir.prefix() + "2026ABxx";
    auto station = [](FileSystemKind kind) {
        RecordManager::Options o;
        o.fileSystem = [kind](const std::string&) { return kind; };
        return o;
    };
    {
        RecordManager local(SeparateContainers, station(FileSystemKind::Local));
        ASSERT_EQ(local.VmxCreate(file, 1, 0, 0, 0, "x10$"), 0);
        std::int16_t h = 0;
        ASSERT_EQ(local.VmxOpen(file, 0, 3, h), 0);
        Record r(*local.description(h));
        r.setText(1, "uno");
        ASSERT_EQ(local.VmxPut(h, "1", r, mode::kAdd), 0);
    }
    EXPECT_EQ(journalMode(file + ".isd"), "wal");
    for (auto [kind, mode] :
         {std::pair{FileSystemKind::Network, "delete"}, std::pair{FileSystemKind::Local, "wal"}}) {
        RecordManager rm(SeparateContainers, station(kind));
        std::int16_t h = 0;
        ASSERT_EQ(rm.VmxOpen(file, 0, 3, h), 0);
        EXPECT_EQ(journalMode(file + ".isd"), mode);
        std::int64_t n = 0;
        rm.count(h, n);
        EXPECT_EQ(n, 1);
    }
}

}  // namespace
}  // namespace zelvo::isam
