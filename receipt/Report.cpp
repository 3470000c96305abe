#include "Report.h"

#include "Database.h"
#include "PrintError.h"
#include "PrintQueue.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPaintEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryFile>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace Report {

Printable &Band::add(Printable::Kind kind, const QString &name) {
    printables.push_back(std::make_unique<Printable>(kind, name));
    return *printables.back();
}

int Band::extent() const {
    int bottom = height;
    for (const auto &p : printables) {
        if (p->kind() == Printable::Kind::Lines)
            bottom = std::max(bottom, p->y + p->height);
    }
    return bottom;
}

namespace {

enum class Mode { Print, Design };

// The longest start of `text` that fits into `width` on one line.
QString fittingStart(const QString &text, const QFont &font, double width) {
    const QFontMetricsF metrics(font);
    qsizetype n = text.size();
    while (n > 0 && metrics.horizontalAdvance(text.left(n)) > width) {
        --n;
        if (n > 0 && text.at(n - 1).isHighSurrogate())
            --n;
    }
    return text.left(n);
}

// Draws one line of text at the top of the box.
void drawLine(QPainter &painter, const QString &text, const QFont &font, Qt::Alignment alignment,
              const QRectF &box) {
    if (text.isEmpty())
        return;
    QTextLayout layout(text, font);
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(box.width());
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    layout.draw(&painter, box.topLeft());
}

// Draws a text word-wrapped to the box width: the lines that fit into the box height,
// the first line always.
void drawWrapped(QPainter &painter, const QString &text, const QFont &font, Qt::Alignment alignment,
                 const QRectF &box) {
    if (text.isEmpty())
        return;
    QTextLayout layout(text, font);
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    double y = 0;
    int fitting = 0;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(box.width());
        line.setPosition(QPointF(0, y));
        if (fitting > 0 && y + line.height() > box.height())
            break;
        ++fitting;
        y += line.height();
    }
    layout.endLayout();
    for (int i = 0; i < fitting; ++i)
        layout.lineAt(i).draw(&painter, box.topLeft());
}

QString printedText(const Printable &p, Mode mode) {
    if (p.kind() != Printable::Kind::Field)
        return p.text();
    if (mode == Mode::Design)
        return p.text(); // on screen a field shows its column name
    QString text = p.dataSet ? p.dataSet->fieldText(p.text()) : QString();
    if (p.onPrint)
        p.onPrint(text);
    return text;
}

void drawPrintable(QPainter &painter, const Printable &p, const QPointF &band, double bandWidth,
                   Mode mode) {
    if (p.kind() == Printable::Kind::Lines) {
        const QRectF box(band.x() + p.x, band.y() + p.y, p.width, p.height);
        if (p.opaque && p.height > 0)
            painter.fillRect(box, Qt::white);
        const QStringList lines = p.lines();
        for (int i = 0; i < lines.size(); ++i) {
            if ((i + 1) * p.lineHeight > p.height)
                break;
            const QString text = fittingStart(lines.at(i), p.font, p.width);
            drawLine(painter, text, p.font, p.alignment,
                     QRectF(box.x(), box.y() + i * p.lineHeight, p.width, p.lineHeight));
        }
        return;
    }
    const QString text = printedText(p, mode);
    if (p.width > 0) {
        const QRectF box(band.x() + p.x, band.y() + p.y, p.width, p.height);
        if (p.opaque)
            painter.fillRect(box, Qt::white);
        if (p.wordWrap)
            drawWrapped(painter, text, p.font, p.alignment, box);
        else
            drawLine(painter, fittingStart(text, p.font, p.width), p.font, p.alignment, box);
        return;
    }
    // Sized to its text; a text too long for the rest of the band wraps there.
    const double room = std::max(0.0, bandWidth - p.x);
    const double natural = QFontMetricsF(p.font).horizontalAdvance(text);
    const QRectF box(band.x() + p.x, band.y() + p.y, std::min(natural, room), p.height);
    if (p.opaque && box.width() > 0)
        painter.fillRect(box, Qt::white);
    if (natural <= room)
        drawLine(painter, text, p.font, p.alignment, box);
    else if (p.wordWrap)
        drawWrapped(painter, text, p.font, p.alignment, box);
    else
        drawLine(painter, fittingStart(text, p.font, room), p.font, p.alignment, box);
}

void drawBand(QPainter &painter, const Band &band, const QPointF &at, double bandWidth, Mode mode) {
    for (const auto &p : band.printables)
        drawPrintable(painter, *p, at, bandWidth, mode);
}

} // namespace

BandedReport::BandedReport(QObject *parent) : QObject(parent) {}

BandedReport::~BandedReport() = default;

void BandedReport::setPageLength(int pixels) {
    if (pixels == pageLength_)
        return;
    pageLength_ = pixels;
    emit pageChanged();
}

Printable *BandedReport::find(const QString &name) const {
    for (const Band *band : {&title, &detail, &summary}) {
        for (const auto &p : band->printables) {
            if (p->name() == name)
                return p.get();
        }
    }
    return nullptr;
}

