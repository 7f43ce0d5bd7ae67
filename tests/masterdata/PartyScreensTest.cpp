// Registration, variation, card and parametric print of customers and suppliers.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ChartFixture.h"
#include "base/NumberText.h"
#include "masterdata/ChartFields.h"
#include "masterdata/PartyEntry.h"
#include "masterdata/PartyPrint.h"
#include "masterdata/PartyView.h"

#include "support/TempDir.h"

namespace zelvo {
namespace {

using party::Party;
using test::ChartFixture;
using Mode = PartyEntry::Mode;

class PartyTest : public ChartFixture {
  protected:
    template <typename Screen, typename... Args>
    std::unique_ptr<Screen> open(Args... args) {
        auto screen = std::make_unique<Screen>(session, args...);
        screen->load();
        return screen;
    }
    // Types into a field and leaves it.
    static void type(ScreenLogic& screen, const std::string& control, const std::string& text) {
        screen.form().input(control, text);
        screen.leave(control);
    }
    void registerParty(Party p, const std::string& name, const std::string& balance = "") {
        auto screen = open<PartyEntry>(p, Mode::Registration);
        type(*screen, "text1", name);
        type(*screen, "saldoiniz", balance);
        screen->click("Command1");
    }
    // Sets the running totals as posting would have left them.
    void setTotals(const std::string& number, double debit, double credit) {
        ASSERT_EQ(archives().getByKey(arc::kPc, number), 0);
        archives().copyReadToWrite(arc::kPc);
        isam::Record& r = archives().writeBuffer(arc::kPc);
        r.setNumber(chart::kProgressiveDebit, debit);
        r.setNumber(chart::kProgressiveCredit, credit);
        r.setNumber(chart::kClosingBalance, r.number(chart::kOpeningBalance) + debit - credit);
        ASSERT_EQ(archives().put(arc::kPc, number, isam::mode::kRewrite), 0);
    }
};

// Two blanks are the party_registration script's.
TEST_F(PartyTest, ANameOfBlanksTabsOrLineBreaksIsNoName) {
    std::int64_t before = 0;
    archives().count(arc::kPc, before);
    for (const char* blank : {" ", "\t", "\n", " \r\n\t"}) {
        dialogs.clear();
        registerParty(Party::Customer, blank);
        auto boxes = dialogs.boxes();
        ASSERT_EQ(boxes.size(), 1U) << blank;
        EXPECT_EQ(boxes[0].text, "Non è stata inserita la ragione sociale");
    }
    std::int64_t after = 0;
    archives().count(arc::kPc, after);
    EXPECT_EQ(after, before);
}

TEST_F(PartyTest, TypedPaymentTermsMustBeRegisteredOnes) {
    auto screen = open<PartyEntry>(Party::Customer, Mode::Registration);
    // Another letter case names the same terms; an unknown text gives the last ones back.
    for (auto [typed, shown] : {std::pair{"solo DESCRIZIONE", "Solo descrizione"},
                                {"A babbo morto", "Solo descrizione"},
                                {"", ""}}) {
        type(*screen, "text8", typed);
        EXPECT_EQ(screen->form().text("text8"), shown) << typed;
    }
    EXPECT_EQ(dialogs.beeps(), 1);
}

// The card shown on choosing the party and the field cleared afterwards are the
// party_variation script's.
TEST_F(PartyTest, VariationRewritesTheCardKeepingTheTotals) {
    registerParty(Party::Customer, "Verdi Luca", "100");
    setTotals("00051", 300, 50);
    auto screen = open<PartyEntry>(Party::Customer, Mode::Variation);
    type(*screen, "text17", "VERDI LUCA");
    // Its own name in another letter case is no clash.
    type(*screen, "text1", "VERDI Luca");
    type(*screen, "saldoiniz", "1000");
    type(*screen, "text6", "bo");
    screen->form().input("RichTextBox1", "<p>Paga sempre in ritardo</p>");
    screen->click("Command1");
    EXPECT_TRUE(dialogs.events().empty());
    ASSERT_EQ(archives().getByKey(arc::kPc, "00051"), 0);
    const isam::Record& r = archives().readBuffer(arc::kPc);
    EXPECT_EQ(r.text(chart::kDescription), "VERDI Luca");
    EXPECT_EQ(r.text(chart::kKindKey), "cVERDI Luca");
    EXPECT_EQ(r.text(chart::kGroupKey), "cfVERDI Luca");
    EXPECT_EQ(r.text(chart::kProvince), "BO");
    EXPECT_EQ(r.text(chart::kKind), "c");
    EXPECT_EQ(r.text(chart::kNotes), "<p>Paga sempre in ritardo</p>");
    EXPECT_EQ(r.number(chart::kOpeningBalance), 1000);
    EXPECT_EQ(r.number(chart::kProgressiveDebit), 300);
    EXPECT_EQ(r.number(chart::kProgressiveCredit), 50);
    EXPECT_EQ(r.number(chart::kClosingBalance), 1250);
    EXPECT_EQ(r.text(chart::kAccountCode), "000010000500051");
}

// Instalments written straight into the due-date archives, as invoices and collections
// leave them.
struct Instalment {
    int archive;
    const char* party;
    const char* invoice;
    const char* invoiceDate;
    double amount;
    const char* dueDate;
    const char* settled;
};

class PartyViewTest : public PartyTest {
  protected:
    void write(const std::vector<Instalment>& instalments) {
        int key = 0;
        for (const Instalment& i : instalments) {
            ASSERT_TRUE(archives().open(i.archive));
            archives().clearWriteBuffer(i.archive);
            isam::Record& r = archives().writeBuffer(i.archive);
            r.setText(1, i.invoice);
            r.setText(2, i.invoiceDate);
            r.setText(3, i.party);
            r.setNumber(4, i.amount);
            r.setText(5, i.dueDate);
            if (i.archive != arc::kSt) {
                r.setText(6, i.settled);
                r.setText(7, std::string(i.party) + i.dueDate);
            }
            ASSERT_EQ(archives().put(i.archive, Format(++key, "00000000"), isam::mode::kAdd), 0);
            archives().close(i.archive);
        }
    }
};

TEST_F(PartyViewTest, TheCardListsOnlyTheInstalmentsStillOpen) {
    registerParty(Party::Customer, "Rossi Mario", "1500");  // 00051
    registerParty(Party::Customer, "Rossi Marco");          // 00052
    registerParty(Party::Supplier, "Bianchi Forniture");    // 00053
    write({
        {arc::kSd, "00051", "12", "20260110", 1000, "20260410", ""},
        {arc::kSd, "00051", "7", "20260105", 500, "20260205", "20260301"},  // settled
        {arc::kSd, "00052", "13", "20260111", 700, "20260411", ""},         // another customer
        {arc::kSd, "00051", "3", "20260102", 1234567, "20260302", ""},
        {arc::kSt, "00051", "20", "20260214", 300, "20260314", ""},  // due yesterday
        {arc::kSt, "00051", "21", "20260215", 200, "20260315", ""},  // due today
        {arc::kSt, "00051", "22", "20260228", 400, "20260430", ""},
        {arc::kSf, "00053", "A/99", "20260201", 900, "20260331", ""},
        {arc::kSf, "00053", "A/98", "20260101", 800, "20260131", "20260131"},
    });
    auto customer = open<PartyView>(Party::Customer);
    type(*customer, "text17", "rossi mario");
    const FormState& f = customer->form();
    EXPECT_EQ(f.text("text1"), "Rossi Mario");
    EXPECT_EQ(f.text("saldoiniz"), "1.500");
    EXPECT_EQ(f.text("text10"), "0");
    EXPECT_EQ(f.text("text12"), "1.500");
    // In due-date order; the heading is "N. e data fatt.            Importo Scadenza".
    EXPECT_EQ(f.items("List2"), (std::vector<std::string>{
                                    "3         02/01/2026     1.234.567 02/03/2026",
                                    "12        10/01/2026         1.000 10/04/2026",
                                }));
    EXPECT_EQ(f.text("text15"), "1.235.567");
    EXPECT_EQ(f.items("List3"), (std::vector<std::string>{
                                    "21        15/02/2026           200 15/03/2026",
                                    "22        28/02/2026           400 30/04/2026",
                                }));
    EXPECT_EQ(f.text("text16"), "600");

    // A supplier's name shows nothing on the customers' card.
    type(*customer, "text17", "Bianchi Forniture");
    EXPECT_EQ(f.text("text1"), "");
    EXPECT_TRUE(f.items("List2").empty());
    EXPECT_EQ(dialogs.beeps(), 1);
    customer->unload();

    auto supplier = open<PartyView>(Party::Supplier);
    type(*supplier, "text17", "Bianchi Forniture");
    EXPECT_EQ(supplier->form().items("List2"),
              (std::vector<std::string>{"A/99      01/02/2026           900 31/03/2026"}));
    EXPECT_EQ(supplier->form().text("text15"), "900");
    supplier->unload();
    // Every archive the cards opened is closed again.
    for (int archive : {arc::kSd, arc::kSt, arc::kSf}) {
        EXPECT_FALSE(archives().isOpen(archive)) << archive;
    }
}

// The print goes to a text file, as operator scripts take it.
class FileHost : public test::RecordingHost {
  public:
    explicit FileHost(std::string path) : m_path(std::move(path)) {}
    std::unique_ptr<ReportSink> openReport() override {
        ++reports;
        return std::make_unique<TextReportSink>(m_path);
    }
    int reports = 0;

