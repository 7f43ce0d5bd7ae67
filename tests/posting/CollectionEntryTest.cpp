#include "posting/CollectionEntry.h"

#include <gtest/gtest.h>

#include "YearFixture.h"
#include "duedates/DueDateFields.h"
#include "posting/InvoiceEntry.h"
#include "support/Child.h"

namespace zelvo {
namespace {

using K = CollectionEntry::Kind;

// An invoice of 2,400 of 08/03 in two instalments of 1,200, due 30/04 and 31/05, then the
// screen that collects (or pays) them.
class CollectionTest : public ::testing::TestWithParam<K> {
  protected:
    CollectionTest() {
        item("00051", "Rossi Mario", "c", "00005", "00001");
        item("00052", "Bianchi Srl", "f", "00006", "00002");
        item("00053", "Vendite merci", "s", "00009", "00003");
        item("00055", "Banca", "s", "00021", "00001");
        const bool sales = GetParam() == K::Collection;
        InvoiceEntry invoice(year.session(),
                             sales ? InvoiceEntry::Kind::Sales : InvoiceEntry::Kind::Purchase,
                             InvoiceEntry::Variant::Lire);
        invoice.load();
        for (const auto& [control, value] :
             std::vector<std::pair<const char*, const char*>>{{"TEXT1", "10/03/2026"},
                                                              {"text2", "7"},
                                                              {"text3", "08/03/2026"},
                                                              {"text5", party()},
                                                              {"text6", "2400"},
                                                              {"text7", sales ? "1" : "3"},
                                                              {"controp:0", "Vendite merci"},
                                                              {"imponibile:0", "2000"},
                                                              {"codiva:0", "20"},
                                                              {"importoiva:0", "400"}}) {
            invoice.form().input(control, value);
        }
        invoice.click("Command1");
        EXPECT_EQ(invoice.lastPosted(), 1);
        EXPECT_TRUE(year.dialogs.boxes().empty());
        invoice.unload();
    }
    void item(const char* number, const char* name, const char* kind, const char* conto,
              const char* mastro) {
        year.addItem(number, name, kind, conto, mastro,
                     "Rimessa diretta 30-60 gg f.m. salta agosto");
    }
    bool collection() const { return GetParam() == K::Collection; }
    const char* party() const { return collection() ? "Rossi Mario" : "Bianchi Srl"; }
    int dueArchive() const { return collection() ? arc::kSd : arc::kSf; }
    std::unique_ptr<CollectionEntry> screen(std::string reg = {}) {
        auto s = std::make_unique<CollectionEntry>(year.session(), GetParam(), std::move(reg));
        s->load();
        return s;
    }
    void header(CollectionEntry& s, const char* total) {
        s.form().input("TEXT1", "20/03/2026");
        s.form().input("text2", "1");
        s.form().input("text4", "Incasso");
        s.form().input("text5", party());
        s.leave("text5");
        s.form().input("text6", total);
        s.form().input("text7", "Banca");
    }
    // The settled mark of each instalment, in due-date order.
    std::vector<std::string> settled() {
        Archives& a = year.archives();
        a.open(dueArchive());
        std::vector<std::string> out;
        a.bof(dueArchive(), 0);
        while (a.get(dueArchive(), 0, isam::op::kNext, "") == 0) {
            out.push_back(a.readBuffer(dueArchive()).text(duef::kSettledDate));
        }
        a.close(dueArchive());
        return out;
    }
    std::vector<std::string> boxes() { return year.takeBoxes(); }

