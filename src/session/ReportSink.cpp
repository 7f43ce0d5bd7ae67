#include "session/ReportSink.h"

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
