#include "sheet/Finder.h"

#include <gtest/gtest.h>

#include "SheetFixture.h"
#include "masterdata/ChartFields.h"
#include "sheet/PartyFinder.h"

namespace zelvo {
namespace {

using test::SheetFixture;

TEST(PartyFinderTest, AnyPartOfNameCityVatNumberOrTaxCodeMatches) {
    const FoundParty rossi{"00060",         "Rossi Mario S.r.l.", "c",
                           "Reggio Emilia", "01234567890",        "RSSMRA70A01H223X"};
    struct Case {
        const char* query;
        bool matches;
    };
    const Case cases[] = {
        {"rossi", true},    {"MARIO S.R", true}, {"  reggio ", true}, {"emilia", true},
        {"4567", true},     {"0123 4567", true}, {"rssmra70", true},  {"h223x", true},
        {"Bianchi", false}, {"", false},         {"   ", false},      {"Reggio Calabria", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PartyMatches(rossi, c.query), c.matches) << '"' << c.query << '"';
    }
    // A whole line is the finder script's; a party without city and numbers shows none.
    EXPECT_EQ((FoundParty{"00061", "Verdi", "f", "", "", ""}).line(), "Verdi - fornitore");
}

class FinderTest : public SheetFixture {
  protected:
    void SetUp() override {
        SheetFixture::SetUp();
        addParty("00060", "Rossi Mario S.r.l.", "c", "Milano", "01234567890", "");
        addParty("00061", "Bianchi Forniture", "f", "Monza", "09876543210", "BNCLGU60B02F704Y");
        addParty("00062", "Alfa Milanese", "f", "Roma", "", "");
        addItem("00063", "Spese di Milano", "s", "00003", "00007");
        screen = std::make_unique<Finder>(session);
        screen->load();
    }
    void addParty(const std::string& number, const std::string& name, const std::string& kind,
                  const std::string& city, const std::string& vat, const std::string& tax) {
        addItem(number, name, kind, kind == "c" ? "00001" : "00002",
                kind == "c" ? "00005" : "00006");
        ASSERT_EQ(archives().getByKey(arc::kPc, number), 0);
        archives().copyReadToWrite(arc::kPc);
        isam::Record& r = archives().writeBuffer(arc::kPc);
        r.setText(chart::kCity, city);
        r.setText(chart::kVatNumber, vat);
        r.setText(chart::kTaxCode, tax);
        ASSERT_EQ(archives().put(arc::kPc, number, isam::mode::kWrite), 0);
    }
    std::vector<std::string> search(const std::string& query) {
        screen->form().input(Finder::kQuery, query);
        screen->click(Finder::kSearch);
        return screen->form().items(Finder::kResults);
    }
    std::unique_ptr<Finder> screen;
};

TEST_F(FinderTest, FindsCustomersAndSuppliersOnlyInNameOrder) {
    EXPECT_EQ(search("mila"), (std::vector<std::string>{"Alfa Milanese - fornitore - Roma",
                                                        "Rossi Mario S.r.l. - cliente - Milano - "
                                                        "P.IVA 01234567890"}));
    EXPECT_EQ(search("bnclgu").size(), 1U);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{});
}

TEST_F(FinderTest, OpensTheCardOrStatementOfTheChosenParty) {
    search("mila");
    screen->form().inputSelected(Finder::kResults, 1);
    screen->click(Finder::kCard);
    EXPECT_EQ(session.values().chosenAccount, "Rossi Mario S.r.l.");
    screen->form().inputSelected(Finder::kResults, 0);
    screen->click(Finder::kStatement);
    screen->doubleClick(Finder::kResults);
    EXPECT_EQ(opening.opened, (std::vector<std::string>{"visched1", "vec", "visched1"}));
    EXPECT_EQ(session.values().chosenAccount, "Alfa Milanese");
}

// An empty search, one that finds nothing and the card of nobody are the finder script's.
TEST_F(FinderTest, RefusesASearchOfBlanks) {
    EXPECT_TRUE(search("  ").empty());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Non è stato inserito il testo da cercare"});
}

}  // namespace
}  // namespace zelvo
