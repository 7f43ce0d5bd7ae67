#include "app/CompanyCreation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/CompanyRegister.h"
#include "app/Installation.h"
#include "masterdata/ChartFields.h"
#include "masterdata/CompanyArchives.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

using namespace companyreg;

struct Slot {
    std::string code;
    std::string name;
    std::string address;
    double used;
    double active;
    bool operator==(const Slot&) const = default;
};

class CompanyCreationTest : public ::testing::Test {
  protected:
    CompanyCreationTest() : clock("15/03/2026"), session(dialogs, clock) {
        session.setDataDirectory(dir.prefix());
    }
    void SetUp() override {
        ASSERT_EQ(CreateInstallation(session, "2026"), InstallOutcome::Installed);
        ASSERT_TRUE(archives().open(arc::kDataz));
    }
    Archives& archives() { return session.archives(); }

    // Working on the sample company, as after the selection window.
    void chooseSample() {
        session.chooseCompany("AB", "Azienda di prova", "2026");
        for (int archive : {arc::kCt, arc::kPr, arc::kPc}) {
            ASSERT_TRUE(archives().open(archive));
        }
    }

    std::unique_ptr<CompanyCreation> create(const std::string& name, const std::string& year) {
        auto screen = std::make_unique<CompanyCreation>(session);
        screen->load();
        EXPECT_EQ(screen->form().text("text5"), "2026");  // the clock's year
        for (auto [control, text] : {std::pair{"text1", name},
                                     {"text2", "Via Roma 1"},
                                     {"text3", "Torino"},
                                     {"text5", year}}) {
            screen->form().input(control, text);
        }
        dialogs.clear();
        screen->click("Command1");
        return screen;
    }

    std::vector<Slot> slots() {
        std::vector<Slot> all;
        archives().bof(arc::kDataz, 0);
        while (archives().get(arc::kDataz, 0, isam::op::kNext, "") == 0) {
            const isam::Record& r = archives().readBuffer(arc::kDataz);
            all.push_back({archives().primaryKey(arc::kDataz), r.text(kCompanyName),
                           r.text(kCompanyAddress), r.number(kSlotUsed), r.number(kSlotActive)});
        }
        return all;
    }
    Slot slot(const std::string& code) {
        for (const Slot& s : slots()) {
            if (s.code == code) {
                return s;
            }
        }
        return {};
    }

    // Marks slots used: the first `count` never-used ones in code order, as deleted
    // companies' (empty name), or one slot by code.
    void markNeverUsed(int count) {
        for (const Slot& s : slots()) {
            if (count > 0 && s.used == 0) {
                mark(s.code, "");
                --count;
            }
        }
    }
    void mark(const std::string& code, const std::string& name) {
        ASSERT_EQ(archives().getByKey(arc::kDataz, code), 0);
        archives().copyReadToWrite(arc::kDataz);
        archives().writeBuffer(arc::kDataz).setText(kCompanyName, name);
        archives().writeBuffer(arc::kDataz).setNumber(kSlotUsed, 1);
        ASSERT_EQ(archives().put(arc::kDataz, code, isam::mode::kRewrite), 0);
    }

    std::set<std::string> containers() {
        std::set<std::string> files;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
            files.insert(e.path().filename().string());
        }
        return files;
    }

    // A record of the new company's archives, read by a second station so that the
    // session's own handles stay as they are.
    std::optional<isam::Record> read(int archive, const std::string& year, const std::string& key,
                                     std::int64_t* count = nullptr) {
        isam::RecordManager station(Catalog::locate);
        ScriptedDialogs quiet;
        Archives other(station, quiet);
        other.setDataDirectory(dir.prefix());
        if (!other.openFile(archive, "AD", year, 1)) {
            return std::nullopt;
        }
        if (count != nullptr) {
            station.count(other.handle(archive), *count);
        }
        return other.getByKey(archive, key) == 0 ? std::optional(other.readBuffer(archive))
                                                 : std::nullopt;
    }

    test::TempDir dir;
    ScriptedDialogs dialogs;
    FixedClock clock;
    Session session;
};

