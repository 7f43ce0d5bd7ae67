#include "session/Session.h"

#include "session/ReportSink.h"

#include <stdexcept>

namespace zelvo {

Session::Session(Dialogs& dialogs, const Clock& clock)
    : m_dialogs(dialogs),
      m_clock(clock),
      m_records(std::make_unique<isam::RecordManager>(Catalog::locate)),
      m_archives(std::make_unique<Archives>(*m_records, dialogs)) {
    m_values.today = clock.today();
}

Session::~Session() {
    m_archives.reset();  // handles go before the record manager that owns them
}

void Session::setDataDirectory(const std::string& dir) {
    m_values.dataDirectory = dir;
    m_archives->setDataDirectory(dir);
}

void Session::chooseCompany(const std::string& code, const std::string& name,
                            const std::string& year) {
    m_values.companyCode = code;
    m_values.companyName = name;
    m_values.year = year;
    m_values.yearDateMask = "__/__/" + year;
    m_values.yearStart = "01/01/" + year;
    m_archives->setCompany(code);
    m_archives->setYear(year);
}

const std::string& Session::panel(int n) const {
    if (n < 0 || n >= static_cast<int>(m_panels.size())) {
        throw std::logic_error("no status-bar panel " + std::to_string(n));
    }
    return m_panels[static_cast<size_t>(n)];
}

void Session::setPanel(int n, std::string text) {
    if (n < 0 || n >= static_cast<int>(m_panels.size())) {
        throw std::logic_error("no status-bar panel " + std::to_string(n));
    }
    m_panels[static_cast<size_t>(n)] = std::move(text);
    if (m_host != nullptr) {
        m_host->panelChanged(n);
    }
}

std::unique_ptr<ReportSink> ScreenHost::openPdfReport(const std::string& /*path*/) {
    return nullptr;
}

}  // namespace zelvo
