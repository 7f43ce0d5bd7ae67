#pragma once

#include <string>
#include <vector>

#include "session/ScreenLogic.h"

namespace zelvo {

// VISPC, "Piano dei Conti": the item whose description is typed in `text1`, with its running
// totals; a mastro shows its nature, a conto its mastro, a sottoconto its mastro and conto.
// "&Scheda contabile" opens the account card of a sottoconto, customer or supplier shown
// (visched1).
class ChartView : public ScreenLogic {
  public:
    static constexpr const char* kDescription = "text1";
    static constexpr const char* kMastro = "Label2";
    static constexpr const char* kConto = "Label4";
    static constexpr const char* kOpening = "Label6";
    static constexpr const char* kDebit = "Label8";
    static constexpr const char* kCredit = "Label10";
    static constexpr const char* kClosing = "Label12";
    static constexpr const char* kNature = "Label13";
    static constexpr const char* kCard = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit ChartView(Session& session);
    static FormSpec layout();
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

  private:
    void show();
    void openCard();
    std::string m_number;
    bool m_ledger = false;  // whether the item shown has a card
};

}  // namespace zelvo
