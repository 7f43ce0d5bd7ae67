#pragma once

#include <optional>
#include <string>

#include "masterdata/Chart.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// The screen "anpc" ("Annullamento voce del piano dei conti"): removes an item of the chart
// that nothing depends on. Predefined items, items that carry amounts and mastri or conti
// with items beneath them stay. The removal itself is confirmed in "anpc1".
class ChartAnnulment : public ScreenLogic {
  public:
    explicit ChartAnnulment(Session& session);

    static FormSpec makeSpec();

    // Leaving the description names the item; an unknown one keeps the focus.
    void leave(const std::string& control) override;
    // "Command1" ("&Elimina") checks the item again and asks for confirmation; "Command2"
    // closes.
    void click(const std::string& control) override;

    static constexpr int kScan = 831;

  private:
    // The item named by the description, or nothing (beep, focus back).
    std::optional<chart::Item> namedItem();
    // Whether the item may go as far as its own record tells; the refusal is shown.
    bool mayGo(const chart::Item& item);
    // Whether another item has this mastro or conto as its own; the refusal is shown.
    bool hasChildren(const chart::Item& item);
    void warn(const std::string& text);
    void remove();
};

// The confirmation window "anpc1": its confirm button deletes the item by its number.
class ChartAnnulmentConfirm : public ScreenLogic {
  public:
    ChartAnnulmentConfirm(Session& session, std::string number, const std::string& description);

    static FormSpec makeSpec();

    void load() override;
    // "Command1" deletes and closes, "Command2" closes.
    void click(const std::string& control) override;

    const std::string& number() const { return m_number; }

    static constexpr int kDelete = 832;

  private:
    std::string m_number;
    std::string m_description;
};

}  // namespace zelvo
