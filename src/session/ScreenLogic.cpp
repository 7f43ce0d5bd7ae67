#include "session/ScreenLogic.h"

#include "session/ReportSink.h"

namespace zelvo {

ScreenLogic::ScreenLogic(Session& session, FormSpec layout)
    : m_session(session), m_spec(std::move(layout)) {}

std::string ScreenLogic::takeFocusRequest() {
    std::string f;
    f.swap(m_focusRequest);
    return f;
}

void ScreenLogic::onFocus(const std::string& control) {
    if (m_spec.isAccountField(control)) {
        m_session.setPanel(2, "F5 ricerca facilitata");
    }
    focus(control);
}

void ScreenLogic::onLeave(const std::string& control) {
    if (m_spec.isAccountField(control)) {
        m_session.setPanel(2, "");
    }
    leave(control);
}

int ScreenLogic::pageOf(const std::string& grid, int row) const {
    const ControlSpec* g = m_spec.find(grid);
    return g != nullptr && g->pageRows > 0 ? row / g->pageRows : 0;
}

void ScreenLogic::focusCell(const std::string& grid, const std::string& column, int row) {
    m_form.setSelected(grid, pageOf(grid, row));
    requestFocus(CellName(column, row));
}

bool ScreenLogic::printReport(const std::function<bool(ReportSink&)>& report) {
    ScreenHost* host = m_session.host();
    if (host == nullptr) {
        return false;
    }
    host->setBusy(true);
    std::unique_ptr<ReportSink> sink = host->openReport();
    const bool printed = report(*sink);
    host->setBusy(false);
    return printed;
}

void ScreenLogic::inputError(const std::string& text, const std::string& focusControl) {
    dialogs().beep();
    dialogs().message(text, "Errore", Icon::Exclamation);
    if (!focusControl.empty()) {
        requestFocus(focusControl);
    }
}

}  // namespace zelvo
