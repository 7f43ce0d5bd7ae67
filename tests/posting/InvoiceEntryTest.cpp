#include "posting/InvoiceEntry.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include "YearFixture.h"
#include "archive/RecordLock.h"
#include "duedates/DueDateFields.h"
#include "masterdata/VatCodeFields.h"
#include "support/Child.h"
#include "support/FaultVfs.h"

namespace zelvo {
namespace {

using K = InvoiceEntry::Kind;
using V = InvoiceEntry::Variant;

class InvoiceTest : public ::testing::Test {
  protected:
    InvoiceTest() {
        item("00051", "Rossi Mario", "c", "00005", "00001", "Ricevuta bancaria 30-60 gg f.m.");
        item("00052", "Bianchi Srl", "f", "00006", "00002", "Rimessa diretta a vista");
        item("00053", "Vendite merci", "s", "00009", "00003", "");
        item("00054", "Acquisti merci", "s", "00010", "00004", "");
        item("00055", "Cassa", "s", "00009", "00003", "");
        Archives& a = year.archives();
        a.clearWriteBuffer(arc::kCiva);
        isam::Record& r = a.writeBuffer(arc::kCiva);
        r.setText(vatcode::kVatCode, "19");
        r.setNumber(vatcode::kVatRate, 19);
        r.setText(vatcode::kVatDescription, "Aliquota 19%");
        EXPECT_EQ(a.put(arc::kCiva, "07", isam::mode::kWrite), 0);
    }
    void item(const char* number, const char* name, const char* kind, const char* conto,
              const char* mastro, const char* terms) {
        year.addItem(number, name, kind, conto, mastro, terms);
    }
    std::unique_ptr<InvoiceEntry> screen(K kind, V variant = V::Lire, std::string reg = {}) {
        auto s = std::make_unique<InvoiceEntry>(year.session(), kind, variant, std::move(reg));
        s->load();
        return s;
    }
    // Types a header and rows of (account, taxable, code), leaving each field.
    void fill(InvoiceEntry& s, const std::string& party, const std::string& number,
              const std::string& total,
              std::vector<std::tuple<std::string, std::string, std::string>> rows,
              const std::string& section = "1") {
        auto type = [&s](const std::string& control, const std::string& value) {
            s.form().input(control, value);
            s.leave(control);
        };
        type("TEXT1", "10/03/2026");
        type("text3", "08/03/2026");
        s.form().input("text4", "Fattura");
        type("text5", party);
        for (const char* c : {"text9", "text8", "text7"}) {
            if (s.layout().find(c) && s.layout().find(c)->caption == "Registro:") {
                type(c, section);
                break;
            }
        }
        type("text2", number);
        type("text6", total);
        for (size_t i = 0; i < rows.size(); ++i) {
            int row = static_cast<int>(i);
            type(CellName("controp", row), std::get<0>(rows[i]));
            type(CellName("imponibile", row), std::get<1>(rows[i]));
            type(CellName("codiva", row), std::get<2>(rows[i]));
        }
    }
    std::vector<isam::Record> lines() { return year.journal(); }
    std::vector<std::string> boxes() { return year.takeBoxes(); }

