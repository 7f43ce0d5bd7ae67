#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "session/ReportSink.h"
#include "sheet/Calculator.h"
#include "sheet/HelpGuide.h"
#include "ui/GenericScreen.h"
#include "ui/HelpWindow.h"
#include "ui/ReportPreview.h"

namespace zelvo {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// A window never opens larger than the room the main window leaves for it, nor reaching
// past it: what does not fit scrolls inside the screen.
void fitInto(QWidget* window, const QSize& room) {
    if (room.isEmpty()) {
        return;
    }
    const QSize size = window->size().boundedTo(room);
    if (size != window->size()) {
        window->resize(size);
    }
    if (window->parentWidget() != nullptr && !window->isWindow()) {
        const QPoint p = window->pos();
        const QPoint fitted(std::clamp(p.x(), 0, room.width() - size.width()),
                            std::clamp(p.y(), 0, room.height() - size.height()));
        if (fitted != p) {
            window->move(fitted);
        }
    }
}

// Commands the main window carries out itself rather than by opening a screen.
bool isOwnCommand(const std::string& control) {
    return control == "ma1" || control == "ma2" || control == "fff1";
}

}  // namespace

MainWindow::MainWindow(Session& session, const ScreenRegistry& screens)
    : m_session(session), m_screens(screens), m_commands(session) {
    setObjectName("MDIForm1");
    setWindowTitle("Zelvo");
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName("MDIArea");
    setCentralWidget(m_mdi);
    buildMenus();
    buildToolbar();
    buildStatusBar();
    resize(1024, 720);
    // F1 in a child window reaches the main window's shortcut; a modal screen, a window of
    // its own, asks through its host.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { runCommand("fff1"); });
    m_session.setHost(this);
}

MainWindow::~MainWindow() {
    closeAllScreens();
    m_session.setHost(nullptr);
}

void MainWindow::buildMenus() {
    std::map<std::string, QMenu*> menus;
    for (const MenuCommand& c : CommandMap::menu()) {
        QMenu* menu = nullptr;
        std::string path;
        QWidget* parentMenu = menuBar();
        for (const std::string& caption : c.menuPath) {
            path += "/" + caption;
            QMenu*& m = menus[path];
            if (m == nullptr) {
                if (auto* bar = qobject_cast<QMenuBar*>(parentMenu)) {
                    m = bar->addMenu(qs(caption));
                } else {
                    m = static_cast<QMenu*>(parentMenu)->addMenu(qs(caption));
                }
            }
            parentMenu = m;
            menu = m;
        }
        if (menu == nullptr) {
            continue;
        }
        QAction* a = c.caption == "-" ? menu->addSeparator() : menu->addAction(qs(c.caption));
        a->setObjectName(qs(c.control));
        if (c.caption == "-") {
            continue;
        }
        // Commands whose screen does not exist yet stay visible but disabled.
        a->setEnabled(isOwnCommand(c.control) || m_screens.has(c.screen));
        connect(a, &QAction::triggered, this, [this, control = c.control] { runCommand(control); });
    }
}

