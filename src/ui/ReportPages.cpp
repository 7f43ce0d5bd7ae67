#include "ui/ReportPages.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>

#include "session/ReportSink.h"

namespace zelvo {

void ReportDocument::setFont(std::string family, int size) {
    m_family = std::move(family);
    m_size = size;
}

void ReportDocument::line(std::string_view text) {
    m_text.append(text);
    m_text += '\n';
    // A line break inside a line makes two lines on paper: count them, so the page holds them.
    m_linesOnPage += 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    m_longest = std::max(m_longest, m_linesOnPage);
}

void ReportDocument::newPage() {
    m_pageStart.push_back(m_text.size());
    m_linesOnPage = 0;
}

int ReportDocument::longestPage() const {
    return m_longest;
}

std::vector<std::string_view> ReportDocument::pageLines(int page) const {
    std::vector<std::string_view> lines;
    if (page < 0 || page >= pageCount()) {
        return lines;
    }
    const auto index = static_cast<std::size_t>(page);
    std::size_t pos = m_pageStart[index];
    const std::size_t end = index + 1 < m_pageStart.size() ? m_pageStart[index + 1] : m_text.size();
    std::string_view all(m_text);
    while (pos < end) {
        std::size_t nl = all.find('\n', pos);
        lines.push_back(all.substr(pos, nl - pos));
        pos = nl + 1;
    }
    return lines;
}

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr double kSideMargin = 6 * kPointsPerMm;
constexpr double kTopMargin = 8 * kPointsPerMm;

// The font's proportions for one point of size. Measured on a large pixel size, which does
// not depend on any device's resolution.
struct Proportions {
    double advance;
    double lineSpacing;
    double height;
    double ascent;
};

Proportions proportionsOf(QFont font) {
    constexpr int kProbe = 1000;
    font.setPixelSize(kProbe);
    QFontMetricsF m(font);
    return {m.horizontalAdvance(QLatin1Char('M')) / kProbe, m.lineSpacing() / kProbe,
            m.height() / kProbe, m.ascent() / kProbe};
}

}  // namespace

PageLayout PageLayout::of(const ReportDocument& document) {
    PageLayout l;
    l.content = QRectF(kSideMargin, kTopMargin, kPaperWidth - 2 * kSideMargin,
                       kPaperHeight - 2 * kTopMargin);
    QString family = QString::fromStdString(document.fontFamily());
    l.font = QFont(family.isEmpty() ? QStringLiteral("Courier New") : family);
    // Reports are laid out in columns: whatever the family, a fixed-pitch face it must be.
    l.font.setStyleHint(QFont::TypeWriter, QFont::PreferMatch);
    l.font.setFixedPitch(true);
    const Proportions p = proportionsOf(l.font);

    l.em = document.fontSize() > 0 ? document.fontSize() : 10;
    l.em = std::min(l.em, l.content.width() / (kReportWidth * p.advance));
    l.pitch = p.lineSpacing * l.em;
    const int lines = std::max(1, document.longestPage());
    if (lines * l.pitch > l.content.height()) {
        l.pitch = l.content.height() / lines;
        l.em = std::min(l.em, l.pitch / p.height);
    }
    l.ascent = p.ascent * l.em;
    l.advance = p.advance * l.em;
    l.glyphs = QRawFont::fromFont(l.font);
    if (l.glyphs.isValid()) {
        l.glyphs.setPixelSize(l.em);
    }
    return l;
}

namespace {

// A page's lines as one run of glyphs, each placed at its column: no shaping, no glyphs for
// the blanks that fill a report's columns, and a single call for the whole page. A PDF writer
// emits every glyph it is given with its own move, so what is never drawn is never written.
// False when a line holds a character the face lacks: that page is drawn as text instead, so
// that the font's fallbacks supply it.
bool PlaceGlyphs(const PageLayout& layout, const std::vector<std::string_view>& lines,
                 QList<quint32>& glyphs, QList<QPointF>& positions) {
    double baseline = layout.content.top() + layout.ascent;
    for (std::string_view line : lines) {
        const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
        const QList<quint32> indexes = layout.glyphs.glyphIndexesForString(text);
        if (indexes.size() != text.size()) {
            return false;
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == QLatin1Char(' ')) {
                continue;
            }
            if (indexes.at(i) == 0 || c.isSurrogate()) {
                return false;
            }
            glyphs.push_back(indexes.at(i));
            positions.push_back(
                QPointF(layout.content.left() + static_cast<double>(i) * layout.advance, baseline));
        }
        baseline += layout.pitch;
    }
    return true;
}

void PaintAsText(QPainter& painter, const PageLayout& layout,
                 const std::vector<std::string_view>& lines) {
    // Font engines size a font in whole units of the painter: at the ten or so units an em
    // takes here, 9.64 would become 10 and every line would run past the right margin by
    // three columns. Drawn a hundred times larger on a painter scaled down as much, the
    // rounding is lost in the fine units.
    constexpr double kFine = 100;
    painter.scale(1 / kFine, 1 / kFine);
    QFont font = layout.font;
    // A point size is turned into pixels by the device's resolution, while the painter is
    // already scaled to points: undo the one so that the em is layout.em in the painter's units.
    const int dpi = painter.device()->logicalDpiY();
    font.setPointSizeF(layout.em * kFine * 72.0 / (dpi > 0 ? dpi : 72));
    painter.setFont(font);
    double baseline = layout.content.top() + layout.ascent;
    for (std::string_view line : lines) {
        if (!line.empty()) {
            painter.drawText(QPointF(layout.content.left() * kFine, baseline * kFine),
                             QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
        }
        baseline += layout.pitch;
    }
}

}  // namespace

void PaintPage(QPainter& painter, const PageLayout& layout, const ReportDocument& document,
               int page) {
    painter.save();
    painter.setClipRect(layout.content);
    painter.setPen(Qt::black);
    const std::vector<std::string_view> lines = document.pageLines(page);
    QList<quint32> glyphs;
    QList<QPointF> positions;
    if (layout.glyphs.isValid() && PlaceGlyphs(layout, lines, glyphs, positions)) {
        if (!glyphs.isEmpty()) {
            QGlyphRun run;
            run.setRawFont(layout.glyphs);
            run.setGlyphIndexes(glyphs);
            run.setPositions(positions);
            painter.drawGlyphRun(QPointF(0, 0), run);
        }
    } else {
        PaintAsText(painter, layout, lines);
    }
    painter.restore();
}

bool RenderDocument(const ReportDocument& document, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    const PageLayout layout = PageLayout::of(document);
    const double scale = std::min(device.width() / PageLayout::kPaperWidth,
                                  device.height() / PageLayout::kPaperHeight);
    for (int page = 0; page < document.pageCount(); ++page) {
        if (page > 0 && !device.newPage()) {
            return false;
        }
        painter.save();
        painter.scale(scale, scale);
        PaintPage(painter, layout, document, page);
        painter.restore();
    }
    return painter.end();
}

bool WritePdf(const ReportDocument& document, const QString& path) {
    QPdfWriter writer(path);
    writer.setCreator(QStringLiteral("Zelvo"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    return RenderDocument(document, writer);
}

bool PrintDocument(const ReportDocument& document, QPrinter& printer) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    return RenderDocument(document, printer);
}

}  // namespace zelvo
