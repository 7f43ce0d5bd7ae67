#include "app/MainCommands.h"

namespace zelvo {

MainCommands::MainCommands(Session& session) : m_session(session) {}

MainCommands::Opening MainCommands::guard(Guard g) {
    if (g == Guard::Plain || g == Guard::None) {
        return Opening::Child;
    }
    ScreenHost* host = m_session.host();
    if (host != nullptr && host->visibleWindows() > 1) {
        m_session.dialogs().beep();
        m_session.dialogs().message(
            g == Guard::Long ? CommandMap::longGuardText() : CommandMap::shortGuardText(), "Zelvo",
            Icon::Exclamation);
        return Opening::Refused;
    }
    return Opening::Modal;
}

bool MainCommands::confirmEnd() {
    ScreenHost* host = m_session.host();
    if (host != nullptr && host->visibleWindows() >= 2) {
        m_session.dialogs().beep();
        Answer a =
            m_session.dialogs().ask("Le finestre non risultano tutte chiuse. Terminare Zelvo",
                                    "Zelvo", Icon::Question, true);
        return a == Answer::Yes;
    }
    return true;
}

void MainCommands::closeMainArchives() {
    ScreenHost* host = m_session.host();
    if (host != nullptr) {
        host->setBusy(true);
    }
    m_session.archives().CloseMainArchives();
    if (host != nullptr) {
        host->setBusy(false);
    }
}

bool MainCommands::chooseAnotherCompany() {
    ScreenHost* host = m_session.host();
    if (host != nullptr && host->visibleWindows() > 1) {
        m_session.dialogs().message(CommandMap::shortGuardText(), "Zelvo", Icon::Exclamation);
        return false;
    }
    Archives& a = m_session.archives();
    for (int archive : {arc::kPc, arc::kPr, arc::kCt}) {
        if (a.isOpen(archive)) {
            a.close(archive);
        }
    }
    return true;
}

std::string MainCommands::loadFailureText(const std::string& control, const std::string& reason) {
    if (control == "back10" || control == "back20") {
        return "Impossibile caricare il modulo. Leggere la guida alla voce backup per istruzioni.";
    }
    if (control == "val1" || control == "val2" || control == "val3") {
        return "Errore nel caricamento del modulo";
    }
    return "Impossibile caricare il modulo. " + reason;
}

void MainCommands::panelDoubleClicked() {
    m_session.dialogs().message("Codice azienda: " + m_session.values().companyCode, "Zelvo",
                                Icon::Information);
}

}  // namespace zelvo
