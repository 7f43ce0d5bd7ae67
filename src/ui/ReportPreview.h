#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "base/Dialogs.h"
#include "session/ReportSink.h"
#include "ui/ReportPages.h"

class QPrinter;
class QSpinBox;
class QLabel;

namespace zelvo {

class PageView;

// ANTEP, "Anteprima di stampa": one page of the document at a time (`Spin1` "Pagina", with
// "di N" beside it in `Label1`), drawn only when shown, at the zoom of `Spin2` "Zoom" (percent).
// `Command1` "&Stampa" prints on the default printer, `Command2` "S&tampante" asks for the
// printer first, `Command3` "&Annulla" (or Escape) closes, `Command4` "Salva &PDF" writes the
// document to a PDF file chosen through the file dialog. Each closes the window once done.
// With no printer at all the two print buttons say "Nessuna stampante disponibile" and the
// window stays, so the document can still be saved as PDF.
class ReportPreview : public QWidget {
    Q_OBJECT
  public:
    ReportPreview(std::shared_ptr<const ReportDocument> document, Dialogs& dialogs, int zoom,
                  QWidget* parent);
    ~ReportPreview() override;

    int pageCount() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void print(std::unique_ptr<QPrinter> printer);
    void savePdf();

    std::shared_ptr<const ReportDocument> m_document;
    Dialogs& m_dialogs;
    PageView* m_view = nullptr;
};

// The printer the operator picks in the system's print dialog; null when cancelled or when
// the system has no printer (said plainly through `dialogs`).
std::unique_ptr<QPrinter> ChoosePrinter(Dialogs& dialogs, QWidget* parent);

// The sink of the running program: it collects the document and, on close, shows it in the
// preview (through `showPreview`) or prints it on the printer chosen when it was opened.
class QtReportSink : public ReportSink {
  public:
    using ShowPreview = std::function<void(std::shared_ptr<const ReportDocument>)>;
    QtReportSink(Dialogs& dialogs, QWidget* dialogParent, ShowPreview showPreview);
    ~QtReportSink() override;

    bool open(bool preview, const std::string& font, int size) override;
    void line(const std::string& text) override;
    void newPage() override;
    void close() override;

  private:
    Dialogs& m_dialogs;
    QWidget* m_dialogParent;
    ShowPreview m_showPreview;
    std::shared_ptr<ReportDocument> m_document;
    std::unique_ptr<QPrinter> m_printer;  // when printing without preview
};

// A document written to a PDF file when it closes; a file that cannot be written is said
// plainly through `dialogs`.
class PdfReportSink : public ReportSink {
  public:
    PdfReportSink(Dialogs& dialogs, std::string path);
    bool open(bool preview, const std::string& font, int size) override;
    void line(const std::string& text) override;
    void newPage() override;
    void close() override;

  private:
    Dialogs& m_dialogs;
    std::string m_path;
    ReportDocument m_document;
};

}  // namespace zelvo
