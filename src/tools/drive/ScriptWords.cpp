#include "tools/drive/ScriptWords.h"

namespace zelvo::drive {

std::optional<std::vector<std::string>> SplitWords(const std::string& line, std::string& error) {
    error.clear();
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        if (i >= line.size()) {
            break;
        }
        if (words.empty() && line[i] == '#') {
            return std::nullopt;
        }
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size()) {
                    char n = line[i++];
                    word += n == 'r' ? '\r' : n == 'n' ? '\n' : n;
                } else {
                    word += c;
                }
            }
            if (!closed) {
                error = "unterminated quote";
                return std::nullopt;
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                word += line[i++];
            }
        }
        words.push_back(word);
    }
    if (words.empty()) {
        return std::nullopt;
    }
    return words;
}

bool MatchesPattern(const std::string& text, const std::string& pattern) {
    // Iterative wildcard match with backtracking to the last "*".
    size_t t = 0, p = 0, star = std::string::npos, mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace zelvo::drive
