#pragma once

#include <QWidget>

#include "base/Dialogs.h"

namespace zelvo {

// Real message boxes, beeps and file dialogs for the operator.
class QtDialogs : public Dialogs {
  public:
    void setParent(QWidget* parent) { m_parent = parent; }
    void message(const std::string& text, const std::string& title, Icon icon) override;
    void beep() override;
    Answer ask(const std::string& text, const std::string& title, Icon icon,
               bool defaultNo) override;
    std::optional<std::string> chooseFile(const FileRequest& request) override;

  private:
    QWidget* m_parent = nullptr;
};

}  // namespace zelvo
