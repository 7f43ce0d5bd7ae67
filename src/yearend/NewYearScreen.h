#pragma once

#include "session/ScreenLogic.h"

namespace zelvo {

// The screen "APANNO" ("Apertura archivi nuovo anno"): creates the archives of the year
// after the chosen one (OpenNextYear), optionally converting the amounts carried into euro.
class NewYearScreen : public ScreenLogic {
  public:
    static constexpr const char* kYearLabel = "Label1";
    static constexpr const char* kEuro = "Check1";
    static constexpr const char* kRun = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit NewYearScreen(Session& session);
    void load() override;

  private:
    void run();
};

}  // namespace zelvo
