#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zelvo::drive {

// Splits one line of an operator script into words: blanks separate, double quotes group
// (with \" \\ \r \n inside), "" is an empty word. Nothing for a blank or comment line;
// an unterminated quote gives an error text.
std::optional<std::vector<std::string>> SplitWords(const std::string& line, std::string& error);

// A pattern where "*" stands for any run of characters and "?" for one.
bool MatchesPattern(const std::string& text, const std::string& pattern);

}  // namespace zelvo::drive
