#pragma once

#include "session/ScreenLogic.h"

namespace zelvo {

// VMC: one posted registration, its lines and, for documents, the rows of its VAT lines.
class RegistrationView : public ScreenLogic {
  public:
    static constexpr const char* kNumber = "text1";
    static constexpr const char* kRegDate = "text2";
    static constexpr const char* kDocNumber = "text3";
    static constexpr const char* kDocDate = "text4";
    static constexpr const char* kProtocol = "text5";
    static constexpr const char* kCausal = "text6";
    static constexpr const char* kLines = "List1";
    static constexpr const char* kVatLines = "List2";
    static constexpr const char* kClose = "Command1";

    explicit RegistrationView(Session& session);

    void load() override;
    void unload() override;

  private:
    void show();
};

}  // namespace zelvo
