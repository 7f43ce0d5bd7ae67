// The text sink's format and the page convention every report relies on.

#include "session/ReportPager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/Utf8.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

TEST(TextReportSinkTest, LinesEndWithLineFeedsAndPagesAreSeparatedByAFormFeedLine) {
    test::TempDir dir;
    const auto path = dir.path() / "out.txt";
    TextReportSink sink(path.string());
    ASSERT_TRUE(sink.open(true, "Courier New", 10));
    sink.line("Pag. 1");
    sink.line("");
    sink.line("  città");
    sink.newPage();
    sink.line("Pag. 2");
    sink.newPage();
    sink.newPage();
    sink.line("Pag. 4");
    sink.close();
    EXPECT_EQ(test::ReadFile(path), "Pag. 1\n\n  città\n\f\nPag. 2\n\f\n\f\nPag. 4\n");

    // A second document in the same file replaces the first.
    ASSERT_TRUE(sink.open(false, "Courier New", 10));
    sink.line("solo");
    sink.close();
    EXPECT_EQ(test::ReadFile(path), "solo\n");
}

TEST(TextReportSinkTest, AFileThatCannotBeWrittenRefusesToOpen) {
    test::TempDir dir;
    TextReportSink sink((dir.path() / "missing" / "out.txt").string());
    EXPECT_FALSE(sink.open(true, "Courier New", 10));
}

TEST(ReportRuleTest, RulesAreNinetySevenCharactersWide) {
    EXPECT_EQ(Rule('-'), std::string(97, '-'));
    const std::string over = OverlineRule();
    EXPECT_EQ(Utf8Length(over), 97);
    EXPECT_EQ(over.substr(0, 2), "\xC2\xAF");
    EXPECT_EQ(over.size(), 194U);
}

// Records what reaches the sink, a page break as "<new page>".
class RecordingSink : public ReportSink {
  public:
    bool open(bool, const std::string&, int) override { return true; }
    void line(const std::string& text) override { events.push_back(text); }
    void newPage() override { events.push_back("<new page>"); }
    void close() override {}
    std::vector<std::string> events;
};

class ReportPagerTest : public ::testing::Test {
  protected:
    // Two heading lines, four lines a page: two one-line units fill a page exactly.
    ReportPager pager(std::string pageEnd = "----") {
        return ReportPager(
            sink, 4,
            [](int page) {
                return std::vector<std::string>{"Pag. " + std::to_string(page), "===="};
            },
            std::move(pageEnd));
    }
    RecordingSink sink;
};

TEST_F(ReportPagerTest, APageExactlyAtTheLimitStaysAndTheNextLineBreaksIt) {
    ReportPager p = pager();
    p.start();
    EXPECT_EQ(p.lines(), 2);
    p.print("a");
    EXPECT_FALSE(p.breakIfFull());
    p.print("b");
    EXPECT_FALSE(p.breakIfFull());  // 4 lines: at the limit, not past it
    p.print("c");
    EXPECT_TRUE(p.breakIfFull());
    EXPECT_EQ(p.page(), 2);
    EXPECT_EQ(p.lines(), 2);  // the heading's line count
    p.print("d");
    EXPECT_FALSE(p.breakIfFull());
    EXPECT_EQ(sink.events, (std::vector<std::string>{"Pag. 1", "====", "a", "b", "c", "----",
                                                     "<new page>", "Pag. 2", "====", "d"}));
}

TEST_F(ReportPagerTest, AUnitIsNeverSplitAndThePageEndIsOptional) {
    ReportPager p = pager("");
    p.start();
    for (const char* unit : {"1", "2", "3"}) {
        p.print(std::string(unit) + " prima riga");
        p.print(std::string(unit) + " seconda riga");
        p.breakIfFull();
    }
    // The second unit runs the first page to five lines before the break.
    EXPECT_EQ(sink.events,
              (std::vector<std::string>{"Pag. 1", "====", "1 prima riga", "1 seconda riga",
                                        "2 prima riga", "2 seconda riga", "<new page>", "Pag. 2",
                                        "====", "3 prima riga", "3 seconda riga"}));
    EXPECT_EQ(p.page(), 2);
    EXPECT_EQ(p.lines(), 4);
}

}  // namespace
}  // namespace zelvo
