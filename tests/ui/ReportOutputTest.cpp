// The report channel on the Qt side: PDF pages, the page geometry, the preview window and
// the program's way from a report screen to the preview.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>

#include "app/Installation.h"
#include "app/ProgramScreens.h"
#include "session/ReportSink.h"
#include "support/TempDir.h"
#include "ui/GenericScreen.h"
#include "ui/MainWindow.h"
#include "ui/ReportPages.h"
#include "ui/ReportPreview.h"

namespace zelvo {
namespace {

// `pages` pages of `lines` lines each, every line a full 97-column row of text.
ReportDocument document(int pages, int lines, int size = 10) {
    ReportDocument d;
    d.setFont("Courier New", size);
    for (int p = 1; p <= pages; ++p) {
        if (p > 1) {
            d.newPage();
        }
        for (int l = 1; l <= lines; ++l) {
            d.line(l == 1 ? "Pag. " + std::to_string(p) : Rule('-'));
        }
    }
    return d;
}

bool hasDarkPixels(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                return true;
            }
        }
    }
    return false;
}

// The first page as the preview paints it, at `scale` pixels per point.
QImage paintFirstPage(const ReportDocument& d, const PageLayout& layout, double scale) {
    QImage image(static_cast<int>(PageLayout::kPaperWidth * scale),
                 static_cast<int>(PageLayout::kPaperHeight * scale), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.scale(scale, scale);
        PaintPage(p, layout, d, 0);
    }
    return image;
}

TEST(ReportPagesTest, TheReportWidthAndTheLongestPageFitOnTheSheet) {
    // At its own size a 10-point font is a little too wide for 97 columns between the
    // margins: it shrinks just enough for them to fit.
    PageLayout normal = PageLayout::of(document(2, 60, 10));
    QFont probe = normal.font;
    probe.setPixelSize(1000);
    const double advance = QFontMetricsF(probe).horizontalAdvance(QLatin1Char('M')) / 1000;
    EXPECT_LT(normal.em, 10);
    EXPECT_NEAR(97 * advance * normal.em, normal.content.width(), 0.01);

    // A page far longer than the font allows keeps all its lines: the spacing gives way.
    PageLayout longPage = PageLayout::of(document(2, 150, 10));
    EXPECT_LE(150 * longPage.pitch, longPage.content.height() + 0.01);
    EXPECT_LT(longPage.em, normal.em);

    // A small font is left alone.
    EXPECT_DOUBLE_EQ(PageLayout::of(document(1, 60, 8)).em, 8);
}

TEST(ReportPagesTest, LinesLongerThanThePageAreClippedNotWrapped) {
    ReportDocument d;
    d.setFont("Courier New", 10);
    d.line(std::string(300, 'M'));
    d.line("");
    d.line("X");
    ASSERT_EQ(d.pageCount(), 1);
    const PageLayout layout = PageLayout::of(d);

    constexpr double kScale = 2;  // pixels per point
    const QImage image = paintFirstPage(d, layout, kScale);
    auto px = [](double points) { return static_cast<int>(points * kScale); };
    const int firstTop = px(layout.content.top());
    const int firstBottom = px(layout.content.top() + layout.pitch) - 1;
    // The long line runs to the right margin and stops there.
    EXPECT_TRUE(hasDarkPixels(image, QRect(QPoint(px(layout.content.right()) - 10, firstTop),
                                           QPoint(px(layout.content.right()) - 1, firstBottom))));
    EXPECT_FALSE(hasDarkPixels(image, QRect(QPoint(px(layout.content.right()) + 1, 0),
                                            QPoint(image.width() - 1, image.height() - 1))));
    // Nothing of it spills onto the empty second line.
    EXPECT_FALSE(hasDarkPixels(
        image, QRect(QPoint(0, firstBottom + 3),
                     QPoint(image.width() - 1, px(layout.content.top() + 2 * layout.pitch) - 1))));
}

TEST(ReportPagesTest, EveryCharacterFallsInItsColumnWhicheverWayThePageIsDrawn) {
    // Pages the face can draw are placed glyph by glyph; a page with a character it lacks is
    // drawn as text. Either way a report's columns must stay where the report put them.
    for (const char* first : {"X", "\xe4\xb8\xad"}) {
        ReportDocument d;
        d.setFont("Courier New", 10);
        d.line(std::string(first) + "        Y");
        const PageLayout layout = PageLayout::of(d);
        constexpr double kScale = 3;
        const QImage image = paintFirstPage(d, layout, kScale);
        auto column = [&](int c) {
            const double left = layout.content.left() + c * layout.advance;
            return QRect(QPoint(static_cast<int>(left * kScale) + 1,
                                static_cast<int>(layout.content.top() * kScale)),
                         QPoint(static_cast<int>((left + layout.advance) * kScale) - 2,
                                static_cast<int>((layout.content.top() + layout.pitch) * kScale)));
        };
        SCOPED_TRACE(first);
        EXPECT_TRUE(hasDarkPixels(image, column(0)));
        EXPECT_FALSE(hasDarkPixels(image, column(5)));
        EXPECT_TRUE(hasDarkPixels(image, column(9)));
        EXPECT_FALSE(hasDarkPixels(image, column(10)));
    }
}