    test::DataPlace dir;
    test::Year year{dir.prefix()};
};

TEST_P(CollectionTest, SettlesSeveralInstalmentsWithADiscountAndARevisionRestoresThem) {
    auto s = screen();
    header(*s, "2380");
    ASSERT_EQ(s->form().items("List1").size(), 2U);
    for (int i : {0, 1}) {
        s->form().inputSelected("List1", i);
        s->doubleClick("List1");
    }
    EXPECT_EQ(s->form().text("nfatt:1"), "7");
    EXPECT_EQ(s->form().text("dfatt:1"), "08/03/2026");
    EXPECT_EQ(s->form().text("dscad:1"), "31/05/2026");
    EXPECT_EQ(s->form().text("impfatt:0"), "1200");
    s->form().input("impfatt:0", "1180");
    s->form().input("abbuono:0", "20");
    s->click("Command1");
    EXPECT_TRUE(boxes().empty());
    ASSERT_EQ(s->lastPosted(), 4);
    auto l = year.journal();
    ASSERT_EQ(l.size(), 8U);
    const std::string partyNumber = collection() ? "00051" : "00052";
    const std::string discount = collection() ? "00020" : "00015";
    const bool c = collection();
    // (account, money side, amount): the bank, the two instalments, the discount pair.
    const std::tuple<std::string, bool, double> expected[] = {{"00055", c, 2380},
                                                              {partyNumber, !c, 1180},
                                                              {partyNumber, !c, 1200},
                                                              {partyNumber, !c, 20},
                                                              {discount, c, 20}};
    for (size_t i = 0; i < 5; ++i) {
        const isam::Record& r = l[3 + i];
        EXPECT_EQ(r.text(mcf::kAccount), std::get<0>(expected[i])) << i;
        EXPECT_EQ(r.number(std::get<1>(expected[i]) ? mcf::kDebit : mcf::kCredit),
                  std::get<2>(expected[i]))
            << i;
        EXPECT_EQ(r.text(mcf::kCausal), c ? "if" : "pf");
    }
    // The partner's lines carry the invoice's document key, as its own line does.
    for (size_t i : {4U, 5U, 6U}) {
        EXPECT_EQ(l[i].text(mcf::kAccountDocKey), l[0].text(mcf::kAccountDocKey));
        EXPECT_EQ(l[i].text(mcf::kDocNumber), "000007");
    }
    EXPECT_EQ(l[6].text(mcf::kDescription), "Incasso (abbuono)");
    EXPECT_EQ(settled(), (std::vector<std::string>{"20260320", "20260320"}));
    EXPECT_TRUE(s->form().items("List1").empty());
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());

    // The revision keeps only the first instalment: the second opens again.
    auto r = screen("4");
    EXPECT_EQ(r->form().text("text7"), "Banca");
    EXPECT_EQ(r->form().text("abbuono:0"), "20");
    EXPECT_EQ(r->form().text("dscad:1"), "31/05/2026");
    for (const char* cell : {"nfatt:1", "dfatt:1", "impfatt:1", "dscad:1"}) {
        r->form().input(cell, "");
    }
    r->form().input("text6", "1180");
    r->click("Command1");
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(r->lastPosted(), 9);
    EXPECT_EQ(settled(), (std::vector<std::string>{"20260320", ""}));
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());

    // The annulment opens both and leaves the invoice alone.
    auto gone = screen("9");
    EXPECT_TRUE(gone->annul());
    EXPECT_EQ(settled(), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(year.journal().size(), 3U);
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
}

TEST_P(CollectionTest, PartOfAnInstalmentSettlesOnlyTheOneItsDueDateNames) {
    auto s = screen();
    header(*s, "500");
    s->form().inputSelected("List1", 1);
    s->doubleClick("List1");
    s->form().input("impfatt:0", "500");
    s->click("Command1");
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(settled(), (std::vector<std::string>{"", "20260320"}));
    ASSERT_EQ(s->form().items("List1").size(), 1U);
    EXPECT_NE(s->form().items("List1")[0].find("30/04/2026"), std::string::npos);
}

// Two invoices of the partner fall due on the same days: settling the second invoice's
// instalment passes over the first's, already settled, of the same due date.
TEST_P(CollectionTest, AnInstalmentIsSettledBehindAnotherOfTheSameDueDate) {
    InvoiceEntry invoice(year.session(),
                         collection() ? InvoiceEntry::Kind::Sales : InvoiceEntry::Kind::Purchase,
                         InvoiceEntry::Variant::Lire);
    invoice.load();
    for (const auto& [control, value] :
         std::vector<std::pair<const char*, const char*>>{{"TEXT1", "10/03/2026"},
                                                          {"text2", "8"},
                                                          {"text3", "08/03/2026"},
                                                          {"text5", party()},
                                                          {"text6", "2400"},
                                                          {"text7", collection() ? "1" : "4"},
                                                          {"controp:0", "Vendite merci"},
                                                          {"imponibile:0", "2000"},
                                                          {"codiva:0", "20"},
                                                          {"importoiva:0", "400"}}) {
        invoice.form().input(control, value);
    }
    invoice.click("Command1");
    ASSERT_GT(invoice.lastPosted(), 0);
    invoice.unload();
    boxes();
    auto s = screen();
    // Invoice 7's instalment of 30/04, then invoice 8's of the same day.
    for (const char* number : {"7", "8"}) {
        header(*s, "1200");
        const auto items = s->form().items("List1");
        int pick = -1;
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].find("30/04/2026") != std::string::npos &&
                items[i].substr(0, 6) == std::string(5, ' ') + number) {
                pick = static_cast<int>(i);
            }
        }
        ASSERT_GE(pick, 0) << number;
        s->form().inputSelected("List1", pick);
        s->doubleClick("List1");
        s->click("Command1");
        EXPECT_TRUE(boxes().empty());
    }
    EXPECT_EQ(settled(), (std::vector<std::string>{"20260320", "", "20260320", ""}));
}

