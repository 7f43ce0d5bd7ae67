#include "session/ScreenLogic.h"

#include "session/ReportSink.h"

#include <stdexcept>

namespace zelvo {

ScreenLogic::ScreenLogic(Session& session, FormSpec layout)
    : m_session(session), m_spec(std::move(layout)), m_form(&m_spec) {
    m_spec.validate();
}

std::string ScreenLogic::takeFocusRequest() {
    std::string f;
    f.swap(m_focusRequest);
    return f;
}

void ScreenLogic::requireKnown(std::string_view control) const {
    if (!m_spec.knows(control)) {
        throw std::logic_error("screen " + m_spec.name + " has no control \"" +
                               std::string(control) + "\"");
    }
}

void ScreenLogic::requireColumn(std::string_view column) const {
    if (m_spec.gridOf(column) == nullptr) {
        throw std::logic_error("screen " + m_spec.name + " has no grid column \"" +
                               std::string(column) + "\"");
    }
}

void ScreenLogic::on(Event event, std::string_view control, Handler handler) {
    requireKnown(control);
    m_handlers[{event, std::string(control)}] = std::move(handler);
}

void ScreenLogic::onCell(Event event, std::string_view column, CellHandler handler) {
    requireColumn(column);
    m_cellHandlers[{event, std::string(column)}] = std::move(handler);
}

void ScreenLogic::onKey(std::string_view control, KeyHandler handler) {
    requireKnown(control);
    m_keyHandlers[std::string(control)] = std::move(handler);
}

void ScreenLogic::onCellKey(std::string_view column, CellKeyHandler handler) {
    requireColumn(column);
    m_cellKeyHandlers[std::string(column)] = std::move(handler);
}

void ScreenLogic::onSheetEntry(std::string_view sheet, SheetEntryHandler handler) {
    const ControlSpec* c = m_spec.find(sheet);
    if (c == nullptr || c->kind != ControlKind::Sheet) {
        throw std::logic_error("screen " + m_spec.name + " has no sheet \"" + std::string(sheet) +
                               "\"");
    }
    m_sheetEntryHandlers[std::string(sheet)] = std::move(handler);
}

void ScreenLogic::enterSheetCell(const std::string& control, int row, int column,
                                 const std::string& text) {
    requireKnown(control);
    auto it = m_sheetEntryHandlers.find(control);
    if (it != m_sheetEntryHandlers.end()) {
        it->second(row, column, text);
    }
}

void ScreenLogic::dispatch(Event event, const std::string& control) {
    requireKnown(control);
    std::string column;
    int row = 0;
    if (ParseCell(control, column, row)) {
        auto it = m_cellHandlers.find(std::pair{event, column});
        if (it != m_cellHandlers.end()) {
            it->second(row);
        }
        return;
    }
    auto it = m_handlers.find(std::pair{event, control});
    if (it != m_handlers.end()) {
        it->second();
    }
}

void ScreenLogic::focus(const std::string& control) {
    if (m_spec.isAccountField(control)) {
        m_session.setPanel(2, "F5 ricerca facilitata");
    }
    dispatch(Event::Focus, control);
}

void ScreenLogic::leave(const std::string& control) {
    if (m_spec.isAccountField(control)) {
        m_session.setPanel(2, "");
    }
    dispatch(Event::Leave, control);
}

void ScreenLogic::click(const std::string& control) {
    dispatch(Event::Click, control);
}

void ScreenLogic::change(const std::string& control) {
    dispatch(Event::Change, control);
}

void ScreenLogic::doubleClick(const std::string& control) {
    dispatch(Event::DoubleClick, control);
}

bool ScreenLogic::key(const std::string& control, const std::string& key) {
    requireKnown(control);
    std::string column;
    int row = 0;
    if (ParseCell(control, column, row)) {
        auto it = m_cellKeyHandlers.find(column);
        return it != m_cellKeyHandlers.end() && it->second(row, key);
    }
    auto it = m_keyHandlers.find(control);
    return it != m_keyHandlers.end() && it->second(key);
}

void ScreenLogic::requestFocus(std::string control) {
    requireKnown(control);
    m_focusRequest = std::move(control);
}

int ScreenLogic::pageOf(const std::string& grid, int row) const {
    const ControlSpec* g = m_spec.find(grid);
    return g != nullptr && g->kind == ControlKind::Grid ? row / g->as<GridSettings>().pageRows : 0;
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