struct Refusal {
    int marked;  // never-used slots taken beforehand
    const char* name;
    const char* year;
    const char* text;
    const char* title;
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.text << " / " << r.name;
}

class CompanyRefusalTest : public CompanyCreationTest,
                           public ::testing::WithParamInterface<Refusal> {};

TEST_P(CompanyRefusalTest, RefusesAndWritesNothing) {
    const Refusal& c = GetParam();
    chooseSample();
    markNeverUsed(c.marked);
    const std::vector<Slot> before = slots();
    const std::set<std::string> files = containers();
    auto screen = create(c.name, c.year);
    ASSERT_EQ(dialogs.boxes().size(), 1U);
    EXPECT_EQ(dialogs.boxes()[0].text, c.text);
    EXPECT_EQ(dialogs.boxes()[0].title, c.title);
    EXPECT_EQ(dialogs.boxes()[0].icon, Icon::Exclamation);
    EXPECT_FALSE(screen->closeRequested());
    EXPECT_EQ(slots(), before);
    EXPECT_EQ(containers(), files);
}

// No name and the name of the company in use, in any letter case, are company_creation's.
INSTANTIATE_TEST_SUITE_P(
    Cases, CompanyRefusalTest,
    ::testing::Values(
        Refusal{0, "azienda aaaaaaaaa", "2026", "Archivi già creati", "Errore"},
        Refusal{0, "Nuova S.r.l.", "", "L'anno contabile non è stato inserito", "Errore"},
        Refusal{0, "Nuova S.r.l.", "2o26", "L'anno contabile deve essere di quattro cifre",
                "Errore"},
        // "AB", "AC" and 97 more taken: the free slot would be the 100th.
        Refusal{97, "Nuova S.r.l.", "2026", "Non si possono aprire più aziende", "Zelvo"}));

TEST_F(CompanyCreationTest, NewCompanyTakesTheFirstFreeSlotAndTheWorkGoesOn) {
    chooseSample();
    archives().clearWriteBuffer(arc::kPc);  // a record only the chart in use holds
    ASSERT_EQ(archives().put(arc::kPc, "00051", isam::mode::kWrite), 0);

    auto screen = create(" Rossi  Mario S.r.l. ", "2026");

    // Nothing to confirm: the screen stays open for the next company.
    EXPECT_TRUE(dialogs.boxes().empty());
    EXPECT_FALSE(screen->closeRequested());
    // The company in use carries on with its own register record and archives.
    EXPECT_EQ(archives().primaryKey(arc::kDataz), "AB");
    EXPECT_EQ(archives().getByKey(arc::kPc, "00051"), 0);
    EXPECT_EQ(archives().getByKey(arc::kPr, "conto"), 0);
    EXPECT_EQ(archives().getByKey(arc::kCt, "1"), 0);
    EXPECT_EQ(slot("AD"), (Slot{"AD", " Rossi  Mario S.r.l. ", "Via Roma 1", 1, 1}));
    for (int archive : ArchivesToCreate(ArchiveScope::CompanyAndYear)) {
        EXPECT_TRUE(archives().exists(archives().fileName(archive, "AD", "2026"))) << archive;
    }
    EXPECT_TRUE(read(arc::kCt, "2026", "1"));
    EXPECT_EQ(read(arc::kSi, "2026", "1")->number(13), 0);
}

