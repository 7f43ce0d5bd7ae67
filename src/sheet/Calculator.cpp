#include "sheet/Calculator.h"

#include <unistd.h>

#include <sstream>

namespace zelvo {

namespace {

__extension__ typedef __int128 Wide;

constexpr size_t kMaxDigits = 15;
constexpr int kExactDecimals = 18;
constexpr int kRoundedDecimals = 10;

Wide Abs(Wide v) {
    return v < 0 ? -v : v;
}

Wide Gcd(Wide a, Wide b) {
    a = Abs(a);
    b = Abs(b);
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

// The fraction in lowest terms; false when it does not fit or has no value.
bool Reduce(Wide num, Wide den, Calculator::Value& out) {
    if (den == 0) {
        return false;
    }
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const Wide g = num == 0 ? den : Gcd(num, den);
    num /= g;
    den /= g;
    constexpr Wide kMax = INT64_MAX;
    if (Abs(num) > kMax || den > kMax) {
        return false;
    }
    out = {static_cast<std::int64_t>(num), static_cast<std::int64_t>(den)};
    return true;
}

std::string Digits(Wide v) {
    std::string s;
    do {
        s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v != 0);
    return s;
}

// Thousands grouped by ".", as Italian amounts are written.
std::string Grouped(const std::string& digits) {
    std::string out;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        out += digits[i];
        if ((n - i - 1) % 3 == 0 && i + 1 < n) {
            out += '.';
        }
    }
    return out;
}

// The decimals a denominator needs: k when it divides 10^k for a k up to the exact limit,
// -1 when it divides none (a third, a seventh).
int ExactDecimals(std::int64_t den) {
    for (int k = 0; k <= kExactDecimals; ++k) {
        if (Power10(k) % den == 0) {
            return k;
        }
    }
    return -1;
}

std::string Shown(const Calculator::Value& v) {
    int decimals = ExactDecimals(v.den);
    const bool exact = decimals >= 0;
    if (!exact) {
        decimals = kRoundedDecimals;
    }
    const Wide scale = Power10(decimals);
    // Half away from zero, on the magnitude.
    Wide scaled = exact ? Abs(Wide{v.num}) * (scale / v.den)
                        : (Abs(Wide{v.num}) * scale * 2 + v.den) / (Wide{v.den} * 2);
    std::string fraction = decimals > 0 ? Digits(scaled % scale) : std::string();
    fraction.insert(0, static_cast<size_t>(decimals) - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    const Wide whole = scaled / scale;
    std::string out = (v.num < 0 && scaled != 0 ? "-" : "") + Grouped(Digits(whole));
    return fraction.empty() ? out : out + "," + fraction;
}

}  // namespace

void Calculator::press(std::string_view keys) {
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::string_view two = keys.substr(i, 2);
        if (two == "CE" || two == "M+" || two == "M-" || two == "MR" || two == "MC") {
            if (two == "CE") {
                m_entry = "0";
                m_negativeEntry = false;
                m_error = false;
            } else {
                memory(two);
            }
            ++i;
            continue;
        }
        if (keys.compare(i, 2, "±") == 0) {
            if (!m_entry.empty()) {
                m_negativeEntry = !m_negativeEntry;
            } else if (!m_error) {
                m_shown.num = -m_shown.num;
                m_fresh = true;
            }
            ++i;
            continue;
        }
        const char c = keys[i];
        if (c >= '0' && c <= '9') {
            digit(c);
        } else if (c == ',' || c == '.') {
            point();
        } else if (c == '+' || c == '-' || c == '*' || c == '/' || c == 'x' || c == ':') {
            operation(c == 'x' ? '*' : c == ':' ? '/' : c);
        } else if (c == '=') {
            equals();
        } else if (c == 'C') {
            clear();
        }
    }
}

void Calculator::digit(char d) {
    if (m_error) {
        clear();
    }
    if (m_entry == "0") {
        m_entry.clear();
    }
    size_t digits = 0;
    for (char c : m_entry) {
        digits += c != ',' ? 1 : 0;
    }
    if (digits < kMaxDigits) {
        m_entry += d;
    }
    m_fresh = true;
}

void Calculator::point() {
    if (m_error) {
        clear();
    }
    if (m_entry.empty()) {
        m_entry = "0";
    }
    if (m_entry.find(',') == std::string::npos) {
        m_entry += ',';
    }
    m_fresh = true;
}

Calculator::Value Calculator::current() const {
    if (m_entry.empty()) {
        return m_shown;
    }
    const size_t comma = m_entry.find(',');
    const std::string whole = m_entry.substr(0, comma);
    const std::string decimals = comma == std::string::npos ? "" : m_entry.substr(comma + 1);
    Wide num = 0;
    for (char c : whole + decimals) {
        num = num * 10 + (c - '0');
    }
    Value v;
    Reduce(m_negativeEntry ? -num : num, Power10(static_cast<int>(decimals.size())), v);
    return v;
}

bool Calculator::apply() {
    const Value a = m_accumulator;
    const Value b = current();
    Value r;
    bool ok = false;
    switch (m_pending) {
        case '+':
        case '-': {
            const Wide bn = m_pending == '+' ? Wide{b.num} : -Wide{b.num};
            ok = Reduce(Wide{a.num} * b.den + bn * a.den, Wide{a.den} * b.den, r);
            break;
        }
        case '*':
            ok = Reduce(Wide{a.num} * b.num, Wide{a.den} * b.den, r);
            break;
        case '/':
            ok = b.num != 0 && Reduce(Wide{a.num} * b.den, Wide{a.den} * b.num, r);
            break;
        default:
            r = b;
            ok = true;
    }
    if (!ok) {
        m_error = true;
        m_entry.clear();
        m_pending = 0;
        return false;
    }
    showResult(r);
    return true;
}

void Calculator::showResult(Value v) {
    m_accumulator = v;
    m_shown = v;
    m_entry.clear();
    m_negativeEntry = false;
    m_fresh = false;
}

void Calculator::operation(char op) {
    if (m_error) {
        return;
    }
    if (m_fresh || m_pending == 0) {
        if (!apply()) {
            return;
        }
    }
    m_pending = op;
}

void Calculator::equals() {
    if (m_error || m_pending == 0) {
        if (!m_error) {
            showResult(current());
        }
        return;
    }
    if (apply()) {
        m_pending = 0;
    }
}

void Calculator::clear() {
    const Value memory = m_memory;
    *this = Calculator();
    m_memory = memory;
}

void Calculator::memory(std::string_view key) {
    if (key == "MC") {
        m_memory = {};
        return;
    }
    if (key == "MR") {
        if (m_error) {
            clear();
        }
        m_entry.clear();
        m_negativeEntry = false;
        m_shown = m_memory;
        m_fresh = true;
        return;
    }
    if (m_error) {
        return;
    }
    // M+ and M- take what an "=" would show.
    equals();
    if (m_error) {
        return;
    }
    const Value v = current();
    const Wide n = key == "M+" ? Wide{v.num} : -Wide{v.num};
    if (!Reduce(Wide{m_memory.num} * v.den + n * m_memory.den, Wide{m_memory.den} * v.den,
                m_memory)) {
        m_error = true;
    }
}

std::string Calculator::display() const {
    const std::string mark = memoryInUse() ? "M " : "";
    if (m_error) {
        return mark + "Errore";
    }
    if (m_entry.empty()) {
        return mark + Shown(m_shown);
    }
    const size_t comma = m_entry.find(',');
    std::string out = Grouped(m_entry.substr(0, comma));
    if (comma != std::string::npos) {
        out += m_entry.substr(comma);
    }
    return mark + (m_negativeEntry ? "-" : "") + out;
}

std::string FindDesktopCalculator(const std::string& pathVariable) {
    static const char* const kPrograms[] = {"gnome-calculator", "kcalc",     "galculator",
                                            "qalculate-gtk",    "mate-calc", "xcalc"};
    for (const char* program : kPrograms) {
        std::stringstream dirs(pathVariable);
        std::string dir;
        while (std::getline(dirs, dir, ':')) {
            if (dir.empty()) {
                continue;
            }
            const std::string path = dir + "/" + program;
            if (::access(path.c_str(), X_OK) == 0) {
                return path;
            }
        }
    }
    return {};
}

}  // namespace zelvo
