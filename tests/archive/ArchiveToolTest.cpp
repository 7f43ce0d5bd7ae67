#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

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
    std::ofstream(input) << "mc\t100\t\nconto\t50\t\nregia1\t0\t03\n";
    const std::string tool = ZELVO_ARCHIVE_TOOL;
    int rc = -1;
    run(tool + " load " + dir.prefix() + " 2026ABpr " + input, rc);
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(run(tool + " dump " + dir.prefix() + " 2026ABpr", rc),
              "conto\t50\t\nmc\t100\t\nregia1\t0\t03\n");
    EXPECT_EQ(rc, 0);

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

}  // namespace
}  // namespace zelvo
