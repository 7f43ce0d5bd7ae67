#pragma once

#include "session/ScreenLogic.h"
#include "sheet/Calculator.h"

namespace zelvo {

// CALC: the calculator of the program, for a desktop that has none of its own. One button
// per key; the keys can also be typed into "Tasti:" and sent with Enter, so that a column of
// figures is added up without the mouse.
class CalculatorScreen : public ScreenLogic {
  public:
    static constexpr const char* kDisplay = "text1";
    static constexpr const char* kKeys = "text2";

    explicit CalculatorScreen(Session& session);
    void load() override;

  private:
    void press(const std::string& keys);

    Calculator m_calculator;
};

}  // namespace zelvo
