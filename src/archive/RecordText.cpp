#include "archive/RecordText.h"

#include <charconv>
#include <cmath>
#include <variant>

namespace zelvo {

namespace {

std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string unescape(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[++i];
            out += n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::vector<std::string_view> splitTabs(std::string_view line) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) {
            return parts;
        }
        start = tab + 1;
    }
}

}  // namespace

std::string ShortestNumber(double value) {
    if (value == 0) {
        return "0";  // also for -0
    }
    // Fixed notation: the shortest digits that read back as the same double, but never in
    // exponent form, which a record's 300000 would otherwise take ("3e+05"). The widest
    // doubles (1e308, 5e-324) need a little over 320 characters.
    char buf[512];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return std::string(buf, res.ptr);
}

std::vector<std::string> RecordValues(const isam::Record& record) {
    std::vector<std::string> out;
    for (int f = 1; f <= record.size(); ++f) {
        const isam::FieldValue& v = record.value(f);
        if (const auto* s = std::get_if<std::string>(&v)) {
            out.push_back(*s);
        } else if (const auto* a = std::get_if<std::vector<std::string>>(&v)) {
            out.insert(out.end(), a->begin(), a->end());
        } else {
            out.push_back(ShortestNumber(record.number(f)));
        }
    }
    return out;
}

std::string RecordToLine(const std::string& primaryKey, const isam::Record& record) {
    std::string line = escape(primaryKey);
    for (const std::string& v : RecordValues(record)) {
        line += '\t';
        line += escape(v);
    }
    return line;
}

std::string LineToRecord(std::string_view line, const isam::FieldDesc& desc,
                         std::string& primaryKey, isam::Record& record) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    auto parts = splitTabs(line);
    record = isam::Record(desc);
    primaryKey = unescape(parts[0]);
    size_t next = 1;
    auto take = [&parts, &next]() -> std::string {
        return next < parts.size() ? unescape(parts[next++]) : (next++, std::string());
    };
    for (int f = 1; f <= desc.count(); ++f) {
        const isam::FieldSpec& fieldSpec = desc.field(f);
        if (fieldSpec.type == isam::FieldType::Text) {
            record.setText(f, take());
        } else if (fieldSpec.type == isam::FieldType::TextArray) {
            for (int e = 1; e <= fieldSpec.arrayLength; ++e) {
                record.setText(f, e, take());
            }
        } else {
            std::string t = take();
            double v = 0;
            if (!t.empty()) {
                auto res = std::from_chars(t.data(), t.data() + t.size(), v);
                if (res.ec != std::errc() || res.ptr != t.data() + t.size() || !std::isfinite(v)) {
                    return "campo " + std::to_string(f) + ": numero non valido \"" + t + "\"";
                }
            }
            record.setNumber(f, v);
        }
    }
    if (parts.size() > next) {
        return "troppi campi: " + std::to_string(parts.size() - 1);
    }
    return {};
}

std::string FieldText(const isam::Record& record, std::string_view field, std::string& error) {
    error.clear();
    int f = 0;
    int element = 0;
    size_t dot = field.find('.');
    std::string_view head = field.substr(0, dot);
    auto r1 = std::from_chars(head.data(), head.data() + head.size(), f);
    bool ok = r1.ec == std::errc() && r1.ptr == head.data() + head.size();
    if (ok && dot != std::string_view::npos) {
        std::string_view tail = field.substr(dot + 1);
        auto r2 = std::from_chars(tail.data(), tail.data() + tail.size(), element);
        ok = r2.ec == std::errc() && r2.ptr == tail.data() + tail.size();
    }
    if (!ok || f < 1 || f > record.size()) {
        error = "no field " + std::string(field);
        return {};
    }
    const isam::FieldValue& v = record.value(f);
    if (const auto* a = std::get_if<std::vector<std::string>>(&v)) {
        if (element < 1 || element > static_cast<int>(a->size())) {
            error = "no element " + std::string(field);
            return {};
        }
        return (*a)[static_cast<size_t>(element - 1)];
    }
    if (element != 0) {
        error = "field " + std::to_string(f) + " is not an array";
        return {};
    }
    if (const auto* s = std::get_if<std::string>(&v)) {
        return *s;
    }
    return ShortestNumber(record.number(f));
}

}  // namespace zelvo
