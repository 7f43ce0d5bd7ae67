#pragma once

#include <QFont>
#include <QRawFont>
#include <QRectF>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class QPainter;
class QPagedPaintDevice;
class QPrinter;

namespace zelvo {

// A document as a report sent it. A year's journal runs to some 400,000 lines, so the lines
// live in one buffer, each ended by '\n', with one offset per page; a page's lines are cut
// out of the buffer only when that page is drawn.
class ReportDocument {
  public:
    void setFont(std::string family, int size);
    void line(std::string_view text);
    void newPage();

    const std::string& fontFamily() const { return m_family; }
    int fontSize() const { return m_size; }
    int pageCount() const { return static_cast<int>(m_pageStart.size()); }
    // The lines of page `page` (from 0); valid while the document lives.
    std::vector<std::string_view> pageLines(int page) const;
    // The line count of the longest page: the page geometry must hold it.
    int longestPage() const;

  private:
    std::string m_family;
    int m_size = 0;
    std::string m_text;
    std::vector<std::size_t> m_pageStart{0};
    int m_linesOnPage = 0;
    int m_longest = 0;
};

// Where the lines fall on the page, in points (1/72 inch) from the paper's top-left corner.
// The paper is A4 portrait with margins of 6 mm at the sides and 8 mm at top and bottom.
// The font is the document's at its size unless the page cannot hold the report: when the 97
// columns of a report do not fit between the margins the font shrinks until they do, and
// when the longest page has more lines than fit at the font's own line spacing the spacing
// shrinks, down to the font's height, then the font with it. The report's page breaks are
// thus always kept; a line longer than the page is clipped at the margin, never wrapped.
struct PageLayout {
    static constexpr double kPaperWidth = 595.276;   // A4, points
    static constexpr double kPaperHeight = 841.890;  // A4, points

    QRectF content;      // inside the margins
    QFont font;          // family and style; its size is set per device when drawing
    double em = 0;       // font size, points
    double pitch = 0;    // distance between baselines, points
    double ascent = 0;   // from a line's top to its baseline, points
    double advance = 0;  // one column, points
    QRawFont glyphs;     // the face at em points, for drawing lines as placed glyphs

    static PageLayout of(const ReportDocument& document);
};

// Draws one page on a painter whose coordinates are points of the paper (the caller scales
// it to its device). Only that page's lines are read.
void PaintPage(QPainter& painter, const PageLayout& layout, const ReportDocument& document,
               int page);

// Every page on a paged device (a printer, a PDF writer) laid out as A4 with no margins of its
// own (full page): the layout's margins are the only ones. False when the device refuses to
// start (a file that cannot be written, a printer that fails).
bool RenderDocument(const ReportDocument& document, QPagedPaintDevice& device);
bool WritePdf(const ReportDocument& document, const QString& path);
// On paper: A4 portrait, full page, whatever the printer's own margins.
bool PrintDocument(const ReportDocument& document, QPrinter& printer);

}  // namespace zelvo
