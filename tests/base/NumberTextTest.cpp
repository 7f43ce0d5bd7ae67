#include "base/NumberText.h"
#include "base/Utf8.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include <cmath>
#include <iomanip>
#include <limits>
#include <ostream>
#include <string>

namespace zelvo {
namespace {

struct FormatCase {
    double value;
    const char* mask;
    const char* expected;
};

std::ostream& operator<<(std::ostream& os, const FormatCase& c) {
    return os << "Format(" << std::setprecision(17) << c.value << ", \"" << c.mask << "\")";
}

class FormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, GivesTheMaskedText) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(Format(c.value, c.mask), c.expected);
}

// Balances and running balances: at least one digit, thousands grouped.
INSTANTIATE_TEST_SUITE_P(
    Balance12, FormatTest,
    testing::Values(
        FormatCase{1234567, "###,###,###,##0", "1.234.567"}, FormatCase{0, "###,###,###,##0", "0"},
        FormatCase{5, "###,###,###,##0", "5"}, FormatCase{999, "###,###,###,##0", "999"},
        FormatCase{1000, "###,###,###,##0", "1.000"},
        FormatCase{-1234, "###,###,###,##0", "-1.234"}, FormatCase{-999, "###,###,###,##0", "-999"},
        FormatCase{1234.5, "###,###,###,##0", "1.235"},
        FormatCase{1234.4999, "###,###,###,##0", "1.234"},
        FormatCase{-1234.5, "###,###,###,##0", "-1.235"}, FormatCase{2.5, "###,###,###,##0", "3"},
        FormatCase{0.5, "###,###,###,##0", "1"}, FormatCase{-0.5, "###,###,###,##0", "-1"},
        FormatCase{-0.4, "###,###,###,##0", "0"},
        FormatCase{999999999999, "###,###,###,##0", "999.999.999.999"},
        FormatCase{1234567890123, "###,###,###,##0", "1.234.567.890.123"},
        FormatCase{999999999999999, "###,###,###,##0", "999.999.999.999.999"}));

// Row amounts: a zero amount is left blank.
INSTANTIATE_TEST_SUITE_P(
    Row10, FormatTest,
    testing::Values(FormatCase{0, "#,###,###,###", ""}, FormatCase{0.4, "#,###,###,###", ""},
                    FormatCase{-0.4, "#,###,###,###", ""}, FormatCase{0.5, "#,###,###,###", "1"},
                    FormatCase{1, "#,###,###,###", "1"}, FormatCase{1000, "#,###,###,###", "1.000"},
                    FormatCase{999.5, "#,###,###,###", "1.000"},
                    FormatCase{-50000, "#,###,###,###", "-50.000"},
                    FormatCase{1234567890, "#,###,###,###", "1.234.567.890"},
                    FormatCase{12345678901, "#,###,###,###", "12.345.678.901"}));

INSTANTIATE_TEST_SUITE_P(
    Amount11, FormatTest,
    testing::Values(FormatCase{0, "##,###,###,###", ""},
                    FormatCase{123456, "##,###,###,###", "123.456"},
                    FormatCase{-7, "##,###,###,###", "-7"},
                    FormatCase{100000000000, "##,###,###,###", "100.000.000.000"},
                    FormatCase{0, "##,###,###,##0", "0"}, FormatCase{-1, "##,###,###,##0", "-1"},
                    FormatCase{1000000, "##,###,###,##0", "1.000.000"},
                    FormatCase{-999999.5, "##,###,###,##0", "-1.000.000"},
                    FormatCase{12345678901234, "##,###,###,##0", "12.345.678.901.234"},
                    FormatCase{0, "###,###,###,###", ""},
                    FormatCase{123456789012, "###,###,###,###", "123.456.789.012"},
                    FormatCase{-123456789012, "###,###,###,###", "-123.456.789.012"},
                    FormatCase{1e15, "###,###,###,###", "1.000.000.000.000.000"}));

// Plain digits: VAT totals without separators, keys, counts.
INSTANTIATE_TEST_SUITE_P(
    Ungrouped, FormatTest,
    testing::Values(FormatCase{0, "##########", ""}, FormatCase{1234567, "##########", "1234567"},
                    FormatCase{-1234567, "##########", "-1234567"},
                    FormatCase{12345678901, "##########", "12345678901"},
                    FormatCase{0.5, "##########", "1"}, FormatCase{0, "######", ""},
                    FormatCase{123, "######", "123"}, FormatCase{-12, "######", "-12"},
                    FormatCase{1234567, "######", "1234567"}, FormatCase{0, "###0", "0"},
                    FormatCase{12, "###0", "12"}, FormatCase{12345, "###0", "12345"},
                    FormatCase{-5, "###0", "-5"}, FormatCase{0, "#0", "0"},
                    FormatCase{7, "#0", "7"}, FormatCase{123, "#0", "123"},
                    FormatCase{-0.2, "#0", "0"}));

