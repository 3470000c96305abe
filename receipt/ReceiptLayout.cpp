#include "ReceiptLayout.h"

#include "Numbers.h"

#include <QPoint>
#include <QTextLayout>
#include <array>

int pageLength(int remarkLines, int base, int saleRows) {
    return remarkLineHeight * remarkLines + base + pixelsPerSaleRow * saleRows;
}

QFont remarkMemoFont() {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN")});
    font.setPixelSize(13);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QStringList remarkLines(const QString &text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList paragraphs = plain.split(QLatin1Char('\n'));
    // The piece after a final line break is no line; so is the empty text.
    if (paragraphs.last().isEmpty())
        paragraphs.removeLast();

    const QFont font = remarkMemoFont();
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QStringList lines;
    for (const QString &paragraph : paragraphs) {
        if (paragraph.isEmpty()) {
            lines.append(QString());
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(remarkMemoTextWidth);
            lines.append(paragraph.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
    }
    return lines;
}

int remarkLineCount(const QString &text) {
    return int(remarkLines(text).size());
}

QString receiptNumberText(const QString &fieldText) {
    long double value = 0;
    try {
        value = readNumber(fieldText);
    } catch (const ConversionError &) {
        // An empty or non-numeric field prints as zero: that is the field's printed
        // form, not a failure.
        value = 0;
    }
    return formatFloat(QStringLiteral("0.00"), value);
}

QFont receiptTextFont(ReceiptWidth width) {
    QFont font;
    font.setFamilies({QStringLiteral("方正兰亭刊黑_GBK"), QStringLiteral("WenQuanYi Zen Hei")});
    font.setPixelSize(width == ReceiptWidth::Mm58 ? 11 : 12);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QFont receiptRuleFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(13);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

namespace {

using Report::Printable;
using Kind = Report::Printable::Kind;

// y of the title lines of a variant; -1 where the variant has no such line.
struct TitleLines {
    int height;
    int shop;
    int number;
    int time;
    int customer;
    int phone;
    int rule;
    int heads;
};

// y of the summary lines of a variant.
struct SummaryLines {
    int height;
    int totals;
    int due;
    int paid;
    int change;
    int rule;
    int remarks;
};

// Everything in which the two forms differ, and the lines of their three variants.
struct FormLayout {
    int pageWidth;
    std::array<int, 3> designedLength;
    int textPixels;
    int promptWidth; // "单号：", "时间：", "客户：", "电话："
    int ruleX;
    QString splitRule;
    int splitRuleWidth;
    QString fullRule;
    int fullRuleWidth;
    int cashierPromptX;
    int cashierValueX;
    std::array<int, 4> headX; // 品名, 单价, 数量, 金额
    int detailHeight;
    int nameX;
    int nameY;
    bool nameOpaque;
    int numbersY;
    std::array<int, 3> numberX; // 单价, 数量, 金额
    int totalPromptX;
    bool totalPromptOpaque;
    int totalQuantityX;
    int totalAmountX;
    int summaryPromptX;
    int summaryValueX;
    int remarksX;
    int remarksWidth;
    int numberTimeHeight; // "时间：", the receipt number and the time
    int customerHeight;   // the customer and phone lines
    std::array<TitleLines, 3> title;
    std::array<SummaryLines, 3> summary;
    std::array<const char *, 3> dueText; // designed text of the amount-due label
};

QString rule(int dashes, int spaces = 0, int moreDashes = 0) {
    return QString(dashes, QLatin1Char('-')) + QString(spaces, QLatin1Char(' ')) +
           QString(moreDashes, QLatin1Char('-'));
}

// Title, detail and summary lines shared by both forms.
constexpr int titleLineX = 7;    // 店名 and the prompts of the title lines
constexpr int titleValueX = 37;  // receipt number, time, customer, phone
constexpr int textHeight = 15;   // labels and fields unless stated
constexpr int ruleHeight = 17;   // the dashed rules
constexpr int splitRuleY1 = -5;  // the split rule twice, 2 px apart,
constexpr int splitRuleY2 = -3;  // reaching into the top margin
constexpr double sideMargin = 5; // mm
constexpr double endMargin = 10; // mm, top and bottom
constexpr int firstLabel[3] = {1, 24, 49};
constexpr int firstField[3] = {1, 6, 11};

const FormLayout &layoutOf(ReceiptWidth width) {
    static const FormLayout mm58{
        .pageWidth = 219,
        .designedLength = {305, 305, 328},
        .textPixels = 11,
        .promptWidth = 34,
        .ruleX = 0,
        .splitRule = rule(10, 23, 10),
        .splitRuleWidth = 173,
        .fullRule = rule(42),
        .fullRuleWidth = 169,
        .cashierPromptX = 42,
        .cashierValueX = 83,
        .headX = {0, 38, 84, 120},
        .detailHeight = 25,
        .nameX = 0,
        .nameY = 2,
        .nameOpaque = false,
        .numbersY = 13,
        .numberX = {38, 85, 120},
        .totalPromptX = 22,
        .totalPromptOpaque = true,
        .totalQuantityX = 86,
        .totalAmountX = 120,
        .summaryPromptX = 0,
        .summaryValueX = 56,
        .remarksX = 0,
        .remarksWidth = 180,
        .numberTimeHeight = 14,
        .customerHeight = 14,
        //        height shop number time customer phone rule heads
        .title = {{{100, 19, 42, 60, -1, -1, 73, 85},
                   {100, 16, 35, 50, 65, -1, 73, 85},
                   {123, 16, 32, 48, 64, 80, 91, 108}}},
        //          height totals due paid change rule remarks
        .summary = {{{103, 3, 20, 38, 55, 68, 85},
                     {103, 3, 20, 38, 55, 68, 85},
                     {103, 3, 20, 38, 55, 68, 85}}},
        .dueText = {"折后", "折后", "折后"},
    };
    static const FormLayout mm76{
        .pageWidth = 287,
        .designedLength = {310, 320, 320},
        .textPixels = 12,
        .promptWidth = 37,
        .ruleX = 5,
        .splitRule = rule(17, 26, 16),
        .splitRuleWidth = 237,
        .fullRule = rule(59),
        .fullRuleWidth = 237,
        .cashierPromptX = 77,
        .cashierValueX = 125,
        .headX = {7, 67, 121, 173},
        .detailHeight = 30,
        .nameX = 7,
        .nameY = 1,
        .nameOpaque = true,
        .numbersY = 15,
        .numberX = {67, 121, 173},
        .totalPromptX = 31,
        .totalPromptOpaque = false,
        .totalQuantityX = 122,
        .totalAmountX = 172,
        .summaryPromptX = 7,
        .summaryValueX = 68,
        .remarksX = 5,
        .remarksWidth = 240,
        .numberTimeHeight = 15,
        .customerHeight = 17,
        .title = {{{100, 19, 42, 60, -1, -1, 73, 85},
                   {110, 16, 37, 56, 74, -1, 83, 95},
                   {123, 16, 32, 48, 64, 82, 93, 108}}},
        .summary = {{{103, 3, 20, 38, 55, 68, 85},
                     {103, 3, 20, 38, 55, 68, 85},
                     {89, 2, 16, 33, 49, 59, 71}}},
        .dueText = {"折后", "折后", "应收"},
    };
    return width == ReceiptWidth::Mm58 ? mm58 : mm76;
}

// Names the components in the order they are made: labels QRLabel<n>, fields
// QRDBText<n>, each variant numbering on from the one before.
class Namer {
public:
    explicit Namer(int variant)
        : label_(firstLabel[variant]), field_(firstField[variant]), richText_(variant + 1) {}
    QString label() { return QStringLiteral("QRLabel%1").arg(label_++); }
    QString field() { return QStringLiteral("QRDBText%1").arg(field_++); }
    QString richText() { return QStringLiteral("QRRichText%1").arg(richText_); }

private:
    int label_;
    int field_;
    int richText_;
};

} // namespace

QPoint receiptPreviewPosition(ReceiptWidth width) {
    return width == ReceiptWidth::Mm58 ? QPoint(62, 21) : QPoint(22, 21);
}

ReceiptReport::ReceiptReport(ReceiptWidth width, ReceiptVariant variant, Query &lines,
                             Query &printContent, QObject *parent)
    : Report::BandedReport(parent), width_(width), variant_(variant) {
    const int v = int(variant);
    const FormLayout &f = layoutOf(width);
    const TitleLines &t = f.title[size_t(v)];
    const SummaryLines &s = f.summary[size_t(v)];
    const QFont text = receiptTextFont(width);
    const QFont ruleFont = receiptRuleFont();
    Namer names(v);

    pageWidth = f.pageWidth;
    margins = QMarginsF(Report::toPixels(sideMargin), Report::toPixels(endMargin),
                        Report::toPixels(sideMargin), Report::toPixels(endMargin));
    setPageLength(f.designedLength[size_t(v)]);
    dataSet = &lines;
    documentName = QStringLiteral("小票");
    title.height = t.height;
    detail.height = f.detailHeight;
    summary.height = s.height;

    const auto label = [&](Report::Band &band, const QString &caption, int x, int y,
                           int height = textHeight, bool opaque = false) {
        Printable &p = band.add(Kind::Label, names.label());
        p.setText(caption);
        p.x = x;
        p.y = y;
        p.height = height;
        p.font = text;
        p.opaque = opaque;
        return &p;
    };
    const auto field = [&](Report::Band &band, Query &data, const QString &column, int x, int y,
                           bool opaque = false) {
        Printable &p = band.add(Kind::Field, names.field());
        p.setText(column);
        p.dataSet = &data;
        p.x = x;
        p.y = y;
        p.height = textHeight;
        p.font = text;
        p.opaque = opaque;
        return &p;
    };
    const auto dashes = [&](Report::Band &band, const QString &dashText, int width, int y) {
        Printable &p = band.add(Kind::Label, names.label());
        p.setText(dashText);
        p.x = f.ruleX;
        p.y = y;
        p.width = width;
        p.height = ruleHeight;
        p.font = ruleFont;
        p.wordWrap = false;
    };

    // Title band: cashier between the split rules, shop, receipt number, time,
    // customer and phone where the variant has them, full rule, column heads.
    label(title, QStringLiteral("收银员："), f.cashierPromptX, 0);
    parts_.cashier = label(title, QStringLiteral("收银员"), f.cashierValueX, 0);
    label(title, QStringLiteral("单号："), titleLineX, t.number)->width = f.promptWidth;
    parts_.number = label(title, QStringLiteral("单号"), titleValueX, t.number, f.numberTimeHeight);
    label(title, QStringLiteral("时间："), titleLineX, t.time, f.numberTimeHeight)->width =
        f.promptWidth;
    parts_.time = label(title, QStringLiteral("时间"), titleValueX, t.time, f.numberTimeHeight);
    if (t.customer >= 0) {
        label(title, QStringLiteral("客户："), titleLineX, t.customer, f.customerHeight, true)
            ->width = f.promptWidth;
        parts_.customer =
            label(title, QStringLiteral("客户"), titleValueX, t.customer, f.customerHeight, true);
    }
    if (t.phone >= 0) {
        label(title, QStringLiteral("电话："), titleLineX, t.phone, f.customerHeight, true)->width =
            f.promptWidth;
        parts_.phone =
            label(title, QStringLiteral("电话"), titleValueX, t.phone, f.customerHeight, true);
    }
    const std::array<QString, 4> heads = {QStringLiteral("品名"), QStringLiteral("单价"),
                                          QStringLiteral("数量"), QStringLiteral("金额")};
    for (size_t i = 0; i < heads.size(); ++i)
        label(title, heads[i], f.headX[i], t.heads);

    // Summary band: totals under the detail columns, amount due, paid, change.
    label(summary, QStringLiteral("合计："), f.totalPromptX, s.totals, textHeight,
          f.totalPromptOpaque);
    parts_.totalQuantity = label(summary, QStringLiteral("数量"), f.totalQuantityX, s.totals);
    parts_.totalAmount = label(summary, QStringLiteral("金额"), f.totalAmountX, s.totals);
    label(summary, QStringLiteral("应收金额："), f.summaryPromptX, s.due);
    parts_.due = label(summary, QString::fromUtf8(f.dueText[size_t(v)]), f.summaryValueX, s.due);
    label(summary, QStringLiteral("实收金额："), f.summaryPromptX, s.paid);
    parts_.paid = label(summary, QStringLiteral("实收"), f.summaryValueX, s.paid);
    label(summary, QStringLiteral("找零金额："), f.summaryPromptX, s.change);
    parts_.change = label(summary, QStringLiteral("找零"), f.summaryValueX, s.change);

    // The rules: the split rule twice, the full rule under the title lines and above
    // the remarks.
    dashes(title, f.splitRule, f.splitRuleWidth, splitRuleY1);
    dashes(title, f.splitRule, f.splitRuleWidth, splitRuleY2);
    dashes(title, f.fullRule, f.fullRuleWidth, t.rule);
    dashes(summary, f.fullRule, f.fullRuleWidth, s.rule);

    // The data fields: shop name in the title, the line in the detail band.
    parts_.shop = field(title, printContent, QStringLiteral("店名"), titleLineX, t.shop);
    parts_.name = field(detail, lines, QStringLiteral("品名"), f.nameX, f.nameY, f.nameOpaque);
    parts_.price = field(detail, lines, QStringLiteral("单价"), f.numberX[0], f.numbersY);
    parts_.quantity = field(detail, lines, QStringLiteral("数量"), f.numberX[1], f.numbersY);
    parts_.amount = field(detail, lines, QStringLiteral("金额"), f.numberX[2], f.numbersY);

    // The remarks block under the summary's full rule.
    Printable &remarks = summary.add(Kind::Lines, names.richText());
    remarks.x = f.remarksX;
    remarks.y = s.remarks;
    remarks.width = f.remarksWidth;
    remarks.height = remarkLineHeight;
    remarks.lineHeight = remarkLineHeight;
    remarks.font = text;
    remarks.opaque = true;
    parts_.remarks = &remarks;
}

void ReceiptReport::setRemarksHeight(int pixels) {
    parts_.remarks->height = pixels;
}

int ReceiptReport::remarksHeight() const {
    return parts_.remarks->height;
}
