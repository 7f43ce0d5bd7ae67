#include "archive/DataVersion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "archive/Catalog.h"
#include "archive/InstallationNotes.h"
#include "isam/RecordManager.h"

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
    isam::RecordManager rm(Catalog::locate);
    EXPECT_EQ(RecordedDataVersion(rm, dir.prefix()), "");
    EXPECT_EQ(NewerDataVersion(rm, dir.prefix(), "0.1"), "");
    ASSERT_TRUE(MarkDataVersion(rm, dir.prefix(), "0.1"));
    EXPECT_EQ(test::ReadFile(dir.path() / "versione"), "0.1\n");
    ASSERT_TRUE(MarkDataVersion(rm, dir.prefix(), "0.2"));
    EXPECT_EQ(RecordedDataVersion(rm, dir.prefix()), "0.2");
    EXPECT_EQ(NewerDataVersion(rm, dir.prefix(), "0.1"), "0.2");
    EXPECT_EQ(NewerDataVersion(rm, dir.prefix(), "0.2"), "");
    ASSERT_TRUE(MarkDataVersion(rm, dir.prefix(), "0.1"));
    EXPECT_EQ(RecordedDataVersion(rm, dir.prefix()), "0.2");
    // A mark written on another system reads the same.
    std::ofstream(dir.path() / "versione") << "1.4\r\n";
    EXPECT_EQ(NewerDataVersion(rm, dir.prefix(), "1.3.9"), "1.4");
}

TEST(DataVersionTest, AMarkThatCannotBeWrittenIsTold) {
    test::TempDir dir;
    isam::RecordManager rm(Catalog::locate);
    EXPECT_FALSE(MarkDataVersion(rm, dir.prefix() + "missing/", "0.1"));
}

// A server keeps each note as a tiny archive, reached through the record manager alone; the
// same calls work on a folder, where these tests drive them.
TEST(InstallationNotesTest, ANoteArchiveIsMadeOnItsFirstWriteAndRewrittenAfter) {
    test::TempDir dir;
    isam::RecordManager rm(Catalog::locate);
    EXPECT_EQ(ReadServerNote(rm, dir.prefix(), "versione"), "");
    ASSERT_TRUE(WriteServerNote(rm, dir.prefix(), "versione", "0.1"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "versione.isd"));
    ASSERT_TRUE(WriteServerNote(rm, dir.prefix(), "versione", "0.2"));
    ASSERT_TRUE(WriteServerNote(rm, dir.prefix(), "www", "Azienda di prova società"));
    EXPECT_EQ(ReadServerNote(rm, dir.prefix(), "versione"), "0.2");
    EXPECT_EQ(ReadServerNote(rm, dir.prefix(), "www"), "Azienda di prova società");
    EXPECT_FALSE(WriteServerNote(rm, dir.prefix() + "mancante/", "www", "x"));

    for (const auto& [container, note] : std::vector<std::pair<std::string, bool>>{
             {"postgresql:///libri/versione.isd", true},
             {"postgresql:///libri?host=/run/pg/www.isd", true},
             {"postgresql:///libri/2026AB.isd", false},
             {"postgresql:///libri/dataz.isd", false},
             {"/dati/versione.isd", false}}) {
        EXPECT_EQ(IsServerNote(container), note) << container;
    }
}

// The company last worked on: a file in a folder, as ever, read back without its line end.
TEST(InstallationNotesTest, TheLastCompanyIsAFileInAFolder) {
    test::TempDir dir;
    isam::RecordManager rm(Catalog::locate);
    std::string name = "prima";
    EXPECT_FALSE(ReadLastCompany(rm, dir.prefix(), name));
    ASSERT_TRUE(WriteLastCompany(rm, dir.prefix(), "Azienda di prova"));
    EXPECT_EQ(test::ReadFile(dir.path() / "www"), "Azienda di prova\n");
    std::ofstream(dir.path() / "www") << "Rossi & C.\r\naltro\n";
    ASSERT_TRUE(ReadLastCompany(rm, dir.prefix(), name));
    EXPECT_EQ(name, "Rossi & C.");
    EXPECT_EQ(LocalFilesFolder("/dati/"), "/dati/");
    EXPECT_EQ(LocalFilesFolder("postgresql:///libri/").back(), '/');
}

}  // namespace
}  // namespace zelvo
