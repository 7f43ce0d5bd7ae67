#include "sheet/Calculator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TempDir.h"

namespace zelvo {
namespace {

struct Keys {
    const char* keys;
    const char* display;
};

void PrintTo(const Keys& k, std::ostream* os) {
    *os << '"' << k.keys << '"';
}

class CalculatorKeysTest : public ::testing::TestWithParam<Keys> {};

TEST_P(CalculatorKeysTest, Display) {
    Calculator c;
    c.press(GetParam().keys);
    EXPECT_EQ(c.display(), GetParam().display);
}

// A new calculator, 1250+380,5, 0,1+0,2 and a division by zero are the calculator script's.
INSTANTIATE_TEST_SUITE_P(
    Arithmetic, CalculatorKeysTest,
    ::testing::Values(Keys{"1234567", "1.234.567"}, Keys{"12,50", "12,50"},
                      Keys{"2+3*4=", "20"},  // in the order typed
                      Keys{"10-12,75=", "-2,75"},
                      Keys{"1/3=", "0,3333333333"},  // rounded only where it must be
                      Keys{"2/3=", "0,6666666667"}, Keys{"1/3*3=", "1"},  // exact underneath
                      Keys{"1/8=", "0,125"}, Keys{"100/7*7=", "100"},
                      Keys{"5+=", "10"},   // "=" repeats the shown number
                      Keys{"7+-2=", "5"},  // the last operation typed counts
                      Keys{"9/0=5+1=", "6"}, Keys{"9/0=C", "0"},
                      Keys{"999999999999999*999999999999999=", "Errore"},
                      Keys{"1234567890123456789", "123.456.789.012.345"},  // fifteen digits at most
                      Keys{"12,3,4", "12,34"}, Keys{",5", "0,5"}, Keys{"0007", "7"},
                      Keys{"5±", "-5"}, Keys{"5+3=±", "-8"}, Keys{"5+3CE4=", "9"},
                      Keys{"100M+20M+MR", "M 120"}, Keys{"100M+30M-MR*2=", "M 140"},
                      Keys{"100M+MC", "100"}, Keys{"10+5M+MR", "M 15"}, Keys{"7M+C MR", "M 7"},
                      Keys{"1,5x4:3=", "2"}));

TEST(CalculatorTest, ValuesAreExactFractions) {
    Calculator c;
    c.press("0,1+0,2=");
    EXPECT_EQ(c.value(), sheet::SheetNumber::parse("0,3"));
    c.press("C1/3=");
    sheet::SheetNumber third = sheet::SheetNumber::whole(1);
    ASSERT_TRUE(third.divide(sheet::SheetNumber::whole(3)));
    EXPECT_EQ(c.value(), third);
    // Every row of a lire column adds exactly.
    c.press("C1234567891");
    for (int i = 1; i < 170; ++i) {
        c.press("+1234567891");
    }
    c.press("=");
    EXPECT_EQ(c.display(), "209.876.541.470");
}

TEST(CalculatorTest, FindsTheFirstDesktopCalculatorOnThePath) {
    test::TempDir dir;
    const std::string a = dir.prefix() + "a";
    const std::string b = dir.prefix() + "b";
    std::filesystem::create_directories(a);
    std::filesystem::create_directories(b);
    auto install = [](const std::string& path, bool executable) {
        std::ofstream(path) << "#!/bin/sh\n";
        std::filesystem::permissions(path, executable ? std::filesystem::perms::owner_all
                                                      : std::filesystem::perms::owner_read);
    };
    EXPECT_EQ(FindDesktopCalculator(a + ":" + b), "");
    install(b + "/xcalc", true);
    install(a + "/kcalc", false);  // not a program that can run
    EXPECT_EQ(FindDesktopCalculator(a + "::" + b), b + "/xcalc");
    install(b + "/galculator", true);
    EXPECT_EQ(FindDesktopCalculator(a + ":" + b), b + "/galculator");
    EXPECT_EQ(FindDesktopCalculator(""), "");
}

}  // namespace
}  // namespace zelvo
