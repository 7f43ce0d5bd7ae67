#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "archive/Archives.h"
#include "support/Child.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

using Kind = ScriptedDialogs::Event::Kind;

TEST(CatalogTest, LocatesEveryArchiveInItsContainer) {
    struct Case {
        const char* file;
        const char* container;
        const char* table;
    };
    const Case cases[] = {
        {"/d/2026ABmc", "/d/2026AB.isd", "2026ABmc"},
        {"/d/1998ABct", "/d/1998AB.isd", "1998ABct"},
        {"/d/2031ZZsf", "/d/2031ZZ.isd", "2031ZZsf"},
        {"/d/2026ABpr", "/d/2026AB.isd", "2026ABpr"},
        {"/d/ABax", "/d/AB.isd", "ABax"},
        {"/d/ACce", "/d/AC.isd", "ACce"},
        {"/d/dataz", "/d/dataz.isd", "dataz"},
        {"/d/civa", "/d/civa.isd", "civa"},
        {"/d/param", "/d/param.isd", "param"},
        {"/d/gg", "/d/gg.isd", "gg"},
        {"/d/cpag", "/d/cpag.isd", "cpag"},
        {"/d/strano", "/d/strano.isd", "strano"},
    };
    for (const Case& c : cases) {
        isam::ArchiveLocation loc = Catalog::locate(c.file);
        EXPECT_EQ(loc.container, c.container) << c.file;
        EXPECT_EQ(loc.table, c.table) << c.file;
    }
    // Every Y and C archive of one company lands in the right container.
    for (const ArchiveInfo& a : Catalog::archives()) {
        std::string file = Catalog::fileName(a, "/d/", "AB", "2026");
        std::string expected = a.form == PathForm::Year      ? "/d/2026AB.isd"
                               : a.form == PathForm::Company ? "/d/AB.isd"
                                                             : "/d/" + std::string(a.stem) + ".isd";
        EXPECT_EQ(Catalog::locate(file).container, expected) << file;
        EXPECT_TRUE(isam::FieldDesc::parse(a.fieldDescription)) << a.stem;
    }
    EXPECT_EQ(Catalog::archives().size(), 20U);
}

TEST(CatalogTest, ReportTextsCoverArchivesAndTheNumbersWithoutOne) {
    const std::pair<int, const char*> texts[] = {
        {1, "piano conti"},
        {3, "azienda"},
        {8, "mov. contabili"},
        {11, "saldi iva"},
        {12, "documenti"},
        {16, "agente"},
        {20, "codici pag."},
        {24, "scelta modulo"},
        {25, "tt"},
        {26, "schema documento"},
        {32, "movimento componenti"},
        {33, "facil."},
        {0, ""},
        {34, ""},
        {-1, ""},
    };
    for (const auto& [n, t] : texts) {
        EXPECT_EQ(Catalog::archiveText(n), t) << n;
    }
    EXPECT_EQ(Catalog::operationText(1), "creazione archivi");
    EXPECT_EQ(Catalog::operationText(7), "cancellazione archivi");
    EXPECT_EQ(Catalog::operationText(0), "");
    EXPECT_EQ(Catalog::operationText(8), "");
}

struct ErrorCase {
    std::int16_t status;
    const char* specific;  // nullptr: no specific box
    const char* specificTitle;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << "status " << c.status;
}

class ArchiveErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ArchiveErrorTest, ShowsTheSpecificBoxThenTheGeneralOne) {
    const ErrorCase& c = GetParam();
    ScriptedDialogs d;
    ArchiveError(d, c.status, 2, 3, 113);
    ASSERT_FALSE(d.events().empty());
    EXPECT_EQ(d.events().front().kind, Kind::Beep);
    auto boxes = d.boxes();
    ASSERT_EQ(boxes.size(), c.specific != nullptr ? 2U : 1U);
    if (c.specific != nullptr) {
        EXPECT_EQ(boxes[0].text, c.specific);
        EXPECT_EQ(boxes[0].title, c.specificTitle);
        EXPECT_EQ(boxes[0].icon, Icon::Critical);
    }
    EXPECT_EQ(boxes.back().text,
              "Errore: " + std::to_string(c.status) +
                  "\rOperazione: apertura file\rArchivio: azienda\rPosizione: 113");
    EXPECT_EQ(boxes.back().title, "Errore durante operazione sugli archivi");
    EXPECT_EQ(boxes.back().icon, Icon::Exclamation);
}

