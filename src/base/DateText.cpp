#include "base/DateText.h"

#include <cstddef>

namespace zelvo {

namespace {

// Characters from the 1-based position start, at most count of them, counted in code points
// so that a stray accented letter is never cut in half. Positions past the end give less or
// nothing, which is what makes the conversions safe on text of any length.
std::string Mid(std::string_view text, int start, int count) {
    std::size_t begin = text.size();
    std::size_t end = text.size();
    int position = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) {
            continue;
        }
        ++position;
        if (position == start) {
            begin = i;
        }
        if (position == start + count) {
            end = i;
            break;
        }
    }
    return std::string(text.substr(begin, end - begin));
}

}  // namespace

std::string ToKeyDate(std::string_view shown) {
    return Mid(shown, 7, 4) + Mid(shown, 4, 2) + Mid(shown, 1, 2);
}

std::string ShownDate(std::string_view key) {
    return key.empty() ? std::string() : InputToDate(FromKeyDate(key));
}

std::string FromKeyDate(std::string_view key) {
    return Mid(key, 7, 2) + Mid(key, 5, 2) + Mid(key, 1, 4);
}

std::string InputToDate(std::string_view digits) {
    return Mid(digits, 1, 2) + "/" + Mid(digits, 3, 2) + "/" + Mid(digits, 5, 4);
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int month, int year) {
    switch (month) {
        case 1:
        case 3:
        case 5:
        case 7:
        case 8:
        case 10:
        case 12:
            return 31;
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        case 2:
            return IsLeapYear(year) ? 29 : 28;
        default:
            return 0;
    }
}

bool IsValidDay(int day, int month, int year) {
    return day >= 1 && day <= DaysInMonth(month, year);
}

bool IsEmptyDateMask(std::string_view text) {
    return text == "__/__/____" || text == "__/__/__";
}

}  // namespace zelvo
