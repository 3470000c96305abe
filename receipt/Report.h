#pragma once

#include <QFont>
#include <QImage>
#include <QList>
#include <QMarginsF>
#include <QObject>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QPrinter;
class Query;

// A small banded report: a title band printed once at the top of the first page, a
// detail band printed once for every row of a data set, and a summary band printed
// once after the last row. Everything is laid out in layout pixels of 1/96 inch; x
// is measured from the band's left edge (the left page margin), y from the band's top.
namespace Report {

constexpr double pixelsPerInch = 96.0;
constexpr double millimetresPerInch = 25.4;
constexpr double toMillimetres(double pixels) {
    return pixels * millimetresPerInch / pixelsPerInch;
}
constexpr double toPixels(double millimetres) {
    return millimetres * pixelsPerInch / millimetresPerInch;
}

// One thing printed in a band.
class Printable {
public:
    enum class Kind {
        Label, // a fixed text, or a value label whose text is written before printing
        Field, // a column of the current row of a data set
        Lines, // a block of lines one under the other, each `lineHeight` high
    };

    Printable(Kind kind, const QString &name) : kind_(kind), name_(name) {}

    Kind kind() const { return kind_; }
    QString name() const { return name_; }

    // A label's text; a field's column name.
    void setText(const QString &text) { text_ = text; }
    QString text() const { return text_; }

    // The lines of a lines block.
    void setLines(const QStringList &lines) { lines_ = lines; }
    QStringList lines() const { return lines_; }

    int x = 0;
    int y = 0;
    int width = 0; // 0: as wide as its text, at most up to the band's right edge
    int height = 15;
    int lineHeight = 17; // lines block only
    QFont font;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool opaque = false;  // drawn on a white box instead of on what lies under it
    bool wordWrap = true; // false: a single line, ending with the last character that fits

    // Field only: the data set read, and a hook that may replace the printed text.
    Query *dataSet = nullptr;
    std::function<void(QString &)> onPrint;

private:
    Kind kind_;
    QString name_;
    QString text_;
    QStringList lines_;
};

// A band: its height and printables, drawn in the order they were added.
struct Band {
    int height = 0;
    std::vector<std::unique_ptr<Printable>> printables;
    // Runs before the band prints (not in the design shown on screen).
    std::function<void()> beforePrint;

    Printable &add(Printable::Kind kind, const QString &name);
    // The height the band takes on the page: its own, or more where a lines block
    // reaches below it.
    int extent() const;
};

class BandedReport : public QObject {
    Q_OBJECT
public:
    explicit BandedReport(QObject *parent = nullptr);
    ~BandedReport() override;

    Band title;
    Band detail;
    Band summary;
    // The rows of the detail band, walked from the first to the last.
    Query *dataSet = nullptr;

    // Page geometry in layout pixels. The length changes before printing; the width
    // and the margins are those of the design.
    int pageWidth = 0;
    QMarginsF margins;
    void setPageLength(int pixels);
    int pageLength() const { return pageLength_; }
    QSizeF pageSize() const { return QSizeF(pageWidth, pageLength_); }
    double bandWidth() const { return pageWidth - margins.left() - margins.right(); }

    // The printable of that component name in any band, or null.
    Printable *find(const QString &name) const;

    // Prints the report on a painter in layout pixels, on pages of the given size: the
    // title band at the top margin of the first page, the detail band once for every
    // row, the summary band after the last row. A band that does not fit into what is
    // left of a page goes to a new page of the same size; `newPage` is called before
    // each further page. The title band is not repeated.
    void render(QPainter &painter, const QSizeF &page, const std::function<void()> &newPage);

    // The design as the report window shows it: a white page, the bands one under the
    // other, the detail band once with its fields shown by their column names, the
    // labels and lines blocks with what they hold now. No handler runs.
    void renderDesign(QPainter &painter);

    // Prints on a paged device: the page size becomes the report's page size (custom,
    // in millimetres), the margins zero, one page after the other. A device that
    // refuses the painter or a page throws PrintError.
    void renderTo(QPagedPaintDevice &device);
    // The same on a printer, full page, one copy.
    void print(QPrinter &printer);
    // One print job of one copy on the system's default printer, without a dialog.
    // Throws PrintError when there is no printer or it refuses the job.
    void print();
    // The pages as images, `scale` device pixels per layout pixel, on white.
    QList<QImage> renderToImages(double scale = 1.0);

    // The name the print job carries.
    QString documentName;

signals:
    // The page size changed (the window showing the design follows it).
    void pageChanged();

private:
    void paintPages(QPagedPaintDevice &device, const QString &refusal);
    // The page as a printer gets it: a custom size in millimetres.
    QPageSize pageSizeInMillimetres() const;

    int pageLength_ = 0;
};

// Where print() sends its jobs: the system's default printer, or a function that takes
// each job instead (tests, benchmarks). An empty function restores the printer.
using PrintSink = std::function<void(BandedReport &)>;
void setPrintSink(PrintSink sink);

// Shows the design of a report (renderDesign) at the report's page size.
class View : public QWidget {
public:
    View(BandedReport *report, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    BandedReport *report_;
};

} // namespace Report
