// The company list, compared whole with the text its layout gives.

#include "reports/CompanyListPrint.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/CompanyRegister.h"
#include "app/Installation.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

using namespace companyreg;

class CompanyListPrintTest : public ::testing::Test {
  protected:
    CompanyListPrintTest() : clock("15/03/2026"), session(dialogs, clock) {
        session.setDataDirectory(dir.prefix());
    }
    void SetUp() override {
        ASSERT_EQ(CreateInstallation(session, "2026"), InstallOutcome::Installed);
        ASSERT_TRUE(archives().open(arc::kDataz));
    }
    void TearDown() override { archives().close(arc::kDataz); }
    Archives& archives() { return session.archives(); }

    void setCompany(const std::string& code, const std::string& name, const std::string& city,
                    const std::string& vat) {
        ASSERT_EQ(archives().getByKey(arc::kDataz, code), 0);
        archives().copyReadToWrite(arc::kDataz);
        isam::Record& r = archives().writeBuffer(arc::kDataz);
        r.setText(kCompanyName, name);
        r.setText(kCompanyAddress, "Via Roma 1");
        r.setText(kCompanyCity, city);
        r.setText(kCompanyVatNumber, vat);
        r.setNumber(kSlotUsed, 1);
        r.setNumber(kSlotActive, 1);
        ASSERT_EQ(archives().put(arc::kDataz, code, isam::mode::kRewrite), 0);
    }

    std::string print(int linesPerPage) {
        session.values().print.linesPerPage = linesPerPage;
        const auto path = dir.path() / "elenco.txt";
        TextReportSink sink(path.string());
        EXPECT_TRUE(PrintCompanyList(session, sink, false));
        return test::ReadFile(path);
    }

    test::TempDir dir;
    ScriptedDialogs dialogs;
    FixedClock clock;
    Session session;
};

TEST_F(CompanyListPrintTest, ListsTheCompaniesInCodeOrderOnPagesOfTheConfiguredLength) {
    setCompany("AB", "Azienda di prova", "Torino", "01234567890");
    setCompany("AD", "Società Cooperativa Agricola del Basso Piave a r.l.", "San Donà di Piave",
               "00998877665");
    setCompany("AE", "Rossi Mario", "Forlì", "11223344556");
    // AC keeps the installation's name with no city and no VAT number.
    EXPECT_EQ(print(6), test::ReadFile(ZELVO_REPORTS_EXPECTED "/company_list.txt"));
    EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(CompanyListPrintTest, AnOperatorWhoCancelsGetsNothingAndTheRegisterIsLeftAsFound) {
    class Refusing : public ReportSink {
      public:
        bool open(bool, const std::string&, int) override { return false; }
        void line(const std::string&) override { ADD_FAILURE() << "line after a cancel"; }
        void newPage() override { ADD_FAILURE() << "page after a cancel"; }
        void close() override { ADD_FAILURE() << "close after a cancel"; }
    } refusing;
    EXPECT_FALSE(PrintCompanyList(session, refusing, true));
    // The fixture's own reference is the only one left: closing it really closes.
    archives().close(arc::kDataz);
    EXPECT_FALSE(archives().isOpen(arc::kDataz));
    ASSERT_TRUE(archives().open(arc::kDataz));
}

}  // namespace
}  // namespace zelvo
