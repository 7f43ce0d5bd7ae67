#pragma once

#include <fstream>
#include <string>

namespace zelvo {

// Where a report's lines go. A report composes every line itself as one fixed-pitch string,
// counts its lines and breaks its pages itself; the sink only carries what it is given, in
// this order: open, then lines and page breaks, then close. A sink never breaks a page of
// its own accord and never wraps a line.
class ReportSink {
  public:
    virtual ~ReportSink() = default;
    // Starts the document in the given font. False when the operator cancelled (the printer
    // dialog) or the document cannot be started; the report then prints nothing and ends
    // without calling close.
    virtual bool open(bool preview, const std::string& font, int size) = 0;
    // One line, UTF-8, without a line break of its own.
    virtual void line(const std::string& text) = 0;
    // The next line starts a new page.
    virtual void newPage() = 0;
    // The document is complete: the printer receives it, or the preview window opens.
    virtual void close() = 0;
};

// A document as plain text, what operator scripts compare with their expected files. Every
// line is written followed by "\n"; a page break is a line holding only a form feed, "\f\n",
// between the last line of one page and the first of the next. Nothing precedes the first
// page and nothing follows the last line, so a one-page document has no form feed at all.
// Two page breaks in a row leave an empty page between them ("\f\n\f\n"), as printed.
class TextReportSink : public ReportSink {
  public:
    explicit TextReportSink(std::string path);
    // False when the file cannot be written.
    bool open(bool preview, const std::string& font, int size) override;
    void line(const std::string& text) override;
    void newPage() override;
    void close() override;

  private:
    std::string m_path;
    std::ofstream m_out;
};

// Reports are 97 columns wide; their rules span the whole width.
inline constexpr int kReportWidth = 97;
// The overline character, code 175 of the program's character set (U+00AF), in UTF-8.
inline constexpr const char* kOverline = "\xC2\xAF";

// The first heading line of most reports: "Data: " and today at the left, the title at
// column 37 (where the general journal has its own), "Pag. " and the page number at the
// right edge.
std::string TitleLine(const std::string& today, const std::string& title, int page);

// A rule of 97 times `c` ("-", "=").
std::string Rule(char c);
// The rule of 97 overline characters that opens and closes the statutory books' pages.
std::string OverlineRule();

}  // namespace zelvo
