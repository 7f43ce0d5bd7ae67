#pragma once

#include "session/ScreenLogic.h"

namespace zelvo {

// VERPN, "Verifica prima nota": checks that the movement lines of every day balance. Reading
// the lines in registration-date order, it keeps the balance (debit - credit) of the day;
// each day whose balance is not exactly 0 gets one message with the difference, and the end
// of the check says so. `Label1` shows the day being checked, `Command1` "&Conferma" runs
// the check, `Command2` "&Annulla" closes.
class JournalCheck : public ScreenLogic {
  public:
    static constexpr const char* kDay = "Label1";
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit JournalCheck(Session& session);
    static FormSpec layout();
    void load() override;
    void unload() override;

  private:
    void check();
    void dayEnds(const std::string& date, double balance);
};

}  // namespace zelvo
