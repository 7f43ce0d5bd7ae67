#pragma once

#include <functional>
#include <string>

#include "session/Form.h"
#include "session/Session.h"

namespace zelvo {

// The logic of one screen: its controls' state and one handler per event. It checks,
// writes and talks to the operator only through Dialogs, and tells the view which control
// gets the focus and whether to close. It never touches a widget.
class ScreenLogic {
  public:
    ScreenLogic(Session& session, FormSpec layout);
    virtual ~ScreenLogic() = default;
    ScreenLogic(const ScreenLogic&) = delete;
    ScreenLogic& operator=(const ScreenLogic&) = delete;

    const FormSpec& layout() const { return m_spec; }
    FormState& form() { return m_form; }

    // Events, as the view forwards them.
    virtual void load() {}
    virtual void focus(const std::string& /*control*/) {}
    virtual void leave(const std::string& /*control*/) {}
    virtual void click(const std::string& /*control*/) {}
    // A list's selection, an option or a check box changed by the operator.
    virtual void change(const std::string& /*control*/) {}
    virtual void doubleClick(const std::string& /*control*/) {}
    // F1-F12, "Enter", "Escape" in a control; true when the screen used the key.
    virtual bool key(const std::string& /*control*/, const std::string& /*key*/) { return false; }
    // The operator closes the window from its title bar; false keeps it open.
    virtual bool queryClose() { return true; }
    // The window is going: close the archives opened on load.
    virtual void unload() {}

    // The view's entry points for focus and leave: they keep the status-bar hint of the
    // account search, then run the screen's own handler.
    void onFocus(const std::string& control);
    void onLeave(const std::string& control);

    // Descriptions offered for an account field as the operator types (`full` false) or in
    // the F5 search list (`full` true). Screens with account fields answer from the chart.
    virtual std::vector<std::string> suggestions(const std::string& /*control*/,
                                                 const std::string& /*typed*/, bool /*full*/) {
        return {};
    }

    // The page of a grid that shows a row.
    int pageOf(const std::string& grid, int row) const;

    ScreenHost* host() { return m_session.host(); }
    Session& sessionRef() { return m_session; }

    // What the view does after each event.
    std::string takeFocusRequest();
    bool closeRequested() const { return m_closeRequested; }

  protected:
    void requestFocus(std::string control) { m_focusRequest = std::move(control); }
    void requestClose() { m_closeRequested = true; }
    // Shows the page of the grid that holds the row and puts the focus on the cell.
    void focusCell(const std::string& grid, const std::string& column, int row);
    // Sends a report to the document the program gives (printer, preview, PDF or the file a
    // script asked for) with the busy cursor; the report's own result, false without a host.
    bool printReport(const std::function<bool(ReportSink&)>& report);
    // An input error: beep, the box with the exclamation icon and the title "Errore", and
    // the focus back to the offending field.
    void inputError(const std::string& text, const std::string& focusControl = {});

    Session& session() { return m_session; }
    Dialogs& dialogs() { return m_session.dialogs(); }
    Archives& archives() { return m_session.archives(); }
    const std::string& text(const std::string& control) const { return m_form.text(control); }

  private:
    Session& m_session;
    FormSpec m_spec;
    FormState m_form;
    std::string m_focusRequest;
    bool m_closeRequested = false;
};

}  // namespace zelvo
