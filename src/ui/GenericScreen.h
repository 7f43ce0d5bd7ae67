#pragma once

#include <QWidget>
#include <map>
#include <memory>

#include "session/ScreenLogic.h"

namespace zelvo {

// The one view of every screen: builds the controls a screen's logic describes, names each
// widget after its control, copies the operator's input into the logic before every event
// and the logic's changes, focus and close requests back after it. No rule lives here.
class GenericScreen : public QWidget {
    Q_OBJECT
  public:
    explicit GenericScreen(std::unique_ptr<ScreenLogic> logic, QWidget* parent = nullptr);
    ~GenericScreen() override;

    ScreenLogic& logic() { return *m_logic; }
    // Runs the logic's load event and puts the focus on the first input.
    void start();
    QWidget* control(const std::string& name) const;

    // The frame the screen lives in: its child window inside the main window, or itself
    // when it is a window of its own.
    QWidget* frame();
    // Entry points for events that do not come from a widget signal.
    void pickItem(const std::string& control, int index, bool doubleClick);

  signals:
    void closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    template <typename F>
    void dispatch(F&& event);
    void build();
    void readInputs();
    void applyChanges();
    void applyFocus();
    void pressDefault(bool cancel);

    std::unique_ptr<ScreenLogic> m_logic;
    std::map<std::string, QWidget*> m_controls;
    bool m_inEvent = false;
    bool m_closeApproved = false;
    bool m_unloaded = false;
};

}  // namespace zelvo
