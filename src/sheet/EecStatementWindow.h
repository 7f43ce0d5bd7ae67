#pragma once

#include "sheet/SheetWindow.h"

namespace zelvo {

// "Bi&lancio CEE": the spreadsheet window opened on the year's EEC statement, built from
// the accounts the data sheet assigned to its rows and the chart's closing balances. A code
// no longer in the chart is reported row by row and its row stays empty.
class EecStatementWindow : public SheetWindow {
  public:
    explicit EecStatementWindow(Session& session);
    void load() override;
};

}  // namespace zelvo
