#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "archive/Archives.h"
#include "duedates/DueDateFields.h"
#include "masterdata/ChartFields.h"
#include "posting/JournalFields.h"
#include "posting/PostingScreens.h"
#include "posting/RevisionChooser.h"
#include "posting/YearFixture.h"
#include "session/ScreenRegistry.h"
#include "support/TempDir.h"
#include "tools/bench/BookCheck.h"
#include "tools/bench/YearGenerator.h"

namespace zelvo {
namespace {

namespace fs = std::filesystem;

// A generated year, made once: every case damages a copy of it.
class Books {
  public:
    static const std::string& dir() {
        static test::TempDir made;
        static const bool ok = [] {
            std::string error;
            const bool generated =
                bench::GenerateDataDirectory(made.prefix(), "2026", 1000, 3, error);
            EXPECT_TRUE(generated) << error;
            return generated;
        }();
        EXPECT_TRUE(ok);
        static const std::string prefix = made.prefix();
        return prefix;
    }
};

// A fault done to the books, and what the check must find.
struct Damage {
    const char* name;
    std::function<void(Archives&)> act;
    std::int64_t bench::BookFindings::*finding;
};

// The first record of an archive, removed.
void RemoveFirst(Archives& a, int archive) {
    ASSERT_TRUE(a.isOpen(archive) || a.open(archive));
    a.bof(archive, 0);
    ASSERT_EQ(a.get(archive, 0, isam::op::kNext, ""), 0);
    ASSERT_EQ(a.remove(archive, a.primaryKey(archive)), 0);
}

void RemoveSecondLine(Archives& a) {
    ASSERT_EQ(a.remove(arc::kMc, "00000002"), 0);
}

void AddToATotal(Archives& a) {
    ASSERT_EQ(a.getByKey(arc::kPc, "00012"), 0);  // "Iva vendite"
    a.copyReadToWrite(arc::kPc);
    isam::Record& r = a.writeBuffer(arc::kPc);
    r.setNumber(chart::kProgressiveDebit, r.number(chart::kProgressiveDebit) + 1);
    r.setNumber(chart::kClosingBalance, r.number(chart::kClosingBalance) + 1);
    ASSERT_EQ(a.put(arc::kPc, "00012", isam::mode::kRewrite), 0);
}

void SkipAProtocol(Archives& a) {
    ASSERT_EQ(a.getByKey(arc::kPr, "prot1"), 0);
    a.copyReadToWrite(arc::kPr);
    a.writeBuffer(arc::kPr).setNumber(prf::kValue, a.readBuffer(arc::kPr).number(prf::kValue) + 1);
    ASSERT_EQ(a.put(arc::kPr, "prot1", isam::mode::kWrite), 0);
}

TEST(BookCheckTest, AGeneratedYearIsWholeAndEveryKindIsChecked) {
    test::Year year(Books::dir());
    const bench::BookFindings f = bench::CheckBooks(year.session(), {});
    EXPECT_TRUE(f.clean()) << (f.notes.empty() ? "" : f.notes.front());
    EXPECT_GT(f.registrations, 150);
}

// The check is only as good as what it finds: each fault, done to a copy of a sound year,
// is found, and where it belongs.
TEST(BookCheckTest, FindsEachFaultDoneToTheBooks) {
    using F = bench::BookFindings;
    const Damage damages[] = {
        {"sales register row", [](Archives& a) { RemoveFirst(a, arc::kIv); }, &F::partial},
        {"purchase register row", [](Archives& a) { RemoveFirst(a, arc::kIa); }, &F::partial},
        {"receipt register row", [](Archives& a) { RemoveFirst(a, arc::kIc); }, &F::partial},
        {"detail row", [](Archives& a) { RemoveFirst(a, arc::kTt); }, &F::partial},
        {"due date", [](Archives& a) { RemoveFirst(a, arc::kSd); }, &F::partial},
        {"line of a registration", RemoveSecondLine, &F::partial},
        {"lost line number", RemoveSecondLine, &F::numbering},
        {"running total", AddToATotal, &F::totalMismatches},
        {"skipped protocol", SkipAProtocol, &F::numbering},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.name);
        test::TempDir dir;
        fs::copy(Books::dir(), dir.path(), fs::copy_options::recursive);
        test::Year year(dir.prefix());
        d.act(year.archives());
        const bench::BookFindings f = bench::CheckBooks(year.session(), {});
        EXPECT_GT(f.*d.finding, 0);
        EXPECT_FALSE(f.clean());
        // The rebuild put the totals right: a second check finds no wrong total.
        EXPECT_EQ(bench::CheckBooks(year.session(), {}).totalMismatches, 0);
    }
}

// A registration removed whole is lost numbers unless its removal was announced.
TEST(BookCheckTest, AnnouncedRemovalsExplainTheirNumbers) {
    test::TempDir dir;
    fs::copy(Books::dir(), dir.path(), fs::copy_options::recursive);
    test::Year year(dir.prefix());
    PostingEngine engine(year.session());
    const auto lines = engine.lines("1");
    ASSERT_FALSE(lines.empty());
    bench::Removals removed;
    const std::string announced = bench::AnnouncementLines(lines);
    {
        test::TempDir notes;
        FILE* f = std::fopen((notes.prefix() + "removals").c_str(), "w");
        std::fputs(announced.c_str(), f);
        std::fclose(f);
        removed = bench::ReadAnnouncements({notes.prefix() + "removals"});
    }
    ASSERT_EQ(removed.lines.size(), lines.size());
    ScreenRegistry screens;
    RegisterPostingScreens(screens);
    RevisionChooser annulment(year.session(), RevisionChooser::Mode::Annul);
    annulment.load();
    annulment.form().input(RevisionChooser::kNumber, "1");
    annulment.leave(RevisionChooser::kNumber);
    year.dialogs.queueAnswer(Answer::Yes);
    annulment.click(RevisionChooser::kConfirm);
    annulment.unload();
    ASSERT_TRUE(engine.lines("1").empty());
    EXPECT_GT(bench::CheckBooks(year.session(), {}).numbering, 0);
    // The invoice's register rows and due dates went with it: nothing else is found.
    EXPECT_TRUE(bench::CheckBooks(year.session(), removed).clean());
}

// The tools themselves, at a size that fits the suite: their verdict is the test's.
std::string RunBench(const std::string& arguments, int& status) {
    const std::string command = std::string(ZELVO_BENCH_TOOL) + " " + arguments + " 2>&1";
    FILE* p = popen(command.c_str(), "r");
    std::string out;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) {
        out.append(buf, n);
    }
    status = pclose(p);
    return out;
}

TEST(ReliabilityToolTest, StationsKilledMidPostingLeaveWholeRegistrations) {
    test::TempDir dir;
    int status = -1;
    const std::string out = RunBench("crash " + dir.prefix() + "books 4 7", status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("4 kills, 0 partial registrations, 0 total mismatches"), std::string::npos)
        << out;
}

TEST(ReliabilityToolTest, FourStationsRevisingEachOtherKeepTheBooksWhole) {
    test::TempDir dir;
    int status = -1;
    const std::string out = RunBench("load " + dir.prefix() + "books 4 20", status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("| Answers no race explains | 0 |"), std::string::npos) << out;
    EXPECT_NE(out.find("| Numbers lost or used twice | 0 |"), std::string::npos) << out;
}

}  // namespace
}  // namespace zelvo
