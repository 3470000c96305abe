// A receipt printed end to end through the print system, to its PDF printer.
#include "Dy58Unit.h"
#include "Forms.h"
#include "MainUnit.h"
#include "Pdf.h"
#include "Startup.h"
#include "TestEnv.h"

#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QTransform>
#include <cmath>
#include <vector>

namespace {

// The directory the PDF printer writes to (scripts/start-cups sets it up).
const char *kOutput = "/var/spool/cups-pdf/ANONYMOUS";

bool pdfPrinterIsDefault() {
    QProcess p;
    p.start(QStringLiteral("lpstat"), {QStringLiteral("-d")});
    return p.waitForFinished(10000) && p.readAllStandardOutput().contains(": PDF");
}

// The first page of a PDF as an image, 100 dots per inch.
QImage pageImage(const QString &pdf, const QString &prefix) {
    runProgram(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-f"),
                QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
}

// How much ink each row (or column) of a page holds.
std::vector<double> inkProfile(const QImage &page, bool rows) {
    std::vector<double> profile(size_t(rows ? page.height() : page.width()), 0.0);
    for (int y = 0; y < page.height(); ++y) {
        const uchar *line = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x)
            profile[size_t(rows ? y : x)] += (255 - line[x]) / 255.0;
    }
    return profile;
}

// The best correlation of two ink profiles when one is shifted by a few pixels: near 1
// when the same lines of text stand at the same places.
double profileMatch(const std::vector<double> &a, const std::vector<double> &b) {
    double best = -1;
    for (int shift = -6; shift <= 6; ++shift) {
        double ab = 0, aa = 0, bb = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            const long j = long(i) + shift;
            const double x = a[i];
            const double y = j >= 0 && size_t(j) < b.size() ? b[size_t(j)] : 0.0;
            ab += x * y;
            aa += x * x;
            bb += y * y;
        }
        if (aa > 0 && bb > 0)
            best = std::max(best, ab / std::sqrt(aa * bb));
    }
    return best;
}

class CupsPrint : public FormsTest {};

TEST_F(CupsPrint, ReceiptReachesThePdfPrinter) {
    if (!pdfPrinterIsDefault())
        GTEST_SKIP() << "no print system with the PDF printer as default (scripts/start-cups)";
    const QDir out(QString::fromLatin1(kOutput));
    const QStringList before = out.entryList({QStringLiteral("*.pdf")}, QDir::Files);

    TMainForm *main = forms().main;
    main->show();
    main->CheckBox3->setChecked(false);
    main->CheckBox2->setChecked(false);
    main->ComboBox6->setEditText(QStringLiteral("王五"));
    main->ComboBox1->setEditText(QStringLiteral("绿茶"));
    main->Edit3->setText(QStringLiteral("8.8"));
    main->Edit4->setText(QStringLiteral("2"));
    QTest::keyClick(main->Edit4, Qt::Key_End);
    QTest::mouseClick(main->SpeedButton2, Qt::LeftButton);
    const QString number = main->Edit1->text();
    QTest::mouseClick(main->SpeedButton6, Qt::LeftButton);
    ASSERT_TRUE(boxes.empty()) << boxTexts().join('|').toStdString();
    EXPECT_EQ(column("SELECT count(*) FROM xstj"), QStringList{"1"});

    QString produced;
    const QDateTime until = QDateTime::currentDateTime().addSecs(60);
    while (produced.isEmpty() && QDateTime::currentDateTime() < until) {
        for (const QString &f : out.entryList({QStringLiteral("*.pdf")}, QDir::Files)) {
            if (!before.contains(f))
                produced = out.filePath(f);
        }
        QThread::msleep(200);
    }
    ASSERT_FALSE(produced.isEmpty()) << "no PDF from the print system";
    QThread::msleep(500); // let the printer finish writing
    const Pdf pdf = readPdf(produced);
    ASSERT_GE(pdf.sizes.size(), 1);
    // 58 mm wide; 17 × 0 + 300 + 25 × 1 = 325 layout pixels long (86 mm).
    EXPECT_NEAR(pdf.sizes[0].width() * 25.4 / 72, 57.94, 1.0);
    EXPECT_NEAR(pdf.sizes[0].height() * 25.4 / 72, 325 * 25.4 / 96, 1.0);

    // The print system turns the text into pictures of glyphs, so compare what the page
    // looks like with the same receipt written straight to a PDF file.
    const QString direct = path(QStringLiteral("direct.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(direct);
        forms().dy58->QuickRep1.print(printer);
    }
    const Pdf expected = readPdf(direct);
    for (const QString &part : {QStringLiteral("王五"), QStringLiteral("绿茶"),
                                QStringLiteral("8.80"), QStringLiteral("17.6"), number})
        EXPECT_TRUE(expected.all().contains(part)) << part.toStdString();
    const QImage printed = pageImage(produced, path(QStringLiteral("printed")));
    const QImage wanted = pageImage(direct, path(QStringLiteral("wanted")));
    ASSERT_FALSE(printed.isNull());
    ASSERT_FALSE(wanted.isNull());
    EXPECT_NEAR(printed.width(), wanted.width(), 2);
    EXPECT_NEAR(printed.height(), wanted.height(), 2);
    EXPECT_GT(profileMatch(inkProfile(printed, true), inkProfile(wanted, true)), 0.8);
    EXPECT_GT(profileMatch(inkProfile(printed, false), inkProfile(wanted, false)), 0.8);
    // And a different receipt does not match: the comparison sees what is printed.
    const QImage other = printed.transformed(QTransform().scale(1, -1));
    EXPECT_LT(profileMatch(inkProfile(other, true), inkProfile(wanted, true)), 0.8);
}

} // namespace
