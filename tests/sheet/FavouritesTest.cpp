#include "sheet/FavouriteAccounts.h"

#include <gtest/gtest.h>

#include "SheetFixture.h"
#include "masterdata/Chart.h"
#include "masterdata/Favourites.h"

namespace zelvo {
namespace {

using test::SheetFixture;

class FavouritesTest : public SheetFixture {
  protected:
    void SetUp() override {
        SheetFixture::SetUp();
        addItem("00060", "Banca Popolare", "s", "00003", "00007");
        addItem("00061", "Banca Intesa", "s", "00003", "00007");
        addItem("00062", "Bar Sport", "c", "00001", "00005");
        addItem("00063", "Zeta Servizi", "f", "00002", "00006");
        screen = std::make_unique<FavouriteAccounts>(session);
        screen->load();
    }
    void TearDown() override { screen->unload(); }
    void add(const std::string& name) {
        screen->form().input(FavouriteAccounts::kAccount, name);
        screen->click(FavouriteAccounts::kAdd);
    }
    void pressOn(int row, const char* button) {
        screen->form().inputSelected(FavouriteAccounts::kList, row);
        screen->click(button);
    }
    std::vector<std::string> offered(const std::string& typed,
                                     const std::vector<std::string>& kinds, bool full = false) {
        return chart::AccountSuggestions(archives(), session.values(), typed, kinds, full);
    }
    // The archive's records: item number and place, in place order.
    std::vector<std::pair<std::string, double>> stored() {
        std::vector<std::pair<std::string, double>> out;
        archives().scan(arc::kFf, 0, "", [&](const std::string& key, const isam::Record& r) {
            out.emplace_back(key, r.number(favourites::kPlace));
            return true;
        });
        std::sort(out.begin(), out.end(),
                  [](const auto& a, const auto& b) { return a.second < b.second; });
        return out;
    }
    std::unique_ptr<FavouriteAccounts> screen;
};

TEST_F(FavouritesTest, TheListIsKeptInTheOperatorsOrder) {
    add("Zeta Servizi");
    add("banca intesa");
    add("Bar Sport");
    EXPECT_EQ(screen->form().items(FavouriteAccounts::kList),
              (std::vector<std::string>{"Zeta Servizi", "Banca Intesa", "Bar Sport"}));
    pressOn(2, FavouriteAccounts::kUp);
    pressOn(0, FavouriteAccounts::kDown);
    EXPECT_EQ(screen->form().items(FavouriteAccounts::kList),
              (std::vector<std::string>{"Bar Sport", "Zeta Servizi", "Banca Intesa"}));
    EXPECT_EQ(screen->form().selected(FavouriteAccounts::kList), 1);
    pressOn(0, FavouriteAccounts::kRemove);
    ASSERT_TRUE(archives().open(arc::kFf));
    EXPECT_EQ(stored(), (std::vector<std::pair<std::string, double>>{{"00063", 1}, {"00061", 2}}));
    archives().close(arc::kFf);

    // A new window reads the same list back.
    screen->unload();
    screen = std::make_unique<FavouriteAccounts>(session);
    screen->load();
    EXPECT_EQ(screen->form().items(FavouriteAccounts::kList),
              (std::vector<std::string>{"Zeta Servizi", "Banca Intesa"}));
}

// No name, an unknown one and one already listed are the favourite_accounts script's.
TEST_F(FavouritesTest, RefusesAMastroAndButtonsWithoutASelection) {
    add("Banca Intesa");
    dialogs.clear();
    const auto mastro = chart::FirstOfKind(archives(), chart::kMastro);
    ASSERT_TRUE(mastro);
    add(mastro->description);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{
                              "Mastri e conti non sono sottoconti: non possono essere inseriti "
                              "nell'elenco"});
    for (const char* button :
         {FavouriteAccounts::kRemove, FavouriteAccounts::kUp, FavouriteAccounts::kDown}) {
        screen->form().inputSelected(FavouriteAccounts::kList, -1);
        screen->click(button);
        EXPECT_EQ(boxTexts(),
                  std::vector<std::string>{"Non è stato selezionato nessun sottoconto"});
    }
    EXPECT_EQ(screen->form().items(FavouriteAccounts::kList),
              std::vector<std::string>{"Banca Intesa"});
}

TEST_F(FavouritesTest, AccountFieldsOfferTheListedOnesFirst) {
    const std::vector<std::string> postable{"s", "c", "f"};
    const auto before = offered("Ba", postable);
    ASSERT_GE(before.size(), 3U);
    EXPECT_EQ(before[0], "Banca Intesa");

    add("Zeta Servizi");
    add("Bar Sport");
    add("Banca Popolare");
    // Only what fits the typed text and the field's kinds, in the list's order, then the rest
    // without repeating them.
    auto now = offered("ba", postable);
    ASSERT_GE(now.size(), 3U);
    EXPECT_EQ(std::vector<std::string>(now.begin(), now.begin() + 3),
              (std::vector<std::string>{"Bar Sport", "Banca Popolare", "Banca Intesa"}));
    EXPECT_EQ(std::count(now.begin(), now.end(), "Bar Sport"), 1);
    EXPECT_EQ(offered("ba", {"s"})[0], "Banca Popolare");
    EXPECT_EQ(offered("", postable)[0], "Zeta Servizi");
    EXPECT_LE(offered("", postable).size(), 10U);
    EXPECT_EQ(offered("", postable, true)[0], "Zeta Servizi");
    EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(FavouritesTest, AYearWithoutTheArchiveGetsItFromTheScreen) {
    screen->unload();
    ASSERT_TRUE(archives().kill(arc::kFf, "AB", "2026", 1));
    EXPECT_EQ(offered("Ba", {})[0], "Banca Intesa");  // no list, no complaint
    EXPECT_TRUE(dialogs.boxes().empty());
    screen = std::make_unique<FavouriteAccounts>(session);
    screen->load();
    add("Bar Sport");
    EXPECT_EQ(offered("Ba", {})[0], "Bar Sport");
    EXPECT_TRUE(dialogs.boxes().empty());
}

}  // namespace
}  // namespace zelvo
