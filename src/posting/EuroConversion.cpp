#include "posting/EuroConversion.h"

#include <cmath>

#include "base/NumberText.h"

namespace zelvo {

double LireToEuro(double lire, double rate) {
    if (rate == 0) {
        return 0;
    }
    return std::round(lire / rate * 100) / 100;
}

EuroConversion::EuroConversion(bool active, std::string convertButton, std::string postButton)
    : m_active(active),
      m_convertButton(std::move(convertButton)),
      m_postButton(std::move(postButton)) {}

void EuroConversion::reset(FormState& form) {
    m_converted = false;
    if (m_active) {
        form.setEnabled(m_postButton, false);
        form.setEnabled(m_convertButton, true);
    }
}

void EuroConversion::convert(FormState& form, double rate,
                             const std::vector<std::string>& controls) {
    // Pressed again (by keyboard while disabled, or by a script) it must not multiply lire
    // by the rate a second time.
    if (!inEuro()) {
        return;
    }
    for (const std::string& control : controls) {
        const double euro = amount(form.text(control));
        if (euro != 0) {
            form.setText(control, Format(Int(euro * rate + 0.5), "0"));
        }
    }
    m_converted = true;
    form.setEnabled(m_convertButton, false);
    form.setEnabled(m_postButton, true);
}

double EuroConversion::amount(const std::string& text) const {
    if (!inEuro()) {
        return Val(text);
    }
    std::string t = text;
    for (char& c : t) {
        if (c == ',') {
            c = '.';
        }
    }
    return Val(t);
}

std::string EuroConversion::shown(double value) const {
    if (value == 0) {
        return {};
    }
    return Format(value, inEuro() ? "0,00" : "0");
}

double ToEuro(double lire, double rate) {
    const double divisor = rate == 0 ? 1 : rate;
    double thousandths = std::floor(std::fabs(lire) * 1000 / divisor);
    const double last = std::fmod(thousandths, 10);
    double cents = std::floor(thousandths / 10);
    if (last >= 5) {
        cents += 1;
    }
    const double euro = cents / 100;
    return lire < 0 ? -euro : euro;
}

}  // namespace zelvo
