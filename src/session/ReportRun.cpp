#include "session/ReportRun.h"

#include "session/Session.h"

namespace zelvo {

ReportRun::ReportRun(Session& session, ReportSink& sink, bool preview, int archive)
    : m_session(session), m_sink(sink), m_archive(archive) {
    if (archive >= 0) {
        m_archiveOpen = session.archives().open(archive);
        if (!m_archiveOpen) {
            return;
        }
    }
    const ProgramValues& v = session.values();
    m_opened = sink.open(preview, v.print.font, v.print.fontSize);
}

ReportRun::~ReportRun() {
    if (m_opened) {
        m_sink.close();
    }
    if (m_archiveOpen) {
        m_session.archives().close(m_archive);
    }
}

}  // namespace zelvo
