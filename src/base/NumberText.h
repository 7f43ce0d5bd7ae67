#pragma once

#include <string>
#include <string_view>

namespace zelvo {

// Numbers as the program shows them. Amounts are whole lire in doubles; the euro screens
// and reports use two decimals. Italian separators: "." groups thousands, "," marks decimals.

// The host's number-to-text form: a leading blank for numbers >= 0, "-" otherwise; at most
// 15 significant digits; no leading zero before the decimal point; no trailing zeros.
// 1 -> " 1", -100 -> "-100", 19.5 -> " 19.5", 0.5 -> " .5", -0.25 -> "-.25", 0 -> " 0".
std::string Str(double value);

// Floor, as the program's integer part: Int(-1.5) = -2.
double Int(double value);

// The leading numeric value of a text: leading blanks skipped, an optional sign, digits with
// at most one ".", an optional exponent; reading stops at the first other character.
// Val("12abc") = 12, Val("  -3.5x") = -3.5, Val("abc") = 0, Val("1,5") = 1, Val("") = 0.
double Val(std::string_view text);

// Formats a number with one of the program's masks. Mask syntax: "#" a digit shown only when
// significant, "0" a digit always shown, "," (between digit placeholders) groups thousands,
// "." the decimal point. The output uses "." for thousands and "," for decimals and is
// right-aligned to nothing (no padding): callers pad to their columns.
//   Format(1234567, "###,###,###,##0") = "1.234.567"
//   Format(0, "#,###,###,###")          = ""          (an all-"#" mask shows nothing for 0)
//   Format(42, "0000000")               = "0000042"
//   Format(1234.5, "##,###,##0.00")     = "1.234,50"
// The mask "0,00" is the euro screens' written form of two decimals with no grouping:
//   Format(1234.5, "0,00") = "1234,50", Format(0, "0,00") = "0,00".
// Rounding to the mask's decimals is half away from zero on the decimal value of the number
// (2.675 -> "2,68"). Negative numbers get a leading "-".
std::string Format(double value, std::string_view mask);

// Pads to a column: text right-aligned (or left-aligned) in width characters, counting
// UTF-8 code points. Text longer than the column is returned whole.
std::string PadLeft(std::string_view text, int width);
std::string PadRight(std::string_view text, int width);

// Code-point aware helpers for the fixed-pitch layouts.
int CodePoints(std::string_view utf8);
std::string LeftChars(std::string_view utf8, int n);  // the first n code points

}  // namespace zelvo
