#pragma once

#include <string>
#include <string_view>

namespace zelvo {

// Date texts move between three forms: as typed and shown ("dd/mm/yyyy"), as handed to a
// masked date input (the eight digits "ddmmyyyy") and as stored in key fields ("yyyymmdd",
// so that text order is date order). The conversions take characters by position and never
// fail: an input of another length gives a meaningless but harmless result (missing
// characters are simply absent: InputToDate("") = "//"). Positions count code points, so a
// stray non-ASCII letter is moved whole rather than cut into invalid UTF-8.

// "dd/mm/yyyy" -> "yyyymmdd"
std::string ToKeyDate(std::string_view shown);
// "yyyymmdd" -> "ddmmyyyy"
std::string FromKeyDate(std::string_view key);
// "ddmmyyyy" -> "dd/mm/yyyy"
std::string InputToDate(std::string_view digits);
// A key date as the screens and reports show it: "20260310" -> "10/03/2026"; an empty key
// (a date never given) shows as nothing.
std::string ShownDate(std::string_view key);

// Calendar rules of the date checks: Gregorian leap years, 30-day months (April, June,
// September, November), February with 28 or 29 days.
bool IsLeapYear(int year);
int DaysInMonth(int month, int year);  // 0 for a month outside 1..12
bool IsValidDay(int day, int month, int year);

// The untouched entry masks: exactly "__/__/____" or the two-digit-year "__/__/__".
bool IsEmptyDateMask(std::string_view text);

}  // namespace zelvo
