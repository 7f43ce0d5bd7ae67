#include "base/NumberText.h"

#include "base/Utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

namespace zelvo {

namespace {

// Doubles are shown and rounded through their 15-significant-digit decimal form, the
// precision the program has always printed with. Going through that form first is what
// keeps binary noise (2.675 is stored as 2.67499999...) from deciding a rounding.
constexpr int kSignificantDigits = 15;

// |value| = 0.digits x 10^point; digits has kSignificantDigits characters, the first not "0"
// unless the value is zero (then digits is "0" and point is 1).
struct Decimal {
    bool negative = false;
    std::string digits;
    int point = 1;
};

Decimal ToDecimal(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0) {
        // Not `= "0"`: GCC 12 at -O3 takes assigning a literal for an overlapping copy.
        d.digits.push_back('0');
        return d;
    }
    // to_chars, unlike printf, ignores the C locale, which the GUI sets to the operator's.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                   std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    // text is "d.dddddddddddddde[+-]xx"
    const std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.') {
            d.digits += text[i];
        }
    }
    int exponent = 0;
    std::string_view expText = text.substr(e + 1);
    if (!expText.empty() && expText.front() == '+') {
        expText.remove_prefix(1);
    }
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    d.point = exponent + 1;
    return d;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsPlaceholder(char c) {
    return c == '#' || c == '0';
}

std::string NonFinite(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    return value < 0 ? "-Inf" : "Inf";
}

// What a mask asks for, read once from its text.
struct MaskShape {
    int minIntegerDigits = 0;  // from the first "0" of the integer part on
    bool grouped = false;
    int decimals = 0;
    int minDecimals = 0;  // up to the last "0" of the decimal part
};

MaskShape ReadMask(std::string_view mask) {
    std::size_t decimalAt = mask.find('.');
    if (decimalAt == std::string_view::npos) {
        // Masks written the Italian way ("0,00", the rate's "0,0") use the comma as the
        // decimal mark. They are told apart from grouping masks ("#,###") by the length of
        // the last group: a thousands group always has three placeholders.
        const std::size_t lastComma = mask.rfind(',');
        if (lastComma != std::string_view::npos) {
            int tail = 0;
            for (std::size_t i = lastComma + 1; i < mask.size(); ++i) {
                if (IsPlaceholder(mask[i])) {
                    ++tail;
                }
            }
            if (tail != 3) {
                decimalAt = lastComma;
            }
        }
    }
    const std::string_view integer = mask.substr(0, decimalAt);
    const std::string_view fraction =
        decimalAt == std::string_view::npos ? std::string_view{} : mask.substr(decimalAt + 1);

    MaskShape shape;
    bool zeroSeen = false;
    for (char c : integer) {
        if (c == ',') {
            shape.grouped = true;
        } else if (IsPlaceholder(c)) {
            zeroSeen = zeroSeen || c == '0';
            if (zeroSeen) {
                ++shape.minIntegerDigits;
            }
        }
    }
    for (char c : fraction) {
        if (IsPlaceholder(c)) {
            ++shape.decimals;
            if (c == '0') {
                shape.minDecimals = shape.decimals;
            }
        }
    }
    return shape;
}

// Adds one unit in the last place of a digit string; returns false when it carried out of
// the top ("999" becomes "000").
bool Increment(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            return true;
        }
    }
    return false;
}

std::string GroupThousands(const std::string& digits) {
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) {
            out += '.';
        }
        out += digits[i];
    }
    return out;
}

}  // namespace

