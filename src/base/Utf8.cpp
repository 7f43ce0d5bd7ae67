#include "base/Utf8.h"

namespace zelvo {

namespace {
bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
}
char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

int Utf8Length(std::string_view text) {
    int n = 0;
    for (char c : text) {
        if (!isContinuation(c)) {
            ++n;
        }
    }
    return n;
}

std::string Utf8Left(std::string_view text, int n) {
    if (n <= 0) {
        return {};
    }
    int seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!isContinuation(text[i])) {
            if (seen == n) {
                return std::string(text.substr(0, i));
            }
            ++seen;
        }
    }
    return std::string(text);
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = foldAscii(c);
    }
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (foldAscii(text[i]) != foldAscii(prefix[i])) {
            return false;
        }
    }
    return true;
}

std::string RightTrim(std::string_view text) {
    const size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace zelvo
