#include "isam/FieldDesc.h"

#include <cctype>

namespace zelvo::isam {

namespace {

// Reads the digits of "xN$"/"AN$" at pos; 0 when there are none or the number is absurd.
int readCount(std::string_view t, size_t& pos) {
    int n = 0;
    size_t start = pos;
    while (pos < t.size() && std::isdigit(static_cast<unsigned char>(t[pos])) != 0) {
        n = n * 10 + (t[pos] - '0');
        if (n > 100000) {
            return 0;
        }
        ++pos;
    }
    return pos == start ? 0 : n;
}

}  // namespace

std::optional<FieldDesc> FieldDesc::parse(std::string_view t) {
    FieldDesc d;
    d.m_text = std::string(t);
    size_t pos = 0;
    while (pos < t.size()) {
        char c = t[pos];
        FieldSpec f;
        if (c == ',' || c == ' ') {
            ++pos;
            continue;
        }
        if (c == '$') {
            f.type = FieldType::Text;
            ++pos;
        } else if (c == '#') {
            f.type = FieldType::Double;
            ++pos;
        } else if (c == '%') {
            f.type = FieldType::Int16;
            ++pos;
        } else if (c == '&') {
            f.type = FieldType::Int32;
            ++pos;
        } else if (c == 'x' || c == 'X' || c == 'A' || c == 'a') {
            ++pos;
            int n = readCount(t, pos);
            if (n == 0 || pos >= t.size() || t[pos] != '$') {
                return std::nullopt;
            }
            ++pos;
            if (c == 'A' || c == 'a') {
                f.type = FieldType::TextArray;
                f.arrayLength = n;
            } else {
                f.type = FieldType::Text;
                f.keyLength = n;
            }
        } else {
            return std::nullopt;
        }
        d.m_fields.push_back(f);
    }
    if (d.m_fields.empty()) {
        return std::nullopt;
    }
    return d;
}

bool FieldDesc::isKeyField(int n) const {
    if (n == 0) {
        return true;
    }
    return n >= 1 && n <= count() && field(n).keyLength > 0;
}

}  // namespace zelvo::isam
