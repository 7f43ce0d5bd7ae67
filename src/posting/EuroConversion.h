#pragma once

#include <string>
#include <vector>

#include "session/Form.h"

namespace zelvo {

// The euro twin of an entry screen. Amounts are typed in euro with two decimals and turned
// into whole lire once, by the screen's "Converti in Lire" button: that button then
// disables itself and enables the post button, and from then on every amount of the
// document is lire, including one the operator edits afterwards. Only lire are posted.
//
// A lire screen holds an inactive conversion, so that the screens read their amounts the
// same way whatever their twin.
// An amount in lire as euro at the lire-per-euro rate, to the cent (halves away from zero):
// the euro options of the reports show every amount through this one conversion.
double LireToEuro(double lire, double rate);

class EuroConversion {
  public:
    EuroConversion(bool active, std::string convertButton, std::string postButton);

    bool active() const { return m_active; }
    // Whether the amounts on the screen are still euro.
    bool inEuro() const { return m_active && !m_converted; }

    // A new document: in euro again, posting disabled until it is converted.
    void reset(FormState& form);
    // Replaces every non-zero amount of `controls` by Int(amount × rate + 0.5), the nearest
    // whole lira with halves up. Only the first call of a document converts.
    void convert(FormState& form, double rate, const std::vector<std::string>& controls);

    // An amount as the screen holds it: with a decimal comma while in euro, lire after.
    double amount(const std::string& text) const;
    // A computed amount as the field shows it: "0,00" in euro, whole lire otherwise; blank
    // for zero.
    std::string shown(double value) const;

  private:
    bool m_active;
    bool m_converted = false;
    std::string m_convertButton;
    std::string m_postButton;
};

// Lire to euro, as the amounts carried into a year kept in euro: the amount without its
// sign divided by the rate (1 when the rate is 0), rounded half up on the third decimal to
// two decimals (further decimals are ignored), and the sign given back. The thousandths are
// taken as amount × 1000 / rate so that an exact quotient (1234 at 2000: 617) stays exact.
double ToEuro(double lire, double rate);

}  // namespace zelvo
