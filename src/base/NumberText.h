#pragma once

#include <climits>
#include <string>
#include <string_view>

namespace zelvo {

// Numbers as the program shows them. Amounts are whole lire in doubles; the euro screens
// and reports use two decimals. Italian separators: "." groups thousands, "," marks decimals.

// The host's number-to-text form: a leading blank for numbers >= 0, "-" otherwise; at most
// 15 significant digits; no leading zero before the decimal point; no trailing zeros.
// 1 -> " 1", -100 -> "-100", 19.5 -> " 19.5", 0.5 -> " .5", -0.25 -> "-.25", 0 -> " 0".
// Magnitudes from 1E+15 up and below 1E-4 take the exponent form, mantissa trimmed and at
// least two exponent digits: 1E+15 -> " 1E+15", 0.00001 -> " 1E-05", -1.5E-7 -> "-1.5E-07".
// -0 prints as " 0"; infinities and NaN print as " Inf", "-Inf", " NaN".
std::string Str(double value);

// Floor, as the program's integer part: Int(-1.5) = -2.
double Int(double value);

// The leading numeric value of a text: leading blanks skipped, an optional sign, digits with
// at most one ".", an optional exponent; reading stops at the first other character.
// Val("12abc") = 12, Val("  -3.5x") = -3.5, Val("abc") = 0, Val("1,5") = 1, Val("") = 0.
// Blanks are spaces, tabs and line ends. An "e"/"E" with no digit after it ends the number
// ("2e" = 2). A number too large for a double gives an infinity of its sign, one too small 0.
double Val(std::string_view text);

// The leading whole number of a text as an int, for counts, pages and positions: Val's
// reading, truncated toward zero and held within [lowest, highest] so that no text, however
// long or odd, gives a number out of range. WholeVal("-5") = -5, WholeVal("x") = 0,
// WholeVal("99999999999") = highest.
int WholeVal(std::string_view text, int lowest = INT_MIN, int highest = INT_MAX);

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
// A mask with no "." whose last "," is followed by other than three placeholders is written
// that way ("0,00", "0,0"): its last "," is the decimal mark.
// Rounding to the mask's decimals is half away from zero on the decimal value of the number
// (2.675 -> "2,68"), taken to 15 significant digits. Negative numbers get a leading "-",
// before any forced zeros ("-0000042"); a value that rounds to zero gets no sign
// (Format(-0.004, "0,00") = "0,00"). Numbers wider than the mask show all their digits.
// Other mask characters are ignored. Infinities and NaN give "Inf", "-Inf", "NaN".
std::string Format(double value, std::string_view mask);

// Pads to a column: text right-aligned (or left-aligned) in width characters, counting
// UTF-8 code points. Text longer than the column is returned whole.
std::string PadLeft(std::string_view text, int width);
std::string PadRight(std::string_view text, int width);

}  // namespace zelvo
