#pragma once

#include <array>
#include <string>

#include "posting/Annullable.h"
#include "posting/EuroConversion.h"
#include "posting/PostingEngine.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// MCMG, and its twins: MCMG3 takes amounts in euro and converts them to lire before
// posting; MCMG2 revises a posted generic movement. A free journal entry of up to 100 rows
// of sub-accounts in debit or credit, shown 20 at a time, that must balance. MCXX is the
// same entry on 20 rows filled from an automated causal, whose accounts, descriptions and
// sides come from the template and whose amounts the operator types.
class GenericMovement : public ScreenLogic, public Annullable {
  public:
    enum class Variant { Lire, Euro, Revision, Causal };

    static constexpr int kRows = 100;
    static constexpr int kCausalRows = 20;
    static constexpr int kPageRows = 20;
    static constexpr const char* kGrid = "Griglia";
    static constexpr const char* kRegDate = "TEXT1";
    static constexpr const char* kDocNumber = "text2";
    static constexpr const char* kDocDate = "text3";
    static constexpr const char* kDescription = "text4";
    static constexpr const char* kPage = "Spin1";
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kConvert = "Command2";  // the euro twin only
    static constexpr const char* kNewAccount = "Command3";
    static constexpr const char* kCancel = "Command4";
    static constexpr const char* kCausal = "Combo1";          // MCXX
    static constexpr const char* kCausalCancel = "Command3";  // MCXX
    // The grid's columns.
    static constexpr const char* kAccount = "conto";
    static constexpr const char* kExtra = "agg";
    static constexpr const char* kDebit = "dare";
    static constexpr const char* kCredit = "avere";
    static constexpr const char* kAccountName = "LabelX";

    GenericMovement(Session& session, Variant variant, std::string regNumber = {});

    void load() override;
    void unload() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

    // The registration number of the last movement posted; 0 before any.
    std::int32_t lastPosted() const { return m_lastPosted; }
    bool annul() override;

  private:
    bool leaveRegistrationDate();
    bool leaveAccount(int row);
    void convert();
    void pageChosen();
    void confirm();
    void fillFromRegistration();
    void clearRows();
    double amount(const std::string& column, int row) const;
    void showPage(int page);
    int rows() const { return m_variant == Variant::Causal ? kCausalRows : kRows; }
    void registerEvents();
    void fillFromCausal();
    bool causalAccountsExist();

    Variant m_variant;
    std::string m_regNumber;                    // the registration under revision
    std::array<std::string, kRows> m_accounts;  // item numbers of the rows
    // MCXX: the sub-account codes the chosen causal put in its rows.
    std::array<std::string, kCausalRows> m_causalCodes;
    EuroConversion m_euro;
    std::int32_t m_lastPosted = 0;
    // The registration under revision as the screen read it: the confirm revises only that.
    std::vector<PostingEngine::PostedLine> m_loaded;
};

}  // namespace zelvo
