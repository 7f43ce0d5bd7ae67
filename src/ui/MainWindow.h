#pragma once

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <vector>

#include "app/CommandMap.h"
#include "app/MainCommands.h"
#include "session/ScreenRegistry.h"
#include "session/Session.h"

class QMdiArea;
class QLabel;
class QToolBar;

namespace zelvo {

class GenericScreen;

// MDIForm1: the frame of the program. Builds its menus, toolbar and status bar from the
// command map, opens screens as child windows (or modal windows behind the guards) and
// serves the screens as their host.
class MainWindow : public QMainWindow, public ScreenHost {
    Q_OBJECT
  public:
    MainWindow(Session& session, const ScreenRegistry& screens);
    ~MainWindow() override;

    // Opens the selection window (modal).
    void showSelection();
    bool ended() const { return m_ended; }
    // The window the operator is working in: the last modal screen, the active child
    // window, or the main window itself.
    QWidget* activeScreen() const;
    GenericScreen* screen(const std::string& name) const;
    QMdiArea* mdiArea() const { return m_mdi; }

    // ScreenHost
    void openScreen(const std::string& name) override;
    void openScreen(std::unique_ptr<ScreenLogic> screen, bool modal) override;
    int visibleWindows() const override;
    void endProgram() override;
    void setBusy(bool busy) override;
    void panelChanged(int panel) override;
    void settingsChanged() override;
    std::unique_ptr<ReportSink> openReport() override;
    std::unique_ptr<ReportSink> openPdfReport(const std::string& path) override;
    void showHelp(const std::string& screen) override;

    // The next document goes to this plain-text file instead of the printer or the preview
    // (operator scripts compare reports this way); the one after goes back to normal.
    void reportToFile(std::string path) { m_reportFile = std::move(path); }

    void runCommand(const std::string& control);

  signals:
    void programEnded();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    GenericScreen* open(const std::string& name, bool modal, const std::string& control = {});
    GenericScreen* present(std::unique_ptr<ScreenLogic> logic, bool modal);
    void runToolbar(const ToolbarCommand& t);
    void closeAllScreens();
    // "Calcolatrice": the desktop's calculator, or the program's own where there is none
    // (or no desktop to show one on).
    void startCalculator();

    Session& m_session;
    const ScreenRegistry& m_screens;
    MainCommands m_commands;
    QMdiArea* m_mdi = nullptr;
    QToolBar* m_toolbar = nullptr;
    std::map<int, QLabel*> m_panels;
    std::vector<QPointer<GenericScreen>> m_open;
    QPointer<QWidget> m_preview;
    QPointer<QWidget> m_help;
    bool m_helpOnTop = false;  // the guide was shown after the last screen opened
    std::string m_reportFile;
    int m_busyDepth = 0;
    bool m_ended = false;
};

}  // namespace zelvo
