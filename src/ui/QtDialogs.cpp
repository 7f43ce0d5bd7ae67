#include "ui/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace zelvo {

namespace {

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Report texts join their lines with a bare carriage return; the box shows them as lines.
QString shown(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// "Archivio(*.isd)|*.isd" -> "Archivio (*.isd)"
QString qtFilter(const std::string& filter) {
    QString f = QString::fromStdString(filter);
    int bar = f.indexOf(QLatin1Char('|'));
    if (bar < 0) {
        return f;
    }
    QString label = f.left(bar);
    QString pattern = f.mid(bar + 1);
    return label.contains(QLatin1Char('(')) ? label : label + QStringLiteral(" (") + pattern + ")";
}

}  // namespace

void QtDialogs::message(const std::string& text, const std::string& title, Icon icon) {
    QMessageBox box(qtIcon(icon), QString::fromStdString(title), shown(text), QMessageBox::Ok,
                    m_parent);
    box.exec();
}

void QtDialogs::beep() {
    QApplication::beep();
}

Answer QtDialogs::ask(const std::string& text, const std::string& title, Icon icon,
                      bool defaultNo) {
    QMessageBox box(qtIcon(icon), QString::fromStdString(title), shown(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(defaultNo ? QMessageBox::No : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::optional<std::string> QtDialogs::chooseFile(const FileRequest& request) {
    QString path =
        request.save ? QFileDialog::getSaveFileName(m_parent, QString::fromStdString(request.title),
                                                    QString::fromStdString(request.startDir),
                                                    qtFilter(request.filter))
                     : QFileDialog::getOpenFileName(m_parent, QString::fromStdString(request.title),
                                                    QString::fromStdString(request.startDir),
                                                    qtFilter(request.filter));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path.toStdString();
}

}  // namespace zelvo
