#include <gtest/gtest.h>

#include <filesystem>

#include "maintenance/ArchiveCopy.h"
#include "maintenance/ArchiveDeletion.h"
#include "maintenance/BackupScreens.h"
#include "maintenance/MaintenanceCommon.h"
#include "masterdata/ChartFields.h"
#include "masterdata/CompanyArchives.h"
#include "masterdata/Counters.h"
#include "posting/YearFixture.h"

namespace zelvo {
namespace {

using test::Year;

// "Azienda di prova" in use with a customer 00051 and a sub-account 00052 of its own;
// "Azienda AAAAAAAAA" (AC) has the archives of 2026 as a new company has them.
class MaintenanceScreensTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    Year year{dir.prefix()};

    void SetUp() override {
        ScriptedDialogs d;
        FixedClock c{"15/03/2026"};
        Session other(d, c);
        other.setDataDirectory(dir.prefix());
        ASSERT_TRUE(CreateCompanyArchives(other.archives(), "AC", "2026"));
        addItem("00051", "Rossi Mario", "c");
        addItem("00052", "Cassa sede", "s");
        setCounter(archives(), counter::kItemNumbers, 52);
    }
    Archives& archives() { return year.archives(); }
    void addItem(const std::string& number, const std::string& name, const std::string& kind) {
        Archives& a = archives();
        a.clearWriteBuffer(arc::kPc);
        isam::Record& r = a.writeBuffer(arc::kPc);
        r.setText(chart::kDescription, name);
        r.setText(chart::kKind, kind);
        r.setNumber(chart::kOpeningBalance, 500);
        r.setNumber(chart::kClosingBalance, 500);
        ASSERT_EQ(a.put(arc::kPc, number, isam::mode::kAdd), 0);
    }
    static void setCounter(Archives& a, const std::string& name, int value) {
        a.clearWriteBuffer(arc::kPr);
        a.writeBuffer(arc::kPr).setNumber(counter::kValue, value);
        ASSERT_EQ(a.put(arc::kPr, name, isam::mode::kWrite), 0);
    }
    // Reads the target company's chart and counter through a station of its own.
    struct Target {
        ScriptedDialogs d;
        FixedClock c{"15/03/2026"};
        Session s{d, c};
        explicit Target(const std::string& dataDir) {
            s.setDataDirectory(dataDir);
            s.chooseCompany("AC", "Azienda AAAAAAAAA", "2026");
            s.archives().open(arc::kPc, 1);
            s.archives().open(arc::kPr, 1);
        }
        bool has(const std::string& number) { return s.archives().getByKey(arc::kPc, number) == 0; }
        double counter() {
            s.archives().getByKey(arc::kPr, counter::kItemNumbers);
            return s.archives().readBuffer(arc::kPr).number(counter::kValue);
        }
    };
    void choose(ScreenLogic& screen, const char* company, const char* yearCombo,
                const std::string& name) {
        screen.load();
        const auto& names = screen.form().items(company);
        auto it = std::find(names.begin(), names.end(), name);
        ASSERT_NE(it, names.end());
        screen.form().inputSelected(company, static_cast<int>(it - names.begin()));
        screen.change(company);
        if (!screen.form().items(yearCombo).empty()) {
            screen.form().inputSelected(yearCombo, 0);
            screen.change(yearCombo);
        }
    }
};

TEST_F(MaintenanceScreensTest, CopyWithOnlyCustomersCopiesThemWithTotalsCleared) {
    ArchiveCopy copy(year.session());
    choose(copy, ArchiveCopy::kCompany, ArchiveCopy::kYear, "Azienda AAAAAAAAA");
    copy.form().inputChecked(ArchiveCopy::kCustomers, true);
    copy.click(ArchiveCopy::kCopy);
    EXPECT_TRUE(year.dialogs.boxes().empty());
    Target t(dir.prefix());
    ASSERT_TRUE(t.has("00051"));
    EXPECT_EQ(t.s.archives().readBuffer(arc::kPc).number(chart::kOpeningBalance), 0);
    EXPECT_FALSE(t.has("00052"));
    EXPECT_EQ(t.counter(), 52);
}

TEST_F(MaintenanceScreensTest, CopyOfTheChartIntoACompanyWithItemsOfItsOwnIsRefused) {
    {
        Target t(dir.prefix());
        setCounter(t.s.archives(), counter::kItemNumbers, 51);
    }
    ArchiveCopy copy(year.session());
    choose(copy, ArchiveCopy::kCompany, ArchiveCopy::kYear, "Azienda AAAAAAAAA");
    copy.form().inputChecked(ArchiveCopy::kChart, true);
    copy.form().inputChecked(ArchiveCopy::kCustomers, true);
    copy.click(ArchiveCopy::kCopy);
    ASSERT_EQ(year.dialogs.boxes().size(), 1U);
    EXPECT_EQ(year.dialogs.boxes()[0].text, "Operazione non effettuabile");
    EXPECT_EQ(year.dialogs.beeps(), 1);
    Target t(dir.prefix());
    EXPECT_FALSE(t.has("00051"));
    EXPECT_EQ(t.counter(), 51);
}

TEST_F(MaintenanceScreensTest, DeletingTheOnlyYearOfACompanyFreesItsSlotForGood) {
    ArchiveDeletion::DeleteYear(year.session(), "AC", "2026", true);
    EXPECT_TRUE(year.dialogs.boxes().empty());
    Archives& a = archives();
    EXPECT_FALSE(a.exists(a.fileName(arc::kCt, "AC", "2026")));
    EXPECT_FALSE(a.exists(a.fileName(arc::kAx, "AC", "2026")));
    ASSERT_EQ(a.getByKey(arc::kDataz, "AC"), 0);
    const isam::Record& slot = a.readBuffer(arc::kDataz);
    EXPECT_EQ(slot.text(maintenance::kRegisterName), "");
    EXPECT_EQ(slot.number(maintenance::kRegisterSlotUsed), 1);
    EXPECT_EQ(slot.number(maintenance::kRegisterSlotActive), 0);
    auto names = maintenance::CompanyNames(a);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Azienda AAAAAAAAA"), 0);
    // The read buffer holds the company in use again.
    EXPECT_EQ(a.primaryKey(arc::kDataz), "AB");
}

// The name proposed and the refusal's text are the archive_backup script's.
TEST_F(MaintenanceScreensTest, ABackupNameWithADotIsRefusedBeforeAnyArchiveCloses) {
    BackupScreen backup(year.session());
    choose(backup, BackupScreen::kCompany, BackupScreen::kYear, "Azienda di prova");
    backup.form().input(BackupScreen::kFile, "A:\\copia.zip");
    backup.click(BackupScreen::kRun);
    ASSERT_EQ(year.dialogs.boxes().size(), 1U);
    EXPECT_TRUE(archives().isOpen(arc::kPc));
    EXPECT_FALSE(std::filesystem::exists(dir.prefix() + "backup"));
}

// The restore screen's main road is the archive_restore script's.
TEST_F(MaintenanceScreensTest, BackupScreenNamesTheFileAfterWhatItSavesAndKeepsTheArchivesOpen) {
    BackupScreen backup(year.session());
    choose(backup, BackupScreen::kCompany, BackupScreen::kYear, "Azienda di prova");
    backup.form().inputChecked(BackupScreen::kWholeDirectory, true);
    backup.change(BackupScreen::kWholeDirectory);
    EXPECT_EQ(backup.form().text(BackupScreen::kFile), "A:\\backup archivi directory Zelvo");
    backup.form().inputChecked(BackupScreen::kWholeDirectory, false);
    backup.change(BackupScreen::kWholeDirectory);
    EXPECT_EQ(backup.form().text(BackupScreen::kFile), "A:\\backup Azienda di prova 2026");
    backup.click(BackupScreen::kRun);
    ASSERT_EQ(year.dialogs.boxes().size(), 1U);
    EXPECT_EQ(year.dialogs.boxes()[0].text, "Operazione effettuata");
    EXPECT_TRUE(archives().isOpen(arc::kPc));
}

}  // namespace
}  // namespace zelvo