TEST_F(CompanyCreationTest, ChartStartsWithThePredefinedItems) {
    create("Verdi S.n.c.", "2026");
    struct Item {
        const char* number;
        const char* kind;
        const char* nature;
        const char* mastro;
        const char* conto;
        const char* code;
        const char* kindKey;
    };
    const Item items[] = {
        {"00003", "m", "e", "00003", "", "000030000000000", "xRicavi"},
        {"00008", "cc", "p", "00002", "00008", "000020000800000", "xImposta Valore Aggiunto"},
        {"00022", "s", "p", "00001", "00021", "000010002100022", "sCrediti clienti ric. bancarie"},
    };
    std::int64_t count = 0;
    for (const Item& it : items) {
        const std::optional<isam::Record> r = read(arc::kPc, "2026", it.number, &count);
        ASSERT_TRUE(r) << it.number;
        EXPECT_EQ(r->text(chart::kKind), it.kind) << it.number;
        EXPECT_EQ(r->text(chart::kNature), it.nature) << it.number;
        EXPECT_EQ(r->text(chart::kMastroNumber), it.mastro) << it.number;
        EXPECT_EQ(r->text(chart::kContoNumber), it.conto) << it.number;
        EXPECT_EQ(r->text(chart::kAccountCode), it.code) << it.number;
        EXPECT_EQ(r->text(chart::kKindKey), it.kindKey) << it.number;
        EXPECT_EQ(r->text(chart::kGroupKey), "ss" + r->text(chart::kDescription)) << it.number;
    }
    EXPECT_EQ(count, 22);
}

TEST_F(CompanyCreationTest, CountersStartAsTheBooksExpect) {
    std::vector<std::pair<std::string, int>> expected;
    for (const char* n :
         {"of",        "co",       "bp",       "bv",     "fp",       "or",       "bc",
          "rr",        "mc",       "mm",       "ia",     "ic",       "iv",       "mp",
          "conto",     "dati",     "xx",       "yy",     "scaclird", "scaclitr", "agente",
          "scafornrd", "giornale", "destinaz", "codpag", "magaz"}) {
        expected.emplace_back(n, std::string(n) == "conto" ? 50 : std::string(n) == "magaz");
    }
    for (const char* section : {"fv", "prot", "co", "regiv", "regia"}) {
        for (int i = 1; i <= 9; ++i) {
            expected.emplace_back(section + std::to_string(i), 0);
        }
    }
    std::vector<std::pair<std::string, int>> written;
    for (const InitialCounter& c : InitialCounters()) {
        written.emplace_back(c.name, c.value);
    }
    EXPECT_EQ(written, expected);

    create("Verdi S.n.c.", "2026");
    std::int64_t count = 0;
    for (const auto& [name, value] : expected) {
        const std::optional<isam::Record> r = read(arc::kPr, "2026", name, &count);
        ASSERT_TRUE(r) << name;
        EXPECT_EQ(r->number(1), value) << name;
        EXPECT_EQ(r->text(2), "") << name;
    }
    EXPECT_EQ(count, static_cast<std::int64_t>(expected.size()));
}

TEST_F(CompanyCreationTest, SlotsOfDeletedCompaniesWaitWhileNeverUsedOnesRemain) {
    mark("AD", "");
    create("Neri S.a.s.", "2026");
    EXPECT_EQ(slot("AD"), (Slot{"AD", "", "", 1, 0}));
    EXPECT_EQ(slot("AE").name, "Neri S.a.s.");

    // The 99th slot is still allowed: "EV" (four rows of 20 codes, then "EB" ... "EV").
    markNeverUsed(94);  // with AB, AC, AD and AE: 98 taken
    create("Ultima S.p.A.", "2026");
    EXPECT_EQ(slot("EV").name, "Ultima S.p.A.");

    // With every slot used once, the first one with an empty name is taken again.
    markNeverUsed(380);
    create("Ancora S.r.l.", "2026");
    EXPECT_EQ(slot("AD").name, "Ancora S.r.l.");
}

TEST_F(CompanyCreationTest, YearBeyondTheSelectableOnesStillGetsItsArchives) {
    create("Futura S.r.l.", "2031");  // no company in use: nothing to close or reopen
    EXPECT_TRUE(dialogs.boxes().empty());
    EXPECT_TRUE(read(arc::kPc, "2031", "00001"));
    EXPECT_FALSE(read(arc::kCt, "2026", "1"));
    for (int archive : {arc::kPc, arc::kPr, arc::kCt}) {
        EXPECT_FALSE(archives().isOpen(archive)) << archive;
    }
}

}  // namespace
}  // namespace zelvo