void MainWindow::buildToolbar() {
    m_toolbar = addToolBar("Toolbar1");
    m_toolbar->setObjectName("Toolbar1");
    for (const ToolbarCommand& t : CommandMap::toolbar()) {
        if (t.action == "dropdown") {
            auto* button = new QToolButton(m_toolbar);
            button->setText(qs(t.text));
            button->setPopupMode(QToolButton::InstantPopup);
            auto* menu = new QMenu(button);
            for (const ToolbarCommand& e : CommandMap::primaNota()) {
                QAction* a = menu->addAction(qs(e.text));
                a->setObjectName(qs(e.key));
                a->setEnabled(m_screens.has(e.screen));
                connect(a, &QAction::triggered, this, [this, e] { runToolbar(e); });
            }
            button->setMenu(menu);
            QAction* holder = m_toolbar->addWidget(button);
            holder->setObjectName(qs(t.key));
            continue;
        }
        QAction* a = m_toolbar->addAction(qs(t.text));
        a->setObjectName(qs(t.key));
        bool available = t.action == "exit" || t.action == "cascade" ||
                         (t.action == "calculator" && m_screens.has("CALC")) ||
                         m_screens.has(t.screen);
        a->setEnabled(available);
        connect(a, &QAction::triggered, this, [this, t] { runToolbar(t); });
    }
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    for (int panel : {2, 4, 6, 8}) {
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("Panel%1").arg(panel));
        label->setMinimumWidth(panel == 8 ? 260 : 120);
        label->installEventFilter(this);
        bar->addPermanentWidget(label, panel == 2 ? 1 : 0);
        m_panels[panel] = label;
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched->objectName().startsWith("Panel")) {
        m_commands.panelDoubleClicked();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::runCommand(const std::string& control) {
    const MenuCommand* c = CommandMap::byControl(control);
    if (c == nullptr || m_ended) {
        return;
    }
    if (control == "ma2") {
        close();
        return;
    }
    if (control == "fff1") {
        auto* screen = qobject_cast<GenericScreen*>(activeScreen());
        showHelp(screen != nullptr ? screen->objectName().toStdString() : std::string());
        return;
    }
    if (control == "ma1") {
        if (m_commands.chooseAnotherCompany()) {
            showSelection();
        }
        return;
    }
    if (c->screen.empty() || !m_screens.has(c->screen)) {
        return;
    }
    MainCommands::Opening how = m_commands.guard(c->guard);
    if (how != MainCommands::Opening::Refused) {
        open(c->screen, how == MainCommands::Opening::Modal, control);
    }
}

void MainWindow::runToolbar(const ToolbarCommand& t) {
    if (t.action == "exit") {
        close();
    } else if (t.action == "calculator") {
        startCalculator();
    } else if (t.action == "cascade") {
        m_mdi->cascadeSubWindows();
    } else if (!t.screen.empty() && m_screens.has(t.screen)) {
        open(t.screen, false);
    }
}

void MainWindow::showSelection() {
    open("SCELTA", true);
}

void MainWindow::openScreen(const std::string& name) {
    open(name, false);
}

GenericScreen* MainWindow::open(const std::string& name, bool modal, const std::string& control) {
    setBusy(true);
    std::unique_ptr<ScreenLogic> logic;
    std::string failure;
    try {
        logic = m_screens.create(name, m_session);
    } catch (const std::exception& e) {
        failure = e.what();
    }
    setBusy(false);
    if (!logic) {
        m_session.dialogs().message(MainCommands::loadFailureText(control, failure), "Zelvo",
                                    Icon::Critical);
        return nullptr;
    }
    return present(std::move(logic), modal);
}

void MainWindow::openScreen(std::unique_ptr<ScreenLogic> screen, bool modal) {
    present(std::move(screen), modal);
}

GenericScreen* MainWindow::present(std::unique_ptr<ScreenLogic> logic, bool modal) {
    m_helpOnTop = false;
    auto* view = new GenericScreen(std::move(logic));
    m_open.emplace_back(view);
    QWidget* window = view;
    if (modal) {
        view->setParent(this, Qt::Dialog);
        view->setAttribute(Qt::WA_DeleteOnClose);
        view->setWindowModality(Qt::ApplicationModal);
        view->show();
        view->activateWindow();
    } else {
        QMdiSubWindow* sub = m_mdi->addSubWindow(view);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setObjectName(view->objectName() + "_window");
        sub->show();
        m_mdi->setActiveSubWindow(sub);
        window = sub;
    }
    QPointer<GenericScreen> alive(view);
    view->start();
    // Sized once loaded, when its labels and lists hold what they show: their layouts first
    // take in the change, from the screen's controls out to its window.
    if (alive != nullptr && alive->isVisible()) {
        for (int pass = 0; pass < 3; ++pass) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        }
        window->adjustSize();
        fitInto(window, m_mdi->viewport()->size());
    }
    return alive;
}

QWidget* MainWindow::activeScreen() const {
    // The print preview is window-modal over whatever opened it: it is where the operator is.
    if (m_preview != nullptr && m_preview->isVisible()) {
        return m_preview;
    }
    if (m_help != nullptr && m_help->isVisible() && m_helpOnTop) {
        return m_help;
    }
    for (auto it = m_open.rbegin(); it != m_open.rend(); ++it) {
        GenericScreen* s = it->data();
        if (s != nullptr && s->isVisible() && s->isWindow()) {
            return s;
        }
    }
    if (QMdiSubWindow* sub = m_mdi->activeSubWindow()) {
        return sub->widget();
    }
    for (auto it = m_open.rbegin(); it != m_open.rend(); ++it) {
        if (it->data() != nullptr && it->data()->isVisible()) {
            return it->data();
        }
    }
    return const_cast<MainWindow*>(this);
}

GenericScreen* MainWindow::screen(const std::string& name) const {
    for (auto it = m_open.rbegin(); it != m_open.rend(); ++it) {
        if (it->data() != nullptr && it->data()->objectName().toStdString() == name) {
            return it->data();
        }
    }
    return nullptr;
}

