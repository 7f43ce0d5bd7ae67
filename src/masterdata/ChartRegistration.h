#pragma once

#include <string>

#include "session/ScreenLogic.h"

namespace zelvo {

// The screen "RPC" ("Registrazione Piano dei Conti"): adds a mastro, a conto under a mastro
// or a sottoconto under a conto to the chart of the chosen company and year. Customers and
// suppliers, the other sottoconti, have screens of their own.
class ChartRegistration : public ScreenLogic {
  public:
    explicit ChartRegistration(Session& session);

    static FormSpec makeSpec();

    // Fills the lists of mastri and conti from the kind index.
    void load() override;
    // The level options move the list caption and the controls that count for that level.
    void change(const std::string& control) override;
    // "Command1" registers, "Command2" closes.
    void click(const std::string& control) override;

    // Report positions.
    static constexpr int kParentRead = 821;
    static constexpr int kRecordWrite = 822;
    static constexpr int kCommit = 823;

  private:
    enum class Level { Mastro, Conto, Sottoconto };
    Level level();
    void showLevel();
    void registerItem();
};

}  // namespace zelvo