// The program around a report screen: an installation, the main window and its registry.
class ReportPreviewTest : public ::testing::Test {
  protected:
    ReportPreviewTest() : session(dialogs, clock) {
        session.setDataDirectory(dir.prefix());
        session.values().print.zoom = "75";
    }
    void SetUp() override {
        ASSERT_EQ(CreateInstallation(session, "2026"), InstallOutcome::Installed);
        main = std::make_unique<MainWindow>(session, ProgramScreens());
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    }
    void TearDown() override { main.reset(); }

    GenericScreen* openList() {
        main->openScreen("STAZ");
        QApplication::processEvents();
        return main->screen("STAZ");
    }
    QWidget* preview() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == "ANTEP" && w->isVisible()) {
                return w;
            }
        }
        return nullptr;
    }
    template <typename T>
    T* in(QWidget* w, const char* name) {
        return w->findChild<T*>(name);
    }

    test::TempDir dir;
    ScriptedDialogs dialogs;
    FixedClock clock{"15/03/2026"};
    Session session;
    std::unique_ptr<MainWindow> main;
};

TEST_F(ReportPreviewTest, APreviewedReportOpensOnItsFirstPageAtTheConfiguredZoom) {
    // AB and AC run the first page past its five lines; the total goes on the second.
    session.values().print.linesPerPage = 5;
    GenericScreen* list = openList();
    ASSERT_NE(list, nullptr);
    static_cast<QCheckBox*>(list->control("Check2"))->setChecked(true);
    static_cast<QAbstractButton*>(list->control("Command1"))->click();
    QApplication::processEvents();

    QWidget* antep = preview();
    ASSERT_NE(antep, nullptr);
    EXPECT_EQ(antep->windowTitle(), "Anteprima di stampa");
    EXPECT_EQ(main->activeScreen(), antep);
    EXPECT_EQ(in<QSpinBox>(antep, "Spin1")->value(), 1);
    EXPECT_EQ(in<QSpinBox>(antep, "Spin1")->maximum(), 2);
    EXPECT_EQ(in<QLabel>(antep, "Label1")->text(), "di 2");
    EXPECT_EQ(in<QSpinBox>(antep, "Spin2")->value(), 75);

    QPointer<QWidget> guard(antep);
    in<QAbstractButton>(antep, "Command3")->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(main->activeScreen(), list);
}

TEST_F(ReportPreviewTest, WithNoPrinterPrintingSaysSoAndTheDocumentCanStillBeSaved) {
    GenericScreen* list = openList();
    ASSERT_NE(list, nullptr);
    // Straight to the printer: this machine has none.
    static_cast<QAbstractButton*>(list->control("Command1"))->click();
    ASSERT_EQ(dialogs.boxes().size(), 1U);
    EXPECT_EQ(dialogs.boxes()[0].text, "Nessuna stampante disponibile");
    EXPECT_EQ(preview(), nullptr);

    static_cast<QCheckBox*>(list->control("Check2"))->setChecked(true);
    static_cast<QAbstractButton*>(list->control("Command1"))->click();
    QWidget* antep = preview();
    ASSERT_NE(antep, nullptr);
    in<QAbstractButton>(antep, "Command1")->click();
    EXPECT_EQ(dialogs.boxes().size(), 2U);
    EXPECT_EQ(preview(), antep);  // still there

    const std::string pdf = (dir.path() / "elenco.pdf").string();
    dialogs.queueFile(pdf);
    in<QAbstractButton>(antep, "Command4")->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(preview(), nullptr);
    EXPECT_TRUE(std::filesystem::file_size(pdf) > 0);
}

TEST_F(ReportPreviewTest, AReportKeptAsPdfIsWrittenWhenItClosesWithItsPages) {
    const std::string pdf = (dir.path() / "elenco.pdf").string();
    std::unique_ptr<ReportSink> sink = main->openPdfReport(pdf);
    ASSERT_TRUE(sink->open(false, "Courier New", 10));
    sink->line("uno");
    sink->newPage();
    sink->line("due");
    sink->close();
    EXPECT_EQ(preview(), nullptr);
    QProcess info;
    info.start("pdfinfo", {QString::fromStdString(pdf)});
    ASSERT_TRUE(info.waitForFinished());
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QRegularExpression("Pages:\\s+2\\n")));

    const std::string nowhere = (dir.path() / "no" / "elenco.pdf").string();
    sink = main->openPdfReport(nowhere);
    ASSERT_TRUE(sink->open(false, "Courier New", 10));
    sink->close();
    ASSERT_EQ(dialogs.boxes().size(), 1U);
    EXPECT_EQ(dialogs.boxes()[0].text, "Impossibile scrivere il file " + nowhere);
}

}  // namespace
}  // namespace zelvo
