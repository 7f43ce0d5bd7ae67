#pragma once

#include "session/ScreenLogic.h"

namespace zelvo {

// SCELTA: the choice of company and year that opens the year's main archives. Closing it
// without OK ends the program.
class CompanySelection : public ScreenLogic {
  public:
    static constexpr const char* kCompany = "Combo1";
    static constexpr const char* kYear = "Combo2";
    static constexpr const char* kOk = "Command1";
    static constexpr const char* kRebuild = "Command2";

    explicit CompanySelection(Session& session);

    void load() override;
    bool queryClose() override;

    static constexpr int kFirstYear = 1990;
    static constexpr int kLastYear = 2030;

  private:
    void fillCompanies();
    void companyChosen();
    void confirm();
    void rebuildRegister();

    bool m_confirmed = false;
};

}  // namespace zelvo
