#include "ui/HelpWindow.h"

#include <QDir>
#include <QUrl>

namespace zelvo {

HelpWindow::HelpWindow(const std::string& folder, QWidget* parent) : QTextBrowser(parent) {
    setObjectName("GUIDA");
    setWindowTitle("Guida di Zelvo");
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setOpenExternalLinks(true);
    setSearchPaths({QString::fromStdString(folder)});
    resize(720, 600);
}

void HelpWindow::showPlace(const std::string& page, const std::string& anchor) {
    QUrl url(QString::fromStdString(page));
    if (!anchor.empty()) {
        url.setFragment(QString::fromStdString(anchor));
    }
    setSource(url);
    show();
    raise();
    activateWindow();
}

}  // namespace zelvo
