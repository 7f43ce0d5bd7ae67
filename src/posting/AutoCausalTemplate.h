#pragma once

#include <string>
#include <vector>

#include "session/ScreenLogic.h"

namespace zelvo {

// regxx: the templates of the automated causals. A code, a description and up to 14 rows of
// sub-account, additional description and side, kept in the company's "auto prima nota"
// under the code; MCXX posts a generic movement from one.
class AutoCausalTemplate : public ScreenLogic {
  public:
    static constexpr int kRows = 14;
    static constexpr const char* kCode = "TEXT1";
    static constexpr const char* kDescription = "text2";
    static constexpr const char* kGrid = "Griglia";
    static constexpr const char* kSave = "Command1";
    static constexpr const char* kDelete = "Command2";
    static constexpr const char* kCancel = "Command3";
    // The grid's columns: the two options of each row's side.
    static constexpr const char* kAccount = "conto";
    static constexpr const char* kExtra = "agg";
    static constexpr const char* kDebit = "Option1";
    static constexpr const char* kCredit = "Option2";

    explicit AutoCausalTemplate(Session& session);

    void load() override;
    void unload() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

  private:
    void leaveCode();
    bool leaveAccount(int row);
    void sideChosen(const char* column, int row);
    void save();
    void remove();
    void clearRows();
};

}  // namespace zelvo
