#include "app/Installation.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/CompanyRegister.h"
#include "app/Parameters.h"
#include "masterdata/PaymentTermsFields.h"
#include "masterdata/VatCodeFields.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

using namespace companyreg;

class InstallationTest : public ::testing::Test {
  protected:
    InstallationTest() : clock("15/03/2026"), session(dialogs, clock) {
        session.setDataDirectory(dir.prefix());
    }
    void SetUp() override {
        ASSERT_EQ(CreateInstallation(session, "2026"), InstallOutcome::Installed);
        ASSERT_TRUE(dialogs.events().empty());
    }
    Archives& archives() { return session.archives(); }

    // A record of an installation archive by primary key or index; empty when missing.
    isam::Record read(int archive, const std::string& key, int keyField = 0) {
        isam::Record r;
        found.clear();
        EXPECT_TRUE(archives().openFile(archive, "", "", 1));
        if (archives().get(archive, keyField, isam::op::kFind, key) == 0) {
            r = archives().readBuffer(archive);
            found = archives().primaryKey(archive);
        }
        archives().close(archive, 2);
        return r;
    }

    test::TempDir dir;
    ScriptedDialogs dialogs;
    FixedClock clock;
    Session session;
    std::string found;  // primary key of the last record read
};

// Walks the open register in code order and checks it is the fresh one.
void expectFreshRegister(Archives& a) {
    std::vector<std::string> codes;
    std::set<char> first;
    std::set<char> second;
    a.bof(arc::kDataz, 0);
    while (a.get(arc::kDataz, 0, isam::op::kNext, "") == 0) {
        const std::string code = a.primaryKey(arc::kDataz);
        const isam::Record& r = a.readBuffer(arc::kDataz);
        const bool sample = code == "AB" || code == "AC";
        EXPECT_EQ(r.text(kCompanyName), code == "AB"   ? "Azienda di prova"
                                        : code == "AC" ? "Azienda AAAAAAAAA"
                                                       : "");
        EXPECT_EQ(r.number(kSlotUsed), sample ? 1 : 0) << code;
        EXPECT_EQ(r.number(kSlotActive), sample ? 1 : 0) << code;
        codes.push_back(code);
        first.insert(code.at(0));
        second.insert(code.at(1));
    }
    ASSERT_EQ(codes.size(), 380U);
    EXPECT_EQ(codes[19], "AZ");
    EXPECT_EQ(codes[20], "BB");
    EXPECT_EQ(codes.back(), "ZZ");
    EXPECT_EQ(std::string(first.begin(), first.end()), "ABCDEFGHILMNPQRSTUZ");
    EXPECT_EQ(std::string(second.begin(), second.end()), "BCDEFGHILMNOPQRSTUVZ");
}

TEST_F(InstallationTest, RegisterWwwAndTheSampleCompanysYear) {
    ASSERT_TRUE(archives().open(arc::kDataz));
    expectFreshRegister(archives());
    std::ifstream www(dir.prefix() + "www");
    const std::string content{std::istreambuf_iterator<char>(www), {}};
    EXPECT_EQ(content, "Azienda di prova\n");
    for (const char* file : {"2026ABct", "2026ABpc", "2026ABmc", "2026ABpr", "2026ABsi", "2026ABff",
                             "ABax", "ABce", "gg"}) {
        EXPECT_TRUE(archives().exists(dir.prefix() + file)) << file;
    }
    EXPECT_FALSE(archives().exists(dir.prefix() + "2026ACct"));  // a slot, no archives
}

TEST_F(InstallationTest, VatTableHasTwentyFiveSlotsAndTheInstalledCodes) {
    struct Vat {
        const char* code;
        double rate;
        double nonDeductible;
        const char* description;
    };
    const Vat filled[] = {
        {"20", 20, 0, "Aliquota ordinaria 20%"}, {"10", 10, 0, "Aliquota ridotta 10%"},
        {"4", 4, 0, "Aliquota ridotta 4%"},      {"E10", 0, 0, "Esente art. 10"},
        {"N8", 0, 0, "Non imponibile art. 8"},   {"F15", 0, 0, "Escluso art. 15"},
        {"I20", 20, 100, "Indetraibile 20%"},
    };
    for (int i = 0; i < 25; ++i) {
        const std::string key = i == 0 ? "0" : (i < 10 ? "0" : "") + std::to_string(i);
        const isam::Record r = read(arc::kCiva, key);
        ASSERT_EQ(found, key);
        const Vat v = i < 7 ? filled[i] : Vat{"", 0, 0, ""};
        EXPECT_EQ(r.text(vatcode::kVatCode), v.code) << key;
        EXPECT_EQ(r.number(vatcode::kVatRate), v.rate) << key;
        EXPECT_EQ(r.number(vatcode::kNonDeductiblePercent), v.nonDeductible) << key;
        EXPECT_EQ(r.text(vatcode::kVatDescription), v.description) << key;
    }
    read(arc::kCiva, "I20", vatcode::kVatCode);  // as the posting screens look codes up
    EXPECT_EQ(found, "06");
}

