#include "session/ScreenLogic.h"

namespace zelvo {

ScreenLogic::ScreenLogic(Session& session, FormSpec spec)
    : m_session(session), m_spec(std::move(spec)) {}

std::string ScreenLogic::takeFocusRequest() {
    std::string f;
    f.swap(m_focusRequest);
    return f;
}

void ScreenLogic::inputError(const std::string& text, const std::string& focusControl) {
    dialogs().beep();
    dialogs().message(text, "Errore", Icon::Exclamation);
    if (!focusControl.empty()) {
        requestFocus(focusControl);
    }
}

}  // namespace zelvo