INSTANTIATE_TEST_SUITE_P(Statuses, ArchiveErrorTest,
                         ::testing::Values(ErrorCase{12, "OUT OF MEMORY", "Zelvo"},
                                           ErrorCase{11, "DISCO PIENO", "Errore"},
                                           ErrorCase{13, "ERRORE DOS", "Errore"},
                                           ErrorCase{14, "ERRORE DISCO", "Errore"},
                                           ErrorCase{18, "TROPPI FILE APERTI", "Errore"},
                                           ErrorCase{8, nullptr, nullptr},
                                           ErrorCase{2, nullptr, nullptr}));

TEST(ArchiveErrorTest, StatusZeroIsSilentAndUnknownNumbersGiveEmptyTexts) {
    ScriptedDialogs d;
    ArchiveError(d, 0, 2, 3, 113);
    EXPECT_TRUE(d.events().empty());
    ArchiveError(d, 7, 9, 34, 1);
    ASSERT_EQ(d.boxes().size(), 1U);
    EXPECT_EQ(d.boxes()[0].text, "Errore: 7\rOperazione: \rArchivio: \rPosizione: 1");
}

class ArchivesTest : public ::testing::Test {
  protected:
    ArchivesTest() : rm(Catalog::locate), archives(rm, dialogs) {
        archives.setDataDirectory(dir.prefix());
        archives.setCompany("AB");
        archives.setYear("2026");
    }

    void makeCounter(const std::string& name, int value) {
        archives.clearWriteBuffer(arc::kPr);
        archives.writeBuffer(arc::kPr).setNumber(1, value);
        ASSERT_EQ(archives.put(arc::kPr, name, isam::mode::kWrite), 0);
    }

    test::TempDir dir;
    ScriptedDialogs dialogs;
    isam::RecordManager rm;
    Archives archives;
};

TEST_F(ArchivesTest, OpeningAMissingArchiveIsReportedWithItsPosition) {
    EXPECT_FALSE(archives.open(arc::kMc));
    ASSERT_EQ(dialogs.boxes().size(), 1U);
    EXPECT_EQ(dialogs.boxes()[0].text,
              "Errore: 8\rOperazione: apertura file\rArchivio: mov. contabili\rPosizione: 27");
    EXPECT_FALSE(archives.isOpen(arc::kMc));
}

TEST_F(ArchivesTest, ScreensSharingAnArchiveNeverCloseItUnderEachOther) {
    ASSERT_TRUE(archives.create(arc::kMc, "AB", "2026", 1));
    ASSERT_TRUE(archives.open(arc::kMc));
    ASSERT_TRUE(archives.open(arc::kMc));
    archives.close(arc::kMc);
    EXPECT_TRUE(archives.isOpen(arc::kMc));
    EXPECT_EQ(archives.bof(arc::kMc, 1), 0);
    archives.close(arc::kMc);
    EXPECT_FALSE(archives.isOpen(arc::kMc));
    EXPECT_EQ(rm.openHandles(), 0);
    EXPECT_TRUE(dialogs.events().empty());
}

TEST_F(ArchivesTest, ExactLookUpDoesNotTakeAKeyThatMerelyBeginsWithTheText) {
    archives.create(arc::kPr, "AB", "2026", 1);
    archives.open(arc::kPr);
    makeCounter("co1", 7);
    EXPECT_EQ(archives.get(arc::kPr, 0, isam::op::kFind, "co"), 0);  // prefix find
    EXPECT_EQ(archives.getByKey(arc::kPr, "co"), isam::status::kNotFound);
    makeCounter("co", 3);
    ASSERT_EQ(archives.getByKey(arc::kPr, "co"), 0);
    EXPECT_EQ(archives.readBuffer(arc::kPr).number(1), 3);
}