    test::DataPlace dir;
    test::Year year{dir.prefix()};
};

// Every record of an archive, in primary-key order.
std::vector<isam::Record> Records(Archives& a, int archive) {
    std::vector<isam::Record> out;
    a.open(archive);
    a.bof(archive, 0);
    while (a.get(archive, 0, isam::op::kNext, "") == 0) {
        out.push_back(a.readBuffer(archive));
    }
    a.close(archive);
    return out;
}

TEST_F(InvoiceTest, VatIsRoundedUpUnlessTheFractionIsBelowATenth) {
    auto s = screen(K::Sales);
    // 1005 at 20, 1003 at 4 and a rate-0 code are the sales_invoice script's.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"1000", "20", "200"}, {"1000", "19", "190"}, {"-1000", "20", "-200"}, {"3", "20", "1"}};
    for (const auto& [taxable, code, vat] : cases) {
        s->form().input("imponibile:0", taxable);
        s->form().input("codiva:0", code);
        s->leave("codiva:0");
        EXPECT_EQ(s->form().text("importoiva:0"), vat) << taxable << " at " << code;
    }
    // Non-deductible codes are for purchases only.
    s->form().input("codiva:0", "I20");
    s->leave("codiva:0");
    EXPECT_EQ(year.dialogs.beeps(), 1);
    EXPECT_TRUE(year.dialogs.boxes().empty());
}

TEST_F(InvoiceTest, ASalesInvoicePostsCustomerRevenuesVatRowsAndDueDates) {
    auto s = screen(K::Sales);
    fill(*s, "Rossi Mario", "7", "2400",
         {{"Vendite merci", "1000", "20"}, {"vendite merci", "1000", "20"}});
    s->click("Command1");
    EXPECT_TRUE(boxes().empty());
    auto l = lines();
    ASSERT_EQ(l.size(), 4U);
    EXPECT_EQ(l[0].text(mcf::kAccount), "00051");
    EXPECT_EQ(l[0].number(mcf::kDebit), 2400);
    EXPECT_EQ(l[1].text(mcf::kAccount), "00053");
    EXPECT_EQ(l[1].number(mcf::kCredit), 1000);
    EXPECT_EQ(l[2].text(mcf::kAccount), "00053");
    EXPECT_EQ(l[3].text(mcf::kAccount), "00012");
    EXPECT_EQ(l[3].number(mcf::kCredit), 400);
    EXPECT_EQ(l[0].text(mcf::kCausal), "fv");
    EXPECT_EQ(l[0].text(mcf::kVatSection), "1");
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
    // Two instalments of the ricevuta bancaria terms, under the invoice's reference.
    Archives& a = year.archives();
    a.open(arc::kSt);
    ASSERT_EQ(a.getByKey(arc::kSt, "00000001"), 0);
    EXPECT_EQ(a.readBuffer(arc::kSt).text(duef::kInvoiceNumber), "100007");
    EXPECT_EQ(a.readBuffer(arc::kSt).number(duef::kAmount), 1200);
    EXPECT_EQ(a.getByKey(arc::kSt, "00000002"), 0);
    a.close(arc::kSt);

    // Number 7 is taken in section 2 as well.
    fill(*s, "Rossi Mario", "7", "1200", {{"Vendite merci", "1000", "20"}}, "2");
    EXPECT_EQ(boxes(), std::vector<std::string>{"Fattura già registrata"});
    s->click("Command1");
    EXPECT_EQ(boxes(), std::vector<std::string>{"Fattura già registrata"});
    EXPECT_EQ(lines().size(), 4U);
}

// A full disk refuses the invoice: the operator reads the disk's report and the invoice stays
// on the screen, to be confirmed again once space is freed.
class FullDiskInvoiceTest : public InvoiceTest {
  protected:
    static void SetUpTestSuite() { test::FaultVfs::install(true); }
    void SetUp() override { ZELVO_FOLDER_ONLY("a full disk under SQLite containers"); }
    void TearDown() override { test::FaultVfs::heal(); }
};

TEST_F(FullDiskInvoiceTest, AnInvoiceRefusedByTheDiskStaysOnTheScreenToBeConfirmedAgain) {
    auto s = screen(K::Sales);
    fill(*s, "Rossi Mario", "7", "2400", {{"Vendite merci", "2000", "20"}});
    test::FaultVfs::failAfter(0, SQLITE_FULL);
    s->click("Command1");
    test::FaultVfs::heal();
    auto refused = boxes();
    ASSERT_GE(refused.size(), 2U);
    EXPECT_EQ(refused[0], "DISCO PIENO");
    EXPECT_EQ(refused[1].rfind("Errore: 11\r", 0), 0U) << refused[1];
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(s->form().text("text5"), "Rossi Mario");

    s->click("Command1");
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(lines().size(), 3U);
    EXPECT_EQ(s->form().text("text5"), "");
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
}

TEST_F(InvoiceTest, ZeroVatPostsNoVatLineButEveryRegisterRow) {
    auto s = screen(K::Sales);
    fill(*s, "Rossi Mario", "8", "1500",
         {{"Vendite merci", "1000", "E10"}, {"Vendite merci", "500", "N8"}});
    boxes();
    s->click("Command1");
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(lines().size(), 3U);
    std::int64_t rows = 0;
    year.archives().count(arc::kIv, rows);
    EXPECT_EQ(rows, 2);
}

TEST_F(InvoiceTest, ConfirmChecksComeInTheirOrder) {
    auto s = screen(K::Sales);
    struct Step {
        std::function<void(InvoiceEntry&)> change;
        const char* message;
    };
    auto set = [](const char* control, const char* value) {
        return [control, value](InvoiceEntry& e) { e.form().input(control, value); };
    };
    s->form().input("TEXT1", "10/03/2026");
    const Step steps[] = {
        {set("text5", ""), "NON E' STATO INSERITO IL CLIENTE"},
        {set("text5", "Rossi Mario"), "NON E' STATO INSERITO IL NUMERO DEL DOCUMENTO"},
        {set("text2", "9"), "NON E' STATO INSERITO L'IMPORTO DELLA FATTURA"},
        {set("text6", "1201"), " 1201"},
        {[](InvoiceEntry& e) {
             e.form().input("controp:0", "Vendite merci");
             e.form().input("importoiva:0", "1201");
         },
         "E' STATA INSERITA LA CONTROPARTITA MA NON L'IMPONIBILE"},
        {[](InvoiceEntry& e) {
             e.form().input("controp:0", "");
             e.form().input("imponibile:0", "1000");
             e.form().input("importoiva:0", "201");
         },
         "E' STATO INSERITO L'IMPONIBILE MA NON LA CONTROPARTITA "},
        {set("controp:0", "Vendite merci"), "E' STATO INSERITO L'IMPONIBILE MA NON IL CODICE IVA"},
        {[](InvoiceEntry& e) {
             e.form().input("codiva:0", "20");
             e.form().input("importoiva:1", "1");
             e.form().input("importoiva:0", "200");
         },
         "E' STATO INSERITO UN IMPORTO IVA MA NON LA CONTROPARTITA"},
        {set("controp:1", "Vendite merci"),
         "E' STATA INSERITA LA CONTROPARTITA MA NON L'IMPONIBILE"},
    };
    for (const Step& step : steps) {
        step.change(*s);
        s->click("Command1");
        EXPECT_EQ(boxes(), std::vector<std::string>{step.message});
    }
    EXPECT_TRUE(lines().empty());
}

TEST_F(InvoiceTest, PurchasesSplitVatAndKeepTheProtocolCounterUpward) {
    auto s = screen(K::Purchase);
    fill(*s, "Bianchi Srl", "A1", "2400",
         {{"Acquisti merci", "1000", "20"}, {"Acquisti merci", "1000", "I20"}});
    EXPECT_EQ(boxes(), std::vector<std::string>{"Iva indetraibile"});
    s->form().input("text7", "5");
    s->click("Command1");
    EXPECT_EQ(boxes(), std::vector<std::string>{});
    auto l = lines();
    ASSERT_EQ(l.size(), 5U);
    EXPECT_EQ(l[0].number(mcf::kCredit), 2400);
    EXPECT_EQ(l[0].text(mcf::kProtocol), "00005");
    EXPECT_EQ(l[0].text(mcf::kDateDocKey), "2026031000005");
    EXPECT_EQ(l[3].text(mcf::kAccount), "00011");
    EXPECT_EQ(l[3].number(mcf::kDebit), 200);
    EXPECT_EQ(l[4].text(mcf::kAccount), "00014");
    EXPECT_EQ(l[4].number(mcf::kDebit), 200);
    Archives& a = year.archives();
    ASSERT_EQ(a.getByKey(arc::kPr, "prot1"), 0);
    EXPECT_EQ(a.readBuffer(arc::kPr).number(prf::kValue), 5);

    // A lower unused protocol is accepted and the counter stays; the same supplier invoice
    // number is no obstacle; negative rows are posted in credit.
    fill(*s, "Bianchi Srl", "A1", "-1200", {{"Acquisti merci", "-1000", "20"}});
    s->form().input("text7", "3");
    s->click("Command1");
    EXPECT_TRUE(boxes().empty());
    l = lines();
    ASSERT_EQ(l.size(), 8U);
    // The supplier's line carries the total as it is; only the rows change side.
    EXPECT_EQ(l[5].number(mcf::kCredit), -1200);
    EXPECT_EQ(l[6].number(mcf::kCredit), 1000);
    EXPECT_EQ(l[7].text(mcf::kAccount), "00011");
    EXPECT_EQ(l[7].number(mcf::kCredit), 200);
    ASSERT_EQ(a.getByKey(arc::kPr, "prot1"), 0);
    EXPECT_EQ(a.readBuffer(arc::kPr).number(prf::kValue), 5);
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
}

// The euro twin: VAT by the lire rule on the euro amounts, one conversion, lire after it.
TEST_F(InvoiceTest, AEuroPurchaseIsConvertedOnceAndItsEditedCellsHoldLire) {
    year.session().values().exchangeRate = 1936.27;
    auto s = screen(K::Purchase, V::Euro);
    fill(*s, "Bianchi Srl", "E1", "121,50", {{"Acquisti merci", "100,50", "20"}});
    s->click("Command1");  // in euro nothing is posted
    EXPECT_TRUE(lines().empty());
    s->click("Command3");
    // Passing through a converted cell, pressing the conversion again, editing an amount:
    // the amounts are lire from now on and are never multiplied again.
    s->leave("imponibile:0");
    s->click("Command3");
    s->form().input("imponibile:0", "194596");
    s->leave("imponibile:0");
    s->form().input("text6", "235258");
    s->leave("text6");
    EXPECT_TRUE(s->form().enabled("Command1"));
    EXPECT_FALSE(s->form().enabled("Command3"));
    s->form().input("text7", "1");
    s->click("Command1");
    EXPECT_TRUE(boxes().empty());
    auto l = lines();
    ASSERT_EQ(l.size(), 3U);
    EXPECT_EQ(l[0].number(mcf::kCredit), 235258);
    EXPECT_EQ(l[1].number(mcf::kDebit), 194596);
    EXPECT_EQ(l[2].number(mcf::kDebit), 40662);
    // The next invoice starts in euro again.
    EXPECT_FALSE(s->form().enabled("Command1"));
    EXPECT_TRUE(s->form().enabled("Command3"));
}

// Another station posts protocol 12 (or receipt number 12) of section 1 between this
// station's entry and its confirm: this one is asked whether to take the next free number.
class NumberRaceTest : public InvoiceTest,
                       public ::testing::WithParamInterface<std::tuple<K, bool>> {};

TEST_P(NumberRaceTest, TheSecondStationIsAskedAndTheNumbersStayContiguous) {
    const auto [kind, yes] = GetParam();
    const bool purchase = kind == K::Purchase;
    const char* party = purchase ? "Bianchi Srl" : "Cassa";
    const char* numberField = purchase ? "text7" : "text2";
    auto s = screen(kind);
    fill(*s, party, purchase ? "X9" : "12", "1200",
         {{purchase ? "Acquisti merci" : "Vendite merci", "1000", "20"}});
    s->form().input(numberField, "12");
    s->leave(numberField);
    // The other station holds the section's counter lock while this one confirms: this
    // one's checks pass, it waits for the lock, and finds number 12 taken meanwhile.
    test::Child other([&](test::Child& self) {
        test::Year station(dir.prefix());
        InvoiceEntry e(station.session(), kind, V::Lire);
        e.load();
        RecordLock held(station.archives(), arc::kPr, purchase ? "prot1" : "co1", 0);
        self.tell("locked");
        if (!self.awaitGo()) {
            return 1;
        }
        for (const auto& [control, value] : std::vector<std::pair<const char*, const char*>>{
                 {"TEXT1", "10/03/2026"},
                 {"text3", "10/03/2026"},
                 {"text5", party},
                 {numberField, "12"},
                 {"text6", "120"},
                 {"controp:0", purchase ? "Acquisti merci" : "Vendite merci"},
                 {"imponibile:0", "100"},
                 {"codiva:0", "20"},
                 {"importoiva:0", "20"}}) {
            e.form().input(control, value);
        }
        e.click("Command1");
        return e.lastPosted() > 0 ? 0 : 1;
    });
    ASSERT_EQ(other.hear(), "locked");
    year.archives().setLockWaitHook([&other](LockWait) { other.go(); });
    year.dialogs.queueAnswer(yes ? Answer::Yes : Answer::No);
    s->click("Command1");
    ASSERT_EQ(other.wait(), 0);
    auto b = year.dialogs.boxes();
    ASSERT_EQ(b.size(), 1U);
    EXPECT_EQ(b[0].text,
              std::string("Un'altra registrazione è stata nel frattempo effettuata con il "
                          "numero di ") +
                  (purchase ? "protocollo" : "documento") +
                  " inserito. Si vuole effettuare la registrazione con il primo numero "
                  "successivo disponibile ?");
    EXPECT_EQ(b[0].icon, Icon::Question);
    EXPECT_EQ(b[0].title, "Zelvo");
    Archives& a = year.archives();
    ASSERT_EQ(a.getByKey(arc::kPr, purchase ? "prot1" : "co1"), 0);
    EXPECT_EQ(a.readBuffer(arc::kPr).number(prf::kValue), yes ? 13 : 12);
    auto l = lines();
    ASSERT_EQ(l.size(), yes ? 6U : 3U);
    if (yes) {
        EXPECT_EQ(l[3].text(purchase ? mcf::kProtocol : mcf::kDocNumber),
                  purchase ? "00013" : "000013");
        auto rows = Records(a, purchase ? arc::kIa : arc::kIc);
        ASSERT_EQ(rows.size(), 2U);
        EXPECT_EQ(rows[1].text(purchase ? iaf::kSectionProtocolKey : icf::kSectionNumberKey),
                  "100013");
        // A purchase keeps the protocol taken for the next one; a receipt starts afresh.
        EXPECT_EQ(s->form().text("text7"), purchase ? "13" : "1");
        EXPECT_EQ(s->form().text("text6"), "");
    } else {
        EXPECT_EQ(s->takeFocusRequest(), numberField);
        EXPECT_EQ(s->form().text(numberField), "12");
    }
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, NumberRaceTest,
    ::testing::Combine(::testing::Values(K::Purchase, K::Receipt), ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param) == K::Purchase ? "Protocol" : "Receipt") +
               (std::get<1>(info.param) ? "Yes" : "No");
    });

