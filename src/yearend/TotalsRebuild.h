#pragma once

#include "session/ScreenLogic.h"

namespace zelvo {

// The screen "RICO" ("Ricostruzione progressivi"): recomputes the running totals of the
// chart of the chosen year from its movement lines (RebuildRunningTotals), with a progress
// bar, and closes.
class TotalsRebuild : public ScreenLogic {
  public:
    static constexpr const char* kText = "Label1";
    static constexpr const char* kProgress = "ProgressBar1";
    static constexpr const char* kRun = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit TotalsRebuild(Session& session);
    void load() override;
    void unload() override;

  private:
    void run();
};

}  // namespace zelvo
