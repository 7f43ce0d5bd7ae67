#include "archive/DataVersion.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/TempDir.h"

namespace zelvo {
namespace {

TEST(DataVersionTest, VersionsCompareAsNumbersPartByPart) {
    struct Case {
        const char* a;
        const char* b;
        bool newer;
    };
    const Case cases[] = {
        {"0.10", "0.9", true}, {"0.9", "0.10", false}, {"1.0", "0.99.9", true},
        {"0.1", "0.1", false}, {"0.1.1", "0.1", true}, {"0.1.0", "0.1", false},
        {"2", "10", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NewerVersion(c.a, c.b), c.newer) << c.a << " vs " << c.b;
    }
}

// The mark only ever rises; a directory marked by a newer version is refused and keeps its
// mark.
TEST(DataVersionTest, TheMarkRisesAndANewerOneRefusesTheOlderProgram) {
    test::TempDir dir;
    EXPECT_EQ(RecordedDataVersion(dir.prefix()), "");
    EXPECT_EQ(NewerDataVersion(dir.prefix(), "0.1"), "");
    ASSERT_TRUE(MarkDataVersion(dir.prefix(), "0.1"));
    EXPECT_EQ(test::ReadFile(dir.path() / "versione"), "0.1\n");
    ASSERT_TRUE(MarkDataVersion(dir.prefix(), "0.2"));
    EXPECT_EQ(RecordedDataVersion(dir.prefix()), "0.2");
    EXPECT_EQ(NewerDataVersion(dir.prefix(), "0.1"), "0.2");
    EXPECT_EQ(NewerDataVersion(dir.prefix(), "0.2"), "");
    ASSERT_TRUE(MarkDataVersion(dir.prefix(), "0.1"));
    EXPECT_EQ(RecordedDataVersion(dir.prefix()), "0.2");
    // A mark written on another system reads the same.
    std::ofstream(dir.path() / "versione") << "1.4\r\n";
    EXPECT_EQ(NewerDataVersion(dir.prefix(), "1.3.9"), "1.4");
}

TEST(DataVersionTest, AMarkThatCannotBeWrittenIsTold) {
    test::TempDir dir;
    EXPECT_FALSE(MarkDataVersion(dir.prefix() + "missing/", "0.1"));
}

}  // namespace
}  // namespace zelvo