TEST_F(InvoiceTest, APurchaseRevisionKeepsItsOwnProtocolAndReplacesItsDueDates) {
    auto s = screen(K::Purchase);
    fill(*s, "Bianchi Srl", "F1", "1200", {{"Acquisti merci", "1000", "20"}});
    s->form().input("text7", "4");
    s->click("Command1");
    ASSERT_EQ(s->lastPosted(), 1);
    auto r = screen(K::Purchase, V::Revision, "1");
    EXPECT_EQ(r->form().text("text7"), "4");
    EXPECT_EQ(r->form().text("text2"), "0000F1");
    r->form().input("text6", "600");
    r->form().input("imponibile:0", "500");
    r->form().input("importoiva:0", "100");
    r->click("Command1");
    EXPECT_TRUE(boxes().empty());
    auto l = lines();
    ASSERT_EQ(l.size(), 3U);
    EXPECT_EQ(l[0].text(mcf::kProtocol), "00004");
    EXPECT_EQ(l[0].number(mcf::kCredit), 600);
    Archives& a = year.archives();
    std::int64_t rows = 0;
    a.count(arc::kIa, rows);
    EXPECT_EQ(rows, 1);
    a.open(arc::kSf);
    std::int64_t dues = 0;
    a.count(arc::kSf, dues);
    EXPECT_EQ(dues, 1);
    ASSERT_EQ(a.get(arc::kSf, 0, isam::op::kFind, ""), 0);
    EXPECT_EQ(a.readBuffer(arc::kSf).number(duef::kAmount), 600);
    a.close(arc::kSf);
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
}

