#pragma once

// Shared by the files of GenericScreen (building the widgets, keeping them in step with the
// logic, the events) and included by nothing else.

#include <QString>
#include <QStringList>
#include <exception>
#include <string>
#include <vector>

#include "ui/GenericScreen.h"

namespace zelvo {

QString qs(const std::string& s);
bool isInput(const QWidget* w);
QStringList toList(const std::vector<std::string>& items);

// Defined here because every file of the view hands its events to the logic through it.
template <typename F>
void GenericScreen::dispatch(F&& event) {
    if (m_inEvent || m_unloaded) {
        return;
    }
    m_inEvent = true;
    readInputs();
    try {
        event(*m_logic);
    } catch (const std::exception& e) {
        // A fault of the program must not take the operator's other windows down with it:
        // the transactions it was in have rolled back while it unwound, and the screen goes on.
        reportFault(e.what());
    } catch (...) {
        reportFault("eccezione sconosciuta");
    }
    applyChanges();
    applyFocus();
    m_inEvent = false;
    if (m_logic->closeRequested() && !m_closeApproved) {
        m_closeApproved = true;
        frame()->close();
    }
}

}  // namespace zelvo