void BandedReport::render(QPainter &painter, const QSizeF &page,
                          const std::function<void()> &newPage) {
    painter.setPen(Qt::black);
    const double top = margins.top();
    const double bottom = page.height() - margins.bottom();
    const double left = margins.left();
    const double width = page.width() - margins.left() - margins.right();
    double y = top;

    // A band goes on a new page when it does not fit into what is left; a band taller
    // than a whole page is printed from the top of a page all the same.
    const auto place = [&](const Band &band) {
        if (y > top && y + band.extent() > bottom) {
            newPage();
            painter.setPen(Qt::black);
            y = top;
        }
        drawBand(painter, band, QPointF(left, y), width, Mode::Print);
        y += band.height;
    };

    if (title.beforePrint)
        title.beforePrint();
    place(title);
    if (dataSet) {
        for (dataSet->first(); !dataSet->eof(); dataSet->next()) {
            if (detail.beforePrint)
                detail.beforePrint();
            place(detail);
        }
    }
    if (summary.beforePrint)
        summary.beforePrint();
    place(summary);
}

void BandedReport::renderDesign(QPainter &painter) {
    painter.fillRect(QRectF(QPointF(0, 0), pageSize()), Qt::white);
    painter.setPen(Qt::black);
    const double width = bandWidth();
    double y = margins.top();
    for (const Band *band : {&title, &detail, &summary}) {
        drawBand(painter, *band, QPointF(margins.left(), y), width, Mode::Design);
        y += band->height;
    }
}

QPageSize BandedReport::pageSizeInMillimetres() const {
    return QPageSize(QSizeF(toMillimetres(pageWidth), toMillimetres(pageLength_)),
                     QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

void BandedReport::renderTo(QPagedPaintDevice &device) {
    paintPages(device, QStringLiteral("打印失败：无法在输出设备上绘制"));
}

void BandedReport::paintPages(QPagedPaintDevice &device, const QString &refusal) {
    // The page is the report's own size; the printer gets it as a custom size in
    // millimetres (it keeps it in whole points).
    device.setPageSize(pageSizeInMillimetres());
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);

    QPainter painter;
    if (!painter.begin(&device))
        throw PrintError(refusal);
    // Layout pixels to device pixels; fonts are given in pixels and scale with it.
    painter.scale(device.logicalDpiX() / pixelsPerInch, device.logicalDpiY() / pixelsPerInch);
    render(painter, pageSize(), [&device] {
        if (!device.newPage())
            throw PrintError(QStringLiteral("打印失败：打印机不接受新的一页"));
    });
    if (!painter.end())
        throw PrintError(QStringLiteral("打印失败：打印任务没有完成"));
}

void BandedReport::print(QPrinter &printer) {
    printer.setFullPage(true);
    printer.setCopyCount(1);
    printer.setDocName(documentName);
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty())
        throw PrintError(QStringLiteral("打印失败：没有可用的打印机"));
    const QString refusal =
        printer.outputFormat() == QPrinter::PdfFormat
            ? QStringLiteral("打印失败：无法写入文件“%1”").arg(printer.outputFileName())
            : QStringLiteral("打印失败：打印机“%1”拒绝了打印任务").arg(printer.printerName());
    paintPages(printer, refusal);
}

namespace {
PrintSink &printSink() {
    static PrintSink sink;
    return sink;
}
} // namespace

void setPrintSink(PrintSink sink) {
    printSink() = std::move(sink);
}

void BandedReport::print() {
    if (printSink()) {
        printSink()(*this);
        return;
    }
    // The system's default printer, asked of the print system directly: a QPrinter
    // would load the printer's whole description first, several times the cost of
    // the rest of the receipt.
    const QString queue = PrintQueue::defaultReady();
    const QPageSize paper = pageSizeInMillimetres();

    // Rendered to a PDF file, which the queue gets as the job: Qt's own hand-over to
    // the print system does not tell when it fails.
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("receipt-XXXXXX.pdf")));
    if (!file.open())
        throw PrintError(
            QStringLiteral("打印失败：无法写入临时文件（%1）").arg(file.errorString()));
    file.close();
    {
        QPdfWriter pdf(file.fileName());
        pdf.setResolution(1200);
        pdf.setTitle(documentName);
        paintPages(pdf, QStringLiteral("打印失败：无法写入临时文件“%1”").arg(file.fileName()));
    }
    PrintQueue::beforeSubmit();
    PrintQueue::submit(queue, file.fileName(), documentName, paper.key());
}

QList<QImage> BandedReport::renderToImages(double scale) {
    const QSize pixels(int(std::ceil(pageWidth * scale)), int(std::ceil(pageLength_ * scale)));
    const auto blank = [pixels] {
        QImage image(pixels, QImage::Format_RGB32);
        image.fill(Qt::white);
        return image;
    };
    QList<QImage> pages;
    QImage current = blank();
    QPainter painter(&current);
    painter.scale(scale, scale);
    render(painter, pageSize(), [&] {
        painter.end();
        pages.append(current);
        current = blank();
        painter.begin(&current);
        painter.scale(scale, scale);
    });
    painter.end();
    pages.append(current);
    return pages;
}

View::View(BandedReport *report, QWidget *parent) : QWidget(parent), report_(report) {
    setFixedSize(report->pageSize().toSize());
    connect(report, &BandedReport::pageChanged, this, [this] {
        setFixedSize(report_->pageSize().toSize());
        update();
    });
}

void View::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    report_->renderDesign(painter);
}

} // namespace Report
