#pragma once

#include "session/ScreenLogic.h"

namespace zelvo {

// "primo": the program's name and version, what it is for and the company in use.
class AboutBox : public ScreenLogic {
  public:
    static constexpr const char* kProgram = "Label1";
    static constexpr const char* kPurpose = "Label2";
    static constexpr const char* kCompany = "Label3";
    static constexpr const char* kVersion = "Label4";
    static constexpr const char* kOk = "Command1";

    explicit AboutBox(Session& session);
    void load() override;
};

}  // namespace zelvo