TEST_F(InstallationTest, PaymentTermsAreFoundByDescription) {
    struct Terms {
        const char* code;
        const char* description;
        const char* type;
        double values[5];  // instalments, first months, due day, August rule, skip August
    };
    const Terms expected[] = {
        {"0001", "Rimessa diretta a vista", "rd", {0, 0, 0, 0, 0}},
        {"0002", "Rimessa diretta 30 gg d.f.", "rd", {1, 1, 0, 0, 0}},
        {"0003", "Ricevuta bancaria 30 gg f.m.", "rb", {1, 1, 30, 0, 0}},
        {"0004", "Ricevuta bancaria 30-60 gg f.m.", "rb", {2, 1, 30, 0, 0}},
        {"0005", "Ricevuta bancaria 30-60-90 gg f.m.", "rb", {3, 1, 30, 0, 0}},
        {"0006", "Rimessa diretta 60 gg al 10", "rd", {1, 2, 10, 0, 0}},
        {"0007", "Rimessa diretta 30-60 gg f.m. salta agosto", "rd", {2, 1, 30, 0, 1}},
        {"0008", "Solo descrizione", "", {0, 0, 0, 0, 0}},
    };
    for (const Terms& t : expected) {
        const isam::Record r = read(arc::kCpag, t.description, terms::kDescription);
        ASSERT_EQ(found, t.code);
        EXPECT_EQ(r.text(terms::kTermsType), t.type) << t.code;
        for (int f = terms::kInstalmentCount; f <= terms::kSkipAugust; ++f) {
            EXPECT_EQ(r.number(f), t.values[f - terms::kInstalmentCount]) << t.code << " " << f;
        }
    }
    read(arc::kCpag, "0009");
    EXPECT_EQ(found, "");
}

TEST_F(InstallationTest, StartUpReadsTheParametersAndStandsInForZeros) {
    ProgramValues v;
    v.listLength = 7;
    v.showToolbar = false;
    ASSERT_TRUE(ReadParameters(archives(), v));
    EXPECT_EQ(v.print.font, "Courier New");
    EXPECT_EQ(v.print.fontSize, 10);
    EXPECT_EQ(v.print.linesPerPage, 60);
    EXPECT_EQ(v.print.zoom, "100");
    EXPECT_EQ(v.minimumVatPayable, 50000);
    EXPECT_EQ(v.exchangeRate, 1936.27);
    EXPECT_EQ(v.listLength, 30);
    EXPECT_TRUE(v.showToolbar && v.showStatusBar);
    EXPECT_FALSE(v.agendaAtStartUp || v.showPreviousDescriptions);
    EXPECT_FALSE(archives().isOpen(arc::kParam));

    ASSERT_TRUE(archives().open(arc::kParam));
    ASSERT_EQ(archives().getByKey(arc::kParam, param::kKey), 0);
    archives().copyReadToWrite(arc::kParam);
    isam::Record& r = archives().writeBuffer(arc::kParam);
    r.setText(param::kPrintFont, "");
    r.setNumber(param::kExchangeRate, 0);
    r.setNumber(param::kListLength, 0);
    r.setNumber(param::kAgendaAtStartUp, 1);
    ASSERT_EQ(archives().put(arc::kParam, param::kKey, isam::mode::kWrite), 0);
    archives().close(arc::kParam);
    v.print.font = "Arial";
    ASSERT_TRUE(ReadParameters(archives(), v));
    EXPECT_EQ(v.print.font, "Courier New");
    EXPECT_EQ(v.exchangeRate, 1);
    EXPECT_EQ(v.listLength, 30);
    EXPECT_TRUE(v.agendaAtStartUp);
    EXPECT_TRUE(dialogs.events().empty());
}

TEST_F(InstallationTest, NeverInstallsOverAnExistingRegister) {
    ASSERT_TRUE(archives().open(arc::kDataz));
    archives().clearWriteBuffer(arc::kDataz);
    archives().writeBuffer(arc::kDataz).setText(kCompanyName, "Rossi S.p.A.");
    ASSERT_EQ(archives().put(arc::kDataz, "AD", isam::mode::kWrite), 0);
    archives().close(arc::kDataz);
    EXPECT_EQ(CreateInstallation(session, "2027"), InstallOutcome::AlreadyInstalled);
    EXPECT_FALSE(archives().exists(dir.prefix() + "2027ABct"));
    EXPECT_EQ(read(arc::kDataz, "AD").text(kCompanyName), "Rossi S.p.A.");
}

TEST_F(InstallationTest, RebuildFreesEverySlotAndKeepsSharers) {
    // Two windows share the register: both references must survive the rebuild.
    ASSERT_TRUE(archives().open(arc::kDataz));
    ASSERT_TRUE(archives().open(arc::kDataz));
    archives().clearWriteBuffer(arc::kDataz);
    archives().writeBuffer(arc::kDataz).setText(kCompanyName, "Bianchi");
    archives().writeBuffer(arc::kDataz).setNumber(kSlotUsed, 1);
    ASSERT_EQ(archives().put(arc::kDataz, "EZ", isam::mode::kWrite), 0);

    RebuildRegister(archives());

    // Its plain "0" is the register_rebuild script's.
    ASSERT_EQ(dialogs.boxes().size(), 1U);
    expectFreshRegister(archives());
    archives().close(arc::kDataz);
    EXPECT_EQ(archives().getByKey(arc::kDataz, "AB"), 0);
    archives().close(arc::kDataz);
    EXPECT_FALSE(archives().isOpen(arc::kDataz));
    EXPECT_EQ(dialogs.boxes().size(), 1U);
}

}  // namespace
}  // namespace zelvo
