#pragma once

#include "session/ScreenLogic.h"

namespace zelvo {

// "primo": the program's name, what it is for and the company in use.
class AboutBox : public ScreenLogic {
  public:
    explicit AboutBox(Session& session);
    void load() override;
    void click(const std::string& control) override;
};

}  // namespace zelvo