TEST_F(InvoiceTest, ANegativeSalesVatTotalIsANegativeCredit) {
    auto s = screen(K::Sales);
    fill(*s, "Rossi Mario", "9", "-1200",
         {{"Vendite merci", "1000", "20"}, {"Vendite merci", "-2000", "20"}});
    EXPECT_EQ(s->form().text("importoiva:1"), "-400");
    s->click("Command1");
    EXPECT_TRUE(boxes().empty());
    auto l = lines();
    ASSERT_EQ(l.size(), 4U);
    EXPECT_EQ(l[2].number(mcf::kDebit), 2000);  // the negative row changes side
    EXPECT_EQ(l[3].text(mcf::kAccount), "00012");
    EXPECT_EQ(l[3].number(mcf::kDebit), 0);
    EXPECT_EQ(l[3].number(mcf::kCredit), -200);
    auto totals = year.storedTotals();
    EXPECT_EQ(totals["00012"], std::make_pair(0.0, -200.0));
    EXPECT_EQ(totals, year.recomputedTotals());
}

// Invoice numbers beyond five digits: the revision finds the due dates the invoice generated.
struct LongNumber {
    const char* name;
    K kind;
    const char* number;
    int dueArchive;
    const char* reference;
    size_t instalments;
};

void PrintTo(const LongNumber& n, std::ostream* os) {
    *os << n.name;
}