int MainWindow::visibleWindows() const {
    int n = isVisible() || m_ended ? 1 : 0;
    for (const auto& s : m_open) {
        if (s != nullptr && s->isVisible()) {
            ++n;
        }
    }
    return n;
}

void MainWindow::closeAllScreens() {
    for (auto& s : m_open) {
        if (s != nullptr) {
            s->frame()->close();
        }
    }
    m_open.clear();
}

void MainWindow::endProgram() {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_commands.closeMainArchives();
    closeAllScreens();
    hide();
    emit programEnded();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_ended) {
        event->accept();
        return;
    }
    if (!m_commands.confirmEnd()) {
        event->ignore();
        return;
    }
    endProgram();
    event->accept();
}

std::unique_ptr<ReportSink> MainWindow::openReport() {
    if (!m_reportFile.empty()) {
        return std::make_unique<TextReportSink>(std::exchange(m_reportFile, {}));
    }
    // The preview belongs to the window that printed, so it blocks just that one, even when
    // it is a modal screen of its own.
    QPointer<QWidget> owner = activeScreen()->window();
    return std::make_unique<QtReportSink>(
        m_session.dialogs(), owner, [this, owner](std::shared_ptr<const ReportDocument> doc) {
            int zoom = std::atoi(m_session.values().print.zoom.c_str());
            auto* preview = new ReportPreview(std::move(doc), m_session.dialogs(),
                                              zoom > 0 ? zoom : 100, owner ? owner.data() : this);
            preview->setWindowModality(Qt::WindowModal);
            m_preview = preview;
            preview->show();
            preview->activateWindow();
        });
}

std::unique_ptr<ReportSink> MainWindow::openPdfReport(const std::string& path) {
    if (!m_reportFile.empty()) {
        return std::make_unique<TextReportSink>(std::exchange(m_reportFile, {}));
    }
    return std::make_unique<PdfReportSink>(m_session.dialogs(), path);
}

void MainWindow::showHelp(const std::string& screen) {
    const std::string folder = help::Folder(QCoreApplication::applicationDirPath().toStdString());
    if (folder.empty()) {
        m_session.dialogs().message("La guida del programma non è stata trovata", "Zelvo",
                                    Icon::Exclamation);
        return;
    }
    const help::Place place = help::PlaceOf(folder, screen);
    // A modal screen blocks every window but its own: the guide asked for from one belongs
    // to it, so that it can be read and scrolled while the screen waits.
    QWidget* active = activeScreen();
    auto* window = qobject_cast<HelpWindow*>(m_help.data());
    QWidget* owner = active == window ? nullptr : active->window();
    if (window != nullptr && owner != nullptr && window->parentWidget() != owner) {
        window->close();
        window = nullptr;
    }
    if (window == nullptr) {
        window = new HelpWindow(folder, owner != nullptr ? owner : this);
        m_help = window;
    }
    window->showPlace(place.page, place.anchor);
    m_helpOnTop = true;
}

void MainWindow::startCalculator() {
    // Without a display (the operator scripts) a desktop program would run unseen.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        const char* path = std::getenv("PATH");
        const std::string program = FindDesktopCalculator(path != nullptr ? path : "");
        if (!program.empty() && QProcess::startDetached(qs(program), {})) {
            return;
        }
    }
    open("CALC", false);
}

void MainWindow::setBusy(bool busy) {
    if (busy) {
        if (m_busyDepth++ == 0) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
    } else if (m_busyDepth > 0 && --m_busyDepth == 0) {
        QApplication::restoreOverrideCursor();
    }
}

void MainWindow::panelChanged(int panel) {
    auto it = m_panels.find(panel);
    if (it != m_panels.end()) {
        it->second->setText(qs(m_session.panel(panel)));
    }
}

void MainWindow::settingsChanged() {
    const ProgramValues& v = m_session.values();
    m_toolbar->setVisible(v.showToolbar);
    statusBar()->setVisible(v.showStatusBar);
    if (v.backgroundColour != 0) {
        // Colour values are stored red in the low byte, then green, then blue.
        auto c = static_cast<unsigned>(v.backgroundColour);
        m_mdi->setBackground(QColor(static_cast<int>(c & 0xFFU), static_cast<int>((c >> 8) & 0xFFU),
                                    static_cast<int>((c >> 16) & 0xFFU)));
    }
}

}  // namespace zelvo
