#include "app/CommandMap.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zelvo {
namespace {

TEST(CommandMapTest, ControlsAreUniqueAndFoundByName) {
    std::set<std::string> seen;
    for (const MenuCommand& entry : CommandMap::menu()) {
        EXPECT_TRUE(seen.insert(entry.control).second) << entry.control;
        EXPECT_EQ(CommandMap::byControl(entry.control), &entry);
        EXPECT_EQ(entry.screen.empty(), entry.guard == Guard::None) << entry.control;
    }
    EXPECT_EQ(CommandMap::byControl("mbb10"), nullptr);
    for (const char* name : {"max1", "max", "m7dd", "mdlll", "lll99"}) {
        ASSERT_NE(CommandMap::byControl(name), nullptr) << name;
        EXPECT_EQ(CommandMap::byControl(name)->caption, "-") << name;
    }
}

TEST(CommandMapTest, OnlyTheWholeProgramCommandsAreGuarded) {
    const std::set<std::string> longForm{"mb3",  "md4",    "mc9",    "me1",  "VARSIASFAGFSGA",
                                         "m7c",  "back10", "back20", "val1", "val2",
                                         "val3", "mf1",    "mf2",    "mf3",  "mf4",
                                         "mf5",  "mf6",    "mb9"};
    const std::set<std::string> shortForm{"ma1", "ma3"};
    for (const MenuCommand& entry : CommandMap::menu()) {
        const std::string& c = entry.control;
        const Guard expected = longForm.count(c)      ? Guard::Long
                               : shortForm.count(c)   ? Guard::Short
                               : entry.screen.empty() ? Guard::None
                                                      : Guard::Plain;
        EXPECT_EQ(entry.guard, expected) << c;
    }
}

TEST(CommandMapTest, CaptionsKeepBlanksAndAccents) {
    EXPECT_EQ(CommandMap::byControl("sott5")->caption, "S&ottoconti più usati");
    EXPECT_EQ(CommandMap::byControl("fff1")->caption, "Guida               F1");
    EXPECT_EQ(CommandMap::byControl("me13")->caption, "Registr&o iva corrispettivi");
}

TEST(CommandMapTest, TopMenusAreContiguousAndInOrder) {
    std::vector<std::pair<std::string, int>> runs;
    for (const MenuCommand& entry : CommandMap::menu()) {
        if (runs.empty() || runs.back().first != entry.menuPath.front()) {
            runs.emplace_back(entry.menuPath.front(), 0);
        }
        ++runs.back().second;
    }
    const std::vector<std::pair<std::string, int>> expected{
        {"&Azienda", 5},      {"&Prima nota", 20},
        {"&Contabilità", 10}, {"P&iano conti", 7},
        {"I&va", 16},         {"&Scadenzari", 4},
        {"C&lienti", 4},      {"&Fornitori", 4},
        {"Va&rie", 20},       {"?", 2}};
    EXPECT_EQ(runs, expected);
    EXPECT_EQ(CommandMap::byControl("mbb1"), &CommandMap::menu()[5]);  // submenu first
    EXPECT_EQ(CommandMap::byControl("ma2"), &CommandMap::menu()[4]);   // "&Esci" last
}

TEST(CommandMapTest, DropDownOpensTheRegistrationScreens) {
    std::set<std::string> registration;
    for (const MenuCommand& entry : CommandMap::menu()) {
        if (entry.menuPath.size() == 2 && entry.menuPath[1] == "&Registrazione") {
            registration.insert(entry.screen);
        }
    }
    std::set<std::string> opened;
    for (const ToolbarCommand& entry : CommandMap::primaNota()) {
        EXPECT_TRUE(registration.count(entry.screen)) << entry.key;
        opened.insert(entry.screen);
    }
    EXPECT_EQ(CommandMap::primaNota().size(), 9u);
    EXPECT_EQ(opened.size(), 9u);
}

}  // namespace
}  // namespace zelvo