class LongNumberTest : public InvoiceTest, public ::testing::WithParamInterface<LongNumber> {};

TEST_P(LongNumberTest, ARevisionLeavesOnlyTheNewInstalments) {
    const LongNumber& p = GetParam();
    const bool sales = p.kind == K::Sales;
    auto s = screen(p.kind);
    fill(*s, sales ? "Rossi Mario" : "Bianchi Srl", p.number, "1200",
         {{sales ? "Vendite merci" : "Acquisti merci", "1000", "20"}});
    if (!sales) {
        s->form().input("text7", "4");
    }
    s->click("Command1");
    ASSERT_EQ(s->lastPosted(), 1);
    boxes();
    ASSERT_EQ(Records(year.archives(), p.dueArchive).size(), p.instalments);

    auto r = screen(p.kind, V::Revision, "1");
    r->form().input("text6", "2400");
    r->form().input("imponibile:0", "2000");
    r->form().input("importoiva:0", "400");
    r->click("Command1");
    EXPECT_TRUE(boxes().empty());
    EXPECT_GT(r->lastPosted(), 1);
    auto dues = Records(year.archives(), p.dueArchive);
    ASSERT_EQ(dues.size(), p.instalments);
    double sum = 0;
    for (const isam::Record& d : dues) {
        EXPECT_EQ(d.text(duef::kInvoiceNumber), p.reference);
        sum += d.number(duef::kAmount);
    }
    EXPECT_EQ(sum, 2400);
}

INSTANTIATE_TEST_SUITE_P(
    Invoices, LongNumberTest,
    ::testing::Values(LongNumber{"Sales", K::Sales, "123456", arc::kSt, "1123456", 2},
                      LongNumber{"Purchase", K::Purchase, "12345678", arc::kSf, "12345678", 1}),
    [](const auto& info) { return std::string(info.param.name); });

// Another station revises (or annuls) the invoice while this one has its revision open; this
// one confirms afterwards.
class InvoiceRevisionRaceTest : public InvoiceTest,
                                public ::testing::WithParamInterface<std::tuple<K, bool>> {};

TEST_P(InvoiceRevisionRaceTest, TheLaterConfirmPostsAndRemovesNothing) {
    const auto [kind, annul] = GetParam();
    const bool purchase = kind == K::Purchase;
    auto s = screen(kind);
    fill(*s,
         kind == K::Sales ? "Rossi Mario"
         : purchase       ? "Bianchi Srl"
                          : "Cassa",
         "7", "1200", {{purchase ? "Acquisti merci" : "Vendite merci", "1000", "20"}});
    if (purchase) {
        s->form().input("text7", "4");
    }
    s->click("Command1");
    ASSERT_EQ(s->lastPosted(), 1);
    auto mine = screen(kind, V::Revision, "1");

    test::Child other([this, kind, annul](test::Child&) {
        test::Year station(dir.prefix());
        if (annul) {
            return PostingEngine(station.session()).remove("1") == 3 ? 0 : 1;
        }
        InvoiceEntry e(station.session(), kind, V::Revision, "1");
        e.load();
        e.form().input("text6", "600");
        e.form().input("imponibile:0", "500");
        e.form().input("importoiva:0", "100");
        e.click("Command1");
        return e.lastPosted() > 0 && station.dialogs.boxes().empty() ? 0 : 1;
    });
    ASSERT_EQ(other.wait(), 0);
    const int vatArchive = kind == K::Sales ? arc::kIv : purchase ? arc::kIa : arc::kIc;
    // Receipts have no due dates: their empty archive stands in.
    const int dueArchive = kind == K::Sales ? arc::kSt : arc::kSf;
    const auto theirLines = lines();
    const auto theirVatRows = Records(year.archives(), vatArchive);
    const auto theirDues = Records(year.archives(), dueArchive);
    ASSERT_EQ(theirDues.empty(), kind == K::Receipt);

    mine->form().input("text6", "2400");
    mine->form().input("imponibile:0", "2000");
    mine->form().input("importoiva:0", "400");
    mine->click("Command1");
    EXPECT_EQ(mine->lastPosted(), 0);
    auto b = year.dialogs.boxes();
    ASSERT_EQ(b.size(), 1U);
    EXPECT_EQ(b[0].title, "Attenzione");
    EXPECT_EQ(b[0].icon, Icon::Exclamation);
    EXPECT_EQ(b[0].text,
              "La registrazione è stata modificata o annullata da un'altra postazione: la "
              "revisione non è stata registrata.");
    EXPECT_EQ(lines(), theirLines);
    EXPECT_EQ(Records(year.archives(), vatArchive), theirVatRows);
    EXPECT_EQ(Records(year.archives(), dueArchive), theirDues);
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
    EXPECT_TRUE(mine->closeRequested());
}

