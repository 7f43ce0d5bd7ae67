#include "ui/Program.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>

#include "app/ProgramScreens.h"
#include "app/StartUp.h"
#include "ui/MainWindow.h"

namespace zelvo {

namespace {

// A family counts as installed when it resolves to a fixed-pitch font: reports are laid out
// in columns, and "Courier New" is served by a metric-compatible family on this platform.
class QtFontCatalog : public FontCatalog {
  public:
    bool printerAvailable() const override { return true; }
    bool isInstalled(const std::string& family) const override {
        if (family.empty()) {
            return false;
        }
        QFont f(QString::fromStdString(family));
        f.setStyleHint(QFont::TypeWriter, QFont::PreferMatch);
        return QFontInfo(f).fixedPitch();
    }
};

}  // namespace

Program::Program(Options options) : m_options(std::move(options)) {
    m_session = std::make_unique<Session>(*m_options.dialogs, *m_options.clock);
    m_session->values().programFolder = m_options.programFolder;
    // While another station holds a record this one waits for, its windows keep repainting
    // under the busy cursor. The operator's input waits with the confirm that is waiting:
    // acting on the screen in the middle of its posting would post from a changed screen.
    m_session->archives().setLockWaitHook([busy = false](LockWait event) mutable {
        if (event == LockWait::Waiting) {
            if (!busy) {
                QApplication::setOverrideCursor(Qt::WaitCursor);
                busy = true;
            }
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        } else if (busy) {
            QApplication::restoreOverrideCursor();
            busy = false;
        }
    });
}

Program::~Program() {
    m_main.reset();
    m_session.reset();
}

void Program::start() {
    m_main = std::make_unique<MainWindow>(*m_session, ProgramScreens());
    m_main->show();
    QtFontCatalog fonts;
    StartUp startUp(*m_session, fonts);
    startUp.useDataDirectory(m_options.dataDirectory);
    if (!startUp.run()) {
        m_main->endProgram();
        return;
    }
    m_main->showSelection();
}

bool Program::ended() const {
    return m_main == nullptr || m_main->ended();
}

}  // namespace zelvo
