#pragma once

#include <string>
#include <string_view>

namespace zelvo {

// Texts are UTF-8 throughout; columns, keys and lengths count code points, not bytes.
int Utf8Length(std::string_view text);
// The first n code points (all of the text when it is shorter).
std::string Utf8Left(std::string_view text, int n);
// ASCII-only case folding: the order and comparisons of index keys fold A-Z and nothing else.
std::string AsciiLower(std::string_view text);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// The text without its trailing blanks (fixed-width fields read back from the archives).
std::string RightTrim(std::string_view text);
// Whether the text holds nothing an operator can read: only blanks, tabs and line breaks. A
// name made of them is no name, however many there are.
bool IsBlank(std::string_view text);

}  // namespace zelvo
