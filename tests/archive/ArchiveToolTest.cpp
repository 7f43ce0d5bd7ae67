#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "archive/Archives.h"
#include "archive/RecordText.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

TEST(RecordTextTest, LinesRoundTripEveryFieldKindAndAwkwardText) {
    auto desc = *isam::FieldDesc::parse("x5$,#,%,&,A3$,$");
    isam::Record r(desc);
    r.setText(1, "a\tb\\c");
    r.setNumber(2, 1200);
    r.setNumber(3, -41);
    r.setNumber(4, 70000);
    r.setText(5, 2, "riga\r\nnuova");
    r.setText(6, "città");
    std::string line = RecordToLine(" 17", r);
    EXPECT_EQ(line, " 17\ta\\tb\\\\c\t1200\t-41\t70000\t\triga\\r\\nnuova\t\tcittà");
    std::string pk;
    isam::Record back;
    EXPECT_EQ(LineToRecord(line, desc, pk, back), "");
    EXPECT_EQ(pk, " 17");
    EXPECT_EQ(back, r);

    std::string error;
    EXPECT_EQ(FieldText(r, "5.2", error), "riga\r\nnuova");
    EXPECT_EQ(FieldText(r, "2", error), "1200");
    EXPECT_EQ(ShortestNumber(0.5), "0.5");
    EXPECT_EQ(ShortestNumber(-0.0), "0");
    for (const char* bad : {"0", "7", "5.4", "5", "2.1", "x", ""}) {
        FieldText(r, bad, error);
        EXPECT_FALSE(error.empty()) << bad;
    }
    // Short lines leave the rest empty; bad numbers and extra values are refused.
    EXPECT_EQ(LineToRecord("k\tab", desc, pk, back), "");
    EXPECT_EQ(back.number(2), 0);
    EXPECT_NE(LineToRecord("k\tab\t12x", desc, pk, back), "");
    EXPECT_NE(LineToRecord("k\t\t\t\t\t\t\t\t\t", desc, pk, back), "");
}

struct NumberCase {
    double value;
    const char* text;
};

class ShortestNumberTest : public ::testing::TestWithParam<NumberCase> {};

// Scripts and dumps show numbers as plain digits: a record's 300000 is "300000", never
// "3e+05", and the text reads back as exactly the stored double.
TEST_P(ShortestNumberTest, WritesPlainDigitsThatReadBackExactly) {
    const NumberCase c = GetParam();
    const std::string text = ShortestNumber(c.value);
    EXPECT_EQ(text, c.text);
    double back = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), back);
    EXPECT_EQ(res.ec, std::errc());
    EXPECT_EQ(res.ptr, text.data() + text.size());
    EXPECT_EQ(back, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ShortestNumberTest,
    ::testing::Values(NumberCase{0, "0"}, NumberCase{-0.0, "0"}, NumberCase{1200, "1200"},
                      NumberCase{0.5, "0.5"}, NumberCase{-41, "-41"}, NumberCase{100000, "100000"},
                      NumberCase{300000, "300000"}, NumberCase{-2500000, "-2500000"},
                      NumberCase{1e15, "1000000000000000"},
                      NumberCase{123456789012345, "123456789012345"},
                      NumberCase{999999999999999999.0, "1000000000000000000"},
                      NumberCase{0.1, "0.1"}, NumberCase{1936.27, "1936.27"},
                      NumberCase{-2.5e-3, "-0.0025"}, NumberCase{1e-7, "0.0000001"},
                      NumberCase{1e21, "1000000000000000000000"}));

TEST(ShortestNumberTest, TheWidestDoublesStillComeOutWhole) {
    const std::string huge = ShortestNumber(1.7976931348623157e308);
    EXPECT_EQ(huge.size(), 309u);
    EXPECT_EQ(huge.substr(0, 17), "17976931348623157");
    EXPECT_EQ(huge.find_first_not_of("0123456789"), std::string::npos);
    const std::string tiny = ShortestNumber(-4.9406564584124654e-324);
    EXPECT_EQ(tiny.substr(0, 4), "-0.0");
    EXPECT_EQ(tiny.back(), '5');
    EXPECT_EQ(tiny.find('e'), std::string::npos);
}

std::string run(const std::string& command, int& exitCode) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    char buf[4096];
    size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) {
        out.append(buf, n);
    }
    exitCode = WEXITSTATUS(pclose(p));
    return out;
}

