#pragma once

#include <string>

#include "sheet/Sheet.h"

namespace zelvo {
class ReportSink;
class Session;
}  // namespace zelvo

namespace zelvo::sheet {

// The sheet's own file: what every cell holds as typed (formulas as formulas), its format
// and font, the column widths and the title, as UTF-8 text. False when the file cannot be
// written or read, or is not a sheet; `into` is then left as it was.
bool SaveSheet(const Sheet& sheet, const std::string& path);
bool OpenSheet(const std::string& path, Sheet& into);

// The values as shown, row by row, fields separated by ";" (the list separator of Italian
// office suites) and quoted when they hold one; numbers without grouping, decimal comma.
bool ExportCsv(const Sheet& sheet, const std::string& path);

// An office workbook of one worksheet: texts, numbers, and formulas kept as formulas (with
// their computed values cached for readers that do not compute), fonts, number formats and
// column widths.
bool ExportXlsx(const Sheet& sheet, const std::string& path);

// The sheet on pages of the program's report output: the title and page number at the top,
// each used column at its width (numbers to the right), as much as fits the page width.
// False when nothing was printed.
bool PrintSheet(Session& session, ReportSink& sink, const Sheet& sheet, bool preview);

}  // namespace zelvo::sheet
