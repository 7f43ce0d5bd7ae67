#pragma once

#include "session/ReportSink.h"

namespace zelvo {

class Session;

// The archive a report reads and the sink it prints on, opened together (the sink with the
// program's print settings) and closed together when the report ends. A sink that refuses
// to open closes the archive again, and nothing is printed.
class ReportRun {
  public:
    // `archive` is opened first; none when negative.
    ReportRun(Session& session, ReportSink& sink, bool preview, int archive = -1);
    ~ReportRun();
    ReportRun(const ReportRun&) = delete;
    ReportRun& operator=(const ReportRun&) = delete;

    bool opened() const { return m_opened; }

  private:
    Session& m_session;
    ReportSink& m_sink;
    int m_archive;
    bool m_archiveOpen = false;
    bool m_opened = false;
};

}  // namespace zelvo
