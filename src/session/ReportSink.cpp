#include "session/ReportSink.h"

#include "base/NumberText.h"
#include "base/Utf8.h"

namespace zelvo {

TextReportSink::TextReportSink(std::string path) : m_path(std::move(path)) {}

bool TextReportSink::open(bool /*preview*/, const std::string& /*font*/, int /*size*/) {
    m_out.open(m_path, std::ios::binary | std::ios::trunc);
    return m_out.is_open();
}

void TextReportSink::line(const std::string& text) {
    m_out << text << '\n';
}

void TextReportSink::newPage() {
    m_out << "\f\n";
}

void TextReportSink::close() {
    m_out.close();
}

std::string TitleLine(const std::string& today, const std::string& title, int page) {
    constexpr int kTitleColumn = 37;
    const std::string left = PadRight("Data: " + today, kTitleColumn) + title;
    return left + PadLeft("Pag. " + std::to_string(page), kReportWidth - Utf8Length(left));
}

std::string Rule(char c) {
    return std::string(kReportWidth, c);
}

std::string OverlineRule() {
    std::string rule;
    rule.reserve(kReportWidth * 2);
    for (int i = 0; i < kReportWidth; ++i) {
        rule += kOverline;
    }
    return rule;
}

}  // namespace zelvo
