// The daily balance check of the journal. No screen posts an unbalanced registration, so
// the unbalanced days are made by adding movement lines straight to the archive.

#include "posting/JournalCheck.h"

#include "posting/YearFixture.h"

namespace zelvo {
namespace {

using Kind = ScriptedDialogs::Event::Kind;

class JournalCheckTest : public ::testing::Test {
  protected:
    void post(const std::string& date, double amount) {
        PostingEngine engine(year.session());
        ASSERT_NE(engine.post(test::Movement(date, {{"00011", amount, 0}, {"00015", 0, amount}})),
                  0);
    }
    // A line of its own, numbered far after the posted ones.
    void addLine(const std::string& key, const std::string& date, double debit, double credit) {
        Archives& a = year.archives();
        a.clearWriteBuffer(arc::kMc);
        isam::Record& r = a.writeBuffer(arc::kMc);
        r.setText(mcf::kRegDate, date);
        r.setText(mcf::kAccount, "00011");
        r.setNumber(mcf::kDebit, debit);
        r.setNumber(mcf::kCredit, credit);
        r.setText(mcf::kRegNumber, key);
        ASSERT_EQ(a.put(arc::kMc, key, isam::mode::kAdd), 0);
    }
    std::vector<std::string> run() {
        JournalCheck screen(year.session());
        screen.load();
        year.dialogs.clear();
        screen.click("Command1");
        std::vector<std::string> shown;
        for (const auto& e : year.dialogs.events()) {
            shown.push_back(e.kind == Kind::Beep ? "beep" : e.text + " | " + e.title);
        }
        label = screen.form().text("Label1");
        screen.unload();
        return shown;
    }

    test::DataPlace dir;
    test::Year year{dir.prefix()};
    std::string label;
};

TEST_F(JournalCheckTest, EachUnbalancedDayGetsOneMessageWithItsDifferenceTheLastDayToo) {
    post("10/03/2026", 1000);
    post("12/03/2026", 500);
    // Two lines too many on the 12th: one message for the day, with their sum; the 15th
    // balances again only if the 12th's difference was left behind.
    addLine("00000901", "20260312", 100, 0);
    addLine("00000902", "20260312", 150, 0);
    post("15/03/2026", 700);
    post("20/03/2026", 300);
    // The last day is short of 40 in debit: its balance is negative.
    addLine("00000903", "20260320", 0, 40);
    EXPECT_EQ(run(), (std::vector<std::string>{
                         "beep", "Sbilancio di 250 il giorno 12/03/2026 | ATTENZIONE", "beep",
                         "Sbilancio di-40 il giorno 20/03/2026 | ATTENZIONE",
                         "Operazione effettuata | Zelvo"}));
    EXPECT_EQ(label, "20/03/2026");
    EXPECT_EQ(year.dialogs.boxes()[0].icon, Icon::Exclamation);
    EXPECT_EQ(year.dialogs.boxes()[2].icon, Icon::Information);
}

}  // namespace
}  // namespace zelvo
