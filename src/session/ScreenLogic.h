#pragma once

#include <string>

#include "session/Form.h"
#include "session/Session.h"

namespace zelvo {

// The logic of one screen: its controls' state and one handler per event. It checks,
// writes and talks to the operator only through Dialogs, and tells the view which control
// gets the focus and whether to close. It never touches a widget.
class ScreenLogic {
  public:
    ScreenLogic(Session& session, FormSpec spec);
    virtual ~ScreenLogic() = default;
    ScreenLogic(const ScreenLogic&) = delete;
    ScreenLogic& operator=(const ScreenLogic&) = delete;

    const FormSpec& spec() const { return m_spec; }
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

    // What the view does after each event.
    std::string takeFocusRequest();
    bool closeRequested() const { return m_closeRequested; }

  protected:
    void requestFocus(std::string control) { m_focusRequest = std::move(control); }
    void requestClose() { m_closeRequested = true; }
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
