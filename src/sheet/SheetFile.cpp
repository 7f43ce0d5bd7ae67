#include "sheet/SheetFile.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "base/NumberText.h"

namespace zelvo::sheet {

namespace {

constexpr const char* kSignature = "ZELVO-FOGLIO 1";

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char c = s[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) {
        out.push_back(Unescape(field));
    }
    if (!line.empty() && line.back() == '\t') {
        out.emplace_back();
    }
    return out;
}

std::string FontFields(const CellFont& f) {
    return Escape(f.family) + "\t" + std::to_string(f.size) + "\t" + (f.bold ? "1" : "0");
}

CellFont ReadFont(const std::vector<std::string>& f, size_t at) {
    return {f[at], static_cast<int>(WholeVal(f[at + 1], 0, 400)), f[at + 2] == "1"};
}

// One record of the file into the sheet; false when it is not one.
bool ReadRecord(const std::vector<std::string>& f, Sheet& s) {
    CellRef cell;
    if (f.size() == 2 && f[0] == "titolo") {
        s.title = f[1];
    } else if (f.size() == 3 && f[0] == "colonna") {
        s.setColumnWidth(static_cast<int>(WholeVal(f[1], 0, kMaxColumns - 1)),
                         static_cast<int>(WholeVal(f[2], 1, 255)));
    } else if (f.size() == 4 && f[0] == "carattere") {
        s.setDefaultFont(ReadFont(f, 1));
    } else if (f.size() == 7 && f[0] == "cella" && ParseCellLabel(f[1], cell)) {
        s.setEntry(cell, f[2]);
        if (!f[3].empty()) {
            s.setFormat({cell, cell}, f[3]);
        }
        const CellFont font = ReadFont(f, 4);
        if (!(font == s.defaultFont())) {
            s.setFont({cell, cell}, font);
        }
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool SaveSheet(const Sheet& sheet, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << kSignature << "\n";
    out << "titolo\t" << Escape(sheet.title) << "\n";
    out << "carattere\t" << FontFields(sheet.defaultFont()) << "\n";
    for (const auto& [column, width] : sheet.columnWidths()) {
        out << "colonna\t" << column << "\t" << width << "\n";
    }
    sheet.forEachCell([&](CellRef c, const std::string& entry) {
        out << "cella\t" << CellLabel(c) << "\t" << Escape(entry) << "\t" << Escape(sheet.format(c))
            << "\t" << FontFields(sheet.font(c)) << "\n";
    });
    out.close();
    return static_cast<bool>(out);
}

bool OpenSheet(const std::string& path, Sheet& into) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kSignature) {
        return false;
    }
    Sheet s;
    s.beginBatch();
    while (std::getline(in, line)) {
        if (!line.empty() && !ReadRecord(Fields(line), s)) {
            return false;
        }
    }
    s.endBatch();
    into = std::move(s);
    return true;
}

bool ExportCsv(const Sheet& sheet, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int r = 0; r <= sheet.lastRow(); ++r) {
        std::string line;
        for (int c = 0; c <= sheet.lastColumn(); ++c) {
            const CellValue& v = sheet.value({r, c});
            std::string field =
                v.kind == CellValue::Kind::Number ? v.number.general() : sheet.shown({r, c});
            if (field.find_first_of(";\"\n\r") != std::string::npos) {
                std::string quoted = "\"";
                for (char ch : field) {
                    quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
                }
                field = quoted + "\"";
            }
            line += (c > 0 ? ";" : "") + field;
        }
        out << line << "\r\n";
    }
    out.close();
    return static_cast<bool>(out);
}

}  // namespace zelvo::sheet
