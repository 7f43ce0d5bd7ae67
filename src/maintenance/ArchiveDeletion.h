#pragma once

#include <string>

#include "session/ScreenLogic.h"

namespace zelvo {

// cancella: deletes a company's archives of one year, and the company itself when that was
// its only year. The deletion runs from the confirmation window cancell1.
class ArchiveDeletion : public ScreenLogic {
  public:
    static constexpr const char* kCompany = "Combo1";
    static constexpr const char* kYear = "Combo2";
    static constexpr const char* kDelete = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit ArchiveDeletion(Session& session);
    void load() override;

    // The deletion itself, once confirmed: the year's files, then, when `lastYear`, the
    // company's files and its register slot.
    static void DeleteYear(Session& session, const std::string& code, const std::string& year,
                           bool lastYear);

  private:
    void remove();
};

class ArchiveDeletionConfirm : public ScreenLogic {
  public:
    static constexpr const char* kWarning = "Label1";
    static constexpr const char* kText = "Label2";
    static constexpr const char* kPrompt = "Label3";
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kCancel = "Command2";

    ArchiveDeletionConfirm(Session& session, std::string code, std::string year, bool lastYear);

  private:
    void confirm();
    std::string m_code;
    std::string m_year;
    bool m_lastYear;
};

}  // namespace zelvo
