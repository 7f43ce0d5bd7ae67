#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "Damage.h"
#include "maintenance/ArchiveCheck.h"
#include "posting/YearFixture.h"

namespace zelvo {
namespace {

using test::Movement;
using test::Year;

// A year with enough movement lines to fill many pages, and the screens that check it.
class VerificationTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    std::unique_ptr<Year> year = std::make_unique<Year>(dir.prefix());

    void post(int registrations) {
        PostingEngine engine(year->session());
        for (int i = 0; i < registrations; ++i) {
            engine.post(Movement("10/03/2026", {{"00015", 100.0 + i, 0}, {"00020", 0, 100.0 + i}}));
        }
    }
    // The station leaves; its connections go, and the containers are whole files again.
    void leave() { year.reset(); }
    void comeBack() { year = std::make_unique<Year>(dir.prefix()); }
    std::string container() const { return dir.prefix() + "2026AB.isd"; }

    // Runs VALL1 or VALL2 and gives its list; the final box is in the dialogs.
    std::vector<std::string> run(ArchiveCheck::Kind kind) {
        year->dialogs.clear();
        ArchiveCheck screen(year->session(), kind);
        screen.load();
        screen.click(ArchiveCheck::kRun);
        return screen.form().items(ArchiveCheck::kList);
    }
    std::string finalBox() {
        auto boxes = year->dialogs.boxes();
        return boxes.empty() ? std::string() : boxes.back().title + ": " + boxes.back().text;
    }
};

TEST_F(VerificationTest, AWholeInstallationIsCorrectFileByFileInTheListedOrder) {
    post(5);
    auto lines = run(ArchiveCheck::Kind::Verify);
    ASSERT_EQ(lines.size(), 18U);
    EXPECT_EQ(lines.front(), "OK archivio " + dir.prefix() + "2026ABct");
    EXPECT_EQ(lines[7], "OK archivio " + dir.prefix() + "ABax");
    EXPECT_EQ(lines.back(), "OK archivio " + dir.prefix() + "dataz");
    EXPECT_EQ(finalBox(), "Zelvo: Gli archivi sono corretti");
    // The main archives are open again for the screens that follow.
    EXPECT_TRUE(year->archives().isOpen(arc::kPc));
    EXPECT_TRUE(year->archives().isOpen(arc::kDataz));
}

TEST_F(VerificationTest, ACorruptedPageIsFoundInEveryArchiveOfItsContainer) {
    post(300);
    leave();
    test::DamageLeaf(container(), "2026ABmc");
    comeBack();
    auto lines = run(ArchiveCheck::Kind::Verify);
    // The year's archives share one container: the damage shows in each of them.
    EXPECT_EQ(lines[0], "ERRORE 10  su archivio " + dir.prefix() + "2026ABct");
    EXPECT_EQ(lines[6], "ERRORE 10  su archivio " + dir.prefix() + "2026ABmc");
    EXPECT_EQ(lines[7], "OK archivio " + dir.prefix() + "ABax");
    EXPECT_EQ(finalBox(), "Errore: Ci sono errori negli archivi");
}

TEST_F(VerificationTest, AMissingContainerIsReportedWithItsStatus) {
    leave();
    std::filesystem::remove(dir.prefix() + "gg.isd");
    comeBack();
    auto lines = run(ArchiveCheck::Kind::Verify);
    EXPECT_EQ(lines[14], "ERRORE 8  su archivio " + dir.prefix() + "gg");
    EXPECT_EQ(finalBox(), "Errore: Ci sono errori negli archivi");
}

TEST_F(VerificationTest, AnIndexOutOfStepIsFoundAndTheRebuildPutsItRight) {
    post(3);
    leave();
    test::SkewIndex(container(), "2026ABpc", "k1");
    comeBack();
    EXPECT_EQ(run(ArchiveCheck::Kind::Verify)[1],
              "ERRORE 10  su archivio " + dir.prefix() + "2026ABpc");
    run(ArchiveCheck::Kind::Rebuild);
    EXPECT_EQ(finalBox(), "Zelvo: La ricostruzione degli indici è stata effettuata");
    run(ArchiveCheck::Kind::Verify);
    EXPECT_EQ(finalBox(), "Zelvo: Gli archivi sono corretti");
}

TEST_F(VerificationTest, RepairSavesEveryReadableRecordAndCountsTheLostOnes) {
    post(300);
    std::int64_t lines = 0;
    year->archives().count(arc::kMc, lines);
    leave();
    const int lost = test::DamageLeaf(container(), "2026ABmc");
    ASSERT_GT(lost, 0);
    comeBack();
    // Only the main archives are open while the repair screen runs.
    year->archives().close(arc::kMc);
    year->archives().close(arc::kTt);
    year->dialogs.queueFile(container());
    ArchiveRepair repair(year->session());
    repair.click(ArchiveRepair::kBrowse);
    EXPECT_EQ(repair.form().text(ArchiveRepair::kFile), container());
    repair.click(ArchiveRepair::kRepair);
    auto list = repair.form().items(ArchiveRepair::kList);
    ASSERT_EQ(list.size(), 2U);
    EXPECT_EQ(list[0], "OK archivio " + container());
    std::int64_t saved = 0;
    ASSERT_TRUE(year->archives().open(arc::kMc, 1));
    year->archives().count(arc::kMc, saved);
    // The report counts exactly what is missing: the damaged page's records, and at most
    // the one whose look-up passes through it.
    EXPECT_GE(lines - saved, lost);
    EXPECT_LE(lines - saved, lost + 1);
    EXPECT_NE(list[1].find("record illeggibili: " + std::to_string(lines - saved)),
              std::string::npos)
        << list[1];
    // The repaired container is whole again, and the rest of it is all there.
    run(ArchiveCheck::Kind::Verify);
    EXPECT_EQ(finalBox(), "Zelvo: Gli archivi sono corretti");
}

}  // namespace
}  // namespace zelvo