std::string Str(double value) {
    if (!std::isfinite(value)) {
        // Appended rather than concatenated: GCC 12 at -O3 mistakes `" " + string` for an
        // overlapping copy (-Wrestrict).
        std::string out = std::isnan(value) || value > 0 ? " " : "";
        out += NonFinite(value);
        return out;
    }
    if (value == 0) {
        return " 0";  // -0 too: the sign of zero is not shown
    }
    Decimal d = ToDecimal(value);
    while (d.digits.size() > 1 && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    const int length = static_cast<int>(d.digits.size());
    const int exponent = d.point - 1;
    std::string out = d.negative ? "-" : " ";
    // Plain notation covers 1E-4 up to 15 integer digits; beyond that the exponent form.
    if (exponent < -4 || exponent >= kSignificantDigits) {
        out += d.digits[0];
        if (length > 1) {
            out += '.';
            out.append(d.digits, 1);
        }
        const int absExp = std::abs(exponent);
        out += exponent < 0 ? "E-" : "E+";
        if (absExp < 10) {
            out += '0';
        }
        out += std::to_string(absExp);
    } else if (d.point <= 0) {
        out += '.';
        out.append(static_cast<std::size_t>(-d.point), '0');
        out += d.digits;
    } else if (d.point >= length) {
        out += d.digits;
        out.append(static_cast<std::size_t>(d.point - length), '0');
    } else {
        out.append(d.digits, 0, static_cast<std::size_t>(d.point));
        out += '.';
        out.append(d.digits, static_cast<std::size_t>(d.point));
    }
    return out;
}

double Int(double value) {
    return std::floor(value);
}

double Val(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) {
        ++i;
    }
    const std::size_t start = i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // The number's order of magnitude, to tell overflow from underflow below.
    long order = 0;
    bool nonZeroSeen = false;
    bool anyDigit = false;
    bool pointSeen = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            anyDigit = true;
            if (c != '0') {
                nonZeroSeen = true;
            }
            if (!pointSeen && nonZeroSeen) {
                ++order;
            } else if (pointSeen && !nonZeroSeen) {
                --order;
            }
        } else if (c == '.' && !pointSeen) {
            pointSeen = true;
        } else {
            break;
        }
    }
    if (!anyDigit) {
        return 0;
    }
    std::size_t end = i;
    // An exponent counts only when at least one digit follows its letter and sign.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            const bool expNegative = text[j - 1] == '-';
            long exponent = 0;
            while (j < text.size() && IsDigit(text[j])) {
                if (exponent < 100000) {
                    exponent = exponent * 10 + (text[j] - '0');
                }
                ++j;
            }
            order += expNegative ? -exponent : exponent;
            end = j;
        }
    }
    // from_chars reads no leading "+" and ignores the C locale's decimal mark.
    std::size_t from = start;
    if (text[from] == '+') {
        ++from;
    }
    double result = 0;
    const auto res = std::from_chars(text.data() + from, text.data() + end, result);
    if (res.ec == std::errc::result_out_of_range) {
        const double magnitude =
            nonZeroSeen && order > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -magnitude : magnitude;
    }
    return result;
}

std::string Format(double value, std::string_view mask) {
    if (!std::isfinite(value)) {
        return NonFinite(value);
    }
    const MaskShape shape = ReadMask(mask);
    const Decimal d = ToDecimal(value);

    // Split the 15 significant digits at the decimal point.
    std::string integer;
    std::string fraction;
    if (d.point <= 0) {
        fraction.assign(static_cast<std::size_t>(-d.point), '0');
        fraction += d.digits;
    } else if (d.point >= static_cast<int>(d.digits.size())) {
        integer = d.digits;
        integer.append(static_cast<std::size_t>(d.point) - d.digits.size(), '0');
    } else {
        integer = d.digits.substr(0, static_cast<std::size_t>(d.point));
        fraction = d.digits.substr(static_cast<std::size_t>(d.point));
    }

    // Half away from zero: the magnitude is rounded, the sign is put back afterwards.
    const auto decimals = static_cast<std::size_t>(shape.decimals);
    if (fraction.size() > decimals) {
        const bool up = fraction[decimals] >= '5';
        fraction.resize(decimals);
        if (up) {
            std::string all = integer + fraction;
            if (!Increment(all)) {
                all.insert(all.begin(), '1');
            }
            integer = all.substr(0, all.size() - decimals);
            fraction = all.substr(all.size() - decimals);
        }
    }
    fraction.resize(decimals, '0');

    const std::size_t firstNonZero = integer.find_first_not_of('0');
    integer = firstNonZero == std::string::npos ? std::string{} : integer.substr(firstNonZero);
    const bool isZero = integer.empty() && fraction.find_first_not_of('0') == std::string::npos;
    if (integer.size() < static_cast<std::size_t>(shape.minIntegerDigits)) {
        integer.insert(0, static_cast<std::size_t>(shape.minIntegerDigits) - integer.size(), '0');
    }
    while (fraction.size() > static_cast<std::size_t>(shape.minDecimals) &&
           fraction.back() == '0') {
        fraction.pop_back();
    }
    if (integer.empty() && fraction.empty()) {
        return {};
    }

    // A value that rounds to zero shows no sign: an amount column never reads "-0,00".
    std::string out = d.negative && !isZero ? "-" : "";
    out += shape.grouped ? GroupThousands(integer) : integer;
    if (!fraction.empty()) {
        out += ',';
        out += fraction;
    }
    return out;
}

std::string PadLeft(std::string_view text, int width) {
    const int missing = width - Utf8Length(text);
    std::string out;
    if (missing > 0) {
        out.assign(static_cast<std::size_t>(missing), ' ');
    }
    out += text;
    return out;
}

std::string PadRight(std::string_view text, int width) {
    const int missing = width - Utf8Length(text);
    std::string out(text);
    if (missing > 0) {
        out.append(static_cast<std::size_t>(missing), ' ');
    }
    return out;
}

}  // namespace zelvo

namespace zelvo {

int WholeVal(std::string_view text, int lowest, int highest) {
    const double v = std::trunc(Val(text));
    if (std::isnan(v)) {
        return std::clamp(0, lowest, highest);
    }
    if (v <= lowest) {
        return lowest;
    }
    if (v >= highest) {
        return highest;
    }
    return static_cast<int>(v);
}

}  // namespace zelvo
