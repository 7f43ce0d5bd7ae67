#include "isam/RecordManager.h"

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <chrono>
#include <thread>

#include <tuple>

#include "support/Child.h"
#include "support/DataPlace.h"
#include "support/FaultVfs.h"

namespace zelvo::isam {
namespace {

using test::Child;

// A small archive: an indexed name (key of 10), a free text, an amount, two counters and an
// array of three texts.
constexpr const char* kDesc = "x10$,$,#,%,&,A3$";

class RecordManagerTest : public ::testing::Test {
  protected:
    std::string file(const std::string& name = "2026ABxx") { return dir.prefix() + name; }

    std::int16_t createAndOpen(const char* desc = kDesc) {
        EXPECT_EQ(rm.VmxCreate(file(), 8, 0, 0, 0, desc), 0);
        std::int16_t h = 0;
        EXPECT_EQ(rm.VmxOpen(file(), 0, 3, h), 0);
        return h;
    }

    Record make(std::int16_t h, const std::string& name, double amount = 0) {
        Record r(*rm.description(h));
        r.setText(1, name);
        r.setText(2, "note " + name);
        r.setNumber(3, amount);
        return r;
    }

    void put(std::int16_t h, const std::string& pk, const std::string& name) {
        ASSERT_EQ(rm.VmxPut(h, pk, make(h, name), mode::kAdd), 0) << pk;
    }

    // Walks key field kf from the start and lists "name/pk" of every record.
    std::vector<std::string> walk(std::int16_t h, std::int16_t kf, std::int16_t operation) {
        std::vector<std::string> out;
        std::string key, kv, pk;
        Record r;
        while (rm.VmxGet(h, kf, operation, key, kv, pk, r) == 0) {
            out.push_back(r.text(1) + "/" + pk);
        }
        return out;
    }