// Zero-filled keys and numbers.
INSTANTIATE_TEST_SUITE_P(
    ZeroFilled, FormatTest,
    testing::Values(FormatCase{42, "0000000", "0000042"}, FormatCase{0, "0000000", "0000000"},
                    FormatCase{-42, "0000000", "-0000042"}, FormatCase{41.5, "0000000", "0000042"},
                    FormatCase{1234567, "0000000", "1234567"},
                    FormatCase{12345678, "0000000", "12345678"}, FormatCase{7, "00000", "00007"},
                    FormatCase{0, "00000", "00000"}, FormatCase{99999, "00000", "99999"},
                    FormatCase{100000, "00000", "100000"}, FormatCase{-3, "00000", "-00003"},
                    FormatCase{1, "00000000", "00000001"},
                    FormatCase{12345678, "00000000", "12345678"},
                    FormatCase{0, "00000000", "00000000"},
                    FormatCase{123456789, "00000000", "123456789"}, FormatCase{1, "000", "001"},
                    FormatCase{170, "000", "170"}, FormatCase{0, "000", "000"},
                    FormatCase{1000, "000", "1000"}));

// Decimals written with the decimal comma, no grouping: euro amounts and VAT rates.
INSTANTIATE_TEST_SUITE_P(
    CommaDecimals, FormatTest,
    testing::Values(FormatCase{22, "0,0", "22,0"}, FormatCase{4.25, "0,0", "4,3"},
                    FormatCase{0, "0,0", "0,0"}, FormatCase{1234.5, "0,00", "1234,50"},
                    FormatCase{0, "0,00", "0,00"}, FormatCase{2.675, "0,00", "2,68"},
                    FormatCase{1.005, "0,00", "1,01"}, FormatCase{1.015, "0,00", "1,02"},
                    FormatCase{0.125, "0,00", "0,13"}, FormatCase{-0.005, "0,00", "-0,01"},
                    FormatCase{-0.004, "0,00", "0,00"}, FormatCase{0.1 + 0.2, "0,00", "0,30"},
                    FormatCase{0.994, "0,00", "0,99"}, FormatCase{0.995, "0,00", "1,00"},
                    FormatCase{9.999, "0,00", "10,00"}, FormatCase{-12.3, "0,00", "-12,30"},
                    FormatCase{7, "0,00", "7,00"}, FormatCase{1234567.891, "0,00", "1234567,89"}));

INSTANTIATE_TEST_SUITE_P(
    EuroGrouped, FormatTest,
    testing::Values(
        FormatCase{1234.5, "##,###,##0.00", "1.234,50"}, FormatCase{0, "##,###,##0.00", "0,00"},
        FormatCase{0.5, "##,###,##0.00", "0,50"}, FormatCase{0.005, "##,###,##0.00", "0,01"},
        FormatCase{-0.001, "##,###,##0.00", "0,00"},
        FormatCase{-1234.567, "##,###,##0.00", "-1.234,57"},
        FormatCase{1234567.891, "##,###,##0.00", "1.234.567,89"},
        FormatCase{999999.995, "##,###,##0.00", "1.000.000,00"},
        FormatCase{123456789.125, "##,###,##0.00", "123.456.789,13"},
        FormatCase{0, "###,###,##0.00", "0,00"}, FormatCase{0.07, "###,###,##0.00", "0,07"},
        FormatCase{1000, "###,###,##0.00", "1.000,00"},
        FormatCase{-999.999, "###,###,##0.00", "-1.000,00"},
        FormatCase{12345678.9, "###,###,##0.00", "12.345.678,90"},
        FormatCase{0, "####,###,##0.00", "0,00"}, FormatCase{5.5, "####,###,##0.00", "5,50"},
        FormatCase{-0.125, "####,###,##0.00", "-0,13"},
        FormatCase{1234567890.12, "####,###,##0.00", "1.234.567.890,12"}));

TEST(FormatTest, NonFiniteValuesGiveAShortMarkerInsteadOfGarbage) {
    EXPECT_EQ(Format(std::numeric_limits<double>::infinity(), "###,###,###,##0"), "Inf");
    EXPECT_EQ(Format(std::nan(""), "0,00"), "NaN");
}

TEST(StrTest, HostNumberText) {
    struct Case {
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {1, " 1"},
        {-100, "-100"},
        {19.5, " 19.5"},
        {0.5, " .5"},
        {-0.25, "-.25"},
        {0, " 0"},
        {-0.0, " 0"},
        {12.5, " 12.5"},
        {-1234.5678, "-1234.5678"},
        {0.1 + 0.2, " .3"},
        {1.0 / 3, " .333333333333333"},
        {2.0 / 3, " .666666666666667"},
        {-2.0 / 3, "-.666666666666667"},
        {100000000000000, " 100000000000000"},
        {123456789012345, " 123456789012345"},
        {-123456789012345, "-123456789012345"},
        {1e15, " 1E+15"},
        {-1e15, "-1E+15"},
        {999999999999999.9, " 1E+15"},
        {1234567890123456, " 1.23456789012346E+15"},
        {1e20, " 1E+20"},
        {1.5e300, " 1.5E+300"},
        {0.0001, " .0001"},
        {0.000123, " .000123"},
        {0.00001, " 1E-05"},
        {-0.000012345, "-1.2345E-05"},
        {1e-10, " 1E-10"},
        {5e-324, " 4.94065645841247E-324"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Str(c.value), c.expected) << "value " << std::setprecision(17) << c.value;
    }
}