TEST_F(ArchivesTest, IdentityLookUpComparesTheWholeFieldWithoutCase) {
    archives.create(arc::kDataz, "", "", 1);
    archives.open(arc::kDataz);
    const std::string longA = std::string(40, 'x') + " alfa";  // same 40-character key
    const std::string longB = std::string(40, 'x') + " beta";
    const std::pair<const char*, std::string> rows[] = {
        {"AB", "Rossi Mario e figli"}, {"AC", "Rossi Mario"}, {"AD", longB}, {"AE", longA}};
    for (const auto& [code, name] : rows) {
        archives.clearWriteBuffer(arc::kDataz);
        archives.writeBuffer(arc::kDataz).setText(1, name);
        ASSERT_EQ(archives.put(arc::kDataz, code, isam::mode::kWrite), 0);
    }
    const std::pair<std::string, const char*> cases[] = {{"rossi mario", "AC"},
                                                         {"ROSSI MARIO E FIGLI", "AB"},
                                                         {longB, "AD"},
                                                         {longA, "AE"},
                                                         {"Rossi", nullptr},
                                                         {"Rossi Mario e", nullptr},
                                                         {std::string(40, 'x'), nullptr},
                                                         {"", nullptr}};
    for (const auto& [text, code] : cases) {
        std::int16_t s = archives.getIdentical(arc::kDataz, 1, text);
        if (code == nullptr) {
            EXPECT_EQ(s, isam::status::kNotFound) << text;
        } else {
            ASSERT_EQ(s, 0) << text;
            EXPECT_EQ(archives.primaryKey(arc::kDataz), code) << text;
        }
    }
}

TEST_F(ArchivesTest, ARegistrationSpansTheArchivesOfTheYear) {
    archives.create(arc::kPr, "AB", "2026", 1);
    archives.create(arc::kMc, "AB", "2026", 1);
    archives.open(arc::kPr);
    archives.open(arc::kMc);
    {
        Registration reg(archives, arc::kMc);
        makeCounter("mc", 1);
        archives.clearWriteBuffer(arc::kMc);
        archives.put(arc::kMc, "00000001", isam::mode::kAdd);
    }
    EXPECT_EQ(archives.getByKey(arc::kPr, "mc"), isam::status::kNotFound);
    EXPECT_EQ(archives.getByKey(arc::kMc, "00000001"), isam::status::kNotFound);
}

TEST_F(ArchivesTest, SharedUpdatesFromSeveralProcessesLoseNothing) {
    archives.create(arc::kPr, "AB", "2026", 1);
    archives.open(arc::kPr);
    makeCounter("conto", 50);
    constexpr int kProcesses = 3;
    constexpr int kEach = 60;
    std::vector<std::unique_ptr<test::Child>> children;
    for (int p = 0; p < kProcesses; ++p) {
        children.push_back(std::make_unique<test::Child>([this](test::Child&) {
            ScriptedDialogs d;
            isam::RecordManager station(Catalog::locate);
            Archives a(station, d);
            a.setDataDirectory(dir.prefix());
            a.setCompany("AB");
            a.setYear("2026");
            a.open(arc::kPr);
            for (int i = 0; i < kEach; ++i) {
                a.update(
                    arc::kPr, "conto", [](isam::Record& r) { r.setNumber(1, r.number(1) + 1); }, 1,
                    2);
            }
            return d.events().empty() ? 0 : 1;
        }));
    }
    for (auto& c : children) {
        EXPECT_EQ(c->wait(), 0);
    }
    ASSERT_EQ(archives.getByKey(arc::kPr, "conto"), 0);
    EXPECT_EQ(archives.readBuffer(arc::kPr).number(1), 50 + kProcesses * kEach);
}

TEST_F(ArchivesTest, UpdateOfAMissingRecordIsReportedAndWritesNothing) {
    archives.create(arc::kPr, "AB", "2026", 1);
    archives.open(arc::kPr);
    bool changed = false;
    EXPECT_EQ(archives.update(
                  arc::kPr, "nessuno", [&changed](isam::Record&) { changed = true; }, 501, 502),
              isam::status::kNotFound);
    EXPECT_FALSE(changed);
    ASSERT_EQ(dialogs.boxes().size(), 1U);
    EXPECT_EQ(dialogs.boxes()[0].text,
              "Errore: 2\rOperazione: lettura dati\rArchivio: progressivi\rPosizione: 501");
}

TEST_F(ArchivesTest, CloseMainArchivesWritesTheChosenCompanyToWww) {
    archives.create(arc::kDataz, "", "", 1);
    archives.open(arc::kDataz);
    archives.clearWriteBuffer(arc::kDataz);
    archives.writeBuffer(arc::kDataz).setText(1, "Azienda di prova");
    archives.put(arc::kDataz, "AB", isam::mode::kWrite);
    archives.CloseMainArchives();
    EXPECT_FALSE(archives.isOpen(arc::kDataz));
    std::ifstream www(dir.prefix() + "www");
    std::string line;
    std::getline(www, line);
    EXPECT_EQ(line, "Azienda di prova");
    EXPECT_TRUE(dialogs.events().empty());
}

}  // namespace
}  // namespace zelvo