  private:
    std::string m_path;
};

struct Print {
    const char* expectedFile;
    std::vector<const char*> ticked;
    int linesPerPage;
};

class PartyPrintTest : public PartyTest, public ::testing::WithParamInterface<Print> {};

TEST_P(PartyPrintTest, ListsTheCustomersInNameOrder) {
    registerParty(Party::Customer, "Gamma Impianti", "-200");
    registerParty(Party::Customer, "Alfa Costruzioni");  // balance 0
    registerParty(Party::Supplier, "Delta Forniture", "900");
    registerParty(Party::Customer, "beta Trasporti", "0");
    setTotals("00054", 2500000, 1000);
    auto edit = open<PartyEntry>(Party::Customer, Mode::Variation);
    type(*edit, "text17", "Gamma Impianti");
    type(*edit, "text5", "Reggio nell'Emilia, frazione Cavazzoli");
    type(*edit, "text6", "re");
    type(*edit, "TEXT7", "00112233445");
    edit->click("Command1");

    const std::string path = (dir.path() / "stampa.txt").string();
    FileHost files(path);
    session.setHost(&files);
    session.values().print.linesPerPage = GetParam().linesPerPage;
    auto screen = open<PartyPrint>(Party::Customer);
    EXPECT_FALSE(screen->form().enabled("Check15"));
    for (const char* check : GetParam().ticked) {
        screen->form().inputChecked(check, true);
    }
    screen->click("Command1");
    EXPECT_TRUE(dialogs.events().empty());
    EXPECT_EQ(files.reports, 1);
    EXPECT_EQ(test::ReadFile(path),
              test::ReadFile(std::string(ZELVO_MASTERDATA_EXPECTED "/") + GetParam().expectedFile));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PartyPrintTest,
    ::testing::Values(
        // Name, city and balance of those whose closing balance is not zero.
        Print{"parties_nonzero.txt", {"Check1", "Check5", "Check12", "Check13"}, 60},
        // Every column: they go on over three lines a party, and each party stays whole on
        // a page.
        Print{"parties_all_columns.txt",
              {"Check1", "Check2", "Check3", "Check4", "Check5", "Check6", "Check7", "Check8",
               "Check9", "Check10", "Check11", "Check12"},
              9}));

}  // namespace
}  // namespace zelvo