TEST(ArchiveToolTest, LoadThenDumpGivesTheSameLinesAndVerifyFindsDamage) {
    test::TempDir dir;
    {
        ScriptedDialogs d;
        isam::RecordManager rm(Catalog::locate);
        Archives a(rm, d);
        a.setDataDirectory(dir.prefix());
        ASSERT_TRUE(a.create(arc::kPr, "AB", "2026", 1));
        ASSERT_TRUE(a.create(arc::kDataz, "", "", 1));
    }
    std::string input = (dir.path() / "counters.txt").string();
    std::ofstream(input) << "mc\t300000\t\nconto\t50\t\nregia1\t0\t03\n";
    const std::string tool = ZELVO_ARCHIVE_TOOL;
    int rc = -1;
    run(tool + " load " + dir.prefix() + " 2026ABpr " + input, rc);
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(run(tool + " dump " + dir.prefix() + " 2026ABpr", rc),
              "conto\t50\t\nmc\t300000\t\nregia1\t0\t03\n");
    EXPECT_EQ(rc, 0);

    // A directory a newer version wrote into takes no load from this one.
    std::ofstream(dir.path() / "versione") << "999.0\n";
    std::ofstream(input) << "xx\t1\t\n";
    run(tool + " load " + dir.prefix() + " 2026ABpr " + input + " 2>/dev/null", rc);
    EXPECT_EQ(rc, 1);
    std::filesystem::remove(dir.path() / "versione");
    // Into a folder anybody may write, nothing is loaded; the counters stay as they were.
    std::ofstream(input) << "mc\t1\t\n";
    std::filesystem::permissions(dir.path(), std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::add);
    std::string said = run(tool + " load " + dir.prefix() + " 2026ABpr " + input + " 2>&1", rc);
    EXPECT_EQ(rc, 1);
    EXPECT_NE(said.find("può essere modificata da qualunque utente"), std::string::npos) << said;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(run(tool + " dump " + dir.prefix() + " 2026ABpr", rc),
              "conto\t50\t\nmc\t300000\t\nregia1\t0\t03\n");

    // A bad line loads nothing at all.
    std::ofstream(input) << "xx\t1\t\nyy\tmolti\t\n";
    run(tool + " load " + dir.prefix() + " 2026ABpr " + input + " 2>/dev/null", rc);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(run(tool + " dump " + dir.prefix() + " 2026ABpr", rc).find("xx"), std::string::npos);

    EXPECT_EQ(run(tool + " verify " + dir.prefix(), rc),
              "OK archivio 2026ABpr\nOK archivio dataz\n");
    EXPECT_EQ(rc, 0);
    std::ofstream(dir.path() / "rotto.isd") << "questo non è un archivio, solo testo qualunque";
    std::string out = run(tool + " verify " + dir.prefix(), rc);
    EXPECT_NE(out.find("ERRORE 10  su archivio rotto.isd"), std::string::npos) << out;
    EXPECT_EQ(rc, 1);
    run(tool + " dump " + dir.prefix() + " 2026ABmc 2>/dev/null", rc);
    EXPECT_EQ(rc, 1);
    run(tool + " 2>/dev/null", rc);
    EXPECT_EQ(rc, 2);
}

