// The general journal as the operator keeps it on file: printed from STGC to the preview and
// saved as PDF, its pages hold the report's own page breaks and its fixed-pitch columns.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include "app/ProgramScreens.h"
#include "posting/YearFixture.h"
#include "ui/GenericScreen.h"
#include "ui/MainWindow.h"

namespace zelvo {
namespace {

QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    EXPECT_TRUE(p.waitForFinished()) << program.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 160;
}

// The rows of the image that hold ink, grouped in runs of adjacent rows: the printed lines.
std::vector<std::pair<int, int>> inkBands(const QImage& image) {
    std::vector<std::pair<int, int>> bands;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x) {
            ink = dark(image, x, y);
        }
        if (ink && !bands.empty() && bands.back().second == y - 1) {
            bands.back().second = y;
        } else if (ink) {
            bands.emplace_back(y, y);
        }
    }
    return bands;
}

TEST(GeneralJournalPdfTest, TheSavedJournalKeepsItsPagesRulesAndColumns) {
    test::TempDir dir;
    test::Year year(dir.prefix());
    Session& session = year.session();
    // Three registrations of two lines: the third line is the last on the first page (the
    // nine heading lines, the rules and two movements pass 14 only with it).
    PostingEngine engine(session);
    for (const char* date : {"02/03/2026", "03/03/2026", "04/03/2026"}) {
        ASSERT_NE(engine.post(test::Movement(date, {{"00011", 1000, 0}, {"00015", 0, 1000}})), 0);
    }
    session.values().print.linesPerPage = 14;

    MainWindow main(session, ProgramScreens());
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    main.openScreen("STGC");
    QApplication::processEvents();
    GenericScreen* stgc = main.screen("STGC");
    ASSERT_NE(stgc, nullptr);
    static_cast<QLineEdit*>(stgc->control("text1"))->setText("01/03/2026");
    static_cast<QLineEdit*>(stgc->control("text2"))->setText("31/03/2026");
    static_cast<QCheckBox*>(stgc->control("Check2"))->setChecked(true);
    static_cast<QAbstractButton*>(stgc->control("Command1"))->click();
    QApplication::processEvents();
    QWidget* preview = main.activeScreen();
    ASSERT_EQ(preview->objectName(), "ANTEP");
    const std::string pdfPath = (dir.path() / "giornale.pdf").string();
    year.dialogs.queueFile(pdfPath);
    preview->findChild<QAbstractButton*>("Command4")->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(year.dialogs.boxes().empty());
    const QString pdf = QString::fromStdString(pdfPath);

    EXPECT_TRUE(run("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+3\\n")));
    // Line 3 closes the first page; line 4 opens the second under the heading again.
    const QString first = run("pdftotext", {"-layout", "-f", "1", "-l", "1", pdf, "-"});
    const QString second = run("pdftotext", {"-layout", "-f", "2", "-l", "2", pdf, "-"});
    EXPECT_TRUE(first.contains("0000003 03/03/2026")) << first.toStdString();
    EXPECT_FALSE(first.contains("0000004"));
    EXPECT_TRUE(second.contains("GIORNALE CONTABILITA'"));
    EXPECT_TRUE(second.contains(
        QRegularExpression("^\\s*0000004 03/03/2026", QRegularExpression::MultilineOption)))
        << second.toStdString();

    const QString prefix = QString::fromStdString((dir.path() / "pagina").string());
    ASSERT_EQ(
        QProcess::execute("pdftoppm", {"-png", "-r", "100", "-f", "1", "-l", "1", pdf, prefix}), 0);
    const QStringList pngs =
        QDir(QString::fromStdString(dir.path().string())).entryList({"pagina*.png"}, QDir::Files);
    ASSERT_EQ(pngs.size(), 1);
    const QImage page(QString::fromStdString(dir.path().string()) + "/" + pngs.first());
    ASSERT_FALSE(page.isNull());

    const auto bands = inkBands(page);
    ASSERT_GE(bands.size(), 2U);
    // The page's ink spans the 97 columns; the first line, the overline rule, spans them
    // all as one thin stroke (a missing glyph would leave it blank, a substitute box tall).
    int left = page.width();
    int right = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (dark(page, x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    const auto [top, bottom] = bands[0];
    EXPECT_LE(bottom - top, 3);
    int covered = 0;
    for (int x = left; x <= right; ++x) {
        for (int y = top; y <= bottom; ++y) {
            if (dark(page, x, y)) {
                ++covered;
                break;
            }
        }
    }
    EXPECT_GT(covered, (right - left + 1) * 9 / 10);
    // The title starts after its 37 blanks in columns as wide as the page's 97 make them: a
    // font drawn wider than the layout asked would push it right and clip the line ends.
    const double column = (right - left + 1) / 97.0;
    int titleLeft = page.width();
    for (int y = bands[1].first; y <= bands[1].second; ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (dark(page, x, y)) {
                titleLeft = std::min(titleLeft, x);
                break;
            }
        }
    }
    EXPECT_NEAR(titleLeft - left, 37 * column, column);
}

}  // namespace
}  // namespace zelvo