INSTANTIATE_TEST_SUITE_P(Stations, InvoiceRevisionRaceTest,
                         ::testing::Combine(::testing::Values(K::Sales, K::Purchase, K::Receipt),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             const K kind = std::get<0>(info.param);
                             return std::string(kind == K::Sales      ? "Sales"
                                                : kind == K::Purchase ? "Purchase"
                                                                      : "Receipt") +
                                    (std::get<1>(info.param) ? "Annulled" : "Revised");
                         });

TEST_F(InvoiceTest, APurchaseIsNotPostedWithoutTheProtocolLock) {
    ZELVO_FOLDER_ONLY("the record locks are taken in a lock file beside the container");
    // The year's lock file cannot be opened: the system refuses every record lock.
    const std::string lockFile =
        year.archives().recordManager().locate(year.archives().fileName(arc::kPr)).container +
        "-lck";
    std::filesystem::remove(lockFile);
    ASSERT_TRUE(std::filesystem::create_directory(lockFile));
    test::Year station(dir.prefix());
    InvoiceEntry e(station.session(), K::Purchase, V::Lire);
    e.load();
    fill(e, "Bianchi Srl", "F1", "1200", {{"Acquisti merci", "1000", "20"}});
    e.form().input("text7", "4");
    station.dialogs.clear();
    e.click("Command1");
    EXPECT_EQ(e.lastPosted(), 0);
    auto b = station.dialogs.boxes();
    ASSERT_EQ(b.size(), 2U);
    EXPECT_EQ(b[0].text, "ERRORE DOS");
    EXPECT_EQ(b[1].text,
              "Errore: 13\rOperazione: registrazione dati\rArchivio: progressivi\rPosizione: 745");
    EXPECT_TRUE(lines().empty());
    EXPECT_TRUE(Records(year.archives(), arc::kIa).empty());
    EXPECT_TRUE(Records(year.archives(), arc::kSf).empty());
}

// F6 in a VAT cell splits the gross amount typed as taxable, to the nearest lira.
TEST_F(InvoiceTest, ScorporoSplitsTheGrossAmountExactly) {
    auto s = screen(K::Receipt);
    // 1200 at 20 and 1100 at 10 (just below 1000 in double precision) are cash_receipt's.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"1000", "20", "833", "167"},
        {"-1200", "20", "-1000", "-200"},
        {"1000", "E10", "1000", ""}};
    for (const auto& [gross, code, taxable, vat] : cases) {
        s->form().input("imponibile:0", gross);
        s->form().input("codiva:0", code);
        s->focus("importoiva:0");
        EXPECT_EQ(year.session().panel(2), "F6 scorporo iva");
        EXPECT_TRUE(s->key("importoiva:0", "F6"));
        EXPECT_EQ(s->form().text("imponibile:0"), taxable) << gross << " at " << code;
        EXPECT_EQ(s->form().text("importoiva:0"), vat) << gross << " at " << code;
        s->leave("importoiva:0");
        EXPECT_EQ(year.session().panel(2), "");
    }
    // Without a known code there is nothing to extract by.
    for (const char* code : {"", "XX"}) {
        s->form().input("imponibile:1", "1200");
        s->form().input("codiva:1", code);
        EXPECT_FALSE(s->key("importoiva:1", "F6"));
        EXPECT_EQ(s->form().text("imponibile:1"), "1200");
    }
}