// Everything a directory holds, file by file (the containers' bytes aside): what a failed
// migration must leave as it found.
std::vector<std::string> filesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec)) {
        names.push_back(e.path().lexically_relative(folder).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// An installation of two containers with records, its version mark and last company.
void makeInstallation(const std::string& dir, const std::string& tool) {
    std::filesystem::create_directories(dir);
    {
        ScriptedDialogs d;
        isam::RecordManager rm(Catalog::locate);
        Archives a(rm, d);
        a.setDataDirectory(dir);
        ASSERT_TRUE(a.create(arc::kPr, "AB", "2026", 1));
        ASSERT_TRUE(a.create(arc::kMc, "AB", "2026", 1));
        ASSERT_TRUE(a.create(arc::kDataz, "", "", 1));
    }
    const std::string input = dir + "../righe.txt";
    std::ofstream(input) << "mc\t300000\t\nconto\t50\t\nregia1\t0\t03\n";
    int rc = -1;
    run(tool + " load " + dir + " 2026ABpr " + input, rc);
    ASSERT_EQ(rc, 0);
    std::ofstream(input) << "AB\tAzienda di prova società\t\t\t\t1\t0\t\n";
    run(tool + " load " + dir + " dataz " + input, rc);
    ASSERT_EQ(rc, 0);
    std::ofstream(dir + "versione") << "0.0.1\n";
    std::ofstream(dir + "www") << "Azienda di prova società\n";
}

TEST(ArchiveToolTest, MigrateCopiesAWholeInstallationIntoAnEmptyPlaceOnly) {
    test::TempDir dir;
    const std::string tool = ZELVO_ARCHIVE_TOOL;
    const std::string from = dir.prefix() + "ufficio/";
    makeInstallation(from, tool);
    int rc = -1;
    // The destination is made when missing; its separator may be left out.
    const std::string said = run(tool + " migrate " + from + " " + dir.prefix() + "nuovo", rc);
    ASSERT_EQ(rc, 0) << said;
    EXPECT_EQ(said,
              "2026AB.isd: 2 archivi, 3 record\n"
              "dataz.isd: 1 archivi, 1 record\n"
              "Installazione copiata da " +
                  from + " a " + dir.prefix() +
                  "nuovo/: 2 contenitori, record contati uguali all'origine\n");
    const std::string to = dir.prefix() + "nuovo/";
    for (const char* archive : {"2026ABpr", "2026ABmc", "dataz"}) {
        EXPECT_EQ(run(tool + " dump " + to + " " + archive, rc),
                  run(tool + " dump " + from + " " + archive, rc))
            << archive;
    }
    EXPECT_EQ(test::ReadFile(to + "versione"), "0.0.1\n");
    EXPECT_EQ(test::ReadFile(to + "www"), "Azienda di prova società\n");
    EXPECT_EQ(run(tool + " verify " + to, rc),
              "OK archivio 2026ABmc\nOK archivio 2026ABpr\nOK archivio dataz\n");

    // A place that already holds archives is refused and left alone.
    const std::vector<std::string> before = filesIn(to);
    std::string refused = run(tool + " migrate " + from + " " + to + " 2>&1", rc);
    EXPECT_EQ(rc, 1);
    EXPECT_NE(refused.find("contiene già degli archivi (2026AB.isd): nessun archivio è stato "
                           "scritto"),
              std::string::npos)
        << refused;
    EXPECT_EQ(filesIn(to), before);
    for (const std::string& args :
         {from + " " + from, dir.prefix() + "vuota/ " + dir.prefix() + "altra/",
          from + " postgresql:///nessuno?host=" + dir.prefix() + "senza-server"}) {
        refused = run(tool + " migrate " + args + " 2>&1", rc);
        EXPECT_EQ(rc, 1) << args;
        EXPECT_NE(refused.find("nessun archivio è stato scritto"), std::string::npos) << refused;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "altra"));
    run(tool + " migrate " + from + " 2>/dev/null", rc);
    EXPECT_EQ(rc, 2);
    EXPECT_NE(run(tool + " --help", rc).find("migrate FROM TO"), std::string::npos);
    EXPECT_EQ(rc, 0);
}

// A container that cannot be copied (here one that is not ours, after two good ones) stops
// the migration, and what it had written goes: a folder it made, or the files it put into an
// empty one.
TEST(ArchiveToolTest, AFailedMigrationLeavesTheDestinationAsItWas) {
    test::TempDir dir;
    const std::string tool = ZELVO_ARCHIVE_TOOL;
    const std::string from = dir.prefix() + "ufficio/";
    makeInstallation(from, tool);
    std::ofstream(from + "rotto.isd") << "questo non è un archivio, solo testo qualunque";
    std::filesystem::create_directories(dir.path() / "vuota");
    for (const char* target : {"mancante/", "vuota/"}) {
        int rc = -1;
        const std::string said =
            run(tool + " migrate " + from + " " + dir.prefix() + target + " 2>&1", rc);
        EXPECT_EQ(rc, 1) << target;
        EXPECT_NE(said.find("copia di rotto.isd non riuscita"), std::string::npos) << said;
        EXPECT_NE(said.find("è stato tolto"), std::string::npos) << said;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "mancante"));
    EXPECT_EQ(filesIn(dir.path() / "vuota"), std::vector<std::string>{});
}

}  // namespace
}  // namespace zelvo
