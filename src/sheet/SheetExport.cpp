// The sheet's ways out of the program besides its own file: the office workbook and the
// pages of the report output. Declared in SheetFile.h.

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <tuple>

#include "base/NumberText.h"
#include "base/Utf8.h"
#include "session/ReportPager.h"
#include "session/ReportRun.h"
#include "session/Session.h"
#include "sheet/SheetFile.h"

namespace zelvo::sheet {

namespace {

// The formula as office suites store it: upper-case names, "," between arguments.
std::string OfficeFormula(const std::string& formula) {
    std::string out = "=";
    for (char c : formula) {
        out += c == ';' ? ',' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

// The sheet's masks group with "." and mark decimals with ","; a workbook's masks are
// written the other way round and shown in the reader's own language.
std::string OfficeMask(const std::string& mask) {
    std::string out = mask;
    for (char& c : out) {
        c = c == '.' ? ',' : c == ',' ? '.' : c;
    }
    return out;
}

class WorkbookFormats {
  public:
    WorkbookFormats(lxw_workbook* workbook, const Sheet& sheet)
        : m_workbook(workbook), m_sheet(sheet) {}

    lxw_format* of(CellRef c) {
        const CellFont f = m_sheet.font(c);
        const std::string& mask = m_sheet.format(c);
        if (f.family.empty() && f.size == 0 && !f.bold && mask.empty()) {
            return nullptr;
        }
        lxw_format*& format = m_formats[{mask, f.family, f.size, f.bold}];
        if (format == nullptr) {
            format = workbook_add_format(m_workbook);
            if (!f.family.empty()) {
                format_set_font_name(format, f.family.c_str());
            }
            if (f.size > 0) {
                format_set_font_size(format, f.size);
            }
            if (f.bold) {
                format_set_bold(format);
            }
            if (!mask.empty()) {
                format_set_num_format(format, OfficeMask(mask).c_str());
            }
        }
        return format;
    }

  private:
    lxw_workbook* m_workbook;
    const Sheet& m_sheet;
    std::map<std::tuple<std::string, std::string, int, bool>, lxw_format*> m_formats;
};

void WriteCell(lxw_worksheet* ws, const Sheet& sheet, CellRef c, const std::string& entry,
               lxw_format* format) {
    const auto row = static_cast<lxw_row_t>(c.row);
    const auto col = static_cast<lxw_col_t>(c.column);
    const CellValue& v = sheet.value(c);
    if (sheet.isFormula(c)) {
        const std::string formula = OfficeFormula(entry.substr(1));
        if (v.kind == CellValue::Kind::Number) {
            worksheet_write_formula_num(ws, row, col, formula.c_str(), format, v.number.toDouble());
        } else {
            worksheet_write_formula(ws, row, col, formula.c_str(), format);
        }
    } else if (v.kind == CellValue::Kind::Number) {
        worksheet_write_number(ws, row, col, v.number.toDouble(), format);
    } else if (v.kind == CellValue::Kind::Text) {
        worksheet_write_string(ws, row, col, v.text.c_str(), format);
    } else if (format != nullptr) {
        worksheet_write_blank(ws, row, col, format);
    }
}

// What a cell prints: its shown text, numbers to the right of the column, texts running on
// over the empty cells to their right.
std::string PrintedRow(const Sheet& sheet, int row, int columns) {
    std::string line;
    for (int c = 0; c < columns;) {
        const int width = sheet.columnWidth(c);
        const std::string shown = sheet.shown({row, c});
        if (sheet.value({row, c}).kind == CellValue::Kind::Number ||
            sheet.value({row, c}).kind == CellValue::Kind::Error) {
            line += PadLeft(shown, width) + " ";
            ++c;
            continue;
        }
        int span = width;
        int next = c + 1;
        while (next < columns && Utf8Length(shown) > span && sheet.shown({row, next}).empty()) {
            span += 1 + sheet.columnWidth(next);
            ++next;
        }
        line += PadRight(Utf8Left(shown, span), span) + " ";
        c = next;
    }
    return RightTrim(line);
}

}  // namespace

bool ExportXlsx(const Sheet& sheet, const std::string& path) {
    lxw_workbook* workbook = workbook_new(path.c_str());
    if (workbook == nullptr) {
        return false;
    }
    lxw_worksheet* ws = workbook_add_worksheet(workbook, "Foglio1");
    WorkbookFormats formats(workbook, sheet);
    for (const auto& [column, width] : sheet.columnWidths()) {
        worksheet_set_column(ws, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column),
                             width, nullptr);
    }
    sheet.forEachCell([&](CellRef c, const std::string& entry) {
        WriteCell(ws, sheet, c, entry, formats.of(c));
    });
    return workbook_close(workbook) == LXW_NO_ERROR;
}

bool PrintSheet(Session& session, ReportSink& sink, const Sheet& sheet, bool preview) {
    ReportRun run(session, sink, preview);
    if (!run.opened()) {
        return false;
    }
    // As many columns as the page holds, from the first.
    int columns = 0;
    for (int used = 0; columns <= sheet.lastColumn(); ++columns) {
        used += sheet.columnWidth(columns) + 1;
        if (used > kReportWidth + 1 && columns > 0) {
            break;
        }
    }
    const std::string title = sheet.title.empty() ? "Foglio elettronico" : sheet.title;
    ReportPager pager(
        sink, session.values().print.linesPerPage,
        [&](int page) {
            const std::string number = "Pag. " + std::to_string(page);
            return std::vector<std::string>{
                PadRight(Utf8Left(title, kReportWidth - 15), kReportWidth - 14) +
                    PadLeft(number, 14),
                ""};
        },
        "");
    pager.start();
    for (int r = 0; r <= sheet.lastRow(); ++r) {
        pager.print(PrintedRow(sheet, r, columns));
        pager.breakIfFull();
    }
    return true;
}

}  // namespace zelvo::sheet
