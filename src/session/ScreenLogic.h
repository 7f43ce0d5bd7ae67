#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "session/Form.h"
#include "session/Session.h"
#include "session/SheetSource.h"

namespace zelvo {

// The events a control can send its screen.
enum class Event { Focus, Leave, Click, Change, DoubleClick };

// The logic of one screen: its controls' state and one handler per event. It checks,
// writes and talks to the operator only through Dialogs, and tells the view which control
// gets the focus and whether to close. It never touches a widget.
//
// A screen registers its handlers in its constructor, by control and event (`on`), by grid
// column and event for every cell of the column (`onCell`), and for the keys F1-F12, Enter
// and Escape (`onKey`, `onCellKey`). An event of a control without a handler does nothing; a
// handler for a control the layout lacks, or an event from one, is a programming error.
class ScreenLogic {
  public:
    ScreenLogic(Session& session, FormSpec layout);
    virtual ~ScreenLogic() = default;
    ScreenLogic(const ScreenLogic&) = delete;
    ScreenLogic& operator=(const ScreenLogic&) = delete;

    const FormSpec& layout() const { return m_spec; }
    FormState& form() { return m_form; }

    // The window opens: open the archives the screen works on and fill its controls.
    virtual void load() {}
    // The operator closes the window from its title bar; false keeps it open.
    virtual bool queryClose() { return true; }
    // The window is going: close the archives opened on load.
    virtual void unload() {}

    // Events, as the view forwards them: each runs the handler registered for the control.
    // `leave` is a field being left: its checks run. `change` is a list's selection, an
    // option or a check box changed by the operator.
    void focus(const std::string& control);
    void leave(const std::string& control);
    void click(const std::string& control);
    void change(const std::string& control);
    void doubleClick(const std::string& control);
    // F1-F12, "Enter", "Escape" in a control; true when the screen used the key.
    bool key(const std::string& control, const std::string& key);

    // Descriptions offered for an account field as the operator types (`full` false) or in
    // the F5 search list (`full` true). Screens with account fields answer from the chart.
    virtual std::vector<std::string> suggestions(const std::string& /*control*/,
                                                 const std::string& /*typed*/, bool /*full*/) {
        return {};
    }

    // What a sheet control shows; nullptr for a screen without one.
    virtual const SheetSource* sheetSource(const std::string& /*control*/) const { return nullptr; }
    // The operator typed `text` into a cell of a sheet control and left it.
    void enterSheetCell(const std::string& control, int row, int column, const std::string& text);

    // The page of a grid that shows a row.
    int pageOf(const std::string& grid, int row) const;

    ScreenHost* host() { return m_session.host(); }
    Session& sessionRef() { return m_session; }

    // What the view does after each event.
    std::string takeFocusRequest();
    bool closeRequested() const { return m_closeRequested; }
    // How the view shows what changed while a long handler is still running (a progress
    // bar): it applies the changed controls and repaints, taking no input meanwhile.
    void setRepaint(std::function<void()> repaint) { m_repaint = std::move(repaint); }

  protected:
    using Handler = std::function<void()>;
    using CellHandler = std::function<void(int row)>;
    using KeyHandler = std::function<bool(const std::string& key)>;
    using CellKeyHandler = std::function<bool(int row, const std::string& key)>;
    using SheetEntryHandler = std::function<void(int row, int column, const std::string& text)>;
    void on(Event event, std::string_view control, Handler handler);
    void onCell(Event event, std::string_view column, CellHandler handler);
    void onKey(std::string_view control, KeyHandler handler);
    void onCellKey(std::string_view column, CellKeyHandler handler);
    void onSheetEntry(std::string_view sheet, SheetEntryHandler handler);

    void requestFocus(std::string control);
    void requestClose() { m_closeRequested = true; }
    // Shows the page of the grid that holds the row and puts the focus on the cell.
    void focusCell(const std::string& grid, const std::string& column, int row);
    // Sends a report to the document the program gives (printer, preview, PDF or the file a
    // script asked for) with the busy cursor; the report's own result, false without a host.
    bool printReport(const std::function<bool(ReportSink&)>& report);
    // An input error: beep, the box with the exclamation icon and the title "Errore", and
    // the focus back to the offending field.
    void inputError(const std::string& text, const std::string& focusControl = {});
    // Shows the controls changed so far before the handler returns; nothing without a view.
    void repaint() {
        if (m_repaint) {
            m_repaint();
        }
    }

    Session& session() { return m_session; }
    Dialogs& dialogs() { return m_session.dialogs(); }
    Archives& archives() { return m_session.archives(); }
    const std::string& text(std::string_view control) const { return m_form.text(control); }

  private:
    void dispatch(Event event, const std::string& control);
    void requireKnown(std::string_view control) const;
    void requireColumn(std::string_view column) const;

    Session& m_session;
    FormSpec m_spec;
    FormState m_form;
    std::map<std::pair<Event, std::string>, Handler, std::less<>> m_handlers;
    std::map<std::pair<Event, std::string>, CellHandler, std::less<>> m_cellHandlers;
    std::map<std::string, KeyHandler, std::less<>> m_keyHandlers;
    std::map<std::string, CellKeyHandler, std::less<>> m_cellKeyHandlers;
    std::map<std::string, SheetEntryHandler, std::less<>> m_sheetEntryHandlers;
    std::string m_focusRequest;
    bool m_closeRequested = false;
    std::function<void()> m_repaint;
};

}  // namespace zelvo