    test::DataPlace dir;
    RecordManager rm;
};

TEST(FieldDescTest, ParsesEveryCodeWithOrWithoutSeparators) {
    struct Case {
        const char* text;
        int count;
        FieldType lastType;
        int lastKey;
        int lastArray;
    };
    const Case cases[] = {
        {"$", 1, FieldType::Text, 0, 0},
        {"x30$,$,$,X16$", 4, FieldType::Text, 16, 0},
        {"#############", 13, FieldType::Double, 0, 0},
        {"&,$", 2, FieldType::Text, 0, 0},
        {"$,$,%", 3, FieldType::Int16, 0, 0},
        {"$,&", 2, FieldType::Int32, 0, 0},
        {"x31$,x32$,A31$", 3, FieldType::TextArray, 0, 31},
        {"$$$x5$", 4, FieldType::Text, 5, 0},
    };
    for (const Case& c : cases) {
        auto d = FieldDesc::parse(c.text);
        ASSERT_TRUE(d) << c.text;
        EXPECT_EQ(d->count(), c.count) << c.text;
        EXPECT_EQ(d->field(c.count).type, c.lastType) << c.text;
        EXPECT_EQ(d->field(c.count).keyLength, c.lastKey) << c.text;
        EXPECT_EQ(d->field(c.count).arrayLength, c.lastArray) << c.text;
    }
    for (const char* bad : {"", ",", "x$", "A$", "x10", "?", "$,y5$"}) {
        EXPECT_FALSE(FieldDesc::parse(bad)) << bad;
    }
    auto pc = FieldDesc::parse(std::string(43, '$'));
    ASSERT_TRUE(pc);
    EXPECT_EQ(pc->count(), 43);
}

TEST_F(RecordManagerTest, EveryFieldCodeRoundTrips) {
    std::int16_t h = createAndOpen();
    Record r(*rm.description(h));
    r.setText(1, "Àbete rosso");
    r.setText(2, std::string(300, 'z'));
    r.setNumber(3, -1234567890123.5);
    r.setNumber(4, -32768);
    r.setNumber(5, 2147483647);
    r.setText(6, 1, "uno");
    r.setText(6, 3, "tre");
    ASSERT_EQ(rm.VmxPut(h, "00051", r, mode::kAdd), 0);

    std::string key = "00051", kv, pk;
    Record got;
    ASSERT_EQ(rm.VmxGet(h, 0, op::kFind, key, kv, pk, got), 0);
    EXPECT_EQ(pk, "00051");
    EXPECT_EQ(got, r);
    EXPECT_EQ(got.text(6, 2), "");
}

TEST_F(RecordManagerTest, IndexOrderFoldsAsciiCaseAndBreaksTiesByPrimaryKey) {
    std::int16_t h = createAndOpen();
    put(h, "5", "abete");
    put(h, "3", "Abete");
    put(h, "9", "ZUCCA");
    put(h, "1", "betulla");
    put(h, "7", "abete");
    put(h, "2", "Acero");
    EXPECT_EQ(walk(h, 1, op::kNext), (std::vector<std::string>{"Abete/3", "abete/5", "abete/7",
                                                               "Acero/2", "betulla/1", "ZUCCA/9"}));
    // The primary key orders as bytes.
    rm.VmxBOF(h, 0);
    EXPECT_EQ(walk(h, 0, op::kNext), (std::vector<std::string>{"betulla/1", "Acero/2", "Abete/3",
                                                               "abete/5", "abete/7", "ZUCCA/9"}));
}

TEST_F(RecordManagerTest, FindTakesTheFirstKeyBeginningWithTheText) {
    std::int16_t h = createAndOpen();
    put(h, "1", "Rossi Mario");
    put(h, "2", "Rossetti");
    put(h, "3", "Bianchi");
    put(h, "4", "Rossi Anna");
    struct Case {
        std::string text;
        std::int16_t status;
        std::string pk;
    };
    const Case cases[] = {
        {"ross", 0, "2"},
        {"ROSSI", 0, "4"},
        {"Rossi M", 0, "1"},
        {"", 0, "3"},
        {"Rossa", 2, ""},
        {"Zeta", 2, ""},
        // The key is 10 characters: a longer text is cut to it, so identity checks are the
        // caller's business.
        {"Rossi Mario e figli", 0, "1"},
        {"Rossi Marco", 2, ""},
    };
    for (const Case& c : cases) {
        std::string key = c.text, kv, pk;
        Record r;
        EXPECT_EQ(rm.VmxGet(h, 1, op::kFind, key, kv, pk, r), c.status) << c.text;
        if (c.status == 0) {
            EXPECT_EQ(pk, c.pk) << c.text;
            EXPECT_EQ(kv, r.text(1).substr(0, 10)) << c.text;
        }
    }
    // Exact primary keys only find themselves or a key they begin.
    std::string key = "3", kv, pk;
    Record r;
    EXPECT_EQ(rm.VmxGet(h, 0, op::kFind, key, kv, pk, r), 0);
    EXPECT_EQ(r.text(1), "Bianchi");
    key = "5";
    EXPECT_EQ(rm.VmxGet(h, 0, op::kFind, key, kv, pk, r), status::kNotFound);
}

TEST_F(RecordManagerTest, NextAndPreviousWalkAcrossDuplicatesAndStopAtBothEnds) {
    std::int16_t h = createAndOpen();
    for (const auto& [pk, name] : std::vector<std::pair<std::string, std::string>>{
             {"a", "mela"}, {"b", "mela"}, {"c", "mela"}, {"d", "pera"}, {"e", "fico"}}) {
        put(h, pk, name);
    }
    std::string key = "mela", kv, pk;
    Record r;
    ASSERT_EQ(rm.VmxGet(h, 1, op::kFind, key, kv, pk, r), 0);
    EXPECT_EQ(pk, "a");
    ASSERT_EQ(rm.VmxGet(h, 1, op::kNext, key, kv, pk, r), 0);
    EXPECT_EQ(pk, "b");
    ASSERT_EQ(rm.VmxGet(h, 1, op::kPrevious, key, kv, pk, r), 0);
    EXPECT_EQ(pk, "a");
    ASSERT_EQ(rm.VmxGet(h, 1, op::kPrevious, key, kv, pk, r), 0);
    EXPECT_EQ(pk, "e");
    EXPECT_EQ(rm.VmxGet(h, 1, op::kPrevious, key, kv, pk, r), status::kBeginningOfIndex);

    rm.VmxBOF(h, 1);
    EXPECT_EQ(walk(h, 1, op::kNext),
              (std::vector<std::string>{"fico/e", "mela/a", "mela/b", "mela/c", "pera/d"}));
    EXPECT_EQ(rm.VmxGet(h, 1, op::kNext, key, kv, pk, r), status::kEndOfIndex);
    // Backwards from the last record.
    EXPECT_EQ(walk(h, 1, op::kPrevious),
              (std::vector<std::string>{"mela/c", "mela/b", "mela/a", "fico/e"}));

    // A failed find leaves the position before the next key: "next" reads it, "previous"
    // the one before (the search windows' previous descriptions).
    key = "n";
    EXPECT_EQ(rm.VmxGet(h, 1, op::kFind, key, kv, pk, r), status::kNotFound);
    ASSERT_EQ(rm.VmxGet(h, 1, op::kNext, key, kv, pk, r), 0);
    EXPECT_EQ(pk, "d");
    key = "n";
    rm.VmxGet(h, 1, op::kFind, key, kv, pk, r);
    ASSERT_EQ(rm.VmxGet(h, 1, op::kPrevious, key, kv, pk, r), 0);
    EXPECT_EQ(pk, "c");
}

TEST_F(RecordManagerTest, WalkStaysCorrectWhileTheCallerRewritesAndDeletes) {
    std::int16_t h = createAndOpen();
    for (int i = 0; i < 20; ++i) {
        put(h, std::to_string(100 + i), "n" + std::to_string(100 + i));
    }
    rm.VmxBOF(h, 1);
    std::string key, kv, pk;
    Record r;
    int seen = 0;
    while (rm.VmxGet(h, 1, op::kNext, key, kv, pk, r) == 0) {
        ++seen;
        r.setNumber(3, 1);
        ASSERT_EQ(rm.VmxPut(h, pk, r, mode::kRewrite), 0);
        if (seen % 3 == 0) {
            ASSERT_EQ(rm.VmxDelete(h, pk), 0);
        }
    }
    EXPECT_EQ(seen, 20);
    std::int64_t n = 0;
    ASSERT_EQ(rm.count(h, n), 0);
    EXPECT_EQ(n, 14);
}

TEST_F(RecordManagerTest, PutModesAndTheirStatuses) {
    std::int16_t h = createAndOpen();
    Record a = make(h, "alfa", 1);
    Record b = make(h, "beta", 2);
    EXPECT_EQ(rm.VmxPut(h, "k", a, mode::kAdd), 0);
    EXPECT_EQ(rm.VmxPut(h, "k", b, mode::kAdd), status::kDuplicateKey);
    EXPECT_EQ(rm.VmxPut(h, "z", b, mode::kRewrite), status::kNoCurrentRecord);
    EXPECT_EQ(rm.VmxPut(h, "k", b, mode::kRewrite), 0);
    EXPECT_EQ(rm.VmxPut(h, "w", a, mode::kWrite), 0);
    EXPECT_EQ(rm.VmxPut(h, "w", b, mode::kWrite), 0);
    EXPECT_EQ(rm.VmxPut(h, "w", b, 3), status::kBadArgument);
    EXPECT_EQ(rm.VmxDelete(h, "nope"), status::kNotFound);

    std::string key = "k", kv, pk;
    Record r;
    ASSERT_EQ(rm.VmxGet(h, 0, op::kFind, key, kv, pk, r), 0);
    EXPECT_EQ(r.text(1), "beta");
    // The old key of a rewritten record no longer finds it.
    key = "alfa";
    EXPECT_EQ(rm.VmxGet(h, 1, op::kFind, key, kv, pk, r), status::kNotFound);
    EXPECT_EQ(r.text(1), "beta");  // a failed read leaves what the last one gave
    EXPECT_EQ(pk, "k");
    std::int64_t n = 0;
    rm.count(h, n);
    EXPECT_EQ(n, 2);
}

TEST_F(RecordManagerTest, NumbersAreAddedInPlaceAndTheirSumsFollow) {
    // name, opening, debit, credit, closing: the running totals of an account.
    std::int16_t h = createAndOpen("x10$,#,#,#,#");
    Record acct(*rm.description(h));
    acct.setText(1, "cassa");
    acct.setNumber(2, 100);
    acct.setNumber(3, 7);
    acct.setNumber(4, 3);
    acct.setNumber(5, 999);  // out of step: the sum must not build on it
    ASSERT_EQ(rm.VmxPut(h, "00001", acct, mode::kAdd), 0);

    RecordManager::NumberChange change;
    change.add = {{3, 50}, {4, 20}};
    change.sums = {{5, {{2, 1}, {3, 1}, {4, -1}}}};
    change.returning = {1, 5};
    Record out;
    ASSERT_EQ(rm.addToNumbers(h, "00001", change, out), 0);
    EXPECT_EQ(out.text(1), "cassa");
    EXPECT_EQ(out.number(5), 100 + 57 - 23);
    ASSERT_EQ(rm.addToNumbers(h, "00001", change, out), 0);

    std::string key = "00001", kv, pk;
    Record r;
    ASSERT_EQ(rm.VmxGet(h, 0, op::kFind, key, kv, pk, r), 0);
    EXPECT_EQ(r.number(3), 107);
    EXPECT_EQ(r.number(4), 43);
    EXPECT_EQ(r.number(5), 164);
    EXPECT_EQ(r.text(1), "cassa");

    EXPECT_EQ(rm.addToNumbers(h, "00002", change, out), status::kNotFound);
    change.add = {{1, 5}};  // a text field
    EXPECT_EQ(rm.addToNumbers(h, "00001", change, out), status::kBadArgument);
    change.add = {{6, 5}};
    EXPECT_EQ(rm.addToNumbers(h, "00001", change, out), status::kBadArgument);
    std::int64_t n = 0;
    rm.count(h, n);
    EXPECT_EQ(n, 1);
}

TEST_F(RecordManagerTest, BadArgumentsReturnAStatusAndNeverCrash) {
    std::int16_t h = createAndOpen();
    std::string key, kv, pk;
    Record r = make(h, "x");
    EXPECT_EQ(rm.VmxGet(999, 1, op::kFind, key, kv, pk, r), status::kBadArgument);
    EXPECT_EQ(rm.VmxGet(h, 2, op::kFind, key, kv, pk, r), status::kBadArgument);  // not indexed
    EXPECT_EQ(rm.VmxGet(h, 7, op::kFind, key, kv, pk, r), status::kBadArgument);
    EXPECT_EQ(rm.VmxGet(h, 1, 3, key, kv, pk, r), status::kBadArgument);
    Record shortRecord(*FieldDesc::parse("x10$,$"));
    EXPECT_EQ(rm.VmxPut(h, "1", shortRecord, mode::kWrite), status::kBadArgument);
    Record wrongType(*FieldDesc::parse("#,$,#,%,&,A3$"));
    EXPECT_EQ(rm.VmxPut(h, "1", wrongType, mode::kWrite), status::kBadArgument);
    EXPECT_EQ(rm.VmxPut(-1, "1", r, mode::kWrite), status::kBadArgument);
    EXPECT_EQ(rm.VmxLock(0, "1"), status::kBadArgument);
    EXPECT_EQ(rm.VmxBOF(h, 2), status::kBadArgument);
    EXPECT_EQ(rm.VmxCreate(file("bad"), 1, 0, 0, 0, "x$"), status::kBadArgument);
    EXPECT_EQ(rm.VmxClose(h), 0);
    EXPECT_EQ(rm.VmxClose(h), status::kBadArgument);
    EXPECT_EQ(rm.VmxFlush(h), status::kBadArgument);
}

TEST_F(RecordManagerTest, OpenOfAMissingArchiveFailsAndCreatesNothing) {
    std::int16_t h = 0;
    EXPECT_EQ(rm.VmxOpen(file("1989ABct"), 0, 3, h), status::kArchiveMissing);
    EXPECT_TRUE(dir.containers().empty());
}

TEST_F(RecordManagerTest, AFileThatIsNoContainerOfOursIsDamagedNotMissing) {
    ZELVO_FOLDER_ONLY("a foreign file in the folder; a server schema is always one of ours");
    std::int16_t h = 0;
    std::FILE* f = std::fopen((file("junk") + ".isd").c_str(), "w");
    std::fputs("not a database at all, just some text that is long enough", f);
    std::fclose(f);
    EXPECT_EQ(rm.VmxOpen(file("junk"), 0, 3, h), status::kCorrupt);
}

TEST_F(RecordManagerTest, CreateReplacesKillRemovesAndReopenSeesIt) {
    std::int16_t h = createAndOpen();
    put(h, "1", "uno");
    rm.VmxClose(h);
    ASSERT_EQ(rm.VmxCreate(file(), 8, 0, 0, 0, "x5$,#"), 0);
    ASSERT_EQ(rm.VmxOpen(file(), 0, 3, h), 0);
    std::int64_t n = -1;
    rm.count(h, n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(rm.description(h)->count(), 2);
    rm.VmxClose(h);

    ASSERT_EQ(rm.VmxKill(file()), 0);
    EXPECT_EQ(rm.VmxOpen(file(), 0, 3, h), status::kArchiveMissing);
    EXPECT_EQ(rm.VmxKill(file()), status::kArchiveMissing);
    EXPECT_FALSE(dir.holds("2026ABxx"));
}

// Archives that share a container: one transaction spans them, kill keeps the others.
class SharedContainerTest : public RecordManagerTest {
  protected:
    SharedContainerTest()
        : shared([](const std::string& f) {
              const size_t slash = f.rfind('/');
              return ArchiveLocation{f.substr(0, slash + 1) + "year.isd", f.substr(slash + 1)};
          }) {}
    RecordManager shared;
};

TEST_F(SharedContainerTest, KillLeavesTheContainerWhileOtherArchivesRemain) {
    ASSERT_EQ(shared.VmxCreate(file("a"), 1, 0, 0, 0, "$"), 0);
    ASSERT_EQ(shared.VmxCreate(file("b"), 1, 0, 0, 0, "$"), 0);
    ASSERT_EQ(shared.VmxKill(file("a")), 0);
    EXPECT_TRUE(dir.holds("year"));
    std::int16_t h = 0;
    EXPECT_EQ(shared.VmxOpen(file("b"), 0, 3, h), 0);
    EXPECT_EQ(shared.VmxOpen(file("a"), 0, 3, h), status::kArchiveMissing);
}

TEST_F(SharedContainerTest, OneTransactionCoversEveryArchiveOfTheContainer) {
    shared.VmxCreate(file("a"), 1, 0, 0, 0, "$");
    shared.VmxCreate(file("b"), 1, 0, 0, 0, "$");
    std::int16_t ha = 0, hb = 0;
    shared.VmxOpen(file("a"), 0, 3, ha);
    shared.VmxOpen(file("b"), 0, 3, hb);
    Record r(*shared.description(ha));
    {
        Transaction tx(shared, ha);
        ASSERT_EQ(tx.status(), 0);
        shared.VmxPut(ha, "1", r, mode::kAdd);
        shared.VmxPut(hb, "1", r, mode::kAdd);
        // Nested guards join the outer one.
        Transaction inner(shared, hb);
        shared.VmxPut(hb, "2", r, mode::kAdd);
        EXPECT_EQ(inner.commit(), 0);
    }  // the outer one is abandoned: nothing stays
    std::int64_t na = -1, nb = -1;
    shared.count(ha, na);
    shared.count(hb, nb);
    EXPECT_EQ(na + nb, 0);
    {
        Transaction tx(shared, ha);
        shared.VmxPut(ha, "1", r, mode::kAdd);
        shared.VmxPut(hb, "1", r, mode::kAdd);
        EXPECT_EQ(tx.commit(), 0);
    }
    shared.count(ha, na);
    shared.count(hb, nb);
    EXPECT_EQ(na + nb, 2);
}

TEST_F(RecordManagerTest, LocksConflictBetweenHandlesOfOneProcess) {
    std::int16_t h1 = createAndOpen();
    std::int16_t h2 = 0;
    ASSERT_EQ(rm.VmxOpen(file(), 0, 3, h2), 0);
    EXPECT_EQ(rm.VmxLock(h1, "mc"), 0);
    EXPECT_EQ(rm.VmxLock(h1, "mc"), 0);  // the holder may ask again
    EXPECT_EQ(rm.VmxLock(h2, "mc"), status::kLocked);
    EXPECT_EQ(rm.VmxLock(h2, "prot1"), 0);
    EXPECT_EQ(rm.VmxUnlock(h1, "mc"), 0);
    EXPECT_EQ(rm.VmxLock(h2, "mc"), 0);
    // Closing a handle frees its locks.
    rm.VmxClose(h2);
    EXPECT_EQ(rm.VmxLock(h1, "prot1"), 0);
}

TEST_F(RecordManagerTest, LocksConflictBetweenProcessesAndDieWithTheirHolder) {
    createAndOpen();
    Child holder([this](Child& self) {
        RecordManager other;
        std::int16_t h = 0;
        if (other.VmxOpen(file(), 0, 3, h) != 0 || other.VmxLock(h, "00051") != 0) {
            self.tell("failed");
            return 1;
        }
        self.tell("locked");
        for (;;) {
            pause();
        }
        return 0;
    });
    ASSERT_EQ(holder.hear(), "locked");
    std::int16_t h = 0;
    ASSERT_EQ(rm.VmxOpen(file(), 0, 3, h), 0);
    EXPECT_EQ(rm.VmxLock(h, "00051"), status::kLocked);
    EXPECT_EQ(rm.VmxLock(h, "00052"), 0);
    holder.kill();
    // A server notices the lost session a moment after the process dies, as the callers'
    // retry loops do; a folder's lock goes with the process itself.
    std::int16_t s = rm.VmxLock(h, "00051");
    for (int i = 0; i < 1000 && s == status::kLocked && dir.onServer(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        s = rm.VmxLock(h, "00051");
    }
    EXPECT_EQ(s, 0);
}

// A child writes 50 records in one transaction and is killed before or after committing.
class CrashTest : public RecordManagerTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CrashTest, AKilledWriterLeavesAllOrNothing) {
    bool commitFirst = GetParam();
    rm.VmxCreate(file(), 8, 0, 0, 0, kDesc);
    Child writer([this, commitFirst](Child& self) {
        RecordManager other;
        std::int16_t h = 0;
        other.VmxOpen(file(), 0, 3, h);
        Transaction tx(other, h);
        for (int i = 0; i < 50; ++i) {
            Record r(*other.description(h));
            r.setText(1, "riga " + std::to_string(i));
            other.VmxPut(h, std::to_string(i), r, mode::kAdd);
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
    std::int16_t h = 0;
    ASSERT_EQ(rm.VmxOpen(file(), 0, 3, h), 0);
    std::int64_t n = -1;
    ASSERT_EQ(rm.count(h, n), 0);
    EXPECT_EQ(n, commitFirst ? 50 : 0);
}

INSTANTIATE_TEST_SUITE_P(BeforeAndAfterCommit, CrashTest, ::testing::Bool());

class FaultTest : public RecordManagerTest,
                  public ::testing::WithParamInterface<std::tuple<int, std::int16_t>> {
  protected:
    void TearDown() override { test::FaultVfs::heal(); }
};

TEST_P(FaultTest, AFailingDiskReachesTheCallerAndLeavesTheArchiveReadable) {
    ZELVO_FOLDER_ONLY("the failing disk is a SQLite file system");
    auto [sqliteError, expected] = GetParam();
    test::FaultVfs::install();
    RecordManager faulty(SeparateContainers, {test::FaultVfs::name()});
    ASSERT_EQ(faulty.VmxCreate(file(), 8, 0, 0, 0, kDesc), 0);
    std::int16_t h = 0;
    ASSERT_EQ(faulty.VmxOpen(file(), 0, 3, h), 0);
    Record r(*faulty.description(h));
    r.setText(1, "prima");
    ASSERT_EQ(faulty.VmxPut(h, "1", r, mode::kAdd), 0);

    test::FaultVfs::failAfter(0, sqliteError);
    r.setText(2, std::string(20000, 'x'));
    EXPECT_EQ(faulty.VmxPut(h, "2", r, mode::kAdd), expected);
    {
        Transaction tx(faulty, h);
        faulty.VmxPut(h, "3", r, mode::kAdd);
        EXPECT_EQ(tx.commit(), expected);
    }
    test::FaultVfs::heal();

    RecordManager reader;
    std::int16_t rh = 0;
    ASSERT_EQ(reader.VmxOpen(file(), 0, 3, rh), 0);
    std::string key = "1", kv, pk;
    Record got;
    EXPECT_EQ(reader.VmxGet(rh, 0, op::kFind, key, kv, pk, got), 0);
    EXPECT_EQ(got.text(1), "prima");
    std::int64_t n = 0;
    reader.count(rh, n);
    EXPECT_EQ(n, 1);
    // And the station that saw the failure writes again once the disk is back.
    EXPECT_EQ(faulty.VmxPut(h, "4", r, mode::kAdd), 0);
}

INSTANTIATE_TEST_SUITE_P(FullAndBroken, FaultTest,
                         ::testing::Values(std::make_tuple(SQLITE_FULL, status::kDiskFull),
                                           std::make_tuple(SQLITE_IOERR_WRITE, status::kIoError)));

TEST_F(RecordManagerTest, IndexToolsFindAndMendStaleKeysAndRepairIntoAFreshContainer) {
    ZELVO_FOLDER_ONLY("the keys are damaged inside the container file");
    std::int16_t h = createAndOpen();
    for (int i = 0; i < 30; ++i) {
        put(h, std::to_string(i), "nome " + std::to_string(i));
    }
    rm.VmxClose(h);
    std::string msg;
    EXPECT_EQ(rm.VTVal(file(), msg, 0, 0), 0) << msg;

    // Damage the key column behind the record manager's back.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((file() + ".isd").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE \"2026ABxx\" SET k1 = 'zzz' WHERE pk = '7'", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(rm.VTVal(file(), msg, 0, 0), status::kCorrupt);
    EXPECT_EQ(rm.VTRebuild(file(), msg, 0, 0, 0), 0) << msg;
    EXPECT_EQ(rm.VTVal(file(), msg, 0, 0), 0) << msg;

    EXPECT_EQ(rm.VTRepair("Grp=" + file() + ".isd", msg, 0, 0), 0) << msg;
    EXPECT_EQ(msg, "Archivi recuperati: 1, record: 30");
    ASSERT_EQ(rm.VmxOpen(file(), 0, 3, h), 0);
    std::string key = "nome 7", kv, pk;
    Record r;
    EXPECT_EQ(rm.VmxGet(h, 1, op::kFind, key, kv, pk, r), 0);
    EXPECT_EQ(pk, "7");
    EXPECT_EQ(rm.VTRepair("nonsense", msg, 0, 0), status::kBadArgument);
    EXPECT_EQ(rm.VTVal(file("none"), msg, 0, 0), status::kArchiveMissing);
}

TEST_F(RecordManagerTest, ASnapshotSeesOneStateWhileAnotherStationWrites) {
    std::int16_t h = createAndOpen();
    put(h, "1", "uno");
    RecordManager other;
    std::int16_t oh = 0;
    ASSERT_EQ(other.VmxOpen(file(), 0, 3, oh), 0);
    std::int64_t n = 0;
    {
        Snapshot snapshot(rm, h);
        Record r(*other.description(oh));
        r.setText(1, "due");
        ASSERT_EQ(other.VmxPut(oh, "2", r, mode::kAdd), 0);
        rm.count(h, n);
        EXPECT_EQ(n, 1);
        // A write begun inside it ends the snapshot and sees the other station's record.
        Transaction tx(rm, h);
        ASSERT_EQ(tx.status(), 0);
        EXPECT_EQ(rm.VmxPut(h, "2", make(h, "doppio"), mode::kAdd), status::kDuplicateKey);
        EXPECT_EQ(rm.VmxPut(h, "3", make(h, "tre"), mode::kAdd), 0);
        EXPECT_EQ(tx.commit(), 0);
    }
    rm.count(h, n);
    EXPECT_EQ(n, 3);
}

TEST_F(RecordManagerTest, ARewriteKeepsKeysAndFieldsTogetherWhenAnotherStationRenamedTheRecord) {
    std::int16_t h = createAndOpen();
    put(h, "1", "uno");
    std::string key = "1", kv, pk;
    Record mine;
    ASSERT_EQ(rm.VmxGet(h, 0, op::kFind, key, kv, pk, mine), 0);
    // Another station renames the record after this one read it.
    RecordManager other;
    std::int16_t oh = 0;
    ASSERT_EQ(other.VmxOpen(file(), 0, 3, oh), 0);
    ASSERT_EQ(other.VmxPut(oh, "1", make(oh, "rinominato"), mode::kRewrite), 0);
    // This station rewrites the fields it read, keys unchanged as far as it knows.
    mine.setNumber(3, 42);
    ASSERT_EQ(rm.VmxPut(h, "1", mine, mode::kRewrite), 0);
    key = "uno";
    Record got;
    ASSERT_EQ(rm.VmxGet(h, 1, op::kFind, key, kv, pk, got), 0);
    EXPECT_EQ(got.number(3), 42);
    key = "rinominato";
    EXPECT_EQ(rm.VmxGet(h, 1, op::kFind, key, kv, pk, got), status::kNotFound);
    rm.VmxClose(h);
    other.VmxClose(oh);
    std::string message;
    EXPECT_EQ(rm.VTVal(file(), message, 0, 0), 0) << message;
}

TEST_F(RecordManagerTest, AScanReadsTheKeyOrderFromAKeyOnAndStopsWhenAsked) {
    std::int16_t h = createAndOpen();
    for (const auto& [pk, name] : std::vector<std::pair<std::string, std::string>>{
             {"a", "mela"}, {"b", "Mela"}, {"c", "pera"}, {"d", "fico"}, {"e", "uva"}}) {
        put(h, pk, name);
    }
    auto scanned = [&](std::int16_t kf, const std::string& from, size_t stopAfter) {
        std::vector<std::string> seen;
        EXPECT_EQ(rm.scan(h, kf, from,
                          [&](const std::string& pk, const Record& r) {
                              seen.push_back(r.text(1) + "/" + pk);
                              return seen.size() < stopAfter;
                          }),
                  0);
        return seen;
    };
    EXPECT_EQ(scanned(1, "", 99),
              (std::vector<std::string>{"fico/d", "mela/a", "Mela/b", "pera/c", "uva/e"}));
    EXPECT_EQ(scanned(1, "MELA", 2), (std::vector<std::string>{"mela/a", "Mela/b"}));
    EXPECT_EQ(scanned(0, "c", 99), (std::vector<std::string>{"pera/c", "fico/d", "uva/e"}));
    EXPECT_TRUE(scanned(1, "zz", 99).empty());
    EXPECT_EQ(rm.scan(h, 2, "", [](const std::string&, const Record&) { return true; }),
              status::kBadArgument);
}

TEST_F(RecordManagerTest, AFilteredScanKeepsTheKeyOrderAndOnlyTheExactValuesListed) {
    std::int16_t h = createAndOpen();
    for (const auto& [pk, name] : std::vector<std::pair<std::string, std::string>>{
             {"a", "mela"}, {"b", "Mela"}, {"c", "pera"}, {"d", "fico"}, {"e", "uva"}}) {
        put(h, pk, name);
    }
    using Filters = std::vector<RecordManager::ScanFilter>;
    auto scanned = [&](std::int16_t kf, const std::string& from, const Filters& filters) {
        std::vector<std::string> seen;
        const std::int16_t s =
            rm.scan(h, kf, from, filters, [&](const std::string& pk, const Record& r) {
                seen.push_back(r.text(1) + "/" + pk);
                return true;
            });
        return s == 0 ? seen : std::vector<std::string>{"status " + std::to_string(s)};
    };
    // Values compare exactly ("Mela" is not "mela"); the same statement serves other values.
    EXPECT_EQ(scanned(1, "", {{1, {"uva", "mela"}}}),
              (std::vector<std::string>{"mela/a", "uva/e"}));
    EXPECT_EQ(scanned(1, "", {{1, {"fico", "pera"}}}),
              (std::vector<std::string>{"fico/d", "pera/c"}));
    EXPECT_EQ(scanned(1, "n", {{1, {"uva", "mela"}}}), (std::vector<std::string>{"uva/e"}));
    EXPECT_EQ(scanned(0, "", {{1, {"Mela"}}, {1, {"Mela", "pera"}}}),
              (std::vector<std::string>{"Mela/b"}));
    const std::string bad = "status " + std::to_string(status::kBadArgument);
    EXPECT_EQ(scanned(1, "", {{6, {"x"}}}), std::vector<std::string>{bad});
    EXPECT_EQ(scanned(1, "", {{1, {}}}), std::vector<std::string>{bad});
    EXPECT_EQ(scanned(1, "", {{99, {"x"}}}), std::vector<std::string>{bad});
}

}  // namespace
}  // namespace zelvo::isam