TEST_P(CollectionTest, ChecksComeInTheirOrderAndWriteNothing) {
    auto s = screen();
    s->form().input("TEXT1", "20/03/2026");
    const std::vector<test::Year::Refusal> steps = {
        {"text5", "",
         collection() ? "NON E' STATO INSERITO IL CLIENTE" : "NON E' STATO INSERITO IL FORNITORE"},
        {"text5", party(),
         collection() ? "NON E' STATO INSERITO L'IMPORTO INCASSATO"
                      : "NON E' STATO INSERITO L'IMPORTO PAGATO"},
        {"text6", "1000", "NON E' STATA INSERITA LA CONTROPARTITA"},
        // Nothing in the grid yet: the whole total is the difference.
        {"text7", "Banca", " 1000"},
        {"abbuono:0", "20", "E' STATO INSERITO UN ABBUONO MA NON L'IMPORTO"},
        {"impfatt:0", "1100", "-100"},
        {"dfatt:0", "31/04/2026", "La data inserita non è valida"},
    };
    year.expectRefusals(*s, steps);
    // A counter-account must be a sub-account.
    s->form().input("dfatt:0", "");
    s->form().input("text7", "Crediti");
    s->click("Command1");
    EXPECT_EQ(year.dialogs.beeps(), 1);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(year.journal().size(), 3U);
}

// Another station revises the collection while this one has its revision open.
TEST_P(CollectionTest, ARevisionConfirmedAfterAnotherStationsPostsNothing) {
    auto s = screen();
    header(*s, "1200");
    s->form().inputSelected("List1", 0);
    s->doubleClick("List1");
    s->click("Command1");
    ASSERT_EQ(s->lastPosted(), 4);
    auto mine = screen("4");
    test::Child other([this](test::Child&) {
        test::Year station(dir.prefix());
        CollectionEntry e(station.session(), GetParam(), "4");
        e.load();
        e.form().input("text6", "600");
        e.form().input("impfatt:0", "600");
        e.click("Command1");
        return e.lastPosted() == 6 && station.dialogs.boxes().empty() ? 0 : 1;
    });
    ASSERT_EQ(other.wait(), 0);
    const auto theirs = year.journal();
    const auto theirDues = settled();
    EXPECT_EQ(theirDues, (std::vector<std::string>{"20260320", ""}));
    mine->form().input("text6", "1100");
    mine->form().input("impfatt:0", "1100");
    mine->click("Command1");
    EXPECT_EQ(mine->lastPosted(), 0);
    ASSERT_EQ(boxes().size(), 1U);
    EXPECT_EQ(year.journal(), theirs);
    EXPECT_EQ(settled(), theirDues);
    EXPECT_FALSE(screen("4")->annul());
    EXPECT_EQ(year.journal(), theirs);
}

INSTANTIATE_TEST_SUITE_P(Partners, CollectionTest, ::testing::Values(K::Collection, K::Payment),
                         [](const auto& info) {
                             return std::string(info.param == K::Collection ? "Collection"
                                                                            : "Payment");
                         });

}  // namespace
}  // namespace zelvo
