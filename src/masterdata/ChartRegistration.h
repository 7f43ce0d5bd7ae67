#pragma once

#include <optional>
#include <string>

#include "masterdata/Chart.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// The screen "RPC" ("Registrazione Piano dei Conti"): adds a mastro, a conto under a mastro
// or a sottoconto under a conto to the chart of the chosen company and year. Customers and
// suppliers, the other sottoconti, have screens of their own.
//
// The level options move the list caption and the controls that count for that level;
// "&Registra" registers, "&Annulla" closes.
class ChartRegistration : public ScreenLogic {
  public:
    static constexpr const char* kDescription = "text1";
    static constexpr const char* kMastroLevel = "Option1";
    static constexpr const char* kContoLevel = "Option2";
    static constexpr const char* kSottocontoLevel = "Option3";
    static constexpr const char* kPatrimonial = "Option5";
    static constexpr const char* kEconomic = "Option6";
    // The caption of the list that counts for the level: the logic writes it.
    static constexpr const char* kListCaption = "Label1";
    static constexpr const char* kMastri = "List1";
    static constexpr const char* kConti = "List2";
    static constexpr const char* kBalance = "text2";
    static constexpr const char* kRegister = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit ChartRegistration(Session& session);

    static FormSpec makeSpec();

    // Fills the lists of mastri and conti from the kind index.
    void load() override;

    // Report positions.
    static constexpr int kParentRead = 821;
    static constexpr int kRecordWrite = 822;
    static constexpr int kCommit = 823;

  private:
    enum class Level { Mastro, Conto, Sottoconto };
    Level level();
    void showLevel();
    void registerItem();
    // The mastro or conto chosen in the level's list, read again; nothing when none is
    // chosen (refused), it is gone (reported) or it is reserved (refused).
    std::optional<chart::Item> chosenParent(Level level);
    // The new item's fields below its parent.
    void fill(isam::Record& r, Level level, const chart::Item* parent, const std::string& number);
    // Ready for the next item; a new mastro or conto can be chosen at once for the items
    // beneath it.
    void showRegistered(Level level, const std::string& description);
};

}  // namespace zelvo
