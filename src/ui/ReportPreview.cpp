#include "ui/ReportPreview.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zelvo {

namespace {

constexpr const char* kNoPrinter = "Nessuna stampante disponibile";

// The document as a PDF file; a file that cannot be written is said to the operator.
bool WriteOrSay(const ReportDocument& document, const std::string& path, Dialogs& dialogs) {
    if (!WritePdf(document, QString::fromStdString(path))) {
        dialogs.message("Impossibile scrivere il file " + path, "", Icon::Exclamation);
        return false;
    }
    return true;
}

bool noPrinter(Dialogs& dialogs) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
        return false;
    }
    dialogs.message(kNoPrinter, "", Icon::Exclamation);
    return true;
}

std::unique_ptr<QPrinter> defaultPrinter(Dialogs& dialogs) {
    if (noPrinter(dialogs)) {
        return nullptr;
    }
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        // Printers but none marked as the default: the first one serves.
        info = QPrinterInfo::printerInfo(QPrinterInfo::availablePrinterNames().constFirst());
    }
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

}  // namespace

// One page of the document on white paper, at the preview's zoom; only the page shown is
// ever drawn.
class PageView : public QWidget {
  public:
    PageView(const ReportDocument& document, QWidget* parent)
        : QWidget(parent), m_document(document), m_layout(PageLayout::of(document)) {}

    void show(int page, int zoom) {
        m_page = page;
        m_scale = logicalDpiX() / 72.0 * zoom / 100.0;
        setFixedSize(static_cast<int>(PageLayout::kPaperWidth * m_scale),
                     static_cast<int>(PageLayout::kPaperHeight * m_scale));
        update();
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.scale(m_scale, m_scale);
        PaintPage(p, m_layout, m_document, m_page);
    }

  private:
    const ReportDocument& m_document;
    const PageLayout m_layout;
    int m_page = 0;
    double m_scale = 1;
};

ReportPreview::ReportPreview(std::shared_ptr<const ReportDocument> document, Dialogs& dialogs,
                             int zoom, QWidget* parent)
    : QWidget(parent, Qt::Window), m_document(std::move(document)), m_dialogs(dialogs) {
    setObjectName("ANTEP");
    setWindowTitle("Anteprima di stampa");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* page = new QSpinBox(this);
    page->setObjectName("Spin1");
    page->setRange(1, pageCount());
    auto* pageLabel = new QLabel("Pagina", this);
    pageLabel->setBuddy(page);
    auto* of = new QLabel(QStringLiteral("di %1").arg(pageCount()), this);
    of->setObjectName("Label1");
    auto* zoomBox = new QSpinBox(this);
    zoomBox->setObjectName("Spin2");
    zoomBox->setRange(10, 400);
    zoomBox->setSingleStep(10);
    zoomBox->setSuffix(" %");
    zoomBox->setValue(zoom);
    auto* zoomLabel = new QLabel("Zoom", this);
    zoomLabel->setBuddy(zoomBox);

    auto* bar = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{pageLabel, page, of, zoomLabel, zoomBox}) {
        bar->addWidget(w);
    }
    bar->addStretch(1);
    auto button = [this, bar](const char* name, const char* caption, auto action) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, action);
        bar->addWidget(b);
    };
    button("Command1", "&Stampa", [this] { print(defaultPrinter(m_dialogs)); });
    button("Command2", "S&tampante", [this] { print(ChoosePrinter(m_dialogs, this)); });
    button("Command4", "Salva &PDF", [this] { savePdf(); });
    button("Command3", "&Annulla", [this] { close(); });

    m_view = new PageView(*m_document, this);
    auto* scroll = new QScrollArea(this);
    scroll->setBackgroundRole(QPalette::Dark);
    scroll->setAlignment(Qt::AlignHCenter);
    scroll->setWidget(m_view);

    auto* box = new QVBoxLayout(this);
    box->addLayout(bar);
    box->addWidget(scroll, 1);

    auto refresh = [this, page, zoomBox] { m_view->show(page->value() - 1, zoomBox->value()); };
    connect(page, &QSpinBox::valueChanged, this, refresh);
    connect(zoomBox, &QSpinBox::valueChanged, this, refresh);
    refresh();
    resize(900, 760);
}

ReportPreview::~ReportPreview() = default;

int ReportPreview::pageCount() const {
    return m_document->pageCount();
}

void ReportPreview::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ReportPreview::print(std::unique_ptr<QPrinter> printer) {
    // No printer, or the operator thought better of it: the document stays on screen.
    if (printer == nullptr) {
        return;
    }
    if (!PrintDocument(*m_document, *printer)) {
        m_dialogs.message("Stampa non riuscita", "", Icon::Exclamation);
        return;
    }
    close();
}

void ReportPreview::savePdf() {
    std::optional<std::string> path =
        m_dialogs.chooseFile({"Salva PDF", "PDF (*.pdf)|*.pdf", "", true});
    if (!path) {
        return;
    }
    if (!WriteOrSay(*m_document, *path, m_dialogs)) {
        return;
    }
    close();
}

std::unique_ptr<QPrinter> ChoosePrinter(Dialogs& dialogs, QWidget* parent) {
    std::unique_ptr<QPrinter> printer = defaultPrinter(dialogs);
    if (printer == nullptr) {
        return nullptr;
    }
    // The system's own dialog: like a message box, it waits for the operator.
    QPrintDialog dialog(printer.get(), parent);
    if (dialog.exec() != QDialog::Accepted) {
        return nullptr;
    }
    return printer;
}

QtReportSink::QtReportSink(Dialogs& dialogs, QWidget* dialogParent, ShowPreview showPreview)
    : m_dialogs(dialogs), m_dialogParent(dialogParent), m_showPreview(std::move(showPreview)) {}

QtReportSink::~QtReportSink() = default;

bool QtReportSink::open(bool preview, const std::string& font, int size) {
    if (!preview) {
        // The printer is chosen before the report runs, so cancelling costs nothing.
        m_printer = ChoosePrinter(m_dialogs, m_dialogParent);
        if (m_printer == nullptr) {
            return false;
        }
    }
    m_document = std::make_shared<ReportDocument>();
    m_document->setFont(font, size);
    return true;
}

void QtReportSink::line(const std::string& text) {
    m_document->line(text);
}

void QtReportSink::newPage() {
    m_document->newPage();
}

void QtReportSink::close() {
    if (m_printer != nullptr) {
        if (!PrintDocument(*m_document, *m_printer)) {
            m_dialogs.message("Stampa non riuscita", "", Icon::Exclamation);
        }
        m_printer.reset();
    } else if (m_showPreview) {
        m_showPreview(std::move(m_document));
    }
    m_document.reset();
}

PdfReportSink::PdfReportSink(Dialogs& dialogs, std::string path)
    : m_dialogs(dialogs), m_path(std::move(path)) {}

bool PdfReportSink::open(bool, const std::string& font, int size) {
    m_document = ReportDocument();
    m_document.setFont(font, size);
    return true;
}

void PdfReportSink::line(const std::string& text) {
    m_document.line(text);
}

void PdfReportSink::newPage() {
    m_document.newPage();
}

void PdfReportSink::close() {
    WriteOrSay(m_document, m_path, m_dialogs);
}

}  // namespace zelvo
