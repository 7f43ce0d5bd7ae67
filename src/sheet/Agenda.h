#pragma once

#include <vector>

#include "session/ScreenLogic.h"
#include "sheet/AgendaBook.h"

namespace zelvo {

// AGENDA: the operator's dated notes and deadlines. What is overdue and what falls today
// comes first; a note is added, changed, marked done (or back to do) and deleted from here.
// Shown from "Va&rie" and the toolbar, and at start-up when the parameters ask for it.
class Agenda : public ScreenLogic {
  public:
    static constexpr const char* kSummary = "Label1";
    static constexpr const char* kList = "List1";
    static constexpr const char* kDate = "text1";
    static constexpr const char* kText = "text2";
    static constexpr const char* kAdd = "Command1";
    static constexpr const char* kChange = "Command2";
    static constexpr const char* kDone = "Command3";
    static constexpr const char* kRemove = "Command4";
    static constexpr const char* kClose = "Command5";
    static constexpr const char* kShowDone = "Check1";

    explicit Agenda(Session& session);
    void load() override;
    void unload() override;

  private:
    void refill();
    void picked();
    // The note the fields describe; nothing (after the input error) when they are not valid.
    std::optional<AgendaNote> typedNote();
    const AgendaNote* selectedNote();
    void addNote();
    void changeNote();
    void toggleDone();
    void removeNote();
    void afterWrite(AgendaBook::Result result);
    std::string todayKey();

    std::vector<AgendaNote> m_shown;
    bool m_open = false;
};

}  // namespace zelvo