TEST_F(InvoiceTest, AReceiptPostsTheTillRevenuesAndItsOwnRegister) {
    auto s = screen(K::Receipt);
    fill(*s, "Cassa", "5", "2300",
         {{"Vendite merci", "1200", "20"}, {"Vendite merci", "1100", "10"}});
    for (int row : {0, 1}) {
        s->key(CellName("importoiva", row), "F6");
    }
    s->click("Command1");
    EXPECT_TRUE(boxes().empty());
    auto l = lines();
    ASSERT_EQ(l.size(), 4U);
    const std::tuple<const char*, double, double> expected[] = {
        {"00055", 2300, 0}, {"00053", 0, 1000}, {"00053", 0, 1000}, {"00013", 0, 300}};
    for (size_t i = 0; i < l.size(); ++i) {
        EXPECT_EQ(l[i].text(mcf::kAccount), std::get<0>(expected[i]));
        EXPECT_EQ(l[i].number(mcf::kDebit), std::get<1>(expected[i]));
        EXPECT_EQ(l[i].number(mcf::kCredit), std::get<2>(expected[i]));
        EXPECT_EQ(l[i].text(mcf::kCausal), "co");
        EXPECT_EQ(l[i].text(mcf::kDocNumber), "000005");
    }
    auto rows = Records(year.archives(), arc::kIc);
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[1].text(icf::kMonth), "03");  // of the document date
    EXPECT_EQ(rows[1].text(icf::kNumber), "00005");
    EXPECT_EQ(rows[1].text(icf::kDocDate), "20260308");
    EXPECT_EQ(rows[1].number(icf::kTaxable), 1000);
    EXPECT_EQ(rows[1].number(icf::kVat), 100);
    EXPECT_EQ(rows[1].text(icf::kVatRateText), " 10");
    EXPECT_EQ(rows[1].text(icf::kSectionNumberKey), "100005");
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
    // Number, amount and grid are cleared.
    for (const char* cleared : {"text2", "text6", "controp:0", "importoiva:1"}) {
        EXPECT_EQ(s->form().text(cleared), "") << cleared;
    }
    Archives& a = year.archives();
    ASSERT_EQ(a.getByKey(arc::kPr, "co1"), 0);
    EXPECT_EQ(a.readBuffer(arc::kPr).number(prf::kValue), 5);
    s->focus("text2");
    EXPECT_EQ(s->form().text("text2"), "6");
    EXPECT_TRUE(Records(year.archives(), arc::kSt).empty());
}

// The receipt's refusals in their order, the purchase-only VAT code and a number taken in
// its own section are the cash_receipt script's; a number is taken in every section.
TEST_F(InvoiceTest, AReceiptNumberIsTakenInEverySection) {
    auto s = screen(K::Receipt);
    fill(*s, "Cassa", "5", "120", {{"Vendite merci", "100", "20"}});
    s->click("Command1");
    ASSERT_EQ(s->lastPosted(), 1);
    const auto posted = lines();
    fill(*s, "Cassa", "5", "120", {{"Vendite merci", "100", "20"}});
    s->form().input("text7", "2");
    s->click("Command1");
    EXPECT_EQ(boxes(), std::vector<std::string>{"Documento già registrato"});
    EXPECT_EQ(lines(), posted);
}

// A credit note is its invoice mirrored: every side swapped, the register rows negated, and
// the party line keyed to the invoice it corrects, which stays as it was.
class CreditNoteTest : public InvoiceTest, public ::testing::WithParamInterface<K> {
  protected:
    bool customer() const { return GetParam() == K::CustomerCredit; }
    const char* party() const { return customer() ? "Rossi Mario" : "Bianchi Srl"; }
    const char* account() const { return customer() ? "Vendite merci" : "Acquisti merci"; }
    const char* refNumber() const { return customer() ? "text7" : "text9"; }
    const char* refDate() const { return customer() ? "text8" : "text10"; }
    int vatArchive() const { return customer() ? arc::kIv : arc::kIa; }
    // Invoice 15 of 10/03, then a credit note of 1,200 on it.
    // `number` is the invoice's: the customer's as the sales register numbers it, the
    // supplier's as its document says; the note names it as `reference` (the same unless
    // given).
    void postInvoiceAndNote(const char* number = "15", const char* reference = nullptr) {
        auto invoice = screen(customer() ? K::Sales : K::Purchase);
        fill(*invoice, party(), number, "2400", {{account(), "2000", "20"}});
        invoice->form().input("text3", "10/03/2026");
        if (!customer()) {
            invoice->form().input("text7", "1");
        }
        invoice->click("Command1");
        ASSERT_EQ(invoice->lastPosted(), 1);
        auto note = screen(GetParam());
        fill(*note, party(), "15", "1200", {{account(), "1000", "20"}});
        note->form().input(refNumber(), reference != nullptr ? reference : number);
        note->form().input(refDate(), "10/03/2026");
        if (!customer()) {
            note->form().input("text7", "2");
        }
        boxes();
        note->click("Command1");
        EXPECT_TRUE(boxes().empty());
        ASSERT_EQ(note->lastPosted(), 4);
    }
};

