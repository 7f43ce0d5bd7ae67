#include "sheet/Calculator.h"

#include <unistd.h>

#include <sstream>

#include "base/NumberText.h"

namespace zelvo {

namespace {

constexpr size_t kMaxDigits = 15;

// What the display can hold: fifteen digits before the decimal comma.
bool Fits(const sheet::SheetNumber& v) {
    static const sheet::SheetNumber kLimit = sheet::SheetNumber::whole(999999999999999LL);
    sheet::SheetNumber magnitude = v;
    if (magnitude.compare(sheet::SheetNumber()) < 0) {
        magnitude.negate();
    }
    return magnitude.compare(kLimit) <= 0;
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
                m_shown.negate();
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

sheet::SheetNumber Calculator::current() const {
    if (m_entry.empty()) {
        return m_shown;
    }
    sheet::SheetNumber v = sheet::SheetNumber::parse(m_entry).value_or(sheet::SheetNumber());
    if (m_negativeEntry) {
        v.negate();
    }
    return v;
}

bool Calculator::apply() {
    sheet::SheetNumber r = m_accumulator;
    const sheet::SheetNumber b = current();
    bool ok = true;
    switch (m_pending) {
        case '+':
            ok = r.add(b);
            break;
        case '-':
            ok = r.subtract(b);
            break;
        case '*':
            ok = r.multiply(b);
            break;
        case '/':
            ok = r.divide(b);
            break;
        default:
            r = b;
    }
    if (!ok || !Fits(r)) {
        m_error = true;
        m_entry.clear();
        m_pending = 0;
        return false;
    }
    showResult(r);
    return true;
}

void Calculator::showResult(const sheet::SheetNumber& v) {
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
    const sheet::SheetNumber memory = m_memory;
    *this = Calculator();
    m_memory = memory;
}

void Calculator::memory(std::string_view key) {
    if (key == "MC") {
        m_memory = sheet::SheetNumber();
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
    const sheet::SheetNumber v = current();
    if (!(key == "M+" ? m_memory.add(v) : m_memory.subtract(v)) || !Fits(m_memory)) {
        m_error = true;
    }
}

std::string Calculator::display() const {
    const std::string mark = memoryInUse() ? "M " : "";
    if (m_error) {
        return mark + "Errore";
    }
    if (m_entry.empty()) {
        return mark + m_shown.general(true);
    }
    const size_t comma = m_entry.find(',');
    // Fifteen digits at most: a double holds them exactly.
    std::string out = Format(Val(m_entry.substr(0, comma)), "###,###,###,###,##0");
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