TEST(StrTest, NonFiniteValuesGiveAShortMarker) {
    EXPECT_EQ(Str(std::numeric_limits<double>::infinity()), " Inf");
    EXPECT_EQ(Str(-std::numeric_limits<double>::infinity()), "-Inf");
    EXPECT_EQ(Str(std::nan("")), " NaN");
}

TEST(ValTest, ReadsTheLeadingNumber) {
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"12abc", 12},
        {"  -3.5x", -3.5},
        {"abc", 0},
        {"1,5", 1},
        {"", 0},
        {"+7", 7},
        {".5", 0.5},
        {"-.25", -0.25},
        {"3.", 3},
        {"0012", 12},
        {"\t 42", 42},
        {"1.2.3", 1.2},
        {"1 2", 1},
        {"12.50 lire", 12.5},
        {"1e3", 1000},
        {"1E-2", 0.01},
        {"1.5e2x", 150},
        {"2e", 2},
        {"2e+", 2},
        {"2ex", 2},
        {"-", 0},
        {".", 0},
        {"-.", 0},
        {"--1", 0},
        {"- 1", 0},
        {"x1", 0},
        {"1234567890123", 1234567890123},
        {"01/02/2026", 1},
        {"__/__/____", 0},
        {"1e-400", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Val(c.text), c.expected) << "text \"" << c.text << "\"";
    }
}

TEST(ValTest, OverflowGivesSignedInfinity) {
    EXPECT_EQ(Val("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(Val("-1e400"), -std::numeric_limits<double>::infinity());
}

TEST(ValTest, ReadsBackWhatStrWrites) {
    for (double v : {0.0, 1.0, -100.0, 19.5, 0.5, -0.25, 123456789012345.0, 1e15, 1.5e-7}) {
        EXPECT_EQ(Val(Str(v)), v) << Str(v);
    }
}

TEST(WholeValTest, AnyTextGivesAWholeNumberInRange) {
    const std::string thirty(30, '9');
    const std::tuple<std::string, int, int, int> cases[] = {
        {"-5", INT_MIN, INT_MAX, -5},
        {"12abc", INT_MIN, INT_MAX, 12},
        {"x", INT_MIN, INT_MAX, 0},
        {"", INT_MIN, INT_MAX, 0},
        {"-", INT_MIN, INT_MAX, 0},
        {"7.9", INT_MIN, INT_MAX, 7},
        {"-7.9", INT_MIN, INT_MAX, -7},
        {thirty, INT_MIN, INT_MAX, INT_MAX},
        {"-" + thirty, INT_MIN, INT_MAX, INT_MIN},
        {"1e400", INT_MIN, INT_MAX, INT_MAX},
        {"-5", 0, 4, 0},
        {thirty, 0, 4, 4},
        {"3", 0, 4, 3},
        {"2147483648", INT_MIN, INT_MAX, INT_MAX},
    };
    for (const auto& [text, lowest, highest, expected] : cases) {
        EXPECT_EQ(WholeVal(text, lowest, highest), expected) << text;
    }
}

TEST(IntTest, IsFloor) {
    EXPECT_EQ(Int(-1.5), -2);
    EXPECT_EQ(Int(1.5), 1);
    EXPECT_EQ(Int(-2), -2);
    EXPECT_EQ(Int(0.999), 0);
    EXPECT_EQ(Int(-0.001), -1);
}

TEST(ColumnTest, CountsCodePointsNotBytes) {
    EXPECT_EQ(Utf8Length("città"), 5);
    EXPECT_EQ(Utf8Length(""), 0);
    EXPECT_EQ(PadLeft("città", 7), "  città");
    EXPECT_EQ(PadRight("città", 7), "città  ");
    EXPECT_EQ(PadLeft("abcdef", 3), "abcdef");
    EXPECT_EQ(PadRight("abcdef", 6), "abcdef");
    EXPECT_EQ(PadLeft("", 2), "  ");
    EXPECT_EQ(Utf8Left("perché sì", 6), "perché");
    EXPECT_EQ(Utf8Left("èé", 1), "è");
    EXPECT_EQ(Utf8Left("ab", 5), "ab");
    EXPECT_EQ(Utf8Left("abc", 0), "");
    EXPECT_EQ(Utf8Left("abc", -1), "");
}

}  // namespace
}  // namespace zelvo
