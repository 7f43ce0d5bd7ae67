#pragma once

#include <functional>
#include <string>
#include <vector>

#include "session/ReportSink.h"

namespace zelvo {

// The page convention every report follows: after each heading the line counter holds the
// heading's line count; each printed line adds one; after each unit that must stay on one
// page (a movement's two lines, one company), the report asks for a break, and when the
// counter exceeds lines per page the pager closes the page with its page-end line (usually
// a rule), starts a new page and prints the heading again. A page can therefore run past
// lines per page by the last unit and the page-end line: the sink keeps it whole.
class ReportPager {
  public:
    // The heading of page `page` (from 1): page numbers and dates live in it.
    using Heading = std::function<std::vector<std::string>(int page)>;

    // `pageEnd`: the line that closes a page before a break; empty: none.
    ReportPager(ReportSink& sink, int linesPerPage, Heading heading, std::string pageEnd);

    // Prints the heading of the first page. Call once, after opening the sink.
    void start();
    // One line, counted; never breaks the page by itself.
    void print(const std::string& line);
    // The end of a unit: breaks the page when the counter exceeds lines per page. True when
    // it did.
    bool breakIfFull();
    // Breaks the page whatever the counter says: a report whose parts each start a page
    // (one account after another) asks for it between them.
    void newPage();

    int lines() const { return m_lines; }
    int page() const { return m_page; }

  private:
    void heading();

    ReportSink& m_sink;
    int m_linesPerPage;
    Heading m_heading;
    std::string m_pageEnd;
    int m_lines = 0;
    int m_page = 0;
};

}  // namespace zelvo
