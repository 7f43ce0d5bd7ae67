#pragma once

#include <optional>
#include <string>

#include "session/ScreenLogic.h"

namespace zelvo {

// The screen "APRIAZ" ("Apertura archivi nuova azienda"): gives a new company a free slot
// of the register, and so its code, and creates its archives for its first year with their
// initial content. It does not switch to the new company. The register is a main archive:
// it is open while the program runs.
class CompanyCreation : public ScreenLogic {
  public:
    // The company fields are those of AddCompanyFields (`text1` to `text4`).
    static constexpr const char* kYear = "text5";
    // Not the default button: an Enter typed in a field must not create a company.
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit CompanyCreation(Session& session);

    static FormSpec makeSpec();

    void load() override;

    // At most this many records of the register in code order can hold companies: the
    // slot found must come before the 100th.
    static constexpr int kSlotLimit = 100;

  private:
    void create();
    bool checkYear();
    // The code of the free slot, or nothing (refused or unreadable, already told).
    std::optional<std::string> findFreeSlot();
    bool writeSlot(const std::string& code);
    void closeArchivesInUse();
    void reopenArchivesInUse();
};

}  // namespace zelvo