TEST_P(CreditNoteTest, PostsTheMirrorOfItsInvoiceKeyedToIt) {
    postInvoiceAndNote();
    auto l = lines();
    ASSERT_EQ(l.size(), 6U);
    const std::string partyNumber = customer() ? "00051" : "00052";
    // Party, counter-account, VAT: the note's sides are the invoice's swapped.
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(l[3 + i].text(mcf::kAccount), l[i].text(mcf::kAccount));
        EXPECT_EQ(l[3 + i].number(mcf::kDebit), l[i].number(mcf::kCredit) / 2);
        EXPECT_EQ(l[3 + i].number(mcf::kCredit), l[i].number(mcf::kDebit) / 2);
        EXPECT_EQ(l[3 + i].text(mcf::kCausal), customer() ? "cv" : "ca");
    }
    EXPECT_EQ(l[5].text(mcf::kAccount), customer() ? "00012" : "00011");
    // The party line's document key is the invoice's: the account card matches them.
    EXPECT_EQ(l[3].text(mcf::kAccountDocKey), partyNumber + "20260310000015");
    EXPECT_EQ(l[3].text(mcf::kAccountDocKey), l[0].text(mcf::kAccountDocKey));
    EXPECT_EQ(l[3].text(mcf::kDocNumber), "000015");
    EXPECT_EQ(l[3].text(mcf::kDocDate), "20260308");
    auto rows = Records(year.archives(), vatArchive());
    ASSERT_EQ(rows.size(), 2U);
    const int taxable = customer() ? ivf::kTaxable : iaf::kTaxable;
    const int vat = customer() ? ivf::kVat : iaf::kVat;
    EXPECT_EQ(rows[1].number(taxable), -1000);
    EXPECT_EQ(rows[1].number(vat), -200);
    if (!customer()) {
        EXPECT_EQ(rows[1].text(iaf::kProtocol), "00002");
        Archives& a = year.archives();
        ASSERT_EQ(a.getByKey(arc::kPr, "prot1"), 0);
        EXPECT_EQ(a.readBuffer(arc::kPr).number(prf::kValue), 2);
    }
    // Only the invoice (of 10/03) generated due dates, not the note (of 08/03).
    const auto dues = Records(year.archives(), customer() ? arc::kSt : arc::kSf);
    ASSERT_FALSE(dues.empty());
    for (const isam::Record& d : dues) {
        EXPECT_EQ(d.text(duef::kInvoiceDate), "20260310");
    }
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
}

TEST_P(CreditNoteTest, ChecksComeInTheirOrderAndWriteNothing) {
    auto s = screen(GetParam());
    s->form().input("TEXT1", "10/03/2026");
    const std::vector<test::Year::Refusal> steps = {
        {"text5", "",
         customer() ? "NON E' STATO INSERITO IL CLIENTE" : "NON E' STATO INSERITO IL FORNITORE"},
        {"text5", party(), "NON E' STATO INSERITO IL NUMERO DEL DOCUMENTO"},
        {"text2", "3", "NON E' STATO INSERITO L'IMPORTO DELLA FATTURA"},
        {"text6", "1200", "NON E' STATO INSERITO IL RIFERIMENTO DELLA PARTITA (NUMERO FATTURA)"},
        {refNumber(), "15", "NON E' STATO INSERITO IL RIFERIMENTO DELLA PARTITA (DATA FATTURA)"},
        {refDate(), "31/04/2026", "La data inserita non è valida"},
        {refDate(), "10/03/2026",
         customer() ? " 1200" : "NON E' STATO INSERITO IL NUMERO DI PROTOCOLLO"},
    };
    year.expectRefusals(*s, steps);
    EXPECT_TRUE(lines().empty());
}

TEST_P(CreditNoteTest, ARevisionReplacesTheNoteAndLeavesTheInvoiceAlone) {
    postInvoiceAndNote();
    const auto invoiceRow = Records(year.archives(), vatArchive()).front();
    auto r = screen(GetParam(), V::Revision, "4");
    EXPECT_EQ(r->form().text(refNumber()), "15");
    EXPECT_EQ(r->form().text(refDate()), "10/03/2026");
    EXPECT_EQ(r->form().text("text6"), "1200");
    r->form().input("text6", "600");
    r->form().input("imponibile:0", "500");
    r->form().input("importoiva:0", "100");
    r->click("Command1");
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(r->lastPosted(), 7);
    auto rows = Records(year.archives(), vatArchive());
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0], invoiceRow);
    EXPECT_EQ(rows[1].number(customer() ? ivf::kTaxable : iaf::kTaxable), -500);
    auto l = lines();
    ASSERT_EQ(l.size(), 6U);
    EXPECT_EQ(l[3].text(mcf::kAccountDocKey), l[0].text(mcf::kAccountDocKey));
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
}

// The note names the invoice as the invoice's own line keys it: a customer's "015" is
// invoice 15, and a supplier's "A/15" (suppliers number as they like) stays as typed. The
// revision names the same invoice again.
TEST_P(CreditNoteTest, TheReferenceNamesTheInvoiceAsItsOwnLineKeysIt) {
    postInvoiceAndNote(customer() ? "15" : "A/15", customer() ? "015" : "A/15");
    const std::string key = lines()[3].text(mcf::kAccountDocKey);
    EXPECT_EQ(key, lines()[0].text(mcf::kAccountDocKey));
    auto r = screen(GetParam(), V::Revision, "4");
    EXPECT_EQ(r->form().text(refNumber()), customer() ? "15" : "A/15");
    r->form().input("text4", "Reso merce");
    r->click("Command1");
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(r->lastPosted(), 7);
    EXPECT_EQ(lines()[3].text(mcf::kAccountDocKey), key);
}

INSTANTIATE_TEST_SUITE_P(Parties, CreditNoteTest,
                         ::testing::Values(K::CustomerCredit, K::SupplierCredit),
                         [](const auto& info) {
                             return std::string(info.param == K::CustomerCredit ? "Customer"
                                                                                : "Supplier");
                         });

}  // namespace
}  // namespace zelvo
