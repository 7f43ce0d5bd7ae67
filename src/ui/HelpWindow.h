#pragma once

#include <QTextBrowser>
#include <string>

namespace zelvo {

// GUIDA: the user guide, a window of its own beside the program's screens, following the
// links between its pages. Which page and anchor to show is decided by help::PlaceOf.
class HelpWindow : public QTextBrowser {
    Q_OBJECT
  public:
    HelpWindow(const std::string& folder, QWidget* parent);
    void showPlace(const std::string& page, const std::string& anchor);
};

}  // namespace zelvo
