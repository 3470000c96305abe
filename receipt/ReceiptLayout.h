#pragma once

#include "Report.h"

#include <QFont>
#include <QString>
#include <QStringList>

class Query;

// The receipt: roll width, the three variants of each width, the page-length rule, the
// remark lines and the number form of the detail fields.

enum class ReceiptWidth { Mm58, Mm76 };

// QuickRep1, QuickRep2, QuickRep3.
enum class ReceiptVariant {
    Plain = 0,         // neither customer nor phone
    Customer = 1,      // the "客户：" line
    CustomerPhone = 2, // the "客户：" and "电话：" lines
};

// The base B of the page-length rule: by width and whether the phone is printed.
constexpr int pageBase58 = 300;
constexpr int pageBase58Phone = 320;
constexpr int pageBase76 = 296;
constexpr int pageBase76Phone = 319;
constexpr int remarkLineHeight = 17;
constexpr int pixelsPerSaleRow = 25;

// Page length in layout pixels for L remark lines, base B and N sale rows:
// 17 × L + B + 25 × N.
int pageLength(int remarkLines, int base, int saleRows);

// The remark memo: 225 px wide with a vertical scroll bar, 宋体 10 pt (13 px), word
// wrap on. Its text runs in the width left inside the frame and beside the bar.
constexpr int remarkMemoWidth = 225;
constexpr int remarkMemoFrame = 2;      // sunken edge, each side
constexpr int remarkMemoScrollBar = 17; // the vertical scroll bar
constexpr int remarkMemoTextWidth = remarkMemoWidth - 2 * remarkMemoFrame - remarkMemoScrollBar;
QFont remarkMemoFont();

// The remark text broken into the lines the memo shows: every line break ends a line
// ("\r\n", "\n" or "\r"), a line too long for the memo continues on further lines, a
// final empty line is no line, an empty text has none.
QStringList remarkLines(const QString &text);
// Their number: the remark line count L.
int remarkLineCount(const QString &text);

// The printed form of a detail number: the field's text read as a number (0 when empty
// or not a number) in the pattern "0.00". 12.5 → "12.50", "" → "0.00".
QString receiptNumberText(const QString &fieldText);

// The fonts of the receipts: the text font of a width, and the font of the dashed rules.
QFont receiptTextFont(ReceiptWidth width);
QFont receiptRuleFont();

// Where the report sits on its page of the report window.
QPoint receiptPreviewPosition(ReceiptWidth width);

// One variant of a receipt form, laid out from the tables of its width. The detail band
// runs over `lines` ("select * from xsxx"); the shop name comes from the current row of
// `printContent` ("select * from dynr").
class ReceiptReport : public Report::BandedReport {
    Q_OBJECT
public:
    ReceiptReport(ReceiptWidth width, ReceiptVariant variant, Query &lines, Query &printContent,
                  QObject *parent = nullptr);

    ReceiptWidth width() const { return width_; }
    ReceiptVariant variant() const { return variant_; }

    // The height of the remarks block (17 × L before every print).
    void setRemarksHeight(int pixels);
    int remarksHeight() const;

    // The parts of this variant that are written or hooked by the form. Customer and
    // phone are null where the variant has no such line.
    struct Parts {
        Report::Printable *cashier = nullptr;
        Report::Printable *number = nullptr;
        Report::Printable *time = nullptr;
        Report::Printable *customer = nullptr;
        Report::Printable *phone = nullptr;
        Report::Printable *totalQuantity = nullptr;
        Report::Printable *totalAmount = nullptr;
        Report::Printable *due = nullptr;
        Report::Printable *paid = nullptr;
        Report::Printable *change = nullptr;
        Report::Printable *remarks = nullptr;
        Report::Printable *shop = nullptr;
        Report::Printable *name = nullptr;
        Report::Printable *price = nullptr;
        Report::Printable *quantity = nullptr;
        Report::Printable *amount = nullptr;
    };
    const Parts &parts() const { return parts_; }

private:
    ReceiptWidth width_;
    ReceiptVariant variant_;
    Parts parts_;
};
