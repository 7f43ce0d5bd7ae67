#include "sheet/SheetNumber.h"

#include <cmath>

namespace zelvo::sheet {

namespace {

Wide Gcd(Wide a, Wide b) {
    a = a < 0 ? -a : a;
    b = b < 0 ? -b : b;
    while (b != 0) {
        const Wide t = a % b;
        a = b;
        b = t;
    }
    return a;
}

Wide Power10(int n) {
    Wide p = 1;
    for (int i = 0; i < n; ++i) {
        p *= 10;
    }
    return p;
}

std::string Digits(Wide value) {
    if (value == 0) {
        return "0";
    }
    std::string s;
    while (value > 0) {
        s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
        value /= 10;
    }
    return s;
}

std::string Grouped(const std::string& digits) {
    std::string out;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) {
            out += '.';
        }
        out += digits[i];
    }
    return out;
}

// "1.234.567": one to three digits, then groups of a point and three digits.
bool ThousandsGrouped(std::string_view s) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const size_t first = s.find('.');
    if (first == std::string_view::npos || first == 0 || first > 3) {
        return false;
    }
    for (size_t i = 0; i < first; ++i) {
        if (!digit(s[i])) {
            return false;
        }
    }
    for (size_t i = first; i < s.size(); i += 4) {
        if (s[i] != '.' || i + 4 > s.size() || !digit(s[i + 1]) || !digit(s[i + 2]) ||
            !digit(s[i + 3])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool SheetNumber::set(Wide num, Wide den) {
    if (den == 0) {
        return false;
    }
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const Wide g = Gcd(num, den);
    m_num = g > 1 ? num / g : num;
    m_den = g > 1 ? den / g : den;
    return true;
}

SheetNumber SheetNumber::whole(long long value) {
    SheetNumber n;
    n.m_num = value;
    return n;
}

std::optional<SheetNumber> SheetNumber::parse(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::string body(text);
    const size_t comma = body.find(',');
    if (comma != std::string::npos) {
        std::string whole = body.substr(0, comma);
        if (whole.find('.') != std::string::npos && !ThousandsGrouped(whole)) {
            return std::nullopt;
        }
        std::erase(whole, '.');
        body = whole + "." + body.substr(comma + 1);
    } else if (ThousandsGrouped(body)) {
        std::erase(body, '.');
    }
    // At most 24 digits: anything longer is not an amount anybody types.
    if (body.empty() || body == "." || body.size() > 25) {
        return std::nullopt;
    }
    Wide num = 0;
    Wide den = 1;
    bool point = false;
    for (char c : body) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            num = num * 10 + (c - '0');
            den *= point ? 10 : 1;
        } else {
            return std::nullopt;
        }
    }
    SheetNumber n;
    n.set(negative ? -num : num, den);
    return n;
}

std::optional<SheetNumber> SheetNumber::fromDouble(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e24) {
        return std::nullopt;
    }
    SheetNumber n;
    if (value == std::trunc(value)) {
        n.m_num = static_cast<Wide>(value);
        return n;
    }
    n.set(static_cast<Wide>(std::llround(value * 1e6)), 1000000);
    return n;
}

bool SheetNumber::add(const SheetNumber& o) {
    Wide a = 0;
    Wide b = 0;
    Wide num = 0;
    Wide den = 0;
    if (__builtin_mul_overflow(m_num, o.m_den, &a) || __builtin_mul_overflow(o.m_num, m_den, &b) ||
        __builtin_add_overflow(a, b, &num) || __builtin_mul_overflow(m_den, o.m_den, &den)) {
        return false;
    }
    return set(num, den);
}

bool SheetNumber::subtract(const SheetNumber& o) {
    SheetNumber minus = o;
    minus.negate();
    return add(minus);
}

bool SheetNumber::multiply(const SheetNumber& o) {
    Wide num = 0;
    Wide den = 0;
    if (__builtin_mul_overflow(m_num, o.m_num, &num) ||
        __builtin_mul_overflow(m_den, o.m_den, &den)) {
        return false;
    }
    return set(num, den);
}

bool SheetNumber::divide(const SheetNumber& o) {
    if (o.m_num == 0) {
        return false;
    }
    Wide num = 0;
    Wide den = 0;
    if (__builtin_mul_overflow(m_num, o.m_den, &num) ||
        __builtin_mul_overflow(m_den, o.m_num, &den)) {
        return false;
    }
    return set(num, den);
}

int SheetNumber::compare(const SheetNumber& o) const {
    SheetNumber d = *this;
    if (!d.subtract(o)) {
        return toDouble() < o.toDouble() ? -1 : 1;
    }
    return d.m_num < 0 ? -1 : (d.m_num > 0 ? 1 : 0);
}

double SheetNumber::toDouble() const {
    return static_cast<double>(m_num) / static_cast<double>(m_den);
}

std::string SheetNumber::text(int decimals, bool grouped) const {
    const Wide scale = Power10(decimals);
    const Wide magnitude = m_num < 0 ? -m_num : m_num;
    // Half away from zero, on the magnitude: -2,5 shows as -3 like 2,5 as 3.
    const Wide scaled = (magnitude * scale * 2 + m_den) / (m_den * 2);
    std::string units = Digits(scaled / scale);
    std::string out = grouped ? Grouped(units) : units;
    if (decimals > 0) {
        std::string fraction = Digits(scaled % scale);
        out += "," + std::string(static_cast<size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return (m_num < 0 && scaled != 0 ? "-" : "") + out;
}

std::string SheetNumber::general(bool grouped) const {
    if (m_den == 1) {
        return text(0, grouped);
    }
    std::string s = text(10, grouped);
    while (s.back() == '0') {
        s.pop_back();
    }
    if (s.back() == ',') {
        s.pop_back();
    }
    return s;
}

std::string SheetNumber::plain() const {
    std::string s = general();
    const size_t comma = s.find(',');
    if (comma != std::string::npos) {
        s[comma] = '.';
    }
    return s;
}

std::string FormatNumber(const SheetNumber& number, std::string_view mask) {
    if (mask.empty() || mask.find_first_not_of("#0.,") != std::string_view::npos) {
        return number.general();
    }
    const size_t comma = mask.find(',');
    const int decimals =
        comma == std::string_view::npos ? 0 : static_cast<int>(mask.size() - comma - 1);
    const std::string_view units = mask.substr(0, comma);
    const bool grouped = units.find('.') != std::string_view::npos;
    std::string s = number.text(decimals, grouped);
    // A mask of "#" alone shows nothing for a zero, as office suites do.
    if (units.find('0') == std::string_view::npos && decimals == 0 && (s == "0" || s == "-0")) {
        return {};
    }
    return s;
}

}  // namespace zelvo::sheet
