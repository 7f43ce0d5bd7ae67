#pragma once

#include <optional>
#include <string>

#include "masterdata/Chart.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// The screen "anpc" ("Annullamento voce del piano dei conti"): removes an item of the chart
// that nothing depends on. Predefined items, items that carry amounts and mastri or conti
// with items beneath them stay. The removal itself is confirmed in "anpc1".
//
// Leaving the description names the item; an unknown one keeps the focus. "&Elimina" checks
// the item again and asks for confirmation; "&Annulla" closes.
class ChartAnnulment : public ScreenLogic {
  public:
    static constexpr const char* kDescription = "text1";
    static constexpr const char* kRemove = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit ChartAnnulment(Session& session);

    static FormSpec makeSpec();

    static constexpr int kScan = 831;

  private:
    // The item named by the description, or nothing (beep, focus back).
    std::optional<chart::Item> namedItem();
    // Whether the item may go as far as its own record tells; the refusal is shown.
    bool mayGo(const chart::Item& item);
    // Whether another item has this mastro or conto as its own; the refusal is shown.
    bool hasChildren(const chart::Item& item);
    void warn(const std::string& text);
    void leaveDescription();
    void remove();
};

// The confirmation window "anpc1": "&Conferma" deletes the item by its number and closes,
// "&Annulla" closes.
class ChartAnnulmentConfirm : public ScreenLogic {
  public:
    // The item about to go, so that the operator confirms what is really deleted.
    static constexpr const char* kItem = "Label1";
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kCancel = "Command2";

    ChartAnnulmentConfirm(Session& session, std::string number, const std::string& description);

    static FormSpec makeSpec();

    void load() override;

    const std::string& number() const { return m_number; }

    static constexpr int kDelete = 832;

  private:
    void confirm();

    std::string m_number;
    std::string m_description;
};

}  // namespace zelvo
