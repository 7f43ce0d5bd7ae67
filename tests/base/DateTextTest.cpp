#include "base/DateText.h"

#include <gtest/gtest.h>

namespace zelvo {
namespace {

struct Conversion {
    const char* input;
    const char* expected;
};

TEST(DateTextTest, ToKeyDate) {
    const Conversion cases[] = {
        {"05/03/2026", "20260305"},
        {"31/12/1999", "19991231"},
        {"__/__/____", "________"},
        {"", ""},
        {"05/03", "0305"},               // no year characters
        {"05/03/26", "260305"},          // two-digit year: only what is there
        {"05/03/2026 xyz", "20260305"},  // characters past the tenth are ignored
        {"è5/03/2026", "202603è5"},      // a letter is moved whole, never cut
    };
    for (const Conversion& c : cases) {
        EXPECT_EQ(ToKeyDate(c.input), c.expected) << "input \"" << c.input << "\"";
    }
}

TEST(DateTextTest, FromKeyDate) {
    const Conversion cases[] = {
        {"20260305", "05032026"}, {"19991231", "31121999"}, {"", ""},
        {"2026", "2026"},         {"2026030", "0032026"},   {"2026030599", "05032026"},
    };
    for (const Conversion& c : cases) {
        EXPECT_EQ(FromKeyDate(c.input), c.expected) << "input \"" << c.input << "\"";
    }
}

TEST(DateTextTest, InputToDate) {
    const Conversion cases[] = {
        {"05032026", "05/03/2026"}, {"31121999", "31/12/1999"},  {"", "//"}, {"5", "5//"},
        {"0503", "05/03/"},         {"050320261", "05/03/2026"},
    };
    for (const Conversion& c : cases) {
        EXPECT_EQ(InputToDate(c.input), c.expected) << "input \"" << c.input << "\"";
    }
}

TEST(DateTextTest, ShownKeyAndInputFormsRoundTrip) {
    for (const char* shown : {"01/01/2026", "29/02/2024", "31/12/2050", "15/08/1950"}) {
        EXPECT_EQ(InputToDate(FromKeyDate(ToKeyDate(shown))), shown);
    }
}

TEST(DateTextTest, KeyOrderIsDateOrder) {
    EXPECT_LT(ToKeyDate("31/12/2025"), ToKeyDate("01/01/2026"));
    EXPECT_LT(ToKeyDate("28/02/2026"), ToKeyDate("01/03/2026"));
    EXPECT_LT(ToKeyDate("09/10/2026"), ToKeyDate("10/09/2027"));
}

TEST(CalendarTest, LeapYears) {
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_TRUE(IsLeapYear(1996));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2100));
}

TEST(CalendarTest, DaysInMonth) {
    const int days2023[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(DaysInMonth(month, 2023), days2023[month - 1]) << "month " << month;
    }
    EXPECT_EQ(DaysInMonth(2, 2024), 29);
    EXPECT_EQ(DaysInMonth(2, 1900), 28);
    EXPECT_EQ(DaysInMonth(0, 2024), 0);
    EXPECT_EQ(DaysInMonth(13, 2024), 0);
    EXPECT_EQ(DaysInMonth(-1, 2024), 0);
}

TEST(CalendarTest, ValidDays) {
    struct Case {
        int day, month, year;
        bool valid;
    };
    const Case cases[] = {
        {1, 1, 2026, true},   {31, 1, 2026, true},   {32, 1, 2026, false}, {0, 1, 2026, false},
        {-1, 1, 2026, false}, {31, 4, 2026, false},  {30, 4, 2026, true},  {31, 6, 2026, false},
        {31, 9, 2026, false}, {31, 11, 2026, false}, {31, 8, 2026, true},  {31, 12, 2026, true},
        {28, 2, 2023, true},  {29, 2, 2023, false},  {29, 2, 2024, true},  {30, 2, 2024, false},
        {29, 2, 1900, false}, {29, 2, 2000, true},   {1, 13, 2026, false}, {1, 0, 2026, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidDay(c.day, c.month, c.year), c.valid)
            << c.day << "/" << c.month << "/" << c.year;
    }
}

TEST(CalendarTest, EmptyDateMasks) {
    EXPECT_TRUE(IsEmptyDateMask("__/__/____"));
    EXPECT_TRUE(IsEmptyDateMask("__/__/__"));
    EXPECT_FALSE(IsEmptyDateMask(""));
    EXPECT_FALSE(IsEmptyDateMask("01/__/____"));
    EXPECT_FALSE(IsEmptyDateMask("__/__/___"));
    EXPECT_FALSE(IsEmptyDateMask("  /  /    "));
    EXPECT_FALSE(IsEmptyDateMask("__/__/____ "));
}

}  // namespace
}  // namespace zelvo
