#pragma once

#include <string>

#include "session/ScreenLogic.h"

namespace zelvo {

// The screen "REGDATI" ("Dati aziendali"): the chosen company's name, address, city and VAT
// number in the company register.
class CompanyDataScreen : public ScreenLogic {
  public:
    // The company fields are those of AddCompanyFields (`text1` to `text4`).
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit CompanyDataScreen(Session& session);

    static FormSpec makeSpec();

    void load() override;

    // Report positions.
    static constexpr int kLoadRead = 446;
    static constexpr int kNameRead = 851;
    static constexpr int kRecordRead = 852;
    static constexpr int kRecordWrite = 853;

  private:
    void confirm();
};

}  // namespace zelvo
