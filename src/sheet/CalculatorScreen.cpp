#include "sheet/CalculatorScreen.h"

#include <string>

namespace zelvo {

namespace {

struct Key {
    const char* name;
    const char* caption;
    int row;
    int column;
};

// Laid out as on a desk calculator: memory keys on top, the operations on the right.
constexpr Key kKeysPad[] = {
    {"Command1", "MC", 2, 0}, {"Command2", "MR", 2, 1}, {"Command3", "M-", 2, 2},
    {"Command4", "M+", 2, 3}, {"Command5", "C", 3, 0},  {"Command6", "CE", 3, 1},
    {"Command7", "±", 3, 2},  {"Command8", "/", 3, 3},  {"Command9", "7", 4, 0},
    {"Command10", "8", 4, 1}, {"Command11", "9", 4, 2}, {"Command12", "*", 4, 3},
    {"Command13", "4", 5, 0}, {"Command14", "5", 5, 1}, {"Command15", "6", 5, 2},
    {"Command16", "-", 5, 3}, {"Command17", "1", 6, 0}, {"Command18", "2", 6, 1},
    {"Command19", "3", 6, 2}, {"Command20", "+", 6, 3}, {"Command21", "0", 7, 0},
    {"Command22", ",", 7, 1}, {"Command23", "=", 7, 2},
};

FormSpec calculatorForm() {
    FormSpec f;
    f.name = "CALC";
    f.title = "Calcolatrice";
    f.text(CalculatorScreen::kDisplay, "", 0, 24, {.readOnly = true}).columnSpan = 4;
    f.text(CalculatorScreen::kKeys, "Tasti:", 1, 24).columnSpan = 3;
    for (const Key& k : kKeysPad) {
        f.button(k.name, k.caption, k.row, k.column);
    }
    return f;
}

}  // namespace

CalculatorScreen::CalculatorScreen(Session& session) : ScreenLogic(session, calculatorForm()) {
    for (const Key& k : kKeysPad) {
        on(Event::Click, k.name, [this, caption = std::string(k.caption)] { press(caption); });
    }
    onKey(kKeys, [this](const std::string& key) {
        if (key != "Enter") {
            return false;
        }
        press(text(kKeys));
        form().setText(kKeys, "");
        return true;
    });
}

void CalculatorScreen::load() {
    form().setText(kDisplay, m_calculator.display());
    requestFocus(kKeys);
}

void CalculatorScreen::press(const std::string& keys) {
    m_calculator.press(keys);
    form().setText(kDisplay, m_calculator.display());
}

}  // namespace zelvo
