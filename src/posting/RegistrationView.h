#pragma once

#include "session/ScreenLogic.h"

namespace zelvo {

// VMC: one posted registration, its lines and, for documents, the rows of its VAT lines.
class RegistrationView : public ScreenLogic {
  public:
    explicit RegistrationView(Session& session);

    void load() override;
    void leave(const std::string& control) override;
    void click(const std::string& control) override;
    void unload() override;

  private:
    void show();
};

}  // namespace zelvo
