#pragma once

#include <string>
#include <vector>

#include "session/ScreenLogic.h"

namespace zelvo {

// VARPC, "Variazione Piano dei Conti": the item named in `text7` ("Mastro/Conto/Sottoconto")
// shows its description in `text1` and its opening balance in `text6`; "&Registra" rewrites
// only those two, with the index keys that carry the description and the closing balance
// that follows the opening one. A predefined item is varied after a warning that names its
// original description. A description that another item has is refused, and nothing is
// written.
class ChartVariation : public ScreenLogic {
  public:
    static constexpr const char* kItem = "text7";
    static constexpr const char* kDescription = "text1";
    static constexpr const char* kOpeningBalance = "text6";
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kCancel = "Command2";

    // Report positions of the rewrite.
    static constexpr int kReread = 3201;
    static constexpr int kRewrite = 3202;

    explicit ChartVariation(Session& session);
    static FormSpec layout();
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

    // The warning shown before a predefined item (numbered below 50) is varied.
    static std::string PredefinedWarning(const std::string& number);

  private:
    void leaveItem();
    void confirm();
    void clear();

    std::string m_number;  // the item shown; empty: none
};

}  // namespace zelvo
