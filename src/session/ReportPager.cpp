#include "session/ReportPager.h"

namespace zelvo {

ReportPager::ReportPager(ReportSink& sink, int linesPerPage, Heading heading, std::string pageEnd)
    : m_sink(sink),
      m_linesPerPage(linesPerPage),
      m_heading(std::move(heading)),
      m_pageEnd(std::move(pageEnd)) {}

void ReportPager::start() {
    m_page = 1;
    heading();
}

void ReportPager::heading() {
    std::vector<std::string> lines = m_heading(m_page);
    for (const std::string& l : lines) {
        m_sink.line(l);
    }
    m_lines = static_cast<int>(lines.size());
}

void ReportPager::print(const std::string& line) {
    m_sink.line(line);
    ++m_lines;
}

bool ReportPager::breakIfFull() {
    if (m_lines <= m_linesPerPage) {
        return false;
    }
    newPage();
    return true;
}

void ReportPager::newPage() {
    if (!m_pageEnd.empty()) {
        m_sink.line(m_pageEnd);
    }
    m_sink.newPage();
    ++m_page;
    heading();
}

}  // namespace zelvo
